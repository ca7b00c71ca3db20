// The IPv4 address edit and its typing rules.
#include "settings/ip_edit_qt.h"

#include <QApplication>
#include <QClipboard>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <algorithm>

#include "settings/edits_qt.h"
#include "util/message_box_qt.h"

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

QString IpEdit::text() const {
  if (!touched_) return {};
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
  if (f->text().size() == 3 && f->cursorPosition() == 3 && i < 3) focusField(i + 1, true, false);
}

void IpEdit::focusField(int i, bool selectAll, bool atEnd) {
  QLineEdit* f = fields_[static_cast<size_t>(i)];
  f->setFocus(Qt::OtherFocusReason);
  if (selectAll) f->selectAll();
  else f->setCursorPosition(atEnd ? static_cast<int>(f->text().size()) : 0);
}

bool IpEdit::pasteAddress() {
  const QString text = QApplication::clipboard()->text().trimmed();
  static const QRegularExpression dotted(QStringLiteral("^(\\d{1,3})\\.(\\d{1,3})\\.(\\d{1,3})\\.(\\d{1,3})$"));
  const QRegularExpressionMatch m = dotted.match(text);
  if (!m.hasMatch()) return false;
  for (int i = 0; i < 4; ++i) setOctet(i, m.captured(i + 1).toInt());
  focusField(3, false, true);
  return true;
}

bool IpEdit::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress) return QFrame::eventFilter(watched, event);
  const auto it = std::find(fields_.begin(), fields_.end(), watched);
  if (it == fields_.end()) return QFrame::eventFilter(watched, event);
  const int i = static_cast<int>(it - fields_.begin());
  QLineEdit* f = *it;
  auto* key = static_cast<QKeyEvent*>(event);
  const bool noSelection = !f->hasSelectedText();
  const int length = static_cast<int>(f->text().size());

  if (key->matches(QKeySequence::Paste)) return pasteAddress() || QFrame::eventFilter(watched, event);
  switch (key->key()) {
    case Qt::Key_Left:
      if (noSelection && f->cursorPosition() == 0 && i > 0 && key->modifiers() == Qt::NoModifier) {
        focusField(i - 1, false, true);
        return true;
      }
      break;
    case Qt::Key_Right:
      if (noSelection && f->cursorPosition() == length && i < 3 && key->modifiers() == Qt::NoModifier) {
        focusField(i + 1, false, false);
        return true;
      }
      break;
    case Qt::Key_Backspace:
      if (noSelection && f->cursorPosition() == 0 && i > 0) {
        focusField(i - 1, false, true);
        QLineEdit* prev = fields_[static_cast<size_t>(i - 1)];
        if (!prev->text().isEmpty()) prev->backspace();
        return true;
      }
      break;
    default:
      break;
  }
  if (auto c = TypedCharacter(key); c && *c != u'\b') {
    if (*c == u'.' || *c == u' ') {
      // A dot ends a field that holds something, the way the address is read aloud.
      if (i < 3 && length > 0) focusField(i + 1, true, false);
      return true;
    }
    if (*c < u'0' || *c > u'9') {
      Boxes().beep();
      return true;
    }
    // A full field with the cursor at its end passes the digit on to the next one.
    if (noSelection && length == 3 && f->cursorPosition() == 3 && i < 3) {
      focusField(i + 1, true, false);
      fields_[static_cast<size_t>(i + 1)]->insert(*c);
      return true;
    }
  }
  return QFrame::eventFilter(watched, event);
}

}  // namespace gavrix
