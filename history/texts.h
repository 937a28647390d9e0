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

// The three searches: titles of every box, the input prompts.
inline const fw::Str kNumberSearchTitle = "番号で検索"_sj;
inline const fw::Str kChartSearchTitle = "カルテ番号で検索"_sj;
inline const fw::Str kNameSearchTitle = "氏名で検索"_sj;
inline const fw::Str kNumberPrompt = "番号を入力して下さい。"_sj;
inline const fw::Str kChartPrompt = "カルテ番号を入力して下さい。"_sj;
inline const fw::Str kNamePrompt = "氏名を入力して下さい。"_sj;

// Searches from the main window: the question's first line, the common rest
// of the question, the not-found messages.
inline const fw::Str kNumberSearchLead = "入力した番号の受検者の属性を過去履歴から検索します。"_sj;
inline const fw::Str kChartSearchLead = "入力したカルテ番号の受検者の属性を過去履歴から検索します。"_sj;
inline const fw::Str kNameSearchLead = "入力した氏名の受検者の属性を過去履歴から検索します。"_sj;
inline const fw::Str kAreYouSure = "よろしいですか？   "_sj;
inline const fw::Str kNewestNoteLine1 = "(但し、検索対象が履歴に複数ある場合は、最も新しいデータを   　　   "_sj;
inline const fw::Str kNewestNoteLine2 = " 表示します）"_sj;
inline const fw::Str kNumberNotFound = "該当する番号の受験者は、ありませんでした。   "_sj;
inline const fw::Str kChartNotFound = "該当するカルテ番号の受験者は、ありませんでした。   "_sj;
inline const fw::Str kNameNotFound = "該当する氏名の受験者は、ありませんでした。   "_sj;

// Searches in the history window (each question continues with CR LF and
// kAreYouSure).
inline const fw::Str kListNumberQuestion = "入力した番号の受検者を過去履歴から検索します"_sj;
inline const fw::Str kListChartQuestion = "入力したカルテ番号の受検者を過去履歴から検索します"_sj;
inline const fw::Str kListNameQuestion = "入力した氏名の受検者を過去履歴から検索します(不完全一致可)。"_sj;
inline const fw::Str kListNumberNotFound = "入力した番号の受検者は、ありませんでした。  "_sj;
inline const fw::Str kListChartNotFound = "入力したカルテ番号の受検者は、ありませんでした。  "_sj;
inline const fw::Str kListNameNotFound = "入力した氏名の受検者は、ありませんでした。  "_sj;
inline const fw::Str kResetTitle = "RESET"_sj;
inline const fw::Str kResetText = "履歴リストを初期表示に戻します。    "_sj;

// The picture and help texts of the history window.
inline const fw::Str kWindowTitle = "  履 歴"_sj;
inline const fw::Str kNumberHeader = "No.      番号 　　　   　　 氏　名　   　 　 "_sj;
inline const fw::Str kNumberHeaderShadow = "No.      番号 　　　   　　 氏　名　   　　  "_sj;
inline const fw::Str kChartHeader = "No.   カルテ番号　　   　　 氏　名　   　 　 "_sj;
inline const fw::Str kRightHeader = "性別　　  生年月日　  　 年齢　　  　実施日"_sj;
inline const fw::Str kPrintBoxLabel = "履歴印刷"_sj;
inline const fw::Str kHelpList = "各受検者の心電図カルテを再表示したい場合は、上記の履歴リストをダブルクリックまたはリストを選択の後、開くボタンをクリックして受検者のファイルを開いて下さい。また、削除ボタンによって各受検者の履歴ファイルを削除することができます。なお、リストの表示に時間を要する場合は、[Esc]keyによって表示を停止することができます。"_sj;
inline const fw::Str kHelpPrint = "右記の印刷開始行番号と印刷終了行番号を指定して、印刷ボタンによって上記の履歴リストを印刷して下さい（但し、印刷可能行数は300行までです）。 また、印刷を途中で停止する場合は、[Esc]keyによって停止できます。"_sj;

