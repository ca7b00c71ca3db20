// Digits-only edit and arrows-only spin edit.
#include "widgets/edits_qt.h"

#include <QKeyEvent>
#include <QValidator>
#include <QWheelEvent>

#include "util/message_box_qt.h"

namespace gavrix {

namespace {

int NonDigits(const QString& text) {
  int n = 0;
  for (QChar c : text)
    if (c < u'0' || c > u'9') ++n;
  return n;
}

// Refuses a change that brings a character other than a digit (with the beep)
// or grows the text past the limit. The edit checks every change the user
// makes (typing, paste, drop) before it takes it, while `shown` still holds the
// text before the change.
class DigitsValidator : public QValidator {
 public:
  DigitsValidator(const QString& shown, const int& limit, QObject* parent)
      : QValidator(parent), shown_(shown), limit_(limit) {}
  State validate(QString& input, int&) const override {
    if (NonDigits(input) > NonDigits(shown_)) {
      Boxes().beep();
      return Invalid;
    }
    if (limit_ > 0 && input.size() > limit_ && input.size() > shown_.size()) return Invalid;
    return Acceptable;
  }

 private:
  const QString& shown_;
  const int& limit_;
};

}  // namespace

std::optional<QChar> TypedCharacter(const QKeyEvent* event) {
  if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return std::nullopt;
  if (event->key() == Qt::Key_Backspace) return QChar(u'\b');
  const QString text = event->text();
  if (text.isEmpty() || !text.at(0).isPrint()) return std::nullopt;
  return text.at(0);
}

DigitsEdit::DigitsEdit(QWidget* parent) : QLineEdit(parent) {
  setValidator(new DigitsValidator(shown_, limit_, this));
  connect(this, &QLineEdit::textChanged, this, [this](const QString& text) { shown_ = text; });
}

void DigitsEdit::setProgramText(const QString& text) {
  shown_ = text;  // the check then finds nothing new in it
  setText(text);
}

void DigitsEdit::keyPressEvent(QKeyEvent* event) {
  if (auto c = TypedCharacter(event); c && *c != u'\b' && (*c < u'0' || *c > u'9')) {
    event->accept();
    Boxes().beep();
    return;
  }
  QLineEdit::keyPressEvent(event);
}

ArrowSpinEdit::ArrowSpinEdit(int minimum, int maximum, int value, QWidget* parent) : QSpinBox(parent) {
  setRange(minimum, maximum);
  setValue(value);
  lineEdit()->setReadOnly(true);
  setContextMenuPolicy(Qt::NoContextMenu);
}

void ArrowSpinEdit::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
      QSpinBox::keyPressEvent(event);
      return;
    default:
      // Leave Tab, Escape and the rest to the window; nothing else edits the value.
      event->ignore();
  }
}

void ArrowSpinEdit::wheelEvent(QWheelEvent* event) { event->ignore(); }

}  // namespace gavrix
