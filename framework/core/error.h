// Runtime errors of the framework services.
//
// Every service of the framework reports a failure by throwing RuntimeError
// with the error number the program's behaviour depends on (the trap layer in
// framework/form decides what the operator sees). The number is kept with the
// place it was raised.
#pragma once

#include <stdexcept>
#include <string>
#if __has_include(<source_location>)
#include <source_location>
#endif

namespace fw {

#if defined(__cpp_lib_source_location)
using SourceLocation = std::source_location;
#else
// clang before 15 cannot build libstdc++'s std::source_location (it lacks
// __builtin_source_location); the older builtins give the same answers.
class SourceLocation {
 public:
  static constexpr SourceLocation current(const char* file = __builtin_FILE(),
                                          const char* function = __builtin_FUNCTION(),
                                          unsigned line = __builtin_LINE(),
                                          unsigned column = __builtin_COLUMN()) noexcept {
    SourceLocation where;
    where.file_ = file;
    where.function_ = function;
    where.line_ = line;
    where.column_ = column;
    return where;
  }
  constexpr const char* file_name() const noexcept { return file_; }
  constexpr const char* function_name() const noexcept { return function_; }
  constexpr unsigned line() const noexcept { return line_; }
  constexpr unsigned column() const noexcept { return column_; }

 private:
  const char* file_ = "";
  const char* function_ = "";
  unsigned line_ = 0;
  unsigned column_ = 0;
};
#endif

// Error numbers used by the services. Numbers below 1000 come from the value,
// file and device services; 1000 and up from object operations.
namespace err {
inline constexpr int InvalidArgument = 5;      // bad length, position, code, mode
inline constexpr int Overflow = 6;             // number does not fit
inline constexpr int OutOfMemory = 7;
inline constexpr int TypeMismatch = 13;        // field assigned other than with LSET
inline constexpr int ResumeWithoutError = 20;
inline constexpr int Subscript = 27;           // index outside a list (passed over by the program trap)
inline constexpr int BadFileNumber = 50;       // outside 1..255
inline constexpr int BadFileMode = 51;         // operation not allowed for the file's mode or kind
inline constexpr int FileAlreadyOpen = 52;
inline constexpr int FileNotFound = 53;
inline constexpr int RecordIncomplete = 54;    // record starts inside the file but is cut short
inline constexpr int BadFileName = 55;
inline constexpr int FileAccess = 56;          // access denied
inline constexpr int FileNotOpen = 57;
inline constexpr int PathNotFound = 58;
inline constexpr int SharingViolation = 59;
inline constexpr int InputPastEnd = 62;        // input read at the end of a sequential file
inline constexpr int LockViolation = 60;
inline constexpr int DeviceUnavailable = 63;   // passed over by the program trap
inline constexpr int DiskFull = 67;
inline constexpr int TooManyFiles = 67;       // every file number in use
inline constexpr int FieldOverflow = 68;       // field widths exceed the record length
inline constexpr int RecordBeyondEnd = 70;
inline constexpr int AlreadyExists = 71;
inline constexpr int IoError = 72;
inline constexpr int ImeFailed = 75;
inline constexpr int NoObject = 1000;
inline constexpr int AlreadyOpen = 1001;
inline constexpr int WrongKind = 1002;
inline constexpr int NoVariable = 1003;
inline constexpr int CannotCreate = 1004;
inline constexpr int InvalidValue = 1005;
inline constexpr int NotPossible = 1006;
inline constexpr int BitmapLoad = 1010;
inline constexpr int DefinitionMissing = 1012;
inline constexpr int ControlNotFound = 1013;
inline constexpr int DefinitionFaulty = 1014;
inline constexpr int ListRefused = 1016;
inline constexpr int ComboRefused = 1017;
// A C++ exception that is not a runtime error of the services (a failure
// inside a library); std::bad_alloc counts as OutOfMemory instead.
inline constexpr int Unexpected = 1099;
}  // namespace err

class RuntimeError : public std::runtime_error {
 public:
  RuntimeError(int number, SourceLocation where);
  int number() const noexcept { return number_; }
  // Source file (without directories) and line of the statement that failed.
  const char* module() const noexcept;
  unsigned line() const noexcept { return where_.line(); }
  const SourceLocation& where() const noexcept { return where_; }

 private:
  int number_;
  SourceLocation where_;
};

// Throws RuntimeError(number) located at the caller.
[[noreturn]] void raise(int number,
                        SourceLocation where = SourceLocation::current());

}  // namespace fw
