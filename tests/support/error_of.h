// The runtime error number a statement raises, 0 when it raises none.
#pragma once

#include "framework/core/error.h"

namespace tessivo::test {

template <class Statement>
int errorOf(Statement&& statement) {
  try {
    statement();
  } catch (const fw::RuntimeError& e) {
    return e.number();
  }
  return 0;
}

}  // namespace tessivo::test
