// Marking a deletion holds the record lock of one entry for the moment of
// its rewrite. A scan, a read or a write of another program that meets it
// waits that moment out: failing would end that program over a search.
#pragma once

#include <chrono>
#include <thread>

#include "framework/core/error.h"

namespace history {

inline constexpr auto kRecordLockWait = std::chrono::milliseconds(2000);

template <class Operation>
auto waitingOutRecordLocks(Operation&& operation) -> decltype(operation()) {
  const auto deadline = std::chrono::steady_clock::now() + kRecordLockWait;
  for (;;) {
    try {
      return operation();
    } catch (const fw::RuntimeError& e) {
      if (e.number() != fw::err::LockViolation || std::chrono::steady_clock::now() >= deadline)
        throw;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
}

}  // namespace history
