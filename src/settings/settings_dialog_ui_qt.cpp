// The settings dialog's controls and their layout; the behaviour is wired in settings_dialog_qt.cpp.
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QStyle>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "widgets/edits_qt.h"
#include "widgets/ip_edit_qt.h"
#include "settings/settings_dialog_qt.h"
#include "util/code_page.h"

namespace gavrix {

namespace {

QString S(const char* text) { return QString::fromUtf8(text); }

// Buttons never act on Return: the dialog has no default button.
QPushButton* Button(const char* caption, QWidget* parent) {
  auto* b = new QPushButton(S(caption), parent);
  b->setAutoDefault(false);
  b->setDefault(false);
  return b;
}

QToolButton* SmallButton(QWidget* parent, const char* hint) {
  auto* b = new QToolButton(parent);
  b->setToolTip(S(hint));
  return b;
}

QLabel* Label(const char* caption, QWidget* buddy, QWidget* parent) {
  auto* l = new QLabel(S(caption), parent);
  l->setBuddy(buddy);
  return l;
}

// A report list: whole rows selected one at a time, nothing edited in place.
QTreeWidget* ReportList(QWidget* parent, const QStringList& columns) {
  auto* list = new QTreeWidget(parent);
  list->setColumnCount(static_cast<int>(columns.size()));
  list->setHeaderLabels(columns);
  list->setRootIsDecorated(false);
  list->setItemsExpandable(false);
  list->setUniformRowHeights(true);
  list->setAllColumnsShowFocus(true);
  list->setSelectionMode(QAbstractItemView::SingleSelection);
  list->setSelectionBehavior(QAbstractItemView::SelectRows);
  list->setEditTriggers(QAbstractItemView::NoEditTriggers);
  list->setSortingEnabled(false);
  list->header()->setSectionsMovable(false);
  list->header()->setSectionsClickable(false);
  return list;
}

}  // namespace

void TSettings::buildUi() {
  setWindowTitle(S("Settings"));
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
  setModal(false);
  auto* outer = new QVBoxLayout(this);
  outer->setContentsMargins(6, 6, 6, 6);
  outer->setSizeConstraint(QLayout::SetFixedSize);
  PageControl = new QTabWidget(this);
  outer->addWidget(PageControl);

  // Page "Main".
  TS1 = new QWidget;
  {
    CBGame = new QComboBox(TS1);
    CBGame->setEditable(false);
    for (std::string_view game : kLaunchGames) CBGame->addItem(QString::fromUtf8(game.data(), static_cast<qsizetype>(game.size())));
    EditExe = new QLineEdit(TS1);
    EditExe->setReadOnly(true);
    SBExe = SmallButton(TS1, "Find file");
    SBExe->setText(S("..."));
    EditParam = new QLineEdit(TS1);
    CBParams = new QComboBox(TS1);
    CBParams->setEditable(false);
    CBParams->setMinimumContentsLength(14);
    BitBtn2 = Button("", TS1);
    BitBtn2->setToolTip(S("Append param"));
    BitBtn2->setIcon(style()->standardIcon(QStyle::SP_ArrowUp));
    BitBtn1 = Button("Default", TS1);
    BitBtn1->setToolTip(S("Restore params ot default"));
    BBSave = Button("Save", TS1);
    BBSave->setEnabled(false);

    auto* grid = new QGridLayout;
    grid->addWidget(Label("Game:", CBGame, TS1), 0, 0);
    auto* gameRow = new QHBoxLayout;
    gameRow->addWidget(CBGame);
    gameRow->addStretch();
    grid->addLayout(gameRow, 0, 1);
    grid->addWidget(Label("Exe path:", EditExe, TS1), 1, 0);
    auto* exeRow = new QHBoxLayout;
    exeRow->setSpacing(2);
    exeRow->addWidget(EditExe);
    exeRow->addWidget(SBExe);
    grid->addLayout(exeRow, 1, 1);
    grid->addWidget(Label("Parameters:", EditParam, TS1), 2, 0);
    grid->addWidget(EditParam, 2, 1);
    auto* paramRow = new QHBoxLayout;
    paramRow->addWidget(CBParams);
    paramRow->addWidget(BitBtn2);
    paramRow->addStretch();
    paramRow->addWidget(BitBtn1);
    paramRow->addWidget(BBSave);
    grid->addLayout(paramRow, 3, 1);

    auto* line = new QFrame(TS1);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);

    CBDclick = new QCheckBox(S("Connect by double click"), TS1);
    CBTrans = new QCheckBox(S("Transparency"), TS1);
    TBTrans = new QSlider(Qt::Horizontal, TS1);
    TBTrans->setRange(50, 255);
    TBTrans->setValue(100);
    TBTrans->setTickPosition(QSlider::TicksBelow);
    TBTrans->setTickInterval(3);
    TBTrans->setEnabled(false);

    CBModern = new QCheckBox(S("Today's servers: challenges, split replies, new games"), TS1);
    CBCodePage = new QComboBox(TS1);
    CBCodePage->setEditable(false);
    for (std::string_view caption : kCodePageCaptions)
      CBCodePage->addItem(QString::fromUtf8(caption.data(), static_cast<qsizetype>(caption.size())));
    auto* codePageRow = new QHBoxLayout;
    codePageRow->addWidget(Label("Names not in UTF-8:", CBCodePage, TS1));
    codePageRow->addWidget(CBCodePage);
    codePageRow->addStretch();

    auto* page = new QVBoxLayout(TS1);
    page->addLayout(grid);
    page->addSpacing(4);
    page->addWidget(line);
    page->addSpacing(4);
    page->addWidget(CBDclick);
    page->addWidget(CBTrans);
    page->addWidget(TBTrans);
    page->addWidget(CBModern);
    page->addLayout(codePageRow);
    page->addStretch();
  }
  PageControl->addTab(TS1, S("Main"));

