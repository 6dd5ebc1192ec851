#include "platform/dataset/datasetmodel.h"

#include "platform/sql/values.h"

#include <QtCore/QScopedValueRollback>

namespace zr::data {

DatasetModel::DatasetModel(Dataset *ds, QObject *parent) : QAbstractTableModel(parent), m_ds(ds) {
  connect(ds, &Dataset::layoutReset, this, &DatasetModel::reset);
  connect(ds, &Dataset::scrolled, this, &DatasetModel::grow);
  // Rows the model announces are those it already shows; others arrive through grow().
  connect(ds, &Dataset::rowAboutToBeInserted, this, [this](qint64 pos) {
    m_changing = pos <= m_rows;
    if (m_changing)
      beginInsertRows({}, int(pos), int(pos));
  });
  connect(ds, &Dataset::rowInserted, this, [this](qint64) {
    if (!m_changing)
      return grow();
    ++m_rows;
    endInsertRows();
    m_changing = false;
  });
  connect(ds, &Dataset::rowAboutToBeRemoved, this, [this](qint64 pos) {
    m_changing = pos < m_rows;
    if (m_changing)
      beginRemoveRows({}, int(pos), int(pos));
  });
  connect(ds, &Dataset::rowRemoved, this, [this](qint64) {
    if (!m_changing)
      return;
    --m_rows;
    endRemoveRows();
    m_changing = false;
  });
  connect(ds, &Dataset::dataChanged, this, [this](int) {
    if (m_ds && m_ds->recNo() >= 0 && m_ds->recNo() < m_rows && m_columns > 0)
      emit QAbstractTableModel::dataChanged(index(int(m_ds->recNo()), 0),
                                            index(int(m_ds->recNo()), m_columns - 1));
  });
  reset();
}

void DatasetModel::reset() {
  beginResetModel();
  m_columns = m_ds && m_ds->isActive() ? m_ds->fieldCount() : 0;
  m_rows = m_ds && m_ds->isActive() ? int(m_ds->fetchedCount()) : 0;
  endResetModel();
}

// The dataset may have learnt of more rows (read on, or jumped to the end).
void DatasetModel::grow() {
  if (!m_ds || !m_ds->isActive() || m_ds->controlsDisabled())
    return;
  qint64 known = m_ds->fetchedCount();
  if (m_ds->recNo() >= known)
    known = m_ds->recordCount();
  if (known > m_rows) {
    beginInsertRows({}, m_rows, int(known - 1));
    m_rows = int(known);
    endInsertRows();
  }
}

int DatasetModel::rowCount(const QModelIndex &parent) const {
  return parent.isValid() ? 0 : m_rows;
}
int DatasetModel::columnCount(const QModelIndex &parent) const {
  return parent.isValid() ? 0 : m_columns;
}

QString DatasetModel::display(const QVariant &v) {
  if (!v.isValid() || v.isNull())
    return {};
  if (v.typeId() == QMetaType::Double)
    return zr::sql::shortestNumber(v.toDouble());
  if (v.typeId() == QMetaType::QByteArray)
    return QStringLiteral("(BLOB)");
  return v.toString();
}

QVariant DatasetModel::data(const QModelIndex &index, int role) const {
  if (!index.isValid() || !m_ds || index.row() >= m_rows || index.column() >= m_columns)
    return {};
  if (role == Qt::DisplayRole || role == Qt::EditRole)
    return display(m_ds->valueAt(index.row(), index.column()));
  if (role == Qt::TextAlignmentRole && m_ds->field(index.column())->dataKind() == u"N")
    return int(Qt::AlignRight | Qt::AlignVCenter);
  return {};
}

QVariant DatasetModel::headerData(int section, Qt::Orientation o, int role) const {
  if (role != Qt::DisplayRole || !m_ds)
    return {};
  if (o == Qt::Horizontal)
    return section >= 0 && section < m_columns ? QVariant(m_ds->field(section)->displayLabel) : QVariant();
  return section + 1;
}

bool DatasetModel::canFetchMore(const QModelIndex &parent) const {
  return !parent.isValid() && m_ds && !m_fetching && m_ds->canFetchMore() && m_rows >= m_ds->fetchedCount();
}

void DatasetModel::fetchMore(const QModelIndex &parent) {
  // views ask again while the rows are being announced
  if (parent.isValid() || !m_ds || m_fetching)
    return;
  const QScopedValueRollback guard(m_fetching, true);
  m_ds->fetchMore(256);
  const qint64 known = m_ds->fetchedCount();
  if (known > m_rows) {
    beginInsertRows({}, m_rows, int(known - 1));
    m_rows = int(known);
    endInsertRows();
  }
}

} // namespace zr::data
