// Builds the main window's controls: menus, server list, panes, button bar, status bar, timers.
#include "app/main_window_ui.h"

#include <QAbstractButton>
#include <QApplication>
#include <QButtonGroup>
#include <QEvent>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QHelpEvent>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QToolTip>
#include <QTreeView>
#include <QVBoxLayout>

#include <algorithm>
#include <climits>

#include "widgets/icons_qt.h"
#include "serverlist/list_models_qt.h"

namespace gavrix {

// ---- RadioGroup

RadioGroup::RadioGroup(const QString& title, const QStringList& items, QWidget* parent)
    : QGroupBox(title, parent), group_(new QButtonGroup(this)) {
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(6, 0, 4, 1);
  layout->setSpacing(6);
  for (int i = 0; i < items.size(); ++i) {
    auto* radio = new QRadioButton(items[i], this);
    group_->addButton(radio, i);
    layout->addWidget(radio);
  }
  layout->addStretch(1);
  connect(group_, &QButtonGroup::idClicked, this, &RadioGroup::itemClicked);
  connect(group_, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
    if (checked) emit itemIndexChanged(id);
  });
}

int RadioGroup::count() const { return static_cast<int>(group_->buttons().size()); }

int RadioGroup::itemIndex() const { return group_->checkedId(); }

void RadioGroup::setItemIndex(int index) {
  if (index < 0 || index >= count()) {
    // An exclusive group cannot uncheck its last checked button; lift that for a moment.
    const bool hadChoice = itemIndex() >= 0;
    group_->setExclusive(false);
    for (QAbstractButton* b : group_->buttons()) b->setChecked(false);
    group_->setExclusive(true);
    if (hadChoice) emit itemIndexChanged(-1);
    return;
  }
  group_->button(index)->setChecked(true);
}

QAbstractButton* RadioGroup::button(int index) const { return group_->button(index); }

// ---- StatusPanels

StatusPanels::StatusPanels(QWidget* parent) : QStatusBar(parent) {
  static constexpr int kWidth[kPanelCount] = {105, 50, 50};
  for (int i = 0; i < kPanelCount; ++i) {
    auto* label = new QLabel(this);
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setContentsMargins(2, 0, 2, 0);
    label->setTextFormat(Qt::PlainText);
    if (i == 1) label->setAlignment(Qt::AlignCenter);
    if (i < kPanelCount - 1)
      label->setFixedWidth(kWidth[i]);
    else
      label->setMinimumWidth(kWidth[i]);
    // Only the panel's own width limits what it shows, never the text.
    label->setSizePolicy(i < kPanelCount - 1 ? QSizePolicy::Fixed : QSizePolicy::Ignored, QSizePolicy::Preferred);
    addWidget(label, i == kPanelCount - 1 ? 1 : 0);
    panels_[i] = label;
  }
}

void StatusPanels::setPanelText(int panel, const QString& text) {
  if (panel >= 0 && panel < kPanelCount) panels_[panel]->setText(text);
}

QString StatusPanels::panelText(int panel) const {
  return panel >= 0 && panel < kPanelCount ? panels_[panel]->text() : QString();
}

QLabel* StatusPanels::panel(int panel) const { return panel >= 0 && panel < kPanelCount ? panels_[panel] : nullptr; }

// ---- ListView

void ListView::setModel(QAbstractItemModel* model) {
  disconnect(reset_);
  QTreeView::setModel(model);
  if (model) reset_ = connect(model, &QAbstractItemModel::modelAboutToBeReset, this, &ListView::dropSelection);
}

void ListView::rowsAboutToBeRemoved(const QModelIndex& parent, int start, int end) {
  bool goes = false;
  const QModelIndex current = currentIndex();
  if (current.isValid() && current.parent() == parent && current.row() >= start && current.row() <= end) goes = true;
  if (QItemSelectionModel* selection = selectionModel())
    for (int row = start; row <= end && !goes; ++row) goes = selection->isRowSelected(row, parent);
  if (goes) dropSelection();
  QTreeView::rowsAboutToBeRemoved(parent, start, end);
}

void ListView::dropSelection() {
  // Rows that go take their selection with them without a selection change,
  // as a report list does: only the user or the program selects.
  if (QItemSelectionModel* selection = selectionModel()) {
    QSignalBlocker quiet(selection);
    selection->clear();
  }
  viewport()->update();
}

// ---- ListCellDelegate