// Opening and deleting an entry.
inline const fw::Str kOpenTitle = "開　く"_sj;
inline const fw::Str kOpenNameLabel = "氏　名："_sj;
inline const fw::Str kOpenDateLabel = "実施日："_sj;
inline const fw::Str kOpenQuestion = "選択した受検者の履歴ファイルを開きます。　よろしいですか？　   "_sj;
inline const fw::Str kOpenNothingSelected = "履歴からファイルを開く対象者が選択されていません。   "_sj;
inline const fw::Str kDeleteTitle = "削　除"_sj;
inline const fw::Str kDeleteNameLabel = "氏名："_sj;
inline const fw::Str kDeleteQuestion = "選択した受検者の履歴ファイルを削除します。　よろしいですか？　   "_sj;
inline const fw::Str kDeleteNothingSelected = "削除対象者が選択されていません。   "_sj;
inline const fw::Str kDeleteDone = "削除が完了しました。     "_sj;
// The entry of a list line is no longer in the history files (they were
// shortened or replaced while the window was open).
inline const fw::Str kEntryUnreadable =
    "選択した受検者の履歴ファイルを読み込めませんでした。   \r\n履歴リストを表示し直します。"_sj;
inline const fw::Str kEntryNotDeletable =
    "選択した受検者の履歴ファイルが見つからないため、削除できませんでした。   \r\n履歴リストを表示し直します。"_sj;

// Another program on the shared folder changed or removed the entry after
// the list was shown or the entry was opened: nothing was written.
inline const fw::Str kEntryChangedElsewhere =
    "選択した受検者の履歴ファイルは、一覧を表示した後に他のパソコンで変更または削除されました。\r\n何も変更していません。履歴リストを表示し直しますので、もう一度選択して下さい。"_sj;
inline const fw::Str kOverwriteChangedElsewhere =
    "開いた受検者の履歴ファイルは、開いた後に他のパソコンで変更または削除されました。\r\n上書きしていません。入力内容はそのまま残っています。\r\n「新規登録」で登録するか、履歴から開き直して下さい。"_sj;

// Failures from outside the program: what could not be done, then the cause.
inline const fw::Str kRegisterFailed = "履歴ファイルに登録できませんでした。"_sj;
inline const fw::Str kTypedValuesKept =
    "入力内容はそのまま残っています。原因を取り除いてから、もう一度「登 録」を押して下さい。"_sj;
inline const fw::Str kDeleteFailed = "履歴ファイルを削除できませんでした。"_sj;
inline const fw::Str kOpenFailed = "履歴ファイルを開けませんでした。"_sj;
inline const fw::Str kReadFailed = "履歴ファイルを読み込めませんでした。"_sj;
inline const fw::Str kFaultBusy =
    "他のパソコンが履歴ファイルに書き込み中です。しばらく待ってから、もう一度行って下さい。"_sj;
inline const fw::Str kFaultInUse =
    "他のプログラムが履歴ファイルを使用中です。そのプログラムを終了してから、もう一度行って下さい。"_sj;
inline const fw::Str kFaultDiskFull =
    "ディスクの空き容量が足りません。空きを作ってから、もう一度行って下さい。"_sj;
inline const fw::Str kFaultNotWritable =
    "EKG_DATAフォルダに書き込めません（読み取り専用か、書き込みの権限がありません）。\r\n管理者に確認して下さい。"_sj;
inline const fw::Str kFaultFolderMissing =
    "EKG_DATAフォルダが見つかりません。ネットワークドライブの接続を確認して下さい。"_sj;
inline const fw::Str kFaultDamaged =
    "履歴ファイルが途中で切れています。管理者に確認して下さい。"_sj;
inline const fw::Str kFaultDevice =
    "ディスクまたはネットワークの読み書きに失敗しました。接続を確認してから、もう一度行って下さい。"_sj;

