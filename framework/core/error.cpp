#include "framework/core/error.h"

#include <cstring>

namespace fw {

RuntimeError::RuntimeError(int number, SourceLocation where)
    : std::runtime_error("runtime error " + std::to_string(number)),
      number_(number),
      where_(where) {}

const char* RuntimeError::module() const noexcept {
  const char* file = where_.file_name();
  const char* slash = std::strrchr(file, '/');
  return slash ? slash + 1 : file;
}

void raise(int number, SourceLocation where) { throw RuntimeError(number, where); }

}  // namespace fw
