// Sharing between copies of this program on different systems. Four bytes
// past the data stand for "has read access", "has write access", "denies
// read", "denies write"; the fifth is the whole-file lock. Every open holds
// a shared lock on the bytes that describe it, and before that looks for
// locks of other opens on the bytes that would conflict. The offsets are
// what running copies, on Linux and on Windows, agree on: they must not move.
#pragma once

#include <cstdint>

#include "framework/core/error.h"
#include "framework/core/internal/os.h"

namespace fw::os {

enum ReservedByte : std::int64_t {
  HasRead = 0,
  HasWrite = 1,
  DeniesRead = 2,
  DeniesWrite = 3,
  WholeFile = 4,
};

// Windows has no test for a lock that takes none: a byte is tested there by
// taking it exclusively for a moment, which another open may meet. A test
// that finds such a moment looks again this many times, 1 ms apart, before
// it counts a holder; a take that meets one tries again this many times.
inline constexpr int kLooksAtATest = 5;
inline constexpr int kTriesToTake = 20;

// Checks the conflicting bytes, then takes the request's own. heldByOthers(byte)
// gives 1 for a holder, 0 for none, or minus an error; reserve(byte) gives 0
// or an error.
template <class HeldByOthers, class Reserve>
int takeReservations(const OpenRequest& r, HeldByOthers heldByOthers, Reserve reserve) {
  struct Check {
    bool asked;
    ReservedByte conflicting;
  };
  for (Check c : {Check{r.reads, DeniesRead}, Check{r.writes, DeniesWrite},
                  Check{r.deniesRead, HasRead}, Check{r.deniesWrite, HasWrite}}) {
    if (!c.asked) continue;
    const int held = heldByOthers(c.conflicting);
    if (held < 0) return -held;
    if (held) return err::SharingViolation;
  }
  struct Take {
    bool asked;
    ReservedByte byte;
  };
  for (Take t : {Take{r.reads, HasRead}, Take{r.writes, HasWrite}, Take{r.deniesRead, DeniesRead},
                 Take{r.deniesWrite, DeniesWrite}}) {
    if (!t.asked) continue;
    if (const int e = reserve(t.byte); e != 0) return e;
  }
  return 0;
}

}  // namespace fw::os
