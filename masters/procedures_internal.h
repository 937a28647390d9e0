// The master-list procedures by name, for registration and for tests that
// call one directly.
#pragma once

#include "framework/form/window.h"

namespace masters {

void CHECK12_ON();
void CHECK13_ON();
void BUTTON5_ON();
void BUTTON6_ON();

// FORM6 while it is open (empty otherwise).
extern fw::FormRef FORM6;

}  // namespace masters
