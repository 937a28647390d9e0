#include "history/window_state.h"

namespace history {

fw::FormRef FORM2;
Column LIST_MODE = Column::Number;
int LIST_LIMIT = 50;
std::map<long, RecordStamp> LISTED_STAMPS;

}  // namespace history
