// Texts the operator sees in the message boxes of the main window, byte
// for byte (blanks and full-width characters included). CP932 at run time.
#pragma once

#include "framework/core/str.h"

namespace entry::text {

using fw::literals::operator""_sj;

// Single instance.
inline const fw::Str kPrevInstanceText = "既に同じアプリケ－ションが起動されています。"_sj;
inline const fw::Str kPrevInstanceTitle = "PREVINSTANCE !"_sj;
// Program trap.
inline const fw::Str kErrorText = "エラ－が発生しました！実行プログラムを閉じます！"_sj;
inline const fw::Str kErrorTitle = "ERROR"_sj;
// End of the program.
inline const fw::Str kEndQuestion = "Tessivoを終了します。　　\r\nよろしいですか？　"_sj;
inline const fw::Str kEndChangedQuestion = "データが変更されています。\r\nこのまま終了してよろしいいですか？"_sj;
inline const fw::Str kEndTitle = "終　了"_sj;
// Year boxes.
inline const fw::Str kYearFormatText = "年数の形式に誤りがあります。"_sj;
inline const fw::Str kYearFormatTitle = "CAUTION!"_sj;
// Today's date.
inline const fw::Str kTodayQuestion = "今日の日付を表示しますか？   "_sj;
inline const fw::Str kTodayTitle = "今日の日付にする"_sj;
// Clearing.
inline const fw::Str kClearNotice = "現在の全ての入力データを消去します！     "_sj;
inline const fw::Str kClearChangedQuestion = "データが変更されています。\r\nこのまま現在の全ての入力データを消去してよろしいですか？"_sj;
inline const fw::Str kClearTitle = "クリア(新規登録)"_sj;

}  // namespace entry::text
