// The settings dialog's behaviour: the load and the exit save, the launch
// part, transparency, the range editor and the favourites editor.
#include "settings/settings_dialog_qt.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QSlider>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <algorithm>
#include <numeric>
#include <stdexcept>
#include <utility>

#include "scan/broadcast.h"
#include "scan/scan_engine.h"
#include "util/code_page.h"
#include "util/message_box_qt.h"
#include "util/text.h"
#include "widgets/edits_qt.h"
#include "widgets/ip_edit_qt.h"
#include "widgets/placement_qt.h"
#include "widgets/translucency_qt.h"

namespace gavrix {

namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }
QString Q(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }
std::string Std(const QString& text) { return text.toStdString(); }

constexpr int kFavWidthMin = 70;
constexpr int kFavWidthMax = 110;

// Open-file filter of each launch index: Half-Life engine games, then Source games.
const QString kHlFilter = QStringLiteral("Half-Life (hl.exe)|HL.EXE");
const QString kHl2Filter = QStringLiteral("Half-Life2 (hl2.exe)|HL2.EXE");
const QString* const kExeFilters[kLaunchCount] = {&kHlFilter,  &kHlFilter,  &kHlFilter,  &kHlFilter,
                                                  &kHl2Filter, &kHl2Filter, &kHlFilter,  &kHl2Filter,
                                                  &kHl2Filter, &kHlFilter,  &kHl2Filter};

void Error(QWidget* parent, const char* text) {
  Boxes().message(parent, QStringLiteral("Error"), QString::fromUtf8(text), BoxIcon::Error);
}

// A port the program can send to: 1 to 65535, read as the senders read it.
bool UsablePort(const QString& text) { return IsUsablePort(Std(text)); }

}  // namespace

TSettings::TSettings(SettingsParts main, IniFile& ini, QWidget* parent)
    : QDialog(parent), main_(std::move(main)), ini_(ini) {
  buildUi();
  wire();
  // Centred on the screen the dialog opens on.
  adjustSize();
  CentreOnScreen(this);
  FormCreate();
}

TSettings::~TSettings() { FormDestroy(); }

void TSettings::wire() {
  auto guard = [this](auto handler) {
    return [this, handler] { Guarded(this, [this, handler] { (this->*handler)(); }); };
  };
  // Main page.
  connect(CBGame, &QComboBox::currentIndexChanged, this, guard(&TSettings::CBGameChange));
  connect(SBExe, &QToolButton::clicked, this, guard(&TSettings::SBExeClick));
  connect(BBSave, &QPushButton::clicked, this, guard(&TSettings::BBSaveClick));
  connect(BitBtn1, &QPushButton::clicked, this, guard(&TSettings::BitBtn1Click));
  connect(BitBtn2, &QPushButton::clicked, this, guard(&TSettings::BitBtn2Click));
  EditParam->installEventFilter(this);
  // Changes that are no typed character (Delete, paste, cut, undo) are pending changes too.
  connect(EditParam, &QLineEdit::textEdited, this, [this] { BBSave->setEnabled(true); });
  connect(CBDclick, &QCheckBox::toggled, this, [this](bool on) { settings.DoubleClick = on; });
  connect(CBTrans, &QCheckBox::toggled, this, guard(&TSettings::CBTransClick));
  connect(TBTrans, &QSlider::valueChanged, this, guard(&TSettings::TBTransChange));
  connect(CBModern, &QCheckBox::toggled, this, [this](bool on) {
    settings.ModernServers = on;
    main_.applyReplyOptions();
  });
  connect(CBCodePage, &QComboBox::currentIndexChanged, this, [this](int i) {
    if (i < 0 || i >= static_cast<int>(std::size(kOfferedCodePages))) return;
    settings.TextCodePage = static_cast<int>(kOfferedCodePages[i]);
    main_.applyReplyOptions();
  });

  // Games page: the decoders ask the settings when a reply arrives.
  for (int g = 0; g < kGameFlagCount; ++g)
    connect(CBGames[g], &QCheckBox::toggled, this, [this, g](bool on) { settings.games[static_cast<size_t>(g)] = on; });

  // Scan settings page.
  connect(CBBroadcast, &QCheckBox::toggled, this, [this](bool on) { settings.Broadcast = on; });
  connect(EditBPorts, &QLineEdit::editingFinished, this, guard(&TSettings::EditBPortsExit));
  connect(CBOld, &QCheckBox::toggled, this, [this](bool on) { settings.ScanOld = on; });
  connect(LWranges, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* item, int column) {
    const int row = LWranges->indexOfTopLevelItem(item);
    if (filling_ || column != 0 || row < 0 || row >= static_cast<int>(settings.ranges.size())) return;
    settings.ranges[static_cast<size_t>(row)].checked = item->checkState(0) == Qt::Checked;
  });
  connect(SpeedButton1, &QToolButton::clicked, this, guard(&TSettings::SpeedButton1Click));
  connect(SpeedButton2, &QToolButton::clicked, this, guard(&TSettings::SpeedButton2Click));
  connect(SBAdd, &QPushButton::clicked, this, guard(&TSettings::SBAddClick));
  connect(SBDel, &QPushButton::clicked, this, guard(&TSettings::SBDelClick));
  connect(SpeedButton3, &QToolButton::clicked, this, guard(&TSettings::SpeedButton3Click));
  wirePortEdit(CSport, settings.CSPort, acceptedCSPort_);
  wirePortEdit(HLTVport, settings.HLTVPort, acceptedHLTVPort_);
  connect(SEDelay, &QSpinBox::valueChanged, this, [this](int v) { settings.Delay = v; });

  // Favorites page.
  connect(SpeedButton4, &QPushButton::clicked, this, guard(&TSettings::SpeedButton4Click));
  connect(SpeedButton5, &QPushButton::clicked, this, guard(&TSettings::SpeedButton5Click));
  connect(EditHost, &QLineEdit::textChanged, this, guard(&TSettings::EditHostChange));
  connect(LVFav->header(), &QHeaderView::sectionClicked, this,
          [this](int column) { Guarded(this, [this, column] { LVFavColumnClick(column); }); });
  connect(LVFav->header(), &QHeaderView::sectionResized, this, [this](int logical, int, int size) {
    if (logical == 0) favWidthResized(size);
  });
  connect(CBAutoUpdate, &QCheckBox::toggled, this, guard(&TSettings::CBAutoUpdateClick));
  connect(SEUpdInterval, &QSpinBox::valueChanged, this, guard(&TSettings::SEUpdIntervalChange));

  connect(PageControl, &QTabWidget::currentChanged, this, [this](int page) {
    settings.CurPage = page;
    if (isVisible()) pageShown(page);
  });
}