  // Page "Games".
  TabSheet1 = new QWidget;
  {
    static constexpr const char* kCaptions[kGameFlagCount] = {
        "Half-life",          "Half-life-2",          "Counter-Strike 1.5", "Counter-Strike 1.6",
        "Counter-Strike: Source", "Condition-Zero",   "Day Of Defeat",      "Day Of Defeat Source",
        "Half-life-2 Sandbox (Garry's mod)", "Team Fortress Classic", "Team Fortress 2"};
    GB2 = new QGroupBox(S("Show only"), TabSheet1);
    auto* boxes = new QVBoxLayout(GB2);
    boxes->setSpacing(2);
    for (int g = 0; g < kGameFlagCount; ++g) {
      CBGames[g] = new QCheckBox(S(kCaptions[g]), GB2);
      CBGames[g]->setChecked(true);
      boxes->addWidget(CBGames[g]);
    }
    auto* page = new QVBoxLayout(TabSheet1);
    page->addWidget(GB2);
    page->addStretch();
  }
  PageControl->addTab(TabSheet1, S("Games"));

  // Page "Scan settings".
  TS2 = new QWidget;
  {
    CBBroadcast = new QCheckBox(S("Broadcast"), TS2);
    CBBroadcast->setChecked(true);
    EditBPorts = new QLineEdit(TS2);
    EditBPorts->setPlaceholderText(S("scan port"));
    EditBPorts->setToolTip(S("Ports the broadcast asks, e.g. 27015-27020, 27215"));
    EditBPorts->setFixedWidth(EditBPorts->fontMetrics().horizontalAdvance(S("27015-27020, 27215")) + 16);
    auto* broadcastRow = new QHBoxLayout;
    broadcastRow->addWidget(CBBroadcast);
    broadcastRow->addWidget(EditBPorts);
    broadcastRow->addStretch();
    CBOld = new QCheckBox(S("Scan old protocol servers"), TS2);
    CBOld->setToolTip(S("All CS1.5 and old CS1.6 servers"));
    CBOld->setChecked(true);

    LWranges = ReportList(TS2, {QString(), S("From IP:"), S("To IP:")});
    LWranges->headerItem()->setTextAlignment(1, Qt::AlignCenter);
    LWranges->headerItem()->setTextAlignment(2, Qt::AlignCenter);
    LWranges->header()->setMinimumSectionSize(22);
    LWranges->header()->setSectionResizeMode(0, QHeaderView::Fixed);
    LWranges->header()->resizeSection(0, 26);
    LWranges->header()->setSectionResizeMode(1, QHeaderView::Stretch);
    LWranges->header()->setSectionResizeMode(2, QHeaderView::Stretch);
    LWranges->setMinimumWidth(300);
    LWranges->setFixedHeight(130);

    SpeedButton1 = SmallButton(TS2, "Move up");
    SpeedButton1->setArrowType(Qt::UpArrow);
    SpeedButton2 = SmallButton(TS2, "Move down");
    SpeedButton2->setArrowType(Qt::DownArrow);
    auto* moves = new QVBoxLayout;
    moves->addWidget(SpeedButton1);
    moves->addWidget(SpeedButton2);
    moves->addStretch();
    auto* listRow = new QHBoxLayout;
    listRow->addWidget(LWranges);
    listRow->addLayout(moves);

    IPE1 = new IpEdit(TS2);
    IPE2 = new IpEdit(TS2);
    SBDel = Button("Del", TS2);
    SBAdd = Button("Add", TS2);
    SpeedButton3 = new QToolButton(TS2);
    SpeedButton3->setText(S("0..255"));
    auto* edits = new QGridLayout;
    edits->addWidget(Label("From:", IPE1, TS2), 0, 0);
    edits->addWidget(IPE1, 0, 1);
    edits->addWidget(SpeedButton3, 0, 2, Qt::AlignLeft);
    edits->addWidget(SBDel, 0, 4);
    edits->addWidget(Label("To:", IPE2, TS2), 1, 0);
    edits->addWidget(IPE2, 1, 1);
    edits->addWidget(SBAdd, 1, 4);
    edits->setColumnStretch(3, 1);

    auto* ports = new QGroupBox(S("Ports:"), TS2);
    CSport = new DigitsEdit(ports);
    CSport->setLimit(5);
    CSport->setProgramText(S("27015"));
    HLTVport = new DigitsEdit(ports);
    HLTVport->setLimit(5);
    HLTVport->setProgramText(S("27020"));
    const int portWidth = CSport->fontMetrics().horizontalAdvance(S("000000")) + 12;
    CSport->setFixedWidth(portWidth);
    HLTVport->setFixedWidth(portWidth);
    auto* portRow = new QHBoxLayout(ports);
    portRow->addWidget(Label("Games", CSport, ports));
    portRow->addWidget(CSport);
    portRow->addSpacing(8);
    portRow->addWidget(Label("HLTV", HLTVport, ports));
    portRow->addWidget(HLTVport);

    auto* delay = new QGroupBox(S("Scan delay"), TS2);
    SEDelay = new ArrowSpinEdit(0, 30, 5, delay);
    auto* delayRow = new QHBoxLayout(delay);
    delayRow->addWidget(SEDelay);
    delayRow->addWidget(Label("ms", SEDelay, delay));

    auto* groups = new QHBoxLayout;
    groups->addWidget(ports);
    groups->addWidget(delay);
    groups->addStretch();

    auto* page = new QVBoxLayout(TS2);
    page->setSpacing(4);
    page->addLayout(broadcastRow);
    page->addWidget(CBOld);
    page->addLayout(listRow);
    page->addLayout(edits);
    page->addLayout(groups);
    page->addStretch();
  }
  PageControl->addTab(TS2, S("Scan settings"));

