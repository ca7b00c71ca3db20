// Qt item models over the server list and the panes.
#include "serverlist/list_models_qt.h"

#include <QIcon>

#include "widgets/icons_qt.h"
#include "query/catalogue.h"
#include "util/text.h"

namespace gavrix {

namespace {


QString Shown(const std::string& text) { return QString::fromStdString(ShownText(text)); }

// Header icons of the server list by column; -1 for none.
constexpr int kHeaderIcon[kListColumnCount] = {-1, 17, 16, -1, -1, 7, 11, 15, -1, -1};

// Header tooltips of the columns whose captions do not say what they hold; nullptr for none.
constexpr const char* kHeaderHint[kListColumnCount] = {
    nullptr, nullptr, nullptr, nullptr, "Protocol version", nullptr, "Players", "Operating system", nullptr,
    "Milliseconds from the query to the reply"};

QVariant AccessHint(int mark) {
  switch (mark) {
    case icon::kOpen:
      return QStringLiteral("Open");
    case icon::kFull:
      return QStringLiteral("Full");
    case icon::kPassword:
      return QStringLiteral("Password");
    default:
      return {};
  }
}

}  // namespace

Qt::ItemFlags ObservedTableModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

void ObservedTableModel::beginInsert(int row) { beginInsertRows({}, row, row); }
void ObservedTableModel::endInsert() { endInsertRows(); }
void ObservedTableModel::beginRemove(int row) { beginRemoveRows({}, row, row); }
void ObservedTableModel::endRemove() { endRemoveRows(); }
void ObservedTableModel::beginReset() { beginResetModel(); }
void ObservedTableModel::endReset() { endResetModel(); }

void ObservedTableModel::rowChanged(int row) {
  emit dataChanged(index(row, 0), index(row, columnCount() - 1));
}

void ObservedTableModel::beginReorder() {
  emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
}

void ObservedTableModel::endReorder(const std::vector<int>& newIndexOf) {
  const QModelIndexList from = persistentIndexList();
  QModelIndexList to;
  to.reserve(from.size());
  for (const QModelIndex& old : from) {
    const auto row = static_cast<size_t>(old.row());
    to.append(row < newIndexOf.size() ? index(newIndexOf[row], old.column()) : QModelIndex());
  }
  changePersistentIndexList(from, to);
  emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

ServerListQtModel::ServerListQtModel(ServerListModel& list, QObject* parent)
    : ObservedTableModel(parent), list_(list) {
  list_.setObserver(this);
}

ServerListQtModel::~ServerListQtModel() { list_.setObserver(nullptr); }

int ServerListQtModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : list_.size(); }

int ServerListQtModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kListColumnCount; }

QVariant ServerListQtModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= list_.size()) return {};
  const ServerRow& row = list_.row(index.row());
  const int column = index.column();
  switch (role) {
    case Qt::DisplayRole:
      if (column == kColPing) return row.ping < 0 ? QString() : QString::number(row.ping);
      return Shown(row.text(column));
    case Qt::DecorationRole: {
      int icon = column == kColGame ? row.icon : column == kColOS ? row.osIcon : column == kColAccess ? row.accessIcon : -1;
      QIcon shown = ServerIcon(icon);
      return shown.isNull() ? QVariant() : QVariant(shown);
    }
    case Qt::TextAlignmentRole:
      return column == kColGame ? int(Qt::AlignLeft | Qt::AlignVCenter) : int(Qt::AlignCenter);
    case Qt::ToolTipRole:
      return column == kColAccess ? AccessHint(row.accessIcon) : QVariant();
    default:
      return {};
  }
}

QVariant ServerListQtModel::headerData(int section, Qt::Orientation orientation, int role) const {
  static const char* const kCaption[kListColumnCount] = {"Game", "Name", "Address", "Port", "PT",
                                                         "Map",  "",     "OS",      "A",    "Ping"};
  if (orientation != Qt::Horizontal || section < 0 || section >= kListColumnCount) return {};
  switch (role) {
    case Qt::DisplayRole:
      return QString::fromLatin1(kCaption[section]);
    case Qt::DecorationRole:
      return kHeaderIcon[section] < 0 ? QVariant() : QVariant(ServerIcon(kHeaderIcon[section]));
    case Qt::ToolTipRole:
      return kHeaderHint[section] ? QVariant(QString::fromLatin1(kHeaderHint[section])) : QVariant();
    case Qt::TextAlignmentRole:
      return section == kColGame ? int(Qt::AlignLeft | Qt::AlignVCenter) : int(Qt::AlignCenter);
    default:
      return {};
  }
}

PaneQtModel::PaneQtModel(PaneModel& pane, const QStringList& captions, QObject* parent)
    : ObservedTableModel(parent), pane_(pane), captions_(captions) {
  pane_.setObserver(this);
}

PaneQtModel::~PaneQtModel() { pane_.setObserver(nullptr); }

int PaneQtModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : pane_.size(); }

int PaneQtModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : 2; }

QVariant PaneQtModel::data(const QModelIndex& index, int role) const {
  if (role != Qt::DisplayRole || !index.isValid() || index.row() >= pane_.size()) return {};
  const PaneRow& row = pane_.row(index.row());
  return Shown(index.column() == 0 ? row.caption : row.value);
}

QVariant PaneQtModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= captions_.size())
    return {};
  return captions_[section];
}

}  // namespace gavrix
