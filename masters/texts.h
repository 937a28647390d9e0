// Texts of the master-list dialogs and windows, byte for byte (blanks and
// full-width characters included). CP932 at run time.
#pragma once

#include "framework/core/str.h"

namespace masters::text {

using fw::literals::operator""_sj;

// BUTTON5: the default hospital name.
inline const fw::Str kHospitalQuestion = "デフォルトで表示するための病医院名を入力しますか？   "_sj;
inline const fw::Str kHospitalTitle = "病医院名の登録"_sj;
inline const fw::Str kHospitalPrompt = "病医院名を入力して下さい。"_sj;

// BUTTON6 and FORM6.
inline const fw::Str kDoctorQuestion = "担当医を登録しますか？   "_sj;
inline const fw::Str kDoctorTitle = "担当医の登録"_sj;
inline const fw::Str kNoDataTitle = "NO DATA"_sj;
inline const fw::Str kNewEntryEmpty = "未入力または、未選択です！  "_sj;
inline const fw::Str kChangedEntryEmpty = "未入力です !    "_sj;
inline const fw::Str kDeleteQuestion =
    "選択した項目を削除してよろしいですか ?     \r\n( 注意：削除によってデフォルト表示は解除されます ）"_sj;
inline const fw::Str kDeleteTitle = "DELETE"_sj;
inline const fw::Str kNotSelected = "項目が選択されていません。   "_sj;
inline const fw::Str kNotSelectedTitle = "NOT SELECT!"_sj;
// The list is full / a name that cannot be stored (title kDoctorTitle).
inline const fw::Str kListFull =
    "担当医は500件まで登録できます。\r\nこれ以上は登録できません。不要な担当医を削除してから登録して下さい。"_sj;
inline const fw::Str kBadCharacter =
    "担当医師名に「\"」(ダブルクォーテーション)や改行は使用できません。  "_sj;

// The doctor list file could not be rewritten (title kDoctorTitle).
inline const fw::Str kListNotSaved =
    "担当医の一覧をファイルに保存できませんでした。\r\n変更は登録されていません。フォルダやファイルの書き込み権限を確認して下さい。"_sj;

// FORM6's captions and the notes drawn on it.
inline const fw::Str kButtonRegister = "登録(新規/編集)"_sj;
inline const fw::Str kButtonDefaultOn = "DEFAULT ON"_sj;
inline const fw::Str kButtonDefaultOff = "DEFAULT OFF"_sj;
inline const fw::Str kButtonShowDefault = "デフォルトを表示"_sj;
inline const fw::Str kButtonBack = "戻 る"_sj;
inline const fw::Str kHeading = "担当医の登録 "_sj;
inline const char* const kNotes[] = {
    "* 担当医師名を入力して下さい。",
    "  ( ﾀﾞﾌﾞﾙｸﾘｯｸで削除、ｼﾝｸﾞﾙｸﾘｯｸで編集、",
    "   デフォルトで表示する場合は、担当医",
    "   師名を選択して「DEFAULT ON」を、解",
    "   除する場合は、｢DEFAULT OFF」をどう",
    "   ぞ )",
};

}  // namespace masters::text
