#include "history/outside_faults.h"

#include "framework/core/strings.h"
#include "framework/form/dialogs.h"
#include "history/texts.h"

namespace history {

bool isOutsideFault(int errorNumber) {
  switch (errorNumber) {
    case fw::err::FileNotFound:
    case fw::err::RecordIncomplete:
    case fw::err::FileAccess:
    case fw::err::PathNotFound:
    case fw::err::SharingViolation:
    case fw::err::LockViolation:
    case fw::err::DeviceUnavailable:
    case fw::err::DiskFull:
    case fw::err::IoError:
      return true;
    default:
      return false;
  }
}

fw::Str outsideFaultCause(int errorNumber) {
  switch (errorNumber) {
    case fw::err::LockViolation: return text::kFaultBusy;
    case fw::err::SharingViolation: return text::kFaultInUse;
    case fw::err::DiskFull: return text::kFaultDiskFull;
    case fw::err::FileAccess: return text::kFaultNotWritable;
    case fw::err::FileNotFound:
    case fw::err::PathNotFound: return text::kFaultFolderMissing;
    case fw::err::RecordIncomplete: return text::kFaultDamaged;
    default: return text::kFaultDevice;
  }
}

void tellOutsideFault(fw::Window* owner, const fw::Str& title, const fw::Str& whatFailed,
                      int errorNumber, const fw::Str& afterwards) {
  fw::Str message = whatFailed + fw::CRLF + outsideFaultCause(errorNumber);
  if (!afterwards.empty()) message += fw::CRLF + afterwards;
  fw::messageBox(owner, title, message, fw::mb::OK, fw::mb::Information);
}

}  // namespace history