void TSettings::wirePortEdit(DigitsEdit* edit, std::string& stored, std::string& accepted) {
  // The scan reads each change at once; a text that is no port never reaches the settings.
  connect(edit, &QLineEdit::textChanged, this, [&stored](const QString& t) {
    if (t.isEmpty() || UsablePort(t)) stored = Std(t);
  });
  // Leaving the edit with such a text puts back what it held when it was last left.
  connect(edit, &QLineEdit::editingFinished, this, [this, edit, &stored, &accepted] {
    const QString text = edit->text();
    if (text.isEmpty() || UsablePort(text) || Std(text) == accepted) {
      accepted = Std(text);
      return;
    }
    edit->setProgramText(Q(accepted));
    stored = accepted;
    Error(this, "Bad port");
  });
}

// ---- Load and exit save ----

void TSettings::FormCreate() {
  LoadResult loaded = LoadSettings(ini_);
  settings = std::move(loaded.settings);
  main_.attach(&settings, &ini_, this);
  // The main window only appends: the selected row stays where it is.
  main_.onFavouritesChanged([this] { fillFavourites(selectedFavourite()); });
  const Settings s = settings;  // the loaded values; the controls' handlers write them back as they are set

  // The load already wrote GameType back where the choice differs from the game port.
  main_.setScanPortChoice(s.GameType);
  main_.window->resize(s.Width, s.Height);  // the window's minimum size applies
  {
    const QSignalBlocker quiet(CBGame);
    CBGame->setCurrentIndex(s.CurItem);
  }
  settings.CurItem = s.CurItem;
  showLaunchEntry();
  CSport->setProgramText(Q(s.CSPort));
  LVFav->header()->resizeSection(0, s.FavWidth);
  HLTVport->setProgramText(Q(s.HLTVPort));
  // The stored bytes stay as they are, whatever the edits can show.
  settings.CSPort = acceptedCSPort_ = s.CSPort;
  settings.HLTVPort = acceptedHLTVPort_ = s.HLTVPort;
  CBOld->setChecked(s.ScanOld);
  SEDelay->setValue(s.Delay);
  CBAutoUpdate->setChecked(s.FavAutoScan);
  SEUpdInterval->setValue(s.UpdInterval);
  if (CBAutoUpdate->isChecked()) {
    // The first auto-scan runs right after start; its run sets the interval back.
    main_.timerFav->setInterval(200);
    main_.timerFav->start();
  }
  // A Qt page control always shows a page: "none" shows the first, and stays
  // "none" in the file until the user picks a page.
  PageControl->setCurrentIndex(s.CurPage >= 0 ? s.CurPage : 0);
  settings.CurPage = s.CurPage >= 0 ? PageControl->currentIndex() : kNoSelection;
  CBBroadcast->setChecked(s.Broadcast);
  EditBPorts->setText(Q(s.BroadcastPorts));
  CBDclick->setChecked(s.DoubleClick);
  CBModern->setChecked(s.ModernServers);
  for (size_t i = 0; i < std::size(kOfferedCodePages); ++i)
    if (static_cast<int>(kOfferedCodePages[i]) == s.TextCodePage) CBCodePage->setCurrentIndex(static_cast<int>(i));
  main_.applyReplyOptions();
  // The windows start at the stored level; each showing applies it again.
  SetTranslucencyLevel(main_.window, s.TransLevel);
  SetTranslucencyLevel(this, s.TransLevel);
  CBTrans->setChecked(s.Trans);
  TBTrans->setEnabled(s.Trans);
  for (int g = 0; g < kGameFlagCount; ++g) CBGames[g]->setChecked(s.games[static_cast<size_t>(g)]);
  CBParams->clear();
  for (const std::string& p : s.params) CBParams->addItem(Q(p));
  CBParams->setCurrentIndex(-1);  // nothing chosen until the user picks an entry
  fillRanges();
  fillFavourites();

  for (const std::string& text : loaded.errors) ShowError(main_.window, std::runtime_error(text));
}

