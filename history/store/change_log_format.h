// The change log EKG_DATA\EKGDATA_LOG: one line per change of the history,
// written by the store (change_log.h) and read by the check and the
// versions view. Reader and writer share this header.
//
// ASCII text, one entry per line, each ended by LF; eleven fields separated
// by one blank:
//
//   seq time op n ref computer user attribute-before clinical-before after digest
//
//   seq        1, 2, 3 … without gaps, in the order of the file
//   time       local time of the change, YYYY-MM-DDTHH:MM:SS
//   op         start | register | overwrite | delete | restore | void
//   n          the entry number; for start the entries the history held when
//              the log began (they are "before the log")
//   ref        start: the format version (1); void: the seq of the entry that
//              was not applied; otherwise "-"
//   computer   the computer's name, user the operating-system user: UTF-8
//              bytes, each byte outside 0x21..0x7E and every '%' as %XX; an
//              empty name is "-" (a name "-" is %2D)
//   *-before   the entry's attribute / clinical record as it was before the
//              change (overwrite, delete, restore): "<bytes>:<base64>", the
//              record's length and its bytes without the trailing 0x00
//              bytes, which come back by the length; "-" for none
//   after      the digest of the records after the change (entryDigest);
//              "-" for start and void
//   digest     lowercase hex SHA-256 of the previous line's digest (64 '0'
//              for the first line), one blank, and this line up to and
//              including the blank before this field
//
// A change's line is written and flushed before the history is touched: a
// last line whose after-digest does not match the entry is a change that
// never happened (or was stopped half-way and is put back), and the next
// writer says so with a void line. A last line without its LF is a line cut
// off by a kill before any history write; the next writer removes it.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "framework/core/str.h"

namespace history::changelog {

inline constexpr int kFormatVersion = 1;
inline constexpr int kFieldCount = 11;
inline constexpr std::size_t kDigestChars = 64;
inline const std::string kFirstPrevious(kDigestChars, '0');

enum class Operation { Start, Register, Overwrite, Delete, Restore, Void };

std::string_view nameOf(Operation op);
std::optional<Operation> operationNamed(std::string_view name);
// Whether the operation changes the history (not start or void).
bool changesHistory(Operation op);

struct Line {
  long seq = 0;
  std::string time;  // YYYY-MM-DDTHH:MM:SS
  Operation op = Operation::Register;
  long n = 0;
  long ref = 0;                  // start: version; void: seq; else 0
  std::string computer, user;    // UTF-8, decoded
  std::optional<fw::Str> attributeBefore, clinicalBefore;
  std::string after;             // hex digest, "" for none
  std::string digest;            // as stored
};

// The line's text without its digest and LF (ending in the blank before the
// digest), then the digest that chains it to `previous`.
std::string bodyOf(const Line& line);
std::string chainDigest(std::string_view previous, std::string_view body);
// The whole line with the digest computed, LF included; sets line.digest.
std::string format(Line& line, std::string_view previous);
// Parses one line without its LF; nothing when a field is missing or not of
// its form (the chain check then reports the line).
std::optional<Line> parse(std::string_view text);

// The after-digest of an entry: SHA-256 of the attribute record's length (4
// bytes, little-endian), its bytes, the clinical record's length and its
// bytes, as lowercase hex. A missing clinical record has length 0.
std::string entryDigest(std::string_view attributeRecord, std::string_view clinicalRecord);

}  // namespace history::changelog
