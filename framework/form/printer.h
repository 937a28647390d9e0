// The printer object: one print run, from choosing the printer to release.
//
// States: created -> printer chosen -> dialog confirmed -> document started ->
// page open <-> page closed -> document ended -> released. Drawing (Surface)
// is only valid while a page is open. Output goes to the system spooler
// (CUPS on Linux) unless setPdfOutput() redirects every print run to a PDF
// file, which goes through exactly the same drawing code.
#pragma once

#include <memory>
#include <string>

#include "framework/form/surface.h"

namespace fw {

inline constexpr int kPaperA4 = 9;
inline constexpr int kPortrait = 1;
inline constexpr int kLandscape = 2;

struct PrintRange {
  int fromPage = 1, toPage = 1, minPage = 1, maxPage = 1, copies = 1;
};

class Printer : public Surface {
 public:
  Printer();
  ~Printer() override;

  // name "" = the system's default printer; paper: system paper number
  // (9 = A4), 0 = driver default; orientation 1 portrait, 2 landscape,
  // 0 = driver default. Negative paper or orientation outside 0..2: error 5.
  void choose(const Str& printerName, int paper, int orientation);
  // Instead of a printer, the PDF file `name` (a program file name, CP932):
  // the same pages and drawing, without a dialog (the run counts as
  // confirmed). startDocument raises 63 when the file cannot be written;
  // endDocument leaves the finished file.
  void chooseFile(const Str& name, int paper, int orientation);
  // Shows the print dialog (or asks the test responder). Returns true when
  // confirmed (range receives pages and copies), false when cancelled: then
  // nothing has been sent to the spooler.
  bool dialog(PrintRange& range);
  // At most 31 bytes, else error 5. Error 63 when the chosen queue is not
  // known to the spooler (removed, or the spooler not running).
  void startDocument(const Str& name);
  void newPage();
  void endPage();
  // Hands the job to the spooler. Error 63 when it could not: the device
  // refused to finish, or the queue was gone by then (the job is lost).
  void endDocument();
  void release();                       // frees the device; drawing is error 1000
  // The queue the job goes to: the chosen one, as the dialog left it ("" when
  // the system has no default printer).
  Str queueName() const;

  // Surface
  void setScaleMode(int mode) override;
  int scaleMode() const override;
  void clear() override;
  void setPosition(double x, double y) override;
  double currentX() const override;
  double currentY() const override;
  void print(const Str& text) override;
  void color(int fore, int back, int border, int mode, int which) override;
  void setForeColor(uint32_t rgb) override;
  void setBackColor(uint32_t rgb) override;
  void setFillColor(uint32_t rgb) override;
  uint32_t foreColor() const override;
  uint32_t backColor() const override;
  void setLineWidth(double width) override;
  void line(double x1, double y1, double x2, double y2, int colour, int kind) override;
  void circle(double x, double y, double r, int colour, float aspect, double startAngle,
              double endAngle, bool filled) override;
  void setFontName(const Str& face) override;
  void setFontSize(float points) override;
  void setFontBold(bool on) override;
  void setFontItalic(bool on) override;
  void setFontUnderline(bool on) override;
  Str fontName() const override;
  float fontSize() const override;
  bool fontBold() const override;
  void drawBitmap(double x, double y, double width, double height, const Bitmap& bitmap,
                  int srcX, int srcY, int srcWidth, int srcHeight) override;

  struct Impl;

 private:
  std::unique_ptr<Impl> impl_;
};

// The A4-like sheet of a printer as a page would be laid out on it, in
// millimetres: the paper as oriented and where its printable area lies.
struct PageGeometry {
  Str queue;                      // the queue measured ("" = none known)
  double paperWidth = 0, paperHeight = 0;
  double printableLeft = 0, printableTop = 0, printableWidth = 0, printableHeight = 0;
};
// The geometry of the named queue ("" = the default printer) for the paper
// number and orientation (as Printer::choose); the PDF file when print runs
// go to one.
PageGeometry pageGeometry(const Str& queue, int paper, int orientation);

// Sends every following print run to this PDF file instead of the spooler
// ("" restores the spooler). Used by tests and for archiving charts.
void setPdfOutput(const std::string& path);

}  // namespace fw