void TSettings::FormDestroy() {
  settings.Width = main_.window->width();
  settings.Height = main_.window->height();
  settings.GameType = main_.scanPortChoice();
  Guarded(main_.window, [this] { SaveOnExit(ini_, settings); });
  main_.onFavouritesChanged(nullptr);
  main_.attach(nullptr, nullptr, nullptr);
}

// ---- Showing ----

void TSettings::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (event->spontaneous()) return;  // restored from minimised: not a new showing
  FormShow();
  pageShown(PageControl->currentIndex());
}

void TSettings::FormShow() {
  BBSave->setEnabled(false);
  ApplyTranslucencyOnShow(this, settings.Trans, settings.TransLevel, ShowRule::SwitchOnOnly);
}

void TSettings::pageShown(int page) {
  if (page == 0) TS1Show();
  else if (page == 3) TS3Show();
}

void TSettings::TS1Show() { TBTrans->setValue(settings.TransLevel); }

void TSettings::TS3Show() { EditHost->setFocus(Qt::OtherFocusReason); }

// ---- Main page: launch part ----

int TSettings::launchIndex() const {
  const int i = CBGame->currentIndex();
  return i >= 0 && i < kLaunchCount ? i : -1;
}

void TSettings::showLaunchEntry() {
  const int i = launchIndex();
  // No game chosen: no entry to show.
  EditExe->setText(i >= 0 ? Q(settings.launch[static_cast<size_t>(i)].exePath) : QString());
  EditParam->setText(i >= 0 ? Q(settings.launch[static_cast<size_t>(i)].params) : QString());
}

void TSettings::CBGameChange() {
  settings.CurItem = launchIndex();
  showLaunchEntry();
}

void TSettings::SBExeClick() {
  const int i = launchIndex();
  if (i >= 0) exeFilter_ = *kExeFilters[i];
  const QString path = Boxes().openFile(this, exeFilter_);
  if (path.isEmpty()) return;
  EditExe->setText(path);
  BBSave->setEnabled(true);
}

void TSettings::BBSaveClick() {
  const int i = launchIndex();
  if (i >= 0) settings.launch[static_cast<size_t>(i)] = {Std(EditExe->text()), Std(EditParam->text())};
  BBSave->setEnabled(false);
}

void TSettings::BitBtn1Click() {
  const QString before = EditParam->text();
  const int i = launchIndex();
  if (i >= 0) EditParam->setText(Q(kDefaultLaunchParams[i]));
  if (EditParam->text() != before) BBSave->setEnabled(true);
}

void TSettings::BitBtn2Click() {
  const QString entry = CBParams->currentText();
  if (entry.isEmpty()) return;
  EditParam->setText(EditParam->text() + u' ' + entry);
  BBSave->setEnabled(true);
}

void TSettings::EditParamKeyPress() { BBSave->setEnabled(true); }

bool TSettings::eventFilter(QObject* watched, QEvent* event) {
  if (watched == EditParam && event->type() == QEvent::KeyPress && TypedCharacter(static_cast<QKeyEvent*>(event)))
    EditParamKeyPress();
  return QDialog::eventFilter(watched, event);
}