namespace {

// Tight margins, as in a classic report list, so short codes fit the narrow columns.
constexpr int kPad = 2, kIconPad = 1, kGap = 2;

QRect IconRect(const QStyleOptionViewItem& opt) {
  const QSize size = opt.decorationSize;
  return {opt.rect.left() + kIconPad, opt.rect.top() + (opt.rect.height() - size.height()) / 2, size.width(),
          size.height()};
}

bool HasIcon(const QStyleOptionViewItem& opt) {
  return (opt.features & QStyleOptionViewItem::HasDecoration) && !opt.icon.isNull();
}

// Where a cell's text goes: after its icon, if it has one.
QRect TextRect(const QStyleOptionViewItem& opt) {
  QRect rect = opt.rect.adjusted(kPad, 0, 0, 0);
  if (HasIcon(opt) && !opt.text.isEmpty()) rect.setLeft(IconRect(opt).right() + 1 + kGap);
  return rect;
}

// The text as a cell of that width shows it.
QString ShownText(const QStyleOptionViewItem& opt, const QRect& rect) {
  return QFontMetrics(opt.font).elidedText(opt.text, opt.textElideMode, rect.width());
}

}  // namespace

ListCellDelegate::ListCellDelegate(bool gridLines, QObject* parent) : QStyledItemDelegate(parent), grid_(gridLines) {}

bool ListCellDelegate::helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                                 const QModelIndex& index) {
  if (event && view && event->type() == QEvent::ToolTip && index.isValid() && index.data(Qt::ToolTipRole).isNull()) {
    QStyleOptionViewItem opt(option);
    initStyleOption(&opt, index);
    const QRect rect = TextRect(opt);
    if (!opt.text.isEmpty() && rect.width() > 0 && ShownText(opt, rect) != opt.text) {
      QToolTip::showText(event->globalPos(), opt.text, view->viewport(), opt.rect);
      return true;
    }
  }
  return QStyledItemDelegate::helpEvent(event, view, option, index);
}

void ListCellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
  QStyleOptionViewItem opt(option);
  initStyleOption(&opt, index);
  // The row's selection shows where the user is; a focus box around one cell would only add noise.
  opt.state &= ~QStyle::State_HasFocus;
  const QWidget* widget = opt.widget;
  QStyle* style = widget ? widget->style() : QApplication::style();
  style->drawPrimitive(QStyle::PE_PanelItemViewItem, &opt, painter, widget);

  const bool enabled = opt.state & QStyle::State_Enabled;
  const bool selected = opt.state & QStyle::State_Selected;
  const QIcon::Mode mode = !enabled ? QIcon::Disabled : selected ? QIcon::Selected : QIcon::Normal;
  const QRect textRect = TextRect(opt);
  if (HasIcon(opt)) {
    // An icon alone (the access mark) sits in the middle of its narrow cell.
    opt.icon.paint(painter, opt.text.isEmpty() ? opt.rect : IconRect(opt), Qt::AlignCenter, mode);
  }
  if (!opt.text.isEmpty() && textRect.width() > 0) {
    const QPalette::ColorGroup group = !enabled                                  ? QPalette::Disabled
                                       : (opt.state & QStyle::State_Active) ? QPalette::Normal
                                                                                 : QPalette::Inactive;
    painter->save();
    painter->setFont(opt.font);
    painter->setPen(opt.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
    painter->drawText(textRect, static_cast<int>(opt.displayAlignment), ShownText(opt, textRect));
    painter->restore();
  }
  if (grid_) {
    painter->save();
    QColor line = opt.palette.color(QPalette::Base);
    QColor text = opt.palette.color(QPalette::Text);
    line.setRgbF(line.redF() * 0.86f + text.redF() * 0.14f, line.greenF() * 0.86f + text.greenF() * 0.14f,
                 line.blueF() * 0.86f + text.blueF() * 0.14f);
    painter->setPen(line);
    const QRect r = opt.rect;
    painter->drawLine(r.topRight(), r.bottomRight());
    painter->drawLine(r.bottomLeft(), r.bottomRight());
    painter->restore();
  }
}

// ---- ColumnFitter