  // Page "Favorites".
  TS3 = new QWidget;
  {
    LVFav = ReportList(TS3, {S("IP - Address"), S("Port")});
    LVFav->headerItem()->setTextAlignment(1, Qt::AlignCenter);
    LVFav->header()->setSectionsClickable(true);
    LVFav->header()->setMinimumSectionSize(40);
    LVFav->header()->setStretchLastSection(true);
    LVFav->header()->resizeSection(0, 103);
    LVFav->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    LVFav->setFixedWidth(200);

    CBAutoUpdate = new QCheckBox(S("Auto scan"), TS3);
    SEUpdInterval = new ArrowSpinEdit(5, 60, 10, TS3);
    auto* side = new QVBoxLayout;
    side->addWidget(CBAutoUpdate);
    auto* intervalRow = new QHBoxLayout;
    intervalRow->addWidget(Label("Interval (sec)", SEUpdInterval, TS3));
    intervalRow->addWidget(SEUpdInterval);
    intervalRow->addStretch();
    side->addLayout(intervalRow);
    side->addStretch();

    auto* listRow = new QHBoxLayout;
    listRow->addWidget(LVFav);
    listRow->addSpacing(8);
    listRow->addLayout(side);

    EditHost = new QLineEdit(TS3);
    MEPort = new DigitsEdit(TS3);
    MEPort->setLimit(5);
    MEPort->setProgramText(S("27015"));
    MEPort->setFixedWidth(MEPort->fontMetrics().horizontalAdvance(S("000000")) + 12);
    SpeedButton5 = Button("Del", TS3);
    SpeedButton4 = Button("Add", TS3);
    SpeedButton4->setEnabled(false);
    auto* addRow = new QHBoxLayout;
    addRow->addWidget(Label("Server:", EditHost, TS3));
    addRow->addWidget(EditHost, 1);
    addRow->addWidget(Label("Port:", MEPort, TS3));
    addRow->addWidget(MEPort);
    addRow->addWidget(SpeedButton5);
    addRow->addWidget(SpeedButton4);

    auto* page = new QVBoxLayout(TS3);
    page->addLayout(listRow, 1);
    page->addLayout(addRow);
  }
  PageControl->addTab(TS3, S("Favorites"));
}

}  // namespace gavrix