// ---- Transparency ----

void TSettings::addTranslucentWindow(QWidget* window) {
  if (window) followers_.emplace_back(window);
}

std::vector<QWidget*> TSettings::translucentWindows(bool all) const {
  std::vector<QWidget*> out{main_.window, const_cast<TSettings*>(this)};
  if (all)
    for (const QPointer<QWidget>& w : followers_)
      if (w) out.push_back(w.data());
  return out;
}

void TSettings::CBTransClick() {
  const bool on = CBTrans->isChecked();
  // Switching on reaches the main window and this dialog; the others follow at their next showing.
  for (QWidget* w : translucentWindows(!on)) SetTranslucent(w, on);
  settings.Trans = on;
  TBTrans->setEnabled(on);
}

void TSettings::TBTransChange() {
  const int level = TBTrans->value();
  for (QWidget* w : translucentWindows(true)) SetTranslucencyLevel(w, level);
  settings.TransLevel = level;
}

// ---- Scan settings page: the range list ----

int TSettings::selectedRange() const {
  const QList<QTreeWidgetItem*> sel = LWranges->selectedItems();
  return sel.isEmpty() ? -1 : LWranges->indexOfTopLevelItem(sel.first());
}

void TSettings::selectRange(int row) {
  QTreeWidgetItem* item = LWranges->topLevelItem(row);
  if (!item) {
    LWranges->clearSelection();
    return;
  }
  LWranges->setCurrentItem(item);
  LWranges->scrollToItem(item);
}

void TSettings::showRange(int row) {
  QTreeWidgetItem* item = LWranges->topLevelItem(row);
  const ScanRange& r = settings.ranges[static_cast<size_t>(row)];
  const bool wasFilling = std::exchange(filling_, true);
  item->setCheckState(0, r.checked ? Qt::Checked : Qt::Unchecked);
  item->setText(1, Q(r.from));
  item->setText(2, Q(r.to));
  filling_ = wasFilling;
}

void TSettings::appendRangeRow() {
  // Setting the flags reports a change of every column, before the row has its mark.
  const bool wasFilling = std::exchange(filling_, true);
  auto* item = new QTreeWidgetItem(LWranges);
  item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable | Qt::ItemNeverHasChildren);
  item->setTextAlignment(1, Qt::AlignCenter);
  item->setTextAlignment(2, Qt::AlignCenter);
  showRange(LWranges->indexOfTopLevelItem(item));
  filling_ = wasFilling;
}

void TSettings::fillRanges() {
  const bool wasFilling = std::exchange(filling_, true);
  LWranges->clear();
  for (size_t i = 0; i < settings.ranges.size(); ++i) appendRangeRow();
  filling_ = wasFilling;
}

void TSettings::SBAddClick() {
  const std::array<int, 4> f = IPE1->octets(), t = IPE2->octets();
  if (f[0] == 0 || t[0] == 0) return Error(this, "Incorrect IP range");
  if (f[0] != t[0] || f[1] != t[1]) return Error(this, "IP range incorrect or very big");
  // At most 255 values of the third octet: 254 is the largest difference.
  if (t[2] < f[2] || t[2] - f[2] > 254) return Error(this, "IP range incorrect or very big");
  if (f[2] == t[2] && t[3] < f[3]) return Error(this, "IP range incorrect");
  const std::string from = Std(IPE1->text()), to = Std(IPE2->text());
  for (const ScanRange& r : settings.ranges)
    if (r.to == from || r.to == to) return Error(this, "IP range exist");

  settings.ranges.push_back({true, from, to});
  appendRangeRow();
  WriteRangeList(ini_, settings.ranges);
}

void TSettings::SBDelClick() {
  const int row = selectedRange();
  if (row < 0) return;
  const int above = std::max(row - 1, 0);
  settings.ranges.erase(settings.ranges.begin() + row);
  fillRanges();
  if (!settings.ranges.empty()) selectRange(above);
  WriteRangeList(ini_, settings.ranges);
}

void TSettings::SpeedButton1Click() {
  const int row = selectedRange();
  if (settings.ranges.size() < 2 || row < 1) return;
  LWranges->setUpdatesEnabled(false);
  std::swap(settings.ranges[static_cast<size_t>(row)], settings.ranges[static_cast<size_t>(row - 1)]);
  showRange(row);
  showRange(row - 1);
  selectRange(row - 1);
  LWranges->setUpdatesEnabled(true);
}

