// Small edit controls of the settings dialog: a digits-only edit and a spin
// edit changed only by its arrows, and the rule of what counts as a typed character.
#pragma once

#include <QLineEdit>
#include <QSpinBox>
#include <optional>

class QKeyEvent;

namespace gavrix {

// The character a key press types into an edit: a printable character or
// Backspace ('\b'). Navigation keys, Return, Tab, Escape, Delete and shortcuts
// with Ctrl, Alt or Meta type none.
std::optional<QChar> TypedCharacter(const QKeyEvent* event);

// A line edit that takes only the digits 0 to 9 and Backspace as typed
// characters; any other character is refused with the beep. Text that arrives
// otherwise (paste, drop) is refused the same way when it brings a non-digit.
// Text set by the program (setProgramText) is taken as it is, whatever its
// characters and length.
class DigitsEdit : public QLineEdit {
  Q_OBJECT

 public:
  explicit DigitsEdit(QWidget* parent = nullptr);

  // Most characters the user's changes may leave (0: no limit).
  void setLimit(int characters) { limit_ = characters; }
  int limit() const { return limit_; }
  // Shows a text without checking it: stored settings are shown whole.
  void setProgramText(const QString& text);

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  QString shown_;  // the text before the change being checked
  int limit_ = 0;
};

// A spin edit changed only by its arrow buttons and the Up and Down keys: no
// typing, no page steps, no mouse wheel.
class ArrowSpinEdit : public QSpinBox {
  Q_OBJECT

 public:
  ArrowSpinEdit(int minimum, int maximum, int value, QWidget* parent = nullptr);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
};

}  // namespace gavrix
