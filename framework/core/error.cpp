#include "framework/core/error.h"

#include <cerrno>
#include <cstring>

namespace fw {

RuntimeError::RuntimeError(int number, std::source_location where)
    : std::runtime_error("runtime error " + std::to_string(number)),
      number_(number),
      where_(where) {}

const char* RuntimeError::module() const noexcept {
  const char* file = where_.file_name();
  const char* slash = std::strrchr(file, '/');
  return slash ? slash + 1 : file;
}

void raise(int number, std::source_location where) { throw RuntimeError(number, where); }

int errorFromErrno(int e) {
  switch (e) {
    case ENOENT: return err::FileNotFound;
    case ENOTDIR: return err::PathNotFound;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR: return err::FileAccess;
    case ETXTBSY:
    case EBUSY: return err::SharingViolation;
    case ELOOP:
    case EILSEQ: return err::BadFileName;
    case EEXIST: return err::AlreadyExists;
    case ENAMETOOLONG: return err::BadFileName;
    case ENOSPC:
    case EDQUOT:
    case EFBIG: return err::DiskFull;
    case EAGAIN: return err::LockViolation;
    case ENOMEM: return err::OutOfMemory;
    case EMFILE:
    case ENFILE: return err::FileAccess;
    default: return err::IoError;
  }
}

}  // namespace fw
