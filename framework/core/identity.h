// Who is at work: the computer and the operating-system user, for records
// that say who changed what (the history's change log).
#pragma once

#include <string>

namespace fw {

// UTF-8 names as the system gives them; empty when it does not say.
std::string computerName();
std::string userName();

}  // namespace fw
