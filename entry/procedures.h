// Registers every event procedure of the examinee entry: start and end of
// the program, input on the main window and the click areas of its picture.
#pragma once

namespace entry {

void registerProcedures();

}  // namespace entry
