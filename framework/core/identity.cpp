#include "framework/core/identity.h"

#include "framework/core/internal/os.h"

namespace fw {

std::string computerName() { return os::computerName(); }
std::string userName() { return os::userName(); }

}  // namespace fw
