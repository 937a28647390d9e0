// Numbered files: fixed-length record files and quoted-line text files.
//
// File numbers are 1..255, as in the program's stored-data procedures: every
// operation opens its file, does its work and closes it again. Names are CP932
// and may use '\' as the separator ("EKG_SYS\P_TYOUSEI"); relative names are
// made absolute against the current directory. Every failure raises a
// RuntimeError (error.h): 5, 13, 50-57, 67, 68, 70, and system errors mapped
// by errorFromErrno. After a failed open the number stays free; after a failed
// get the record buffer keeps its previous content.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <vector>

#include "framework/core/str.h"

namespace fw {

enum class FileMode : int {
  Input = 1,          // sequential input; the file must exist
  Output = 2,         // sequential output; error if the file exists
  Append = 3,         // sequential append; created; a final 0x1A is overwritten
  RecordRead = 4,     // record, read only; must exist
  RecordWrite = 5,    // record, write only; created
  Record = 6,         // record, read and write; created empty
  RecordExisting = 7, // record, read and write; must exist
  Rewrite = 11,       // sequential output; created or emptied
};

enum class Share : int {
  ReadOnly = 1,   // others may only read
  WriteOnly = 2,  // others may only write
  ReadWrite = 3,  // others may read and write
};

inline constexpr int kDefaultRecordLength = 256;

// recordLength 0 means "not given": the default 256 for record modes; giving
// one with a sequential mode is error 51, outside 1..2048 error 5.
void open(const Str& name, FileMode mode, Share share, int fileNumber,
          int recordLength = 0);
void close(int fileNumber);
void closeAll();
bool isFileOpen(int fileNumber);

// A field variable: a slice of a file's record buffer, bound by field().
// Reading gives the slice's current bytes; only lset() writes it.
class FieldVar {
 public:
  FieldVar() = default;
  Str value() const;               // error 57 once its file is closed
  operator Str() const { return value(); }
  long width() const { return width_; }

 private:
  friend void field(int, std::initializer_list<std::pair<int, FieldVar*>>);
  friend void lset(FieldVar&, const Str&);
  int fileNumber_ = 0;
  long offset_ = 0;
  long width_ = 0;
  unsigned generation_ = 0;        // detects a file closed and reopened
};

// Binds the variables to consecutive slices from offset 0, in order; widths
// adding up past the record length are error 68.
void field(int fileNumber, std::initializer_list<std::pair<int, FieldVar*>> widthsAndVars);
// Copies s into the slice, space-padded (0x20) or cut at the byte.
void lset(FieldVar& var, const Str& s);

void get(int fileNumber, long record);   // 1-based; errors 5, 51, 54, 70
void put(int fileNumber, long record);   // extends the file; short write 67
long recordCount(int fileNumber);        // file size / record length, rounded up
long fileSize(int fileNumber);           // bytes
long position(int fileNumber);           // record after the last get/put

// Record buffer access for code that lays out a whole record itself.
Str recordBuffer(int fileNumber);
void setRecordBuffer(int fileNumber, const Str& bytes);  // size must equal the record length

// Sequential files.
void writeLine(int fileNumber, std::initializer_list<Str> items);  // "a","b" CR LF
Str inputItem(int fileNumber);           // one item as the input statement reads it
bool eof(int fileNumber);                // also true before a final lone 0x1A

// Locks/unlocks bytes of record `record` of an open record file for writing
// (a byte-range lock of the operating system). A lock held by another
// process is error 70-free: it raises err::LockViolation.
void lockRecord(int fileNumber, long record);
void unlockRecord(int fileNumber, long record);

bool fileExists(const Str& pattern);     // wildcards * and ? in the last part
void makeDirectory(const Str& name);

// The OS path for a program file name (CP932, '\' separators).
std::string osPath(const Str& name);

}  // namespace fw
