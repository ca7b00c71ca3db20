// The main window's controls and their look; the window class wires the behaviour to them.
#pragma once

#include <QGroupBox>
#include <QHeaderView>
#include <QPointer>
#include <QStatusBar>
#include <QStringList>
#include <QStyledItemDelegate>
#include <QTreeView>

#include <memory>
#include <vector>

#include "widgets/gauge_qt.h"

class QAction;
class QAbstractButton;
class QButtonGroup;
class QLabel;
class QMainWindow;
class QMenu;
class QMenuBar;
class QTabWidget;
class QTimer;
class QToolButton;

namespace gavrix {

class PaneModel;
class PaneQtModel;
class ServerListModel;
class ServerListQtModel;

// A titled group of radio buttons with one chosen item (or none).
class RadioGroup : public QGroupBox {
  Q_OBJECT

 public:
  RadioGroup(const QString& title, const QStringList& items, QWidget* parent = nullptr);

  int count() const;
  // The chosen item, -1 for none.
  int itemIndex() const;
  // Chooses an item, or none with -1 (out-of-range values also choose none). Emits
  // itemIndexChanged when the choice changes, never itemClicked.
  void setItemIndex(int index);
  QAbstractButton* button(int index) const;

 signals:
  // The user clicked an item (also a click on the item already chosen).
  void itemClicked(int index);
  // The chosen item changed, by a click or by setItemIndex (-1: none is chosen now).
  void itemIndexChanged(int index);

 private:
  QButtonGroup* group_;
};

// The status bar with three text panels: 105, 50 (centred text) and 50 pixels; the last one
// also takes the rest of the bar so that its longer notices can be read.
class StatusPanels : public QStatusBar {
  Q_OBJECT

 public:
  static constexpr int kPanelCount = 3;
  explicit StatusPanels(QWidget* parent = nullptr);

  void setPanelText(int panel, const QString& text);
  QString panelText(int panel) const;
  QLabel* panel(int panel) const;

 private:
  QLabel* panels_[kPanelCount];
};

// A report-style list. When the selected row goes away (removed or the list emptied), the
// selection is cleared first, with the usual signals, rather than moving to another row.
class ListView : public QTreeView {
  Q_OBJECT

 public:
  using QTreeView::QTreeView;
  void setModel(QAbstractItemModel* model) override;

 protected:
  void rowsAboutToBeRemoved(const QModelIndex& parent, int start, int end) override;

 private:
  void dropSelection();
  QMetaObject::Connection reset_;
};

// Cell painting of the lists: optional grid lines, and an icon without text centred in its cell.
class ListCellDelegate : public QStyledItemDelegate {
  Q_OBJECT

 public:
  ListCellDelegate(bool gridLines, QObject* parent = nullptr);
  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  // A cell whose text is cut off shows the whole text as its tooltip; other cells show the model's tooltip.
  bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                 const QModelIndex& index) override;

 private:
  bool grid_;
};

// Column widths of a list: each column has a width range; "fill" columns share the width left
// by the others, the way a report list sizes its auto-sized columns, within their own ranges.
class ColumnFitter : public QObject {
  Q_OBJECT

 public:
  struct Limit {
    int width;  // starting width (fill columns: their minimum)
    int min;
    int max;
    bool fill;
  };
  ColumnFitter(QTreeView* view, std::vector<Limit> limits);

  // Sets the starting widths and resize modes; runs whenever the view's header gets its columns.
  void apply();
  // Resizes the fill columns to share the view's free width.
  void fit();
  const std::vector<Limit>& limits() const { return limits_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void sectionResized(int logical, int oldSize, int newSize);

  QTreeView* view_;
  QPointer<QHeaderView> header_;
  QPointer<QWidget> viewport_;
  std::vector<Limit> limits_;
  bool busy_ = false;
};

class MainWindowUi {
 public:
  MainWindowUi();
  ~MainWindowUi();
  MainWindowUi(const MainWindowUi&) = delete;
  MainWindowUi& operator=(const MainWindowUi&) = delete;

  // Creates every control of the main window on w (caption, sizes, menus, lists, buttons, timers).
  void setupUi(QMainWindow* w);
  // Shows the core models in the three lists and sizes their columns. The core models must
  // outlive this object: the Qt models created here observe them until this object goes.
  void attachModels(ServerListModel& servers, PaneModel& players, PaneModel& rules);
  // Shows game picture `picture` (0 to 11) in Image; any other value clears it.
  void setGamePicture(int picture);

  // Menu bar.
  QMenuBar* MainMenu = nullptr;
  QMenu* File1 = nullptr;
  QAction* Hide1 = nullptr;
  QAction* Exit1 = nullptr;
  QAction* Options1 = nullptr;  // top-level item that acts on click
  QMenu* Info1 = nullptr;
  QAction* About2 = nullptr;
  QAction* Homepage1 = nullptr;

  // Server list and its popup menu (custom context menu policy: the window decides when it opens).
  ListView* LW = nullptr;
  ColumnFitter* LWColumns = nullptr;
  QMenu* PMServers = nullptr;
  QAction* Play = nullptr;
  QAction* Auto = nullptr;
  QAction* PMSAdd = nullptr;
  QAction* PMSCopy = nullptr;  // "Copy address", also Ctrl+C on the list

  // Right side: players and rules panes.
  QTabWidget* PageControl = nullptr;
  ListView* LWPlayers = nullptr;
  ListView* LWRules = nullptr;

  // Bottom bar under the server list.
  QWidget* BottomBar = nullptr;
  RadioGroup* RG = nullptr;
  gavrix::Gauge* Gauge = nullptr;
  QToolButton* SBScanAll = nullptr;
  QToolButton* SBStop = nullptr;
  QToolButton* SBRefresh = nullptr;
  QToolButton* SBAuto = nullptr;
  QToolButton* SBPlay = nullptr;
  QLabel* Image = nullptr;

  StatusPanels* SBar = nullptr;

  QTimer* Timer = nullptr;      // 1000 ms
  QTimer* TimerFav = nullptr;   // 10000 ms
  QTimer* TimerAuto = nullptr;  // 5000 ms

  // Tray popup menu.
  QMenu* PMTray = nullptr;
  QAction* TrayShow = nullptr;
  QAction* TrayExit = nullptr;

  // Qt models of the lists, set by attachModels.
  ServerListQtModel* LWModel = nullptr;
  PaneQtModel* LWPlayersModel = nullptr;
  PaneQtModel* LWRulesModel = nullptr;

 private:
  // The views that show the models below, if they still exist when this object goes.
  QPointer<QTreeView> views_[3];
  std::unique_ptr<ServerListQtModel> servers_;
  std::unique_ptr<PaneQtModel> players_;
  std::unique_ptr<PaneQtModel> rules_;
};

}  // namespace gavrix
