// Starting the game client, behind a seam: tests see the program, its
// arguments and its working folder, and nothing starts.
#pragma once

#include <QString>
#include <QStringList>

namespace gavrix {

class GameStarter {
 public:
  virtual ~GameStarter() = default;
  // Starts program detached; whether it starts is not examined.
  virtual void start(const QString& program, const QStringList& arguments, const QString& workingFolder) = 0;
};

// The starter in use: the real one unless a test installed another.
GameStarter& Starter();
// Installs a starter (nullptr restores the real one); the caller keeps ownership.
void SetStarter(GameStarter* starter);

}  // namespace gavrix
