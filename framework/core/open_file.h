// A numbered file that takes the lowest free file number when it is opened
// and gives it back on every way out of the scope.
//
// Stored-file routines use it instead of a fixed number, so that one routine
// may run while another holds a file open (a history scan that reads a
// setting on the way, a print that reads the correction table).
#pragma once

#include "framework/core/files.h"

namespace fw {

// The lowest file number that is not open; err::TooManyFiles when all 255
// are in use.
int freeFileNumber();

class OpenFile {
 public:
  // Opens `name` under the lowest free number (fw::open's arguments and
  // errors). After a failed open no number is held.
  OpenFile(const Str& name, FileMode mode, Share share, int recordLength = 0);
  // Closes the file if it is still open; never throws (a failing close on an
  // error path must not become a second exception). A rewrite (mode 11) not
  // committed by then is abandoned: leaving the scope by an exception or an
  // early return keeps the old file.
  ~OpenFile();
  OpenFile(const OpenFile&) = delete;
  OpenFile& operator=(const OpenFile&) = delete;

  int number() const { return number_; }
  operator int() const { return number_; }
  // Closes now and raises what fw::close raises; the number is free after.
  // Abandons a rewrite as the destructor does.
  void close();
  // A rewrite is complete: fw::commit, which replaces the old file and frees
  // the number, or raises and keeps the old file (the number free all the
  // same).
  void commit();

 private:
  int number_;
  bool open_ = true;
};

}  // namespace fw
