// The settings dialog TSettings: its four pages, the settings load at its
// creation and the exit save at its destruction.
#pragma once

#include <QDialog>
#include <QPointer>
#include <QString>
#include <functional>
#include <vector>

#include "query/catalogue.h"
#include "settings/settings.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QSlider;
class QTabWidget;
class QTimer;
class QToolButton;
class QTreeWidget;

namespace gavrix {

class IpEdit;
class DigitsEdit;
class ArrowSpinEdit;

// What the settings dialog works on in the main window, handed to it.
struct SettingsParts {
  QWidget* window = nullptr;    // size and translucency; parent of error boxes
  QTimer* timerFav = nullptr;   // the favourites auto-scan
  std::function<void(int panel, const QString& text)> status;
  std::function<int()> scanPortChoice;
  std::function<void(int choice)> setScanPortChoice;
  // Gives the window the live settings, their store and this dialog (nullptrs take them back).
  std::function<void(Settings*, IniFile*, QWidget*)> attach;
  // Runs after the window changed the favourites list (nullptr: nothing runs).
  std::function<void(std::function<void()>)> onFavouritesChanged;
  std::function<void()> applyReplyOptions;  // ModernServers or TextCodePage changed
};

// Holds every setting while the program runs. The controls edit `settings` in
// place: each change is there at once for the scan, the decoders, the launcher
// and the favourites timer. Shown without blocking the main window; closing it
// only hides it.
class TSettings : public QDialog {
  Q_OBJECT

 public:
  // Runs the settings load from ini and hands the settings to the main window.
  TSettings(SettingsParts main, IniFile& ini, QWidget* parent = nullptr);
  // The exit save.
  ~TSettings() override;

  Settings settings;

  // A window that follows the transparency controls at once besides the main
  // window and this dialog: it takes every new level and is made opaque when
  // transparency is switched off; it turns translucent at its own next showing.
  void addTranslucentWindow(QWidget* window);

  // Page control: TS1 "Main", TabSheet1 "Games", TS2 "Scan settings", TS3 "Favorites".
  QTabWidget* PageControl = nullptr;
  QWidget* TS1 = nullptr;
  QWidget* TabSheet1 = nullptr;
  QWidget* TS2 = nullptr;
  QWidget* TS3 = nullptr;

  // Main: launch part.
  QComboBox* CBGame = nullptr;
  QLineEdit* EditExe = nullptr;
  QToolButton* SBExe = nullptr;
  QLineEdit* EditParam = nullptr;
  QComboBox* CBParams = nullptr;
  QPushButton* BitBtn2 = nullptr;  // append param
  QPushButton* BitBtn1 = nullptr;  // "Default"
  QPushButton* BBSave = nullptr;
  // Main: double click and transparency.
  QCheckBox* CBDclick = nullptr;
  QCheckBox* CBTrans = nullptr;
  QSlider* TBTrans = nullptr;
  // Main: today's servers (ModernServers) and the code page of names (TextCodePage).
  QCheckBox* CBModern = nullptr;
  QComboBox* CBCodePage = nullptr;

  // Games: CBHL1, CBHL2, CBCS15, CBCS16, CBCSS, CBCZ, CBDOD, CBDODS, CBGMOD, CBTF, CBTF2, by GameFlag.
  QGroupBox* GB2 = nullptr;
  QCheckBox* CBGames[kGameFlagCount] = {};

  // Scan settings.
  QCheckBox* CBBroadcast = nullptr;
  QLineEdit* EditBPorts = nullptr;  // BroadcastPorts, beside the Broadcast check box
  QCheckBox* CBOld = nullptr;
  QTreeWidget* LWranges = nullptr;
  QToolButton* SpeedButton1 = nullptr;  // move up
  QToolButton* SpeedButton2 = nullptr;  // move down
  IpEdit* IPE1 = nullptr;
  IpEdit* IPE2 = nullptr;
  QPushButton* SBDel = nullptr;
  QPushButton* SBAdd = nullptr;
  QToolButton* SpeedButton3 = nullptr;  // "0..255"
  DigitsEdit* CSport = nullptr;
  DigitsEdit* HLTVport = nullptr;
  ArrowSpinEdit* SEDelay = nullptr;

  // Favorites.
  QTreeWidget* LVFav = nullptr;
  QCheckBox* CBAutoUpdate = nullptr;
  ArrowSpinEdit* SEUpdInterval = nullptr;
  QLineEdit* EditHost = nullptr;
  DigitsEdit* MEPort = nullptr;
  QPushButton* SpeedButton5 = nullptr;  // "Del"
  QPushButton* SpeedButton4 = nullptr;  // "Add"

  // Handlers, named after their control and event.
  void FormShow();
  void CBGameChange();
  void SBExeClick();
  void BBSaveClick();
  void BitBtn1Click();
  void BitBtn2Click();
  void EditParamKeyPress();
  void CBTransClick();
  void TBTransChange();
  void TS1Show();
  void SBAddClick();
  void SBDelClick();
  void SpeedButton1Click();
  void SpeedButton2Click();
  void SpeedButton3Click();
  // The broadcast port list is taken when its edit is left or Enter is pressed.
  void EditBPortsExit();
  void SpeedButton4Click();
  void SpeedButton5Click();
  void EditHostChange();
  void LVFavColumnClick(int column);
  void CBAutoUpdateClick();
  void SEUpdIntervalChange();
  void TS3Show();

  // Row positions in the lists: the selected one or -1, and selecting one.
  int selectedRange() const;
  void selectRange(int row);
  int selectedFavourite() const;

 protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void buildUi();
  void wire();
  void FormCreate();
  void FormDestroy();

  // Launch index shown on the Main page, or -1.
  int launchIndex() const;
  void showLaunchEntry();
  // The list views shown from the settings: rebuilt whole, a row appended or shown again.
  void fillRanges();
  void appendRangeRow();
  void showRange(int row);
  void fillFavourites(int select = -1);
  void pageShown(int page);
  // Port edits: every change that is a port or empty is stored at once; leaving the edit
  // with any other text refuses it with "Bad port" and puts back the last text it was left with.
  void wirePortEdit(DigitsEdit* edit, std::string& stored, std::string& accepted);
  void favWidthResized(int width);
  std::vector<QWidget*> translucentWindows(bool all) const;

  SettingsParts main_;
  IniFile& ini_;
  QString exeFilter_;  // the open-file filter last used
  std::string acceptedCSPort_, acceptedHLTVPort_;  // port edits' texts when last left
  bool filling_ = false;  // lists are being filled: check marks are not user changes
  std::vector<QPointer<QWidget>> followers_;
};

}  // namespace gavrix
