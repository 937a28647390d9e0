// The program's embedded resources: window definitions (":/wd/MAINFORM",
// ":/wd/FORM2" ...), the check-mark bitmaps (":/bitmaps/CHECK_1",
// ":/bitmaps/CHECK_2") and the icon (":/icons/ekg.png").
//
// Linking the tessivo_resources target registers them with Qt's resource
// system by static initialisation. ensureLinked() registers them explicitly;
// call it from code that may run before static initialisation has finished
// (another static initialiser). Calling it more than once is harmless.
#pragma once

namespace resources {

inline constexpr char kWindowPrefix[] = ":/wd/";
inline constexpr char kBitmapPrefix[] = ":/bitmaps/";
inline constexpr char kIconPath[] = ":/icons/ekg.png";

void ensureLinked();

}  // namespace resources
