// Joining games: the launcher (Play and every way into it), the password
// prompt and auto-connect with its poll timer and join check. The main window
// hands it the controls and models it works on.
#pragma once

#include <QObject>
#include <QPointer>
#include <functional>
#include <optional>
#include <string>

#include "launch/auto_connect.h"
#include "launch/command_line.h"

class QTimer;
class QToolButton;
class QWidget;

namespace gavrix {

class ServerListModel;
class TFormAuto;
class TFormPass;
class Tray;
struct Settings;

struct JoinParts {
  QWidget* window = nullptr;  // the main window: hidden after a join, parent of boxes
  QToolButton* scan = nullptr;
  QToolButton* refresh = nullptr;
  QToolButton* autoButton = nullptr;
  QToolButton* play = nullptr;
  QTimer* timerFav = nullptr;
  QTimer* timerAuto = nullptr;  // the poll, 5000 ms
  const ServerListModel* servers = nullptr;
  std::function<int()> selectedRow;
  std::function<void(int row)> selectRow;
  std::function<void()> emptyList;
  std::function<void(int panel, const QString& text)> status;
  // Sends the info query pair to host:port; false when a step failed.
  std::function<bool(const std::string& host, uint16_t port)> sendInfo;
  std::function<void()> networkError;
  std::function<const Settings*()> settings;
};

class JoinController : public QObject {
  Q_OBJECT

 public:
  explicit JoinController(QObject* parent = nullptr);
  // The controls and models it works on; given once, before any handler runs.
  void setParts(JoinParts parts) { parts_ = std::move(parts); }

  // The dialogs, once they exist; until then Play and Auto need none of them.
  void attachDialogs(TFormPass* pass, TFormAuto* autoDialog);
  // The notification-area icon; a stand-in until one is given.
  void setTray(Tray* tray);
  Tray& tray() { return *tray_; }

  AutoConnect autoConnect;
  // The last password given and the server it was given for.
  std::optional<GivenPassword> password;
  bool passwordGiven = false;

  void SBPlayClick();
  void SBAutoClick();
  void TimerAutoTimer();
  // Join check: a listed info reply completed row `row`.
  void JoinCheck(int row, const std::string& address, const std::string& playersText);

  // Auto-connect dialog.
  void AutoOkClick();
  void AutoCancelClick();
  void AutoClosed();
  // Password dialog.
  void PassConfirmed(const QString& text);
  void PassCancelled();

 private:
  // Every stop: poll off, Scan on, Auto caption black, tray still; then what the stop's rule adds.
  void stopped(AutoStop why);
  void setAutoCaptionRed(bool red);
  void status(const QString& text) { parts_.status(2, text); }

  JoinParts parts_;
  QPointer<TFormPass> pass_;
  QPointer<TFormAuto> auto_;
  Tray* tray_;
};

}  // namespace gavrix
