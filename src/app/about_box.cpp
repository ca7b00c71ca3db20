// The about box: fixed layout of 298 x 228 pixels, centred on the screen.
#include "app/about_box.h"

#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>
#include <QShowEvent>

#include "app/platform/desktop.h"
#include "settings/settings.h"
#include "widgets/icons_qt.h"
#include "widgets/placement_qt.h"
#include "widgets/translucency_qt.h"

namespace gavrix {

namespace {

QLabel* Text(QWidget* parent, const char* text, int x, int y) {
  auto* label = new QLabel(QString::fromUtf8(text), parent);
  label->setTextFormat(Qt::PlainText);
  label->move(x, y);
  label->adjustSize();
  return label;
}

}  // namespace

TFormAbout::TFormAbout(const Settings* settings, WebAddress* web, QWidget* parent)
    : QDialog(parent), settings_(settings), web_(web) {
  setObjectName(QStringLiteral("FormAbout"));
  setWindowTitle(QStringLiteral("Info"));
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                 Qt::MSWindowsFixedSizeDialogHint);
  QFont compact = font();
  compact.setPixelSize(11);
  setFont(compact);
  setFixedSize(298, 228);

  Image1 = new QLabel(this);
  Image1->setPixmap(AppIcon().pixmap(32, 32));
  Image1->setGeometry(16, 14, 32, 32);

  Label1 = Text(this, "Gavrix", 60, 6);
  QFont big = compact;
  big.setPixelSize(27);
  big.setBold(true);
  big.setItalic(true);
  Label1->setFont(big);
  QPalette blue = Label1->palette();
  blue.setColor(QPalette::WindowText, kLinkColor);
  Label1->setPalette(blue);
  Label1->adjustSize();

  Text(this, "version 1.99 beta", 64, 40);
  Text(this, "Fast search Valve multiplayer servers", 16, 66);
  Text(this, "Supported games:", 16, 92);
  Text(this, "Half-Life, CS1.5,  CS 1.6,  CS:Source", 32, 110);
  Text(this, "Half-life 2,  Condition-Zero", 32, 126);
  Text(this, "Day Of Defeat, Team Fortress", 32, 142);
  Text(this, "Home page:", 16, 170);

  Label10 = Text(this, "", 16, 188);
  Label10->setObjectName(QStringLiteral("Label10"));
  Label10->setText(kHomePage.toString());
  Label10->adjustSize();
  Label10->setCursor(Qt::PointingHandCursor);
  Label10->setMouseTracking(true);
  Label10->installEventFilter(this);
  setLinkColor(kLinkColor);

  CentreOnScreen(this);
}

void TFormAbout::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!event->spontaneous()) FormShow();
}

void TFormAbout::FormShow() {
  if (settings_) ApplyTranslucencyOnShow(this, settings_->Trans, settings_->TransLevel, ShowRule::Follow);
}

void TFormAbout::Label10Click() {
  if (web_) web_->open(kHomePage);
}

void TFormAbout::Label10MouseDown() { setLinkColor(kPressedColor); }
void TFormAbout::Label10MouseUp() { setLinkColor(kUsedColor); }
void TFormAbout::Label10MouseMove() { setLinkUnderline(true); }
void TFormAbout::Label10MouseLeave() { setLinkUnderline(false); }

bool TFormAbout::eventFilter(QObject* watched, QEvent* event) {
  if (watched != Label10) return QDialog::eventFilter(watched, event);
  switch (event->type()) {
    case QEvent::MouseButtonPress:
      pressed_ = true;
      Label10MouseDown();
      break;
    case QEvent::MouseButtonRelease: {
      Label10MouseUp();
      const bool inside = Label10->rect().contains(static_cast<QMouseEvent*>(event)->position().toPoint());
      if (pressed_ && inside) Label10Click();
      pressed_ = false;
      break;
    }
    case QEvent::MouseMove:
    case QEvent::Enter:
      Label10MouseMove();
      break;
    case QEvent::Leave:
      Label10MouseLeave();
      break;
    default:
      break;
  }
  return QDialog::eventFilter(watched, event);
}

void TFormAbout::setLinkColor(const QColor& color) {
  QPalette p = Label10->palette();
  p.setColor(QPalette::WindowText, color);
  Label10->setPalette(p);
}

void TFormAbout::setLinkUnderline(bool on) {
  QFont f = Label10->font();
  if (f.underline() == on) return;
  f.setUnderline(on);
  Label10->setFont(f);
}

}  // namespace gavrix
