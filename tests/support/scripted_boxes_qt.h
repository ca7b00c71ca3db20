// Message boxes for tests: every box is recorded and answered from a script.
#pragma once

#include <QString>
#include <QStringList>
#include <deque>
#include <functional>
#include <vector>

#include "util/message_box_qt.h"

namespace gavrix::test {

struct ShownBox {
  QString title, text;
  BoxIcon icon = BoxIcon::None;
  bool question = false;
};

class ScriptedBoxes : public MessageBoxes {
 public:
  ScriptedBoxes() { SetBoxes(this); }
  ~ScriptedBoxes() override { SetBoxes(nullptr); }

  void message(QWidget*, const QString& title, const QString& text, BoxIcon icon) override;
  bool confirm(QWidget*, const QString& text) override;
  QString openFile(QWidget*, const QString& filter) override;
  void beep() override { ++beeps; }

  std::vector<ShownBox> shown;
  std::deque<bool> answers;        // confirm answers; Yes when empty
  std::deque<QString> files;       // openFile answers; cancelled when empty
  QStringList filters;             // every filter asked for
  int beeps = 0;
  std::function<void()> onBox;     // runs inside each box, as its modal loop would
};

// Runs the event loop until pred holds or ms pass; returns pred().
bool PumpUntil(const std::function<bool()>& pred, int ms = 2000);
// Runs the event loop for ms.
void Pump(int ms);

}  // namespace gavrix::test
