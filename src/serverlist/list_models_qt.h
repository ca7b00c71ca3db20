// Qt item models over the core server list and pane models, so Qt views show and follow them.
#pragma once

#include <QAbstractTableModel>
#include <QStringList>

#include "query/server_list.h"
#include "serverlist/pane.h"
#include "util/code_page.h"
#include "util/list_observer.h"

namespace gavrix {

// Turns the core models' change notifications into the Qt model signals. A reorder keeps
// persistent indexes (and so a view's selection and current row) on the row they pointed to.
class ObservedTableModel : public QAbstractTableModel, public ListObserver {
  Q_OBJECT

 public:
  using QAbstractTableModel::QAbstractTableModel;

  Qt::ItemFlags flags(const QModelIndex& index) const override;

  void beginInsert(int row) override;
  void endInsert() override;
  void beginRemove(int row) override;
  void endRemove() override;
  void beginReset() override;
  void endReset() override;
  void rowChanged(int row) override;
  void beginReorder() override;
  void endReorder(const std::vector<int>& newIndexOf) override;
};

// The server list: nine columns, texts as shown, the row, OS and access icons, centred columns
// after the first, header captions and header icons.
class ServerListQtModel : public ObservedTableModel {
  Q_OBJECT

 public:
  // The list must outlive this model; the model observes it until destroyed.
  explicit ServerListQtModel(ServerListModel& list, QObject* parent = nullptr);
  ~ServerListQtModel() override;

  ServerListModel& list() const { return list_; }

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

 private:
  ServerListModel& list_;
};

// A players or rules pane: caption and value in two columns with the given header captions.
class PaneQtModel : public ObservedTableModel {
  Q_OBJECT

 public:
  // The pane must outlive this model; the model observes it until destroyed.
  PaneQtModel(PaneModel& pane, const QStringList& captions, QObject* parent = nullptr);
  ~PaneQtModel() override;

  PaneModel& pane() const { return pane_; }

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

 private:
  PaneModel& pane_;
  QStringList captions_;
};

}  // namespace gavrix