// The daily backup could not be taken (the program goes on): what stopped
// it, and what to do.
inline const fw::Str kBackupTitle = "バックアップ"_sj;
inline const fw::Str kBackupFolderNotWritable =
    "データのバックアップを作成できませんでした。\r\nEKG_BACKUPフォルダを作成できないか、書き込めません。フォルダの書き込みの可否を確認して下さい。"_sj;
inline const fw::Str kBackupDiskFull =
    "データのバックアップを作成できませんでした。\r\nEKG_BACKUPフォルダのディスクに空きがありません。空き容量を確認して下さい。"_sj;
inline const fw::Str kBackupWriteFailed =
    "データのバックアップを作成できませんでした。\r\nEKG_BACKUPフォルダへの書き込みに失敗しました。ディスクの状態を確認して下さい。"_sj;
inline const fw::Str kBackupHistoryBusy =
    "データのバックアップを作成できませんでした。\r\n他のコンピューターが履歴ファイルを使用し続けています。次回の起動時にもう一度作成します。"_sj;
// A file of EKG_DATA or EKG_SYS ("EKG_SYS\\INSA_FO") that cannot be read.
inline fw::Str backupSourceUnreadable(const fw::Str& file) {
  return "データのバックアップを作成できませんでした。\r\n"_sj + file +
         "を読み込めません。ファイルの状態と読み取りの可否を確認して下さい。"_sj;
}
// A history file ("EKGDATA_1") whose last record is cut short.
inline fw::Str backupHistoryCutShort(const fw::Str& file) {
  return "データのバックアップを作成できませんでした。\r\n履歴ファイル"_sj + file +
         "の最後のデータが途中で切れています。最後に登録した受検者を履歴で確認して下さい。"_sj;
}

// CSV export from the context menu of the history list.
inline const fw::Str kCsvShownItem = "表示中の一覧をCSVファイルに保存..."_sj;
inline const fw::Str kCsvAllItem = "全履歴をCSVファイルに保存..."_sj;
inline const fw::Str kCsvTitle = "CSVファイルに保存"_sj;
inline const fw::Str kCsvFilter = "CSV (*.csv)"_sj;
inline fw::Str csvSaved(const fw::Str& count) {
  return "CSVファイルに保存しました。（"_sj + count + "件）"_sj;
}
inline const fw::Str kCsvFailed =
    "CSVファイルを保存できませんでした。\r\n保存先と空き容量を確認して下さい。"_sj;

// The change log of an entry (FORM10), from the context menu of the list.
inline const fw::Str kChangeLogItem = "変更の記録..."_sj;
inline const fw::Str kChangeLogTitle = "変更の記録"_sj;
inline const fw::Str kChangeLogNothingSelected = "変更の記録を見る受検者が選択されていません。   "_sj;
inline const fw::Str kChangeLogNone =
    "この受検者の履歴ファイルには変更の記録がありません。\r\n記録を始める前に登録され、その後は変更されていません。"_sj;
inline const fw::Str kChangeLogReadFailed = "変更の記録を読み込めませんでした。"_sj;
inline const fw::Str kChangeLogPickVersion = "戻す版が選択されていません。   "_sj;
inline const fw::Str kChangeLogVersionLost =
    "この版の内容は変更の記録に残っていません（記録の外で書き換えられました）。\r\n戻すことはできません。"_sj;
inline const fw::Str kChangeLogAlreadyCurrent = "この版は今の内容です。戻す必要はありません。"_sj;
inline const fw::Str kRestoreFailed = "履歴ファイルを戻せませんでした。"_sj;
inline fw::Str restoreQuestion(const fw::Str& when) {
  return "この受検者の履歴ファイルを、"_sj + when +
         " の内容に戻します。\r\n今の内容も変更の記録に残ります。　よろしいですか？"_sj;
}
inline const fw::Str kRestoreDone = "戻しました。     "_sj;
inline const fw::Str kRestoreChangedElsewhere =
    "この受検者の履歴ファイルは、変更の記録を表示した後に他のパソコンで変更されました。\r\n何も変更していません。変更の記録を表示し直します。"_sj;

}  // namespace history::text