ColumnFitter::ColumnFitter(QTreeView* view, std::vector<Limit> limits)
    : QObject(view), view_(view), header_(view->header()), viewport_(view->viewport()), limits_(std::move(limits)) {
  viewport_->installEventFilter(this);
  QHeaderView* header = header_;
  if (!header || !viewport_) return;
  connect(header, &QHeaderView::sectionResized, this, &ColumnFitter::sectionResized);
  connect(header, &QHeaderView::sectionCountChanged, this, [this](int, int now) {
    if (now == static_cast<int>(limits_.size())) apply();
  });
}

void ColumnFitter::apply() {
  QHeaderView* header = header_;
  if (!header || !viewport_) return;
  if (header->count() != static_cast<int>(limits_.size())) return;
  busy_ = true;
  int smallest = INT_MAX;
  for (const Limit& l : limits_) smallest = std::min(smallest, l.min);
  header->setMinimumSectionSize(smallest);
  header->setStretchLastSection(false);
  for (int i = 0; i < header->count(); ++i) {
    const Limit& l = limits_[static_cast<size_t>(i)];
    // Fill columns follow the list's width, fixed ones cannot change: neither is dragged by hand.
    header->setSectionResizeMode(i, l.fill || l.min == l.max ? QHeaderView::Fixed : QHeaderView::Interactive);
    header->resizeSection(i, l.width);
  }
  busy_ = false;
  fit();
}

void ColumnFitter::fit() {
  QHeaderView* header = view_->header();
  const int n = static_cast<int>(limits_.size());
  if (busy_ || header->count() != n) return;
  int work = viewport_->width();
  std::vector<int> open;
  for (int i = 0; i < n; ++i) {
    if (limits_[static_cast<size_t>(i)].fill)
      open.push_back(i);
    else
      work -= header->sectionSize(i);
  }
  // Equal shares (the first fill column takes the remainder); a column that its range cuts keeps
  // the cut width and leaves the share of the rest to the others, until no column is cut.
  std::vector<int> width(static_cast<size_t>(n), 0);
  while (!open.empty()) {
    const int count = static_cast<int>(open.size());
    const int share = work / count;
    const int remainder = work % count;
    std::vector<int> still;
    for (int k = 0; k < count; ++k) {
      const int col = open[static_cast<size_t>(k)];
      const Limit& l = limits_[static_cast<size_t>(col)];
      const int want = share + (k == 0 ? remainder : 0);
      const int got = std::clamp(want, l.min, l.max);
      width[static_cast<size_t>(col)] = got;
      if (got != want)
        work -= got;
      else
        still.push_back(col);
    }
    if (still.size() == open.size()) break;
    open = std::move(still);
  }
  busy_ = true;
  for (int i = 0; i < n; ++i)
    if (limits_[static_cast<size_t>(i)].fill) header->resizeSection(i, width[static_cast<size_t>(i)]);
  busy_ = false;
}

bool ColumnFitter::eventFilter(QObject* watched, QEvent* event) {
  // Only the header and viewport are used here: the view may be part way through its destruction.
  if (watched == viewport_ && event->type() == QEvent::Resize) fit();
  return QObject::eventFilter(watched, event);
}

void ColumnFitter::sectionResized(int logical, int, int newSize) {
  if (busy_ || logical < 0 || logical >= static_cast<int>(limits_.size())) return;
  const Limit& l = limits_[static_cast<size_t>(logical)];
  const int kept = std::clamp(newSize, l.min, l.max);
  if (kept != newSize) {
    busy_ = true;
    if (header_) header_->resizeSection(logical, kept);
    busy_ = false;
  }
  fit();
}

// ---- MainWindowUi

