// The IPv4 address edit and its typing rules.
#include "widgets/ip_edit_qt.h"

#include <QApplication>
#include <QClipboard>
#include <QFocusEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <algorithm>
#include <utility>

#include "util/message_box_qt.h"
#include "widgets/edits_qt.h"

namespace gavrix {

IpEdit::IpEdit(QWidget* parent) : QFrame(parent) {
  // Drawn as one edit: a sunken white panel holding four frameless fields.
  setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
  setBackgroundRole(QPalette::Base);
  setAutoFillBackground(true);
  setFocusPolicy(Qt::StrongFocus);
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(2, 1, 2, 1);
  row->setSpacing(0);
  auto* digits = new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,3}")), this);
  const int width = fontMetrics().horizontalAdvance(QStringLiteral("000")) + 6;
  for (int i = 0; i < 4; ++i) {
    if (i > 0) {
      auto* dot = new QLabel(QStringLiteral("."), this);
      dot->setBackgroundRole(QPalette::Base);
      row->addWidget(dot);
    }
    auto* f = new QLineEdit(this);
    f->setFrame(false);
    f->setMaxLength(3);
    f->setValidator(digits);
    f->setAlignment(Qt::AlignCenter);
    f->setFixedWidth(width);
    f->setContextMenuPolicy(Qt::NoContextMenu);
    f->installEventFilter(this);
    connect(f, &QLineEdit::textEdited, this, [this, i](const QString& t) { fieldEdited(i, t); });
    // Leading zeros go once the field is left.
    connect(f, &QLineEdit::editingFinished, this, [this, i, f] {
      if (!f->text().isEmpty() && f->text() != QString::number(octets_[static_cast<size_t>(i)]))
        f->setText(QString::number(octets_[static_cast<size_t>(i)]));
    });
    row->addWidget(f);
    fields_[static_cast<size_t>(i)] = f;
  }
  row->addStretch();
  setFocusProxy(fields_[0]);
}

void IpEdit::setOctet(int i, int value) {
  if (i < 0 || i > 3) return;
  value = std::clamp(value, 0, 255);
  octets_[static_cast<size_t>(i)] = value;
  fields_[static_cast<size_t>(i)]->setText(QString::number(value));
  touched_ = true;
  emit changed();
}

QString IpEdit::text() const { return touched_ ? dotted() : QString(); }

QString IpEdit::dotted() const {
  return QStringLiteral("%1.%2.%3.%4").arg(octets_[0]).arg(octets_[1]).arg(octets_[2]).arg(octets_[3]);
}

void IpEdit::fieldEdited(int i, const QString& text) {
  QLineEdit* f = fields_[static_cast<size_t>(i)];
  int value = text.toInt();
  if (value > 255) {
    value = 255;
    f->setText(QStringLiteral("255"));
    Boxes().beep();
  }
  octets_[static_cast<size_t>(i)] = value;
  touched_ = true;
  emit changed();
  // Three digits fill a field: go on to the next.
  if (f->text().size() == 3 && f->cursorPosition() == 3 && i < 3) moveOn(i);
}

void IpEdit::moveOn(int i) {
  focusField(i + 1, true, false);
  movedOn_ = true;
}

void IpEdit::focusField(int i, bool selectAll, bool atEnd) {
  QLineEdit* f = fields_[static_cast<size_t>(i)];
  f->setFocus(Qt::OtherFocusReason);
  if (selectAll) f->selectAll();
  else f->setCursorPosition(atEnd ? static_cast<int>(f->text().size()) : 0);
}

void IpEdit::selectWhole() {
  focusField(0, true, false);
  for (QLineEdit* f : fields_) f->selectAll();
  whole_ = true;
}

void IpEdit::endWholeSelection() {
  if (!std::exchange(whole_, false)) return;
  for (QLineEdit* f : fields_)
    if (!f->hasFocus()) f->deselect();
}

void IpEdit::clearAll() {
  whole_ = false;
  for (QLineEdit* f : fields_) f->clear();
  octets_ = {};
  touched_ = true;
  emit changed();
  focusField(0, false, false);
}

bool IpEdit::pasteAddress() {
  const QString text = QApplication::clipboard()->text().trimmed();
  static const QRegularExpression dotted(QStringLiteral("^(\\d{1,3})\\.(\\d{1,3})\\.(\\d{1,3})\\.(\\d{1,3})$"));
  const QRegularExpressionMatch m = dotted.match(text);
  if (!m.hasMatch()) return false;
  std::array<int, 4> octets{};
  for (int i = 0; i < 4; ++i) octets[static_cast<size_t>(i)] = m.captured(i + 1).toInt();
  // An octet above 255 makes it no address: nothing changes.
  if (*std::max_element(octets.begin(), octets.end()) > 255) {
    Boxes().beep();
    return true;
  }
  for (int i = 0; i < 4; ++i) setOctet(i, octets[static_cast<size_t>(i)]);
  focusField(3, false, true);
  return true;
}

