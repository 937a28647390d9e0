// The history commands of the main window and their windows.
#pragma once

namespace history {

// Registers every event procedure of this folder with the framework.
void registerProcedures();

}  // namespace history