namespace {

QString Text(const char* latin1) { return QString::fromLatin1(latin1); }

QAction* AddAction(QMenu* menu, const char* name, const char* caption) {
  QAction* action = menu->addAction(Text(caption));
  action->setObjectName(Text(name));
  return action;
}

QToolButton* SpeedButton(QWidget* parent, const char* name, const char* caption, const char* hint, bool enabled) {
  auto* button = new QToolButton(parent);
  button->setObjectName(Text(name));
  button->setText(Text(caption));
  button->setToolTip(Text(hint));
  button->setToolButtonStyle(Qt::ToolButtonTextOnly);
  button->setFocusPolicy(Qt::TabFocus);  // reached with Tab, not taken by a click
  button->setFixedSize(48, 34);
  button->setEnabled(enabled);
  return button;
}

QTimer* MakeTimer(QObject* parent, const char* name, int interval) {
  auto* timer = new QTimer(parent);
  timer->setObjectName(Text(name));
  timer->setInterval(interval);
  return timer;
}

void SetUpList(QTreeView* view, const char* name) {
  view->setObjectName(Text(name));
  view->setRootIsDecorated(false);
  view->setItemsExpandable(false);
  view->setUniformRowHeights(true);
  view->setSelectionBehavior(QAbstractItemView::SelectRows);
  view->setSelectionMode(QAbstractItemView::SingleSelection);
  view->setEditTriggers(QAbstractItemView::NoEditTriggers);
  view->setAllColumnsShowFocus(true);
  view->setSortingEnabled(false);
  view->setIconSize(QSize(16, 16));
  view->header()->setSectionsMovable(false);
  view->header()->setHighlightSections(false);
}

constexpr int kNoMax = INT_MAX / 4;

// Widths of the server list's columns: Game, Name, Address, Port, PT, Map, players, OS, A.
std::vector<ColumnFitter::Limit> ServerColumns() {
  return {
      {55, 45, 60, false},     {70, 70, kNoMax, true}, {90, 90, 110, true},
      {45, 45, 50, false},     {26, 10, 26, false},    {60, 60, 100, true},
      {40, 40, 50, false},     {55, 16, 55, false},    {16, 16, 16, false},
      {30, 30, 30, false},  // Ping: fits "999"
  };
}

}  // namespace

MainWindowUi::MainWindowUi() = default;
MainWindowUi::~MainWindowUi() {
  // Views that outlive this object go back to no model before their models go.
  for (QPointer<QTreeView>& view : views_)
    if (view) view->setModel(nullptr);
}

