#pragma once
// Rows kept as one compact byte string each (a type byte and the value per column), in
// segments of consecutive positions: the head read forward, the tail read backward from the
// end, windows in between. A cached row costs little more than its values.
#include <QtCore/QByteArray>
#include <QtCore/QVariant>

namespace zr::sql {
class Query;
}
#include <map>
#include <vector>

namespace zr::data {

class RowCodec {
public:
  static QByteArray encode(const QVariantList &values, qint64 rowid);
  // Straight from a statement's current row: the stored bytes, never converted.
  static QByteArray encode(const zr::sql::Query &q, int columns, qint64 rowid);
  static QVariant value(const QByteArray &row, int column);
  static QVariantList values(const QByteArray &row, int columns);
  static qint64 rowid(const QByteArray &row);
  // Bytes of the values themselves (UTF-8 text, 8 per number), for the memory figures.
  static qint64 valueBytes(const QByteArray &row);
};

class RowStore {
public:
  const QByteArray *row(qint64 pos) const;
  bool has(qint64 pos) const { return row(pos) != nullptr; }
  // Puts a row at pos, which must be free; joins it to a neighbouring segment.
  void put(qint64 pos, QByteArray row);
  void replace(qint64 pos, QByteArray row);
  // Inserts at pos and moves every later row one position on.
  void insertAt(qint64 pos, QByteArray row);
  // Removes pos and moves every later row one position back.
  void removeAt(qint64 pos);
  void clear();
  // The end of the run of cached rows starting at pos (pos itself when pos is not cached).
  qint64 runEnd(qint64 pos) const;
  // The start of the run of cached rows ending just before end.
  qint64 runStart(qint64 end) const;
  qint64 rowCount() const;
  qint64 memoryBytes() const;
  qint64 valueBytes() const;

private:
  std::map<qint64, std::vector<QByteArray>> m_segments; // start -> rows
  void mergeAround(std::map<qint64, std::vector<QByteArray>>::iterator it);
};

} // namespace zr::data
