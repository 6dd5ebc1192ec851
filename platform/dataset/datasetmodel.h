#pragma once
// An item model over a dataset for grids: rows appear as the view scrolls to them, a jump to the
// end shows the whole count at once, and only the rows a view asks for are read.
#include "platform/dataset/dataset.h"

#include <QtCore/QAbstractTableModel>
#include <QtCore/QPointer>

namespace zr::data {

class DatasetModel : public QAbstractTableModel {
  Q_OBJECT
public:
  explicit DatasetModel(Dataset *ds, QObject *parent = nullptr);

  int rowCount(const QModelIndex &parent = {}) const override;
  int columnCount(const QModelIndex &parent = {}) const override;
  QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation o, int role = Qt::DisplayRole) const override;
  bool canFetchMore(const QModelIndex &parent) const override;
  void fetchMore(const QModelIndex &parent) override;

  Dataset *dataset() const { return m_ds; }
  // Text of a value as a grid shows it.
  static QString display(const QVariant &v);

private:
  void reset();
  void grow();
  QPointer<Dataset> m_ds;
  int m_rows = 0;
  int m_columns = 0;
  bool m_fetching = false;
  bool m_changing = false;
};

} // namespace zr::data
