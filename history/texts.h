// Texts of the history dialogs and windows, byte for byte (blanks and
// full-width characters included). CP932 at run time.
#pragma once

#include "framework/core/str.h"

namespace history::text {

using fw::literals::operator""_sj;

inline const fw::Str kHistoryChangedQuestion = "データが変更されています。\r\nこのまま履歴を表示しますか？"_sj;
inline const fw::Str kHistoryTitle = "履　歴"_sj;

}  // namespace history::text
