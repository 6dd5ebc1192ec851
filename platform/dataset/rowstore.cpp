#include "platform/dataset/rowstore.h"

#include "platform/sql/database.h"

#include <QtCore/QVarLengthArray>
#include <cstring>

namespace zr::data {
namespace {

enum Tag : char { Null = 0, Int = 1, Real = 2, Text = 3, Blob = 4 };

void putVarint(QByteArray &out, quint32 v) {
  while (v >= 0x80) {
    out.append(char(v | 0x80));
    v >>= 7;
  }
  out.append(char(v));
}

quint32 getVarint(const char *&p) {
  quint32 v = 0;
  int shift = 0;
  while (true) {
    const auto b = static_cast<unsigned char>(*p++);
    v |= quint32(b & 0x7F) << shift;
    if (!(b & 0x80))
      return v;
    shift += 7;
  }
}

// Moves p past one value; returns its tag.
char skip(const char *&p) {
  const char tag = *p++;
  switch (tag) {
  case Int:
  case Real: p += 8; break;
  case Text:
  case Blob: {
    const quint32 n = getVarint(p);
    p += n;
    break;
  }
  default: break;
  }
  return tag;
}

} // namespace

QByteArray RowCodec::encode(const QVariantList &values, qint64 rowid) {
  QByteArray out;
  out.reserve(8 + values.size() * 3);
  out.append(reinterpret_cast<const char *>(&rowid), 8);
  for (const QVariant &v : values) {
    if (!v.isValid() || v.isNull()) {
      out.append(char(Null));
      continue;
    }
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::Bool: {
      const qint64 i = v.toLongLong();
      out.append(char(Int)).append(reinterpret_cast<const char *>(&i), 8);
      break;
    }
    case QMetaType::Double:
    case QMetaType::Float: {
      const double d = v.toDouble();
      out.append(char(Real)).append(reinterpret_cast<const char *>(&d), 8);
      break;
    }
    case QMetaType::QByteArray: {
      const QByteArray b = v.toByteArray();
      out.append(char(Blob));
      putVarint(out, quint32(b.size()));
      out.append(b);
      break;
    }
    default: {
      const QByteArray u = v.toString().toUtf8();
      out.append(char(Text));
      putVarint(out, quint32(u.size()));
      out.append(u);
    }
    }
  }
  out.squeeze();
  return out;
}

QByteArray RowCodec::encode(const zr::sql::Query &q, int columns, qint64 rowid) {
  using S = zr::sql::Query::Storage;
  // one look at each column: its storage and, for text, its bytes
  QVarLengthArray<S, 64> kinds(columns);
  QVarLengthArray<QByteArrayView, 64> views(columns);
  qsizetype size = 8;
  for (int i = 0; i < columns; ++i) {
    kinds[i] = q.storage(i);
    if (kinds[i] == S::Text || kinds[i] == S::Blob) {
      views[i] = q.bytes(i);
      size += 1 + 5 + views[i].size();
    } else {
      size += 9;
    }
  }
  QByteArray out;
  out.reserve(size);
  out.append(reinterpret_cast<const char *>(&rowid), 8);
  for (int i = 0; i < columns; ++i) {
    switch (kinds[i]) {
    case S::Null: out.append(char(Null)); break;
    case S::Integer: {
      const qint64 v = q.integer(i);
      out.append(char(Int)).append(reinterpret_cast<const char *>(&v), 8);
      break;
    }
    case S::Real: {
      const double d = q.real(i);
      out.append(char(Real)).append(reinterpret_cast<const char *>(&d), 8);
      break;
    }
    case S::Text:
    case S::Blob:
      out.append(char(kinds[i] == S::Text ? Text : Blob));
      putVarint(out, quint32(views[i].size()));
      out.append(views[i]);
      break;
    }
  }
  out.squeeze();
  return out;
}

qint64 RowCodec::rowid(const QByteArray &row) {
  qint64 id = 0;
  std::memcpy(&id, row.constData(), 8);
  return id;
}

QVariant RowCodec::value(const QByteArray &row, int column) {
  const char *p = row.constData() + 8;
  const char *end = row.constData() + row.size();
  for (int i = 0; i < column && p < end; ++i)
    skip(p);
  if (p >= end)
    return {};
  const char tag = *p++;
  switch (tag) {
  case Int: {
    qint64 i;
    std::memcpy(&i, p, 8);
    return i;
  }
  case Real: {
    double d;
    std::memcpy(&d, p, 8);
    return d;
  }
  case Text: {
    const quint32 n = getVarint(p);
    return QString::fromUtf8(p, qsizetype(n));
  }
  case Blob: {
    const quint32 n = getVarint(p);
    return QByteArray(p, qsizetype(n));
  }
  default: return {};
  }
}

QVariantList RowCodec::values(const QByteArray &row, int columns) {
  QVariantList out;
  out.reserve(columns);
  for (int i = 0; i < columns; ++i)
    out << value(row, i);
  return out;
}

qint64 RowCodec::valueBytes(const QByteArray &row) {
  const char *p = row.constData() + 8;
  const char *end = row.constData() + row.size();
  qint64 n = 0;
  while (p < end) {
    const char *start = p;
    const char tag = skip(p);
    if (tag == Int || tag == Real)
      n += 8;
    else if (tag == Text || tag == Blob) {
      const char *q = start + 1;
      n += getVarint(q);
    }
  }
  return n;
}

