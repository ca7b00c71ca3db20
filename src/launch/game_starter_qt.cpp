// The real game starter: a detached process that outlives the program.
#include "launch/game_starter_qt.h"

#include <QProcess>

namespace gavrix {

namespace {

class DetachedStarter : public GameStarter {
 public:
  void start(const QString& program, const QStringList& arguments, const QString& workingFolder) override {
    QProcess process;
    process.setProgram(program);
    process.setArguments(arguments);
    process.setWorkingDirectory(workingFolder);
    // Neither blocks nor throws: a path that does not start is simply not started.
    process.startDetached();
  }
};

GameStarter* installed = nullptr;

}  // namespace

GameStarter& Starter() {
  static DetachedStarter real;
  return installed ? *installed : real;
}

void SetStarter(GameStarter* starter) { installed = starter; }

}  // namespace gavrix
