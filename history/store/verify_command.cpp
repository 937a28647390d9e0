#include "history/store/verify_command.h"

#include <string>
#include <string_view>

#include "framework/core/cp932.h"
#include "framework/core/error.h"
#include "framework/core/str.h"
#include "history/store/change_log.h"

namespace history {

using namespace fw::literals;

namespace {

void say(std::FILE* out, const fw::Str& text) {
  std::fputs((fw::toUtf8(text) + "\n").c_str(), out);
}

std::string number(long n) { return std::to_string(n); }

// At most this many numbers on one line of the report.
constexpr std::size_t kNumbersShown = 200;

}  // namespace

int verifyHistoryReport(std::FILE* out) {
  changelog::Verification v;
  try {
    v = changelog::verify();
  } catch (const fw::RuntimeError& e) {
    say(out, "履歴ファイルを読めませんでした（エラー "_sj + number(e.number()) +
                 "）。EKG_DATA のある場所で実行してください。"_sj);
    return 2;
  }
  say(out, "履歴 "_sj + number(v.entries) + " 件、変更の記録 "_sj + number(v.lines) + " 行"_sj);
  if (!v.logExists) say(out, "変更の記録はまだありません（最初の変更で始まります）。"_sj);
  if (!v.breaks.empty()) {
    say(out, "変更の記録のつながりが切れています: "_sj + number(static_cast<long>(v.breaks.size())) +
                 " か所"_sj);
    for (std::size_t i = 0; i < v.breaks.size() && i < kNumbersShown; ++i) {
      const changelog::ChainBreak& b = v.breaks[i];
      say(out, "  "_sj + number(b.line) + " 行目"_sj +
                   (b.n > 0 ? "（履歴 "_sj + number(b.n) + "）"_sj : fw::Str()));
    }
  }
  if (!v.changedOutside.empty()) {
    say(out, "変更の記録にない書き換えのある履歴: "_sj +
                 number(static_cast<long>(v.changedOutside.size())) + " 件"_sj);
    fw::Str numbers = "  履歴"_sj;
    for (std::size_t i = 0; i < v.changedOutside.size() && i < kNumbersShown; ++i) {
      numbers += " " + number(v.changedOutside[i]);
    }
    if (v.changedOutside.size() > kNumbersShown) numbers += " …"_sj;
    say(out, numbers);
  }
  if (v.beforeLog > 0) {
    say(out, "記録を始める前からの履歴: "_sj + number(v.beforeLog) + " 件（問題ではありません）"_sj);
  }
  if (v.notApplied > 0) {
    say(out, "途中で止まり書き込まれなかった変更: "_sj + number(v.notApplied) +
                 " 件（問題ではありません）"_sj);
  }
  say(out, v.consistent() ? "結果: 変更の記録と履歴は一致しています。"_sj
                          : "結果: 一致しません。上の履歴を確かめてください。"_sj);
  return v.consistent() ? 0 : 1;
}

}  // namespace history