bool IpEdit::eventFilter(QObject* watched, QEvent* event) {
  const auto it = std::find(fields_.begin(), fields_.end(), watched);
  if (it == fields_.end()) return QFrame::eventFilter(watched, event);
  switch (event->type()) {
    case QEvent::KeyPress:
      if (keyPressed(static_cast<int>(it - fields_.begin()), static_cast<QKeyEvent*>(event))) return true;
      break;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
      movedOn_ = false;
      endWholeSelection();
      break;
    case QEvent::FocusOut: {
      // The user took the focus elsewhere (this edit's own moves give no reason).
      const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
      if (reason != Qt::OtherFocusReason && reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
        movedOn_ = false;
        endWholeSelection();
      }
      break;
    }
    default:
      break;
  }
  return QFrame::eventFilter(watched, event);
}

bool IpEdit::wholeKeyPressed(QKeyEvent* key) {
  if (key->matches(QKeySequence::Copy) || key->matches(QKeySequence::Cut)) {
    QApplication::clipboard()->setText(dotted());
    if (key->matches(QKeySequence::Cut)) clearAll();
    return true;
  }
  const bool plain = (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
  if (plain && (key->key() == Qt::Key_Backspace || key->key() == Qt::Key_Delete)) {
    clearAll();
    return true;
  }
  const auto c = TypedCharacter(key);
  if (!c) return false;
  if (*c >= u'0' && *c <= u'9') {
    // A new address starts in the first field.
    clearAll();
    fields_[0]->insert(*c);
  } else if (*c != u'.' && *c != u' ') {
    Boxes().beep();
  }
  return true;
}

bool IpEdit::keyPressed(int i, QKeyEvent* key) {
  switch (key->key()) {
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_Meta:
      return false;  // a modifier on its way to a key changes nothing yet
    default:
      break;
  }
  const bool movedOn = std::exchange(movedOn_, false);
  if (key->matches(QKeySequence::SelectAll)) {
    selectWhole();
    return true;
  }
  if (key->matches(QKeySequence::Paste)) {
    endWholeSelection();
    return pasteAddress();
  }
  if (whole_) {
    if (wholeKeyPressed(key)) return true;
    endWholeSelection();
  }

  QLineEdit* f = fields_[static_cast<size_t>(i)];
  const bool noSelection = !f->hasSelectedText();
  const int length = static_cast<int>(f->text().size());
  const int cursor = f->cursorPosition();
  const bool plain = (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
  switch (key->key()) {
    case Qt::Key_Left:
      if (plain && noSelection && cursor == 0 && i > 0) {
        focusField(i - 1, false, true);
        return true;
      }
      break;
    case Qt::Key_Right:
      if (plain && noSelection && cursor == length && i < 3) {
        focusField(i + 1, false, false);
        return true;
      }
      break;
    case Qt::Key_Backspace:
      // At the start of a field, or right after a move by itself: the digit before the dot goes.
      if (plain && i > 0 && (movedOn || (noSelection && cursor == 0))) {
        focusField(i - 1, false, true);
        QLineEdit* prev = fields_[static_cast<size_t>(i - 1)];
        if (!prev->text().isEmpty()) prev->backspace();
        return true;
      }
      break;
    case Qt::Key_Delete:
      if (plain && i < 3 && noSelection && cursor == length) {
        focusField(i + 1, false, false);
        QLineEdit* next = fields_[static_cast<size_t>(i + 1)];
        if (!next->text().isEmpty()) next->del();
        return true;
      }
      break;
    default:
      break;
  }
  if (auto c = TypedCharacter(key); c && *c != u'\b') {
    if (*c == u'.' || *c == u' ') {
      // A dot ends a field that holds something, the way the address is read aloud; right
      // after a move by itself it is that move.
      if (!movedOn && i < 3 && length > 0) focusField(i + 1, true, false);
      return true;
    }
    if (*c < u'0' || *c > u'9') {
      Boxes().beep();
      return true;
    }
    // A full field with the cursor at its end passes the digit on to the next one.
    if (noSelection && length == 3 && cursor == 3 && i < 3) {
      focusField(i + 1, true, false);
      fields_[static_cast<size_t>(i + 1)]->insert(*c);
      return true;
    }
  }
  return false;
}

}  // namespace gavrix
