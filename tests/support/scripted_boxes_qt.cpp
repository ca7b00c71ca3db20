// Scripted message boxes and event-loop helpers for widget tests.
#include "scripted_boxes_qt.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

namespace gavrix::test {

void ScriptedBoxes::message(QWidget*, const QString& title, const QString& text, BoxIcon icon) {
  shown.push_back({title, text, icon, false});
  if (onBox) onBox();
}

bool ScriptedBoxes::confirm(QWidget*, const QString& text) {
  shown.push_back({QStringLiteral("Confirm"), text, BoxIcon::None, true});
  if (onBox) onBox();
  if (answers.empty()) return true;
  bool a = answers.front();
  answers.pop_front();
  return a;
}

QString ScriptedBoxes::openFile(QWidget*, const QString& filter) {
  filters << filter;
  if (files.empty()) return {};
  QString f = files.front();
  files.pop_front();
  return f;
}

bool PumpUntil(const std::function<bool()>& pred, int ms) {
  QElapsedTimer t;
  t.start();
  while (!pred() && t.elapsed() < ms) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    QThread::msleep(1);
  }
  return pred();
}

void Pump(int ms) {
  QElapsedTimer t;
  t.start();
  while (t.elapsed() < ms) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    QThread::msleep(1);
  }
}

}  // namespace gavrix::test
