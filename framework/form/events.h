// Event procedures, the event queue and the program's run loop.
//
// Every user action becomes an event that is queued (at most 64 pending; a
// new event is dropped when the queue is full) when a procedure is found for
// it: by the definition's binding, else by the naming rule NAME_EVENT. The
// queue is served one procedure at a time, only while the program waits for
// events; a procedure always runs to completion before the next one starts.
// _QUERYCLOSE is called at once, outside the queue.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "framework/core/str.h"

namespace fw {

class Window;

enum class Event : int {
  On = 1, Change = 2, Start = 3, End = 4, SetFocus = 5, KillFocus = 6, Resize = 7,
  Click = 8, DblClick = 9, MouseDown = 10, MouseUp = 11, MouseMove = 12,
  QueryClose = 17, MouseWheel = 20,
  Menu = 30,  // an item of the control's context menu was chosen
};

// Name suffix of an event ("_ON", "_CHANGE", ...).
const char* eventSuffix(Event e);

struct EventArgs {
  Window* window = nullptr;     // the window containing the control, or the window
  // Mouse events.
  int16_t buttons = 0;          // 1 left, 2 right, 4 middle
  int16_t shift = 0;            // 1 Shift, 2 Ctrl
  float x = 0, y = 0;           // client coordinates in the window's scale units
  // _QUERYCLOSE: set *cancel non-zero to keep the window open.
  int16_t* cancel = nullptr;
  int16_t reason = 0;
  // _MENU: the index of the chosen item of the context menu.
  int16_t menuItem = -1;
};

using Procedure = std::function<void(EventArgs&)>;

// Registers an event procedure under its exact name ("BUTTON10_ON"). A name
// registered twice throws std::logic_error: a program fault found at start.
void registerProcedure(const Str& name, Procedure procedure);
std::vector<Str> registeredProcedureNames();
void unregisterAllProcedures();       // tests
void unregisterProcedure(const Str& name);  // tests that stand in for one procedure
bool hasProcedure(const Str& name);

// Serves queued events until the queue is empty. Returns at once when called
// from inside a running procedure (procedures never nest).
void waitForEvents();
// Processes pending window messages (repaint, input -> queued events)
// without starting queued procedures: the statement boundary of long loops.
void doEvents();
int pendingEventCount();
inline constexpr int kEventQueueLimit = 64;

// For work done on a thread of its own: callable from any thread, it hands
// `work` to the user-interface thread, which queues it as a procedure of the
// main window (served like an event: never inside another procedure, under
// the program trap). Dropped when the main window is gone, the program is
// ending or the queue is full.
void postToProgram(std::function<void()> work);

}  // namespace fw
