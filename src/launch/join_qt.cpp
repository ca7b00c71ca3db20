// The launcher, the password prompt and auto-connect on the main window's controls.
#include "launch/join_qt.h"

#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QCheckBox>
#include <QSpinBox>
#include <QTimer>
#include <QToolButton>

#include "launch/game_starter_qt.h"
#include "launch/join_dialogs_qt.h"
#include "query/catalogue.h"
#include "query/server_list.h"
#include "settings/settings.h"
#include "util/message_box_qt.h"
#include "widgets/tray_qt.h"

namespace gavrix {

namespace {
QString Q(const std::string& s) { return QString::fromStdString(s); }
}  // namespace

JoinController::JoinController(QObject* parent) : QObject(parent), tray_(new StandInTray(this)) {}

void JoinController::attachDialogs(TFormPass* pass, TFormAuto* autoDialog) {
  pass_ = pass;
  auto_ = autoDialog;
  QWidget* w = parts_.window;
  if (pass) {
    connect(pass, &TFormPass::confirmed, this, [this, w](const QString& t) { Guarded(w, [&] { PassConfirmed(t); }); });
    connect(pass, &TFormPass::cancelled, this, [this] { PassCancelled(); });
  }
  if (autoDialog) {
    connect(autoDialog, &TFormAuto::okClicked, this, [this, w] { Guarded(w, [this] { AutoOkClick(); }); });
    connect(autoDialog, &TFormAuto::cancelClicked, this, [this, w] { Guarded(w, [this] { AutoCancelClick(); }); });
    connect(autoDialog, &TFormAuto::closedByButton, this, [this] { AutoClosed(); });
  }
}

void JoinController::setTray(Tray* tray) {
  if (tray) tray_ = tray;
}

void JoinController::setAutoCaptionRed(bool red) {
  QPalette p = parts_.autoButton->palette();
  p.setColor(QPalette::ButtonText, red ? Qt::red : Qt::black);
  parts_.autoButton->setPalette(p);
}

// ---- The launcher ----

void JoinController::SBPlayClick() {
  tray_->setCycling(false);
  // Play while auto-connect runs stops it and joins the selected row.
  if (autoConnect.active()) {
    autoConnect.stop();
    stopped(AutoStop::ByLauncher);
  }
  const int selected = parts_.selectedRow();
  if (selected < 0) return;
  const ServerRow& row = parts_.servers->row(selected);
  // The row may go while a box is open: the launch works on its texts as they are now.
  const std::string code = row.caption, address = row.address(), port = row.port();
  const int mark = row.accessIcon;

  if (mark == icon::kFull && !Boxes().confirm(parts_.window, QStringLiteral("Server is full.  Connect now ?")))
    return;
  const bool hasPassword = passwordGiven && password && password->isFor(address, port);
  if (mark == icon::kPassword && !hasPassword) {
    if (pass_) {
      pass_->show();
      pass_->raise();
      pass_->activateWindow();
    }
    return;
  }

  if (auto launch = LaunchForGame(code)) {
    const Settings* s = parts_.settings();
    const LaunchEntry entry = s ? s->launch[static_cast<size_t>(launch->index)] : LaunchEntry{};
    if (entry.exePath.empty()) {
      passwordGiven = false;
      Boxes().message(parts_.window, QStringLiteral("Error"), Q(std::string(launch->emptyMessage)), BoxIcon::Error);
      return;
    }
    // The port text comes from the server's reply: only a port number goes onto the command line.
    if (!IsPortText(port)) {
      Boxes().message(parts_.window, QStringLiteral("Error"), QStringLiteral("Bad address"), BoxIcon::Error);
      return;
    }
    const std::string text = ParameterText(entry.params, address, port, PasswordArgument(password, address, port));
    QStringList arguments;
    for (const std::string& a : SplitArguments(text)) arguments << Q(a);
    Starter().start(Q(entry.exePath), arguments, QDir::currentPath());
  }
  parts_.window->hide();
  passwordGiven = false;
}

void JoinController::PassConfirmed(const QString& text) {
  const int selected = parts_.selectedRow();
  if (selected >= 0) {
    const ServerRow& row = parts_.servers->row(selected);
    password = GivenPassword{text.toStdString(), row.address(), row.port()};
  }
  passwordGiven = true;
  SBPlayClick();
}

void JoinController::PassCancelled() { passwordGiven = false; }

// ---- Auto-connect ----

void JoinController::SBAutoClick() {
  if (autoConnect.active()) {
    autoConnect.stop();
    stopped(AutoStop::ByUser);
    return;
  }
  const int selected = parts_.selectedRow();
  if (selected < 0 || !auto_) return;
  autoConnect.open();
  parts_.timerFav->stop();
  parts_.status(0, QString());
  status(QStringLiteral(" Autoscan disabled"));
  const ServerRow& row = parts_.servers->row(selected);
  auto_->setWindowTitle(QStringLiteral("Auto connect to ") + Q(row.address()));
  const ThresholdPreset preset = PresetFromPlayers(row.text(kColPlayers));
  auto_->SPNeed->setRange(0, preset.maximum);
  auto_->SPNeed->setValue(preset.value);
  auto_->show();
  auto_->raise();
  auto_->activateWindow();
}

void JoinController::AutoOkClick() {
  const int selected = parts_.selectedRow();
  if (selected < 0) {
    Boxes().beep();
    return;
  }
  tray_->setCycling(false);
  parts_.timerAuto->stop();
  parts_.scan->setEnabled(false);
  parts_.refresh->setEnabled(false);
  const ServerRow& row = parts_.servers->row(selected);
  WatchedServer watched{row.address(), row.port()};
  const int threshold = auto_->SPNeed->value();
  if (auto_->EditPass->isEnabled() && !auto_->EditPass->text().isEmpty()) {
    password = GivenPassword{auto_->EditPass->text().toStdString(), watched.address, watched.port};
    passwordGiven = true;
  }
  const QString address = Q(watched.address);
  autoConnect.watch(std::move(watched), threshold);
  parts_.timerAuto->start();
  setAutoCaptionRed(true);
  tray_->setCycling(true);
  auto_->hide();
  status(QStringLiteral(" Autoconnect to ") + address + QStringLiteral(". Waiting ") + auto_->CB->currentText() +
         u' ' + auto_->SPNeed->text() + QStringLiteral(" players."));
}

void JoinController::AutoCancelClick() {
  autoConnect.close();
  const Settings* s = parts_.settings();
  if (s && s->FavAutoScan) {
    parts_.timerFav->start();
    status(QStringLiteral(" Autoscan enabled"));
  }
  if (auto_) auto_->hide();
}

void JoinController::AutoClosed() { autoConnect.close(); }

void JoinController::TimerAutoTimer() {
  if (!autoConnect.active()) return;
  parts_.emptyList();
  const WatchedServer watched = autoConnect.watched();
  bool ok = false;
  if (IsPortText(watched.port)) ok = parts_.sendInfo(watched.address, static_cast<uint16_t>(std::stoi(watched.port)));
  if (!ok) parts_.networkError();
  // A reply handled during the sends may have stopped auto-connect already.
  if (autoConnect.poll()) stopped(AutoStop::GaveUp);
}

void JoinController::JoinCheck(int row, const std::string& address, const std::string& playersText) {
  // Runs for every listed info reply: nothing is read or built unless a watched server answers.
  if (!autoConnect.active() || address != autoConnect.watched().address) return;
  const QString comparison = auto_ ? auto_->CB->currentText() : QStringLiteral("<=");
  const JoinOutcome check = autoConnect.check(address, PlayerCount(playersText), comparison.toStdString());
  if (check == JoinOutcome::NotWatched) return;
  parts_.play->setEnabled(false);
  if (check == JoinOutcome::Wait) return;
  // Auto-connect is off before any box opens, so replies handled meanwhile cannot join again.
  stopped(AutoStop::Joined);
  parts_.selectRow(row);
  parts_.play->setEnabled(true);
  if (auto_ && auto_->CBAsk->isChecked()) {
    Boxes().beep();
    if (parts_.window->isVisible()) {
      parts_.window->raise();
      parts_.window->activateWindow();
    }
    const QString question = QStringLiteral("Server ") + Q(address) + QStringLiteral(" has ") + Q(playersText) +
                             QStringLiteral(" players now. Do you want to join ?");
    if (!Boxes().confirm(parts_.window, question)) {
      status(QStringLiteral(" Autoconnect disabled."));
      return;
    }
  }
  SBPlayClick();
  status(QStringLiteral(" Autoconnect disabled."));
}

void JoinController::stopped(AutoStop why) {
  parts_.timerAuto->stop();
  parts_.scan->setEnabled(true);
  setAutoCaptionRed(false);
  tray_->setCycling(false);
  const StopRule rule = RuleOf(why);
  if (rule.enableRefresh) parts_.refresh->setEnabled(true);
  if (why == AutoStop::ByUser && auto_) auto_->hide();
  if (rule.unavailableBox)
    Boxes().message(parts_.window, QStringLiteral("Auto connect"),
                    QStringLiteral("Server is not avalible, autoconnect disabled."), BoxIcon::None);
  status(QStringLiteral(" Autoconnect disabled."));
  const Settings* s = parts_.settings();
  if (rule.favouritesBack && s && s->FavAutoScan) {
    parts_.timerFav->start();
    status(QStringLiteral(" Autoscan enabled"));
  }
}

}  // namespace gavrix
