// The about box TFormAbout: the program's name, version, the games it knows
// and a link label that opens the home page.
#pragma once

#include <QDialog>
#include <QUrl>

class QLabel;

namespace gavrix {

struct Settings;
class WebAddress;

// The program's home page, opened from the about box and the "Home page..." menu item.
inline const QUrl kHomePage{QStringLiteral("https://gavrix.example.org/")};

class TFormAbout : public QDialog {
  Q_OBJECT

 public:
  // settings: read at each showing for the transparency; web: opens the home page.
  TFormAbout(const Settings* settings, WebAddress* web, QWidget* parent = nullptr);

  QLabel* Image1 = nullptr;
  QLabel* Label1 = nullptr;   // "Gavrix"
  QLabel* Label10 = nullptr;  // the home page link

  // Link label colours: blue, red while a button is held on it, purple once used.
  static inline const QColor kLinkColor{0, 0, 255};
  static inline const QColor kPressedColor{255, 0, 0};
  static inline const QColor kUsedColor{128, 0, 128};

  void FormShow();
  void Label10Click();
  void Label10MouseDown();
  void Label10MouseUp();
  void Label10MouseMove();
  void Label10MouseLeave();

 protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void setLinkColor(const QColor& color);
  void setLinkUnderline(bool on);

  const Settings* settings_;
  WebAddress* web_;
  bool pressed_ = false;
};

}  // namespace gavrix
