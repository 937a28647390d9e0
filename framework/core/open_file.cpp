#include "framework/core/open_file.h"

#include "framework/core/error.h"

namespace fw {

namespace {
constexpr int kHighestFileNumber = 255;
}

int freeFileNumber() {
  for (int n = 1; n <= kHighestFileNumber; ++n) {
    if (!isFileOpen(n)) return n;
  }
  raise(err::TooManyFiles);
}

OpenFile::OpenFile(const Str& name, FileMode mode, Share share, int recordLength)
    : number_(freeFileNumber()) {
  fw::open(name, mode, share, number_, recordLength);
}

OpenFile::~OpenFile() {
  if (!open_) return;
  try {
    fw::close(number_);
  } catch (...) {
  }
}

void OpenFile::close() {
  if (!open_) return;
  open_ = false;
  fw::close(number_);
}

void OpenFile::commit() {
  if (!open_) raise(err::FileNotOpen);
  try {
    fw::commit(number_);
  } catch (...) {
    // Not a rewrite: still open, and still ours to close.
    open_ = isFileOpen(number_);
    throw;
  }
  open_ = false;
}

}  // namespace fw
