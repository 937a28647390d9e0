#include "history/window_state.h"

namespace history {

fw::FormRef FORM2;
int LIST_MODE = 0;
int LIST_LIMIT = 50;
std::map<long, RecordStamp> LISTED_STAMPS;

}  // namespace history