void MainWindowUi::setupUi(QMainWindow* w) {
  w->setObjectName(Text("Form1"));
  w->setWindowTitle(Text("Gavrix_v1.99 beta"));
  w->setWindowIcon(AppIcon());
  // The window's pixel layout (column widths, the 47-pixel bar, the 168-pixel panes) is made for a
  // compact 11-pixel font, the size of a classic 8-point desktop font.
  QFont compact = w->font();
  compact.setPixelSize(11);
  w->setFont(compact);
  w->setMinimumSize(680, 175);
  w->resize(680, 351);

  // Menu bar: File, Options (acts on click), Info.
  MainMenu = w->menuBar();
  MainMenu->setObjectName(Text("MainMenu"));
  // Each caption marks its Alt key with '&'.
  File1 = MainMenu->addMenu(Text("&File"));
  File1->setObjectName(Text("File1"));
  Hide1 = AddAction(File1, "Hide1", "&Hide  (Shift+Alt+S)");
  Exit1 = AddAction(File1, "Exit1", "E&xit");
  Options1 = new QAction(Text("&Options"), w);
  Options1->setObjectName(Text("Options1"));
  MainMenu->addAction(Options1);
  Info1 = MainMenu->addMenu(Text("&Info"));
  Info1->setObjectName(Text("Info1"));
  About2 = AddAction(Info1, "About2", "&About");
  Homepage1 = AddAction(Info1, "Homepage1", "&Home page...");

  auto* central = new QWidget(w);
  central->setObjectName(Text("Central"));
  w->setCentralWidget(central);
  auto* columns = new QHBoxLayout(central);
  columns->setContentsMargins(3, 3, 3, 0);
  columns->setSpacing(3);

  // Left: the server list over the button bar.
  auto* left = new QWidget(central);
  auto* leftLayout = new QVBoxLayout(left);
  leftLayout->setContentsMargins(0, 0, 0, 0);
  leftLayout->setSpacing(0);
  LW = new ListView(left);
  SetUpList(LW, "LW");
  LW->setItemDelegate(new ListCellDelegate(true, LW));
  LW->setContextMenuPolicy(Qt::CustomContextMenu);
  LW->header()->setSectionsClickable(true);
  LWColumns = new ColumnFitter(LW, ServerColumns());
  leftLayout->addWidget(LW, 1);

  BottomBar = new QWidget(left);
  BottomBar->setObjectName(Text("BottomBar"));
  BottomBar->setFixedHeight(47);
  auto* bar = new QHBoxLayout(BottomBar);
  bar->setContentsMargins(0, 2, 2, 2);
  bar->setSpacing(4);
  RG = new RadioGroup(Text("Scan port:"), {Text("G a m e"), Text("HLTV")}, BottomBar);
  RG->setObjectName(Text("RG"));
  RG->setFixedSize(140, 43);
  RG->setItemIndex(0);
  bar->addWidget(RG);
  Gauge = new gavrix::Gauge(BottomBar);
  Gauge->setObjectName(Text("Gauge"));
  Gauge->setFixedSize(34, 41);
  bar->addWidget(Gauge);
  bar->addSpacing(2);
  SBScanAll = SpeedButton(BottomBar, "SBScanAll", "Scan", "Scan all IP ranges", true);
  SBStop = SpeedButton(BottomBar, "SBStop", "Stop", "Stop scanning", false);
  SBRefresh = SpeedButton(BottomBar, "SBRefresh", "RF", "Refresh current servers", false);
  SBAuto = SpeedButton(BottomBar, "SBAuto", "Auto", "ON/OFF Autoconnect", false);
  SBPlay = SpeedButton(BottomBar, "SBPlay", "Play", "Join to server", false);
  for (QToolButton* b : {SBScanAll, SBStop, SBRefresh, SBAuto, SBPlay}) bar->addWidget(b);
  bar->addStretch(1);
  Image = new QLabel(BottomBar);
  Image->setObjectName(Text("Image"));
  Image->setFixedSize(32, 32);
  Image->setAlignment(Qt::AlignCenter);
  bar->addWidget(Image);
  leftLayout->addWidget(BottomBar);
  columns->addWidget(left, 1);

  // Right: players and rules.
  PageControl = new QTabWidget(central);
  PageControl->setObjectName(Text("PageControl"));
  PageControl->setFixedWidth(168);
  LWPlayers = new ListView(PageControl);
  SetUpList(LWPlayers, "LWPlayers");
  LWPlayers->header()->setSectionsClickable(true);
  LWRules = new ListView(PageControl);
  SetUpList(LWRules, "LWRules");
  LWRules->header()->setSectionsClickable(false);
  for (QTreeView* pane : {LWPlayers, LWRules}) pane->setItemDelegate(new ListCellDelegate(false, pane));
  new ColumnFitter(LWPlayers, {{60, 60, kNoMax, true}, {44, 30, 80, false}});  // NickName, Frags
  new ColumnFitter(LWRules, {{90, 40, 130, false}, {40, 40, kNoMax, true}});    // Rule, Value
  PageControl->addTab(LWPlayers, Text("Players"));
  PageControl->addTab(LWRules, Text("Rules"));
  columns->addWidget(PageControl);

  SBar = new StatusPanels(w);
  SBar->setObjectName(Text("SBar"));
  w->setStatusBar(SBar);

  Timer = MakeTimer(w, "Timer", 1000);
  TimerFav = MakeTimer(w, "TimerFav", 10000);
  TimerAuto = MakeTimer(w, "TimerAuto", 5000);

  PMServers = new QMenu(w);
  PMServers->setObjectName(Text("PMServers"));
  Play = AddAction(PMServers, "Play", "Play");
  Auto = AddAction(PMServers, "Auto", "Auto connect");
  PMSAdd = AddAction(PMServers, "PMSAdd", "Add To Favorites");
  PMSCopy = AddAction(PMServers, "PMSCopy", "Copy address");

  PMTray = new QMenu(w);
  PMTray->setObjectName(Text("PMTray"));
  TrayShow = AddAction(PMTray, "TrayShow", "Show  (Shift+Alt+S)");
  TrayExit = AddAction(PMTray, "TrayExit", "Exit");
}

void MainWindowUi::attachModels(ServerListModel& servers, PaneModel& players, PaneModel& rules) {
  servers_ = std::make_unique<ServerListQtModel>(servers);
  players_ = std::make_unique<PaneQtModel>(players, QStringList{Text("NickName"), Text("Frags")});
  rules_ = std::make_unique<PaneQtModel>(rules, QStringList{Text("Rule"), Text("Value")});
  LWModel = servers_.get();
  LWPlayersModel = players_.get();
  LWRulesModel = rules_.get();
  views_[0] = LW;
  views_[1] = LWPlayers;
  views_[2] = LWRules;
  LW->setModel(LWModel);
  LWPlayers->setModel(LWPlayersModel);
  LWRules->setModel(LWRulesModel);
}

void MainWindowUi::setGamePicture(int picture) {
  const QPixmap pixmap = GamePicture(picture);
  if (pixmap.isNull())
    Image->clear();
  else
    Image->setPixmap(pixmap);
}

}  // namespace gavrix