void TSettings::SpeedButton2Click() {
  const int row = selectedRange();
  const int count = static_cast<int>(settings.ranges.size());
  if (count < 2 || row < 0 || row >= count - 1) return;
  LWranges->setUpdatesEnabled(false);
  std::swap(settings.ranges[static_cast<size_t>(row)], settings.ranges[static_cast<size_t>(row + 1)]);
  showRange(row);
  showRange(row + 1);
  selectRange(row + 1);
  LWranges->setUpdatesEnabled(true);
}

void TSettings::SpeedButton3Click() {
  if (IPE1->text().isEmpty()) return;
  for (int i = 0; i < 3; ++i) IPE2->setOctet(i, IPE1->octet(i));
  IPE2->setOctet(3, 255);
}

// ---- Favorites page ----

int TSettings::selectedFavourite() const {
  const QList<QTreeWidgetItem*> sel = LVFav->selectedItems();
  return sel.isEmpty() ? -1 : LVFav->indexOfTopLevelItem(sel.first());
}

void TSettings::fillFavourites(int select) {
  LVFav->clear();
  for (const Favourite& f : settings.favourites) {
    auto* item = new QTreeWidgetItem(LVFav, QStringList{Q(f.host), Q(f.port)});
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren);
    item->setTextAlignment(1, Qt::AlignCenter);
  }
  if (QTreeWidgetItem* item = LVFav->topLevelItem(select)) LVFav->setCurrentItem(item);
}

void TSettings::favWidthResized(int width) {
  const int kept = std::clamp(width, kFavWidthMin, kFavWidthMax);
  if (kept != width) {
    // Runs this handler again with the kept width.
    LVFav->header()->resizeSection(0, kept);
    return;
  }
  settings.FavWidth = kept;
}

void TSettings::SpeedButton4Click() {
  const QString host = EditHost->text(), port = MEPort->text();
  if (host.size() < 4 || port.isEmpty()) return Error(this, "Bad address");
  if (!UsablePort(port)) return Error(this, "Bad port");
  const Favourite added{Std(host), Std(port)};
  for (const Favourite& f : settings.favourites)
    if (f == added) return Error(this, "This address is already exist");
  settings.favourites.push_back(added);
  fillFavourites(selectedFavourite());
}

void TSettings::EditBPortsExit() {
  const std::string text = Std(EditBPorts->text());
  if (text == settings.BroadcastPorts) return;
  if (ParseBroadcastPorts(text)) {
    settings.BroadcastPorts = text;
    return;
  }
  // Refused: the edit shows the list in force again before the box takes the focus.
  EditBPorts->setText(Q(settings.BroadcastPorts));
  Error(this, "Bad port");
}

void TSettings::SpeedButton5Click() {
  const int row = selectedFavourite();
  if (row < 0) return;
  settings.favourites.erase(settings.favourites.begin() + row);
  fillFavourites();
}

void TSettings::EditHostChange() { SpeedButton4->setEnabled(EditHost->text().size() > 3); }

void TSettings::LVFavColumnClick(int column) {
  if (column != 0 && column != 1) return;
  // Ascending every time; rows that compare equal keep their order.
  std::vector<size_t> order(settings.favourites.size());
  std::iota(order.begin(), order.end(), size_t{0});
  std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
    const Favourite& x = settings.favourites[a];
    const Favourite& y = settings.favourites[b];
    return column == 0 ? CompareText(x.host, y.host) < 0 : CompareText(x.port, y.port) < 0;
  });
  const int selected = selectedFavourite();
  std::vector<Favourite> sorted;
  sorted.reserve(order.size());
  int reselect = -1;
  for (size_t i = 0; i < order.size(); ++i) {
    sorted.push_back(settings.favourites[order[i]]);
    if (static_cast<int>(order[i]) == selected) reselect = static_cast<int>(i);
  }
  settings.favourites = std::move(sorted);
  fillFavourites(reselect);
}

void TSettings::CBAutoUpdateClick() {
  QTimer* timer = main_.timerFav;
  settings.FavAutoScan = CBAutoUpdate->isChecked();
  if (settings.FavAutoScan) {
    if (!timer->isActive()) timer->start();
    main_.status(2, QStringLiteral(" Autoscan enabled"));
  } else {
    timer->stop();
    main_.status(0, QString());
    main_.status(2, QStringLiteral(" Autoscan disabled"));
  }
}

void TSettings::SEUpdIntervalChange() {
  const int v = SEUpdInterval->value();
  settings.UpdInterval = v;
  // A new interval on the running timer starts its wait again.
  if (v >= 5) main_.timerFav->setInterval(v * 1000);
}

}  // namespace gavrix
