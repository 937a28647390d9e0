// Texts of the history dialogs and windows, byte for byte (blanks and
// full-width characters included). CP932 at run time.
#pragma once

#include "framework/core/str.h"

namespace history::text {

using fw::literals::operator""_sj;

inline const fw::Str kHistoryChangedQuestion = "データが変更されています。\r\nこのまま履歴を表示しますか？"_sj;
inline const fw::Str kHistoryTitle = "履　歴"_sj;

// Registration.
inline const fw::Str kNewQuestion =
    "現在の入力内容を履歴ファイルに新規登録します。　よろしいですか？   "_sj;
inline const fw::Str kOverwriteQuestion =
    "現在の入力内容をファイルに上書き登録します。　よろしいですか？   "_sj;
inline const fw::Str kExamNoTooLong = "番号の入力可能ケタ数は、10ケタまでです！  　確認して下さい。"_sj;
inline const fw::Str kExamNoFullWidth = "番号は半角数字で入力して下さい！ 　確認して下さい。"_sj;
inline const fw::Str kExamNoBelowOne = "番号は「０」より大きい数値を入力して下さい！ 　確認して下さい。"_sj;
inline const fw::Str kChartNoTooLong =
    "カルテ番号の入力可能ケタ数は、10ケタまでです！  　確認して下さい。"_sj;
inline const fw::Str kChartNoFullWidth = "カルテ番号は半角数字で入力して下さい！ 　確認して下さい。"_sj;
inline const fw::Str kChartNoBelowOne =
    "カルテ番号は「０」より大きい数値を入力して下さい！ 　確認して下さい。"_sj;
inline const fw::Str kNameMissing = "氏名が入力されていません。　確認して下さい。"_sj;
// The two history files hold different numbers of records.
inline const fw::Str kCountMismatchTitle = "履歴ファイル"_sj;
inline fw::Str countMismatch(const fw::Str& attributes, const fw::Str& clinical) {
  return "履歴ファイルの件数が一致しません。"_sj + "\r\n" + "EKGDATA_1："_sj + attributes +
         "件、EKGDATA_2："_sj + clinical +
         "件\r\n新しい登録はEKGDATA_1の件数に合わせて記録されます。"_sj;
}

}  // namespace history::text
