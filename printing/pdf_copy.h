// PDF copies of printed charts: with the switch EKG_SYS\PDF_HOZON on, every
// sheet the single or the multiple print sends to the printer is also
// written, drawn by the same code, to its own file
//   EKG_DATA\PDF\YYYY\MM\YYYYMMDD_HHMMSS_E<entry>.pdf
// (N<examinee number> instead of E<entry> for a chart not opened from the
// history; "_2", "_3" … added when the name is taken). A copy that cannot
// be written never touches the paper print: the run goes on and the
// operator is told once, after the paper job.
#pragma once

#include <functional>

#include "framework/core/clock.h"
#include "framework/core/str.h"
#include "framework/form/surface.h"

namespace fw {
class Window;
}

namespace printing {

// On when EKG_SYS\PDF_HOZON holds a number above 0; an empty or missing
// file is off. Never creates the file.
bool pdfCopiesOn();

// The name of a copy taken at `t` (without the "_n" of a taken name). Only
// letters and digits of the examinee number are kept (others become "_"),
// at most 20 of them, so any stored value makes a safe file name.
fw::Str pdfCopyName(const fw::LocalTime& t, long entry, const fw::Str& examNo);

// The copies of one print run.
class PdfCopies {
 public:
  PdfCopies();  // reads the switch
  bool on() const { return on_; }
  // Writes one sheet: `draw` is called once on a fresh A4 landscape page
  // in chart units, as it was for the paper; nothing when the switch is off.
  // Never raises.
  void sheet(long entry, const fw::Str& examNo, const std::function<void(fw::Surface&)>& draw);
  // After the paper job: tells of the first copy that failed (OK,
  // information icon), once per run.
  void tellFailure(fw::Window* owner, const fw::Str& title);
  int written() const { return written_; }

 private:
  bool on_ = false;
  bool failed_ = false;
  bool told_ = false;
  int written_ = 0;
};

}  // namespace printing