const QByteArray *RowStore::row(qint64 pos) const {
  auto it = m_segments.upper_bound(pos);
  if (it == m_segments.begin())
    return nullptr;
  --it;
  const qint64 off = pos - it->first;
  if (off < qint64(it->second.size()))
    return &it->second[size_t(off)];
  return nullptr;
}

void RowStore::mergeAround(std::map<qint64, std::vector<QByteArray>>::iterator it) {
  // join with the following segment when they touch
  auto next = std::next(it);
  if (next != m_segments.end() && it->first + qint64(it->second.size()) == next->first) {
    for (auto &r : next->second)
      it->second.push_back(std::move(r));
    m_segments.erase(next);
  }
  if (it != m_segments.begin()) {
    auto prev = std::prev(it);
    if (prev->first + qint64(prev->second.size()) == it->first) {
      for (auto &r : it->second)
        prev->second.push_back(std::move(r));
      m_segments.erase(it);
    }
  }
}

void RowStore::put(qint64 pos, QByteArray r) {
  auto it = m_segments.upper_bound(pos);
  if (it != m_segments.begin()) {
    auto prev = std::prev(it);
    if (prev->first + qint64(prev->second.size()) == pos) {
      prev->second.push_back(std::move(r));
      mergeAround(prev);
      return;
    }
  }
  if (it != m_segments.end() && it->first == pos + 1) {
    std::vector<QByteArray> rows;
    rows.reserve(it->second.size() + 1);
    rows.push_back(std::move(r));
    for (auto &x : it->second)
      rows.push_back(std::move(x));
    m_segments.erase(it);
    auto ins = m_segments.emplace(pos, std::move(rows)).first;
    mergeAround(ins);
    return;
  }
  auto ins = m_segments.emplace(pos, std::vector<QByteArray>{}).first;
  ins->second.push_back(std::move(r));
  mergeAround(ins);
}

void RowStore::replace(qint64 pos, QByteArray r) {
  auto it = m_segments.upper_bound(pos);
  if (it == m_segments.begin())
    return;
  --it;
  const qint64 off = pos - it->first;
  if (off < qint64(it->second.size()))
    it->second[size_t(off)] = std::move(r);
}

void RowStore::insertAt(qint64 pos, QByteArray r) {
  // shift later segments first (by rebuilding the keys after pos)
  std::map<qint64, std::vector<QByteArray>> moved;
  for (auto it = m_segments.upper_bound(pos); it != m_segments.end();) {
    moved.emplace(it->first + 1, std::move(it->second));
    it = m_segments.erase(it);
  }
  auto it = m_segments.upper_bound(pos);
  bool done = false;
  if (it != m_segments.begin()) {
    auto prev = std::prev(it);
    const qint64 off = pos - prev->first;
    if (off <= qint64(prev->second.size())) {
      prev->second.insert(prev->second.begin() + off, std::move(r));
      done = true;
    }
  }
  for (auto &m : moved)
    m_segments.emplace(m.first, std::move(m.second));
  if (!done)
    put(pos, std::move(r));
  else
    mergeAround(std::prev(m_segments.upper_bound(pos)));
}

void RowStore::removeAt(qint64 pos) {
  auto it = m_segments.upper_bound(pos);
  if (it != m_segments.begin()) {
    auto prev = std::prev(it);
    const qint64 off = pos - prev->first;
    if (off < qint64(prev->second.size())) {
      prev->second.erase(prev->second.begin() + off);
      if (prev->second.empty())
        m_segments.erase(prev);
    }
  }
  std::map<qint64, std::vector<QByteArray>> moved;
  for (auto it2 = m_segments.upper_bound(pos); it2 != m_segments.end();) {
    moved.emplace(it2->first - 1, std::move(it2->second));
    it2 = m_segments.erase(it2);
  }
  for (auto &m : moved) {
    auto ins = m_segments.emplace(m.first, std::move(m.second)).first;
    mergeAround(ins);
  }
}

void RowStore::clear() {
  m_segments.clear();
}

qint64 RowStore::runEnd(qint64 pos) const {
  auto it = m_segments.upper_bound(pos);
  if (it == m_segments.begin())
    return pos;
  --it;
  const qint64 end = it->first + qint64(it->second.size());
  return end > pos ? end : pos;
}

qint64 RowStore::runStart(qint64 end) const {
  if (end <= 0)
    return end;
  auto it = m_segments.upper_bound(end - 1);
  if (it == m_segments.begin())
    return end;
  --it;
  return it->first + qint64(it->second.size()) >= end ? it->first : end;
}

qint64 RowStore::rowCount() const {
  qint64 n = 0;
  for (const auto &s : m_segments)
    n += qint64(s.second.size());
  return n;
}

qint64 RowStore::memoryBytes() const {
  // a QByteArray in the vector, its heap block (header and bytes) and the allocator's own word
  constexpr qint64 perRow = qint64(sizeof(QByteArray)) + 16 + 16;
  qint64 n = 0;
  for (const auto &s : m_segments)
    for (const QByteArray &r : s.second)
      n += perRow + r.capacity();
  return n;
}

qint64 RowStore::valueBytes() const {
  qint64 n = 0;
  for (const auto &s : m_segments)
    for (const QByteArray &r : s.second)
      n += RowCodec::valueBytes(r);
  return n;
}

} // namespace zr::data
