// Window placement on the screen.
#include "widgets/placement_qt.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace gavrix {

void CentreOnScreen(QWidget* window) {
  QScreen* screen = QGuiApplication::primaryScreen();
  if (!screen) return;
  QRect frame = window->frameGeometry();
  frame.moveCenter(screen->availableGeometry().center());
  window->move(frame.topLeft());
}

}  // namespace gavrix
