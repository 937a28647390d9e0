#include "framework/form/internal/text_boxes.h"

#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QValidator>
#include <algorithm>
#include <utility>

#include "framework/core/cp932.h"

namespace fw::internal {

// --- CharacterGate ------------------------------------------------------------

bool CharacterGate::admits(const QString& text) {
  return refuse(charactersWithoutCp932(text.toStdString()));
}

bool CharacterGate::admitsChange(const QString& before, const QString& after) {
  std::vector<std::string> missing = charactersWithoutCp932(after.toStdString());
  if (missing.empty()) return true;
  const std::vector<std::string> had = charactersWithoutCp932(before.toStdString());
  std::erase_if(missing, [&had](const std::string& c) {
    return std::find(had.begin(), had.end(), c) != had.end();
  });
  return refuse(missing);
}

bool CharacterGate::refuse(const std::vector<std::string>& characters) {
  if (characters.empty()) return true;
  for (const std::string& c : characters)
    if (std::find(refused_.begin(), refused_.end(), c) == refused_.end()) refused_.push_back(c);
  if (!noticeDue_) {
    noticeDue_ = true;
    // Dropped with the box if it goes first.
    QMetaObject::invokeMethod(box_, [this] { tell(); }, Qt::QueuedConnection);
  }
  return false;
}

void CharacterGate::tell() {
  noticeDue_ = false;
  std::vector<std::string> characters = std::exchange(refused_, {});
  if (characters.empty()) return;
  tellCharactersRefused(owner ? owner() : DialogOwner{box_->window(), Str()}, characters);
}

// --- MultiLineEdit ------------------------------------------------------------

void MultiLineEdit::keyPressEvent(QKeyEvent* event) {
  if (!isReadOnly() && !event->text().isEmpty() && !gate_.admits(event->text())) {
    event->accept();
    return;
  }
  QPlainTextEdit::keyPressEvent(event);
}

void MultiLineEdit::inputMethodEvent(QInputMethodEvent* event) {
  // The composition ends as the input method asked, without its result (and
  // without replacing any text around the caret).
  if (!isReadOnly() && !event->commitString().isEmpty() && !gate_.admits(event->commitString()))
    event->setCommitString(QString());
  QPlainTextEdit::inputMethodEvent(event);
}

bool MultiLineEdit::canInsertFromMimeData(const QMimeData* source) const {
  return source && source->hasText() && QPlainTextEdit::canInsertFromMimeData(source);
}

void MultiLineEdit::insertFromMimeData(const QMimeData* source) {
  // Qt 6.4's own insertion reads the first of the source's formats without
  // looking whether there is one, so an empty clipboard (after a login, or
  // once the program that copied has ended) crashed the program here. A box
  // takes plain text only, and inserts exactly the text it has checked.
  if (isReadOnly() || !source || !source->hasText()) return;
  const QString text = source->text();
  if (text.isEmpty() || !gate_.admits(text)) return;
  insertPlainText(text);
  ensureCursorVisible();
}

// --- SingleLineEdit -----------------------------------------------------------

namespace {

int cp932Bytes(const QString& text) { return static_cast<int>(fromUtf8(text.toStdString()).size()); }

}  // namespace

// Judges the text after each of the operator's edits, whichever way it came
// (keys, paste, drop, the context menu, the middle button): QLineEdit undoes
// an edit its validator calls Invalid.
class SingleLineEdit::Guard final : public QValidator {
 public:
  Guard(SingleLineEdit& box, int byteLimit) : QValidator(&box), box_(box), byteLimit_(byteLimit) {}

  State validate(QString& input, int& pos) const override {
    if (!box_.programSets_) {
      if (!box_.gate_.admitsChange(box_.accepted_, input)) return Invalid;
      if (byteLimit_ > 0) cutToLimit(input, pos);
    }
    box_.accepted_ = input;
    return Acceptable;
  }

 private:
  // Removes characters before the caret (what was just typed or pasted),
  // else from the end, until the text fits.
  void cutToLimit(QString& input, int& pos) const {
    while (cp932Bytes(input) > byteLimit_) {
      int at = pos > 0 ? pos - 1 : static_cast<int>(input.size()) - 1;
      if (at < 0) break;
      const int width =
          (at > 0 && input[at].isLowSurrogate() && input[at - 1].isHighSurrogate()) ? 2 : 1;
      at -= width - 1;
      input.remove(at, width);
      if (pos > at) pos = at;
    }
  }

  SingleLineEdit& box_;
  int byteLimit_;
};

SingleLineEdit::SingleLineEdit(QWidget* parent, int byteLimit) : QLineEdit(parent), gate_(this) {
  setValidator(new Guard(*this, byteLimit));
}

void SingleLineEdit::setProgramText(const QString& text) {
  programSets_ = true;
  setText(text);
  programSets_ = false;
  accepted_ = this->text();
}

void SingleLineEdit::inputMethodEvent(QInputMethodEvent* event) {
  if (!isReadOnly() && !event->commitString().isEmpty() && !gate_.admits(event->commitString()))
    event->setCommitString(QString());
  QLineEdit::inputMethodEvent(event);
}

}  // namespace fw::internal
