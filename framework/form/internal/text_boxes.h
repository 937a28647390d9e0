// The boxes the operator types into: the edit boxes of the windows
// (multi-line and single-line) and the field of the input box.
//
// The program keeps every text in CP932, and a character that CP932 cannot
// hold (𠮷, an emoji, ©) would reach it as '?'. These boxes refuse such a
// character wherever it comes in (typed, committed from the input method,
// pasted, dropped): the box keeps the text it had, and the operator is told
// which characters were refused. The notice is shown from the event loop
// just after, never inside Qt's own editing or a drop, which must not run a
// modal dialog half-way.
#pragma once

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QString>
#include <functional>
#include <string>
#include <vector>

#include "framework/form/internal/dialog_owner.h"

namespace fw::internal {

// The notice, as a message box of the framework (the responder answers it
// in tests): OK with the information icon over `owner`, naming the
// characters (UTF-8, each once). Implemented with the other dialogs.
void tellCharactersRefused(const DialogOwner& owner, const std::vector<std::string>& characters);

// What a box refuses, and the notice of it.
class CharacterGate {
 public:
  explicit CharacterGate(QWidget* box) : box_(box) {}

  // The window the notice belongs to; without one, the box's own window.
  std::function<DialogOwner()> owner;

  // True when `text` may enter the box. Otherwise remembers the characters
  // that CP932 lacks and has the notice shown once control returns to the
  // event loop (several refusals before then make one notice).
  bool admits(const QString& text);
  // The same for a box whose text changes from `before` to `after` as a
  // whole: only characters that were not in it already are refused (the
  // program may have shown U+FFFD for a broken byte of a stored field).
  bool admitsChange(const QString& before, const QString& after);

 private:
  bool refuse(const std::vector<std::string>& characters);
  void tell();

  QWidget* box_;
  std::vector<std::string> refused_;
  bool noticeDue_ = false;
};

class MultiLineEdit final : public QPlainTextEdit {
 public:
  explicit MultiLineEdit(QWidget* parent) : QPlainTextEdit(parent), gate_(this) {}
  // Where the text starts inside the frame (control_frames.cpp).
  void placeText(int frameWidth);
  CharacterGate& gate() { return gate_; }

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void inputMethodEvent(QInputMethodEvent* event) override;
  // Pasting, dropping and the middle-button paste all come through here.
  bool canInsertFromMimeData(const QMimeData* source) const override;
  void insertFromMimeData(const QMimeData* source) override;

 private:
  CharacterGate gate_;
};

class SingleLineEdit final : public QLineEdit {
 public:
  // byteLimit: the most CP932 bytes the field takes (0: no limit); what was
  // just typed or pasted is cut back to fit, never half a character.
  explicit SingleLineEdit(QWidget* parent, int byteLimit = 0);
  // The program's own text: shown as it is, never refused or cut.
  void setProgramText(const QString& text);
  CharacterGate& gate() { return gate_; }

 protected:
  void inputMethodEvent(QInputMethodEvent* event) override;

 private:
  class Guard;
  friend class Guard;

  CharacterGate gate_;
  QString accepted_;  // the text before the operator's edit being judged
  bool programSets_ = false;
};

}  // namespace fw::internal
