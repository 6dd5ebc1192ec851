#include "platform/dataset/dataset.h"

#include "platform/sql/translator.h"
#include "platform/sql/values.h"

#include <QtCore/QDate>
#include <QtCore/QSet>

namespace zr::data {

using zr::sql::ColumnKind;
using zr::sql::Token;

namespace {

constexpr int kChunk = 256;
constexpr qint64 kNear = 2048; // a gap this small is read through rather than jumped

bool isKw(const Token &t, QStringView w) {
  return t.kind == Token::Word && t.text.compare(w, Qt::CaseInsensitive) == 0;
}

QString joinTokens(const QList<Token> &t, qsizetype from, qsizetype to) {
  QString s;
  for (qsizetype i = from; i < to; ++i)
    s += t[i].text;
  return s;
}

} // namespace

// ---- Field

QString Field::dataKind() const {
  switch (m_def.kind) {
  case ColumnKind::Date: return QStringLiteral("D");
  case ColumnKind::Float:
  case ColumnKind::Integer: return QStringLiteral("N");
  case ColumnKind::Blob: return QStringLiteral("B");
  default: return QStringLiteral("C");
  }
}

QVariant Field::value() const {
  if (m_ds->isEditing())
    return m_ds->m_buffer.value(m_index);
  if (const QByteArray *r = m_ds->currentRow())
    return RowCodec::value(*r, m_index);
  return {};
}

QVariant Field::oldValue() const {
  if (m_ds->isEditing())
    return m_ds->m_editStart.value(m_index);
  return value();
}

bool Field::isNull() const {
  const QVariant v = value();
  return !v.isValid() || v.isNull() || (v.typeId() == QMetaType::QString && v.toString().isEmpty());
}

void Field::setValue(const QVariant &v) {
  if (!m_ds->isEditing())
    throw zr::sql::EngineError(zr::sql::records::other(0, u"Dataset not in edit or insert mode"_qs));
  QVariant x = v;
  if (m_def.kind == ColumnKind::Date && (v.typeId() == QMetaType::QDate))
    x = v.toDate().toString(u"yyyy-MM-dd");
  m_ds->m_buffer[m_index] = x;
  emit m_ds->dataChanged(m_index);
}

QString Field::asString() const {
  const QVariant v = value();
  if (!v.isValid() || v.isNull())
    return {};
  if (v.typeId() == QMetaType::Double)
    return zr::sql::shortestNumber(v.toDouble());
  return v.toString();
}

// ---- Dataset

Dataset::Dataset(QObject *parent) : QObject(parent) {}
Dataset::~Dataset() = default;

void Dataset::setSql(const QString &sql) {
  if (isActive())
    close();
  m_sql = sql;
}

void Dataset::setParam(const QString &name, const QVariant &value) {
  QString n = name.startsWith(u':') ? name.mid(1) : name;
  m_params.insert(n.toUpper(), value);
}

void Dataset::bindParams(zr::sql::Query &q) const {
  for (const QString &p : q.parameterNames())
    q.bind(p, m_params.value(p.toUpper()));
}

// Decides how rows are read: a single-table query gets a hidden rowid (bookmarks, and no row
// read twice); when its order can be stated completely it can also be read from the end.
void Dataset::prepareShape() {
  m_fetchSql = m_sql;
  m_reverseSql.clear();
  m_countSql = u"SELECT COUNT(*) FROM (" % m_sql % u")";
  m_hasRowid = false;
  const QList<Token> t = zr::sql::tokenize(m_sql);
  qsizetype select = -1, from = -1, where = -1, order = -1;
  bool plain = true;
  int depth = 0;
  for (qsizetype i = 0; i < t.size(); ++i) {
    if (t[i].kind == Token::LParen)
      ++depth;
    else if (t[i].kind == Token::RParen)
      --depth;
    if (depth != 0 || t[i].kind != Token::Word)
      continue;
    if (select < 0 && isKw(t[i], u"SELECT"))
      select = i;
    else if (from < 0 && isKw(t[i], u"FROM"))
      from = i;
    else if (isKw(t[i], u"WHERE"))
      where = i;
    else if (isKw(t[i], u"ORDER"))
      order = i;
    else if (isKw(t[i], u"GROUP") || isKw(t[i], u"DISTINCT") || isKw(t[i], u"UNION") ||
             isKw(t[i], u"HAVING") || isKw(t[i], u"LIMIT") || isKw(t[i], u"JOIN") || isKw(t[i], u"EXCEPT") ||
             isKw(t[i], u"INTERSECT"))
      plain = false;
    else if (from < 0 && (isKw(t[i], u"COUNT") || isKw(t[i], u"MAX") || isKw(t[i], u"MIN") ||
                          isKw(t[i], u"SUM") || isKw(t[i], u"AVG")))
      plain = false;
  }
  qsizetype firstWord = 0;
  while (firstWord < t.size() && t[firstWord].kind == Token::Space)
    ++firstWord;
  if (select != firstWord)
    plain = false;
  if (from < 0 || !plain)
    return;
  // one table in the FROM list
  for (qsizetype i = from + 1, d = 0; i < t.size() && (where < 0 || i < where) && (order < 0 || i < order);
       ++i) {
    if (t[i].kind == Token::LParen)
      ++d;
    if (t[i].kind == Token::RParen)
      --d;
    if (d == 0 && t[i].kind == Token::Comma)
      return;
    if (d > 0)
      return; // a sub-select as the source
  }
  QString head = joinTokens(t, 0, from).trimmed();
  const QString fromPart = joinTokens(t, from, order < 0 ? t.size() : order);
  m_countSql = u"SELECT COUNT(*) " + fromPart;
  m_hasRowid = true;
  head += u", rowid AS ZR_ROWID ";
  if (order >= 0) {
    // ORDER BY terms: plain columns or positions, each with an optional direction
    QStringList fwd, rev;
    qsizetype i = order + 1;
    while (i < t.size() && t[i].kind == Token::Space)
      ++i;
    if (!(i < t.size() && isKw(t[i], u"BY")))
      return;
    QList<QList<Token>> terms{{}};
    for (++i; i < t.size(); ++i) {
      if (t[i].kind == Token::Comma)
        terms.append(QList<Token>());
      else if (t[i].kind != Token::Space && t[i].kind != Token::Semicolon)
        terms.last().append(t[i]);
    }
    for (const auto &term : terms) {
      if (term.isEmpty())
        return;
      qsizetype n = term.size();
      bool desc = false;
      if (isKw(term.last(), u"DESC") || isKw(term.last(), u"ASC")) {
        desc = isKw(term.last(), u"DESC");
        --n;
      }
      const bool column = (n == 1 && (term[0].kind == Token::Word || term[0].kind == Token::QuotedName ||
                                      term[0].kind == Token::Number)) ||
                          (n == 3 && term[1].kind == Token::Dot);
      if (!column) {
        m_fetchSql = head + fromPart + joinTokens(t, order, t.size());
        return;
      }
      QString expr;
      for (qsizetype k = 0; k < n; ++k)
        expr += term[k].text;
      fwd << expr + (desc ? u" DESC"_qs : QString());
      rev << expr + (desc ? QString() : u" DESC"_qs);
    }
    m_fetchSql = head + fromPart + u" ORDER BY " + fwd.join(u", ") + u", rowid";
    m_reverseSql = head + fromPart + u" ORDER BY " + rev.join(u", ") + u", rowid DESC";
  } else if (where < 0) {
    // a whole table comes in rowid order anyway
    m_fetchSql = head + fromPart + u" ORDER BY rowid";
    m_reverseSql = head + fromPart + u" ORDER BY rowid DESC";
  } else {
    m_fetchSql = head + fromPart;
  }
}

void Dataset::resetCursors() {
  m_forward.reset();
  m_backward.reset();
  m_forwardDbPos = m_backwardDbPos = 0;
  m_forwardDone = false;
  m_count = -1;
  m_knownRowids.clear();
  m_rows.clear();
  m_detached = false;
  m_tail.clear();
  m_tailPos = 0;
}

void Dataset::open() {
  if (isActive())
    return;
  if (!m_db)
    throw zr::sql::EngineError(zr::sql::records::openFailure(u"Dataset has no database"_qs));
  prepareShape();
  resetCursors();
  m_forward = std::make_unique<zr::sql::Query>(*m_db, m_fetchSql);
  bindParams(*m_forward);
  m_fields.clear();
  const int visibleColumns = m_forward->columnCount() - (m_hasRowid ? 1 : 0);
  for (int i = 0; i < visibleColumns; ++i) {
    auto f = std::make_unique<Field>();
    f->m_ds = this;
    f->m_index = i;
    f->m_def = m_forward->columnDef(i);
    f->displayLabel = f->m_def.name;
    f->displayWidth = f->m_def.kind == ColumnKind::Text ? qMax(1, qMin(f->m_def.width, 40)) : 10;
    m_fields.push_back(std::move(f));
  }
  m_pending.clear();
  fetchForward(kChunk);
  m_state = State::Browse;
  m_pos = m_rows.has(0) ? 0 : -1;
  m_bof = true;
  m_eof = m_pos < 0;
  emit layoutReset();
  emit stateChanged();
  doAfterOpen();
  scrolledTo();
}

void Dataset::close() {
  if (!isActive())
    return;
  resetCursors();
  m_fields.clear();
  m_pending.clear();
  m_buffer.clear();
  m_pos = -1;
  m_bof = m_eof = true;
  m_state = State::Inactive;
  emit layoutReset();
  emit stateChanged();
}

bool Dataset::fetchForward(int rows) {
  if (m_forwardDone || !m_forward)
    return false;
  const int columns =
      int(m_fields.empty() ? m_forward->columnCount() - (m_hasRowid ? 1 : 0) : m_fields.size());
  int added = 0;
  while (added < rows) {
    if (!m_forward->next()) {
      m_forwardDone = true;
      m_forward.reset();
      const qint64 end = m_rows.runEnd(0);
      if (m_count < 0 || end > m_count)
        m_count = end;
      break;
    }
    ++m_forwardDbPos;
    qint64 rowid = 0;
    if (m_hasRowid) {
      rowid = m_forward->integer(columns);
      if (m_knownRowids.contains(rowid))
        continue;
      m_knownRowids.insert(rowid);
    }
    m_rows.put(m_rows.runEnd(0), RowCodec::encode(*m_forward, columns, rowid));
    ++added;
    if (m_count >= 0 && m_rows.runEnd(0) >= m_count) {
      m_forwardDone = true; // met the rows read from the end
      m_forward.reset();
      break;
    }
  }
  return added > 0;
}

// The next row not yet known from the statement that reads from the end; false at its end.
bool Dataset::nextFromEnd(QByteArray *row) {
  if (!m_backward) {
    if (m_backwardDbPos < 0 || m_reverseSql.isEmpty())
      return false;
    m_backward = std::make_unique<zr::sql::Query>(*m_db, m_reverseSql);
    bindParams(*m_backward);
  }
  const int columns = int(m_fields.size());
  while (m_backward->next()) {
    ++m_backwardDbPos;
    const qint64 rowid = m_backward->integer(columns);
    if (m_knownRowids.contains(rowid))
      continue;
    m_knownRowids.insert(rowid);
    *row = RowCodec::encode(*m_backward, columns, rowid);
    return true;
  }
  m_backward.reset();
  m_backwardDbPos = -1;
  return false;
}

bool Dataset::fetchBackward(int rows) {
  if (m_count < 0)
    return false;
  int added = 0;
  QByteArray row;
  while (added < rows) {
    const qint64 before = m_rows.runStart(m_count) - 1;
    if (before < m_rows.runEnd(0) || before < 0) {
      m_backward.reset();
      m_backwardDbPos = -1; // everything is known
      break;
    }
    if (!nextFromEnd(&row))
      break;
    m_rows.put(before, std::move(row));
    ++added;
  }
  return added > 0;
}

// A window in the middle, read with OFFSET: rows already known are passed over.
bool Dataset::fetchWindow(qint64 pos) {
  if (!m_hasRowid)
    return false;
  zr::sql::Query q(*m_db,
                   m_fetchSql + u" LIMIT " + QString::number(kChunk) + u" OFFSET " + QString::number(pos));
  bindParams(q);
  const int columns = int(m_fields.size());
  qint64 at = pos;
  bool any = false;
  while (q.next()) {
    const qint64 rowid = q.value(columns).toLongLong();
    if (m_knownRowids.contains(rowid))
      continue;
    while (m_rows.has(at))
      ++at;
    if (m_count >= 0 && at >= m_count)
      break;
    m_knownRowids.insert(rowid);
    m_rows.put(at++, RowCodec::encode(q, columns, rowid));
    any = true;
  }
  return any;
}

bool Dataset::ensure(qint64 pos) {
  if (pos < 0)
    return false;
  if (m_count >= 0 && pos >= m_count)
    return false;
  while (!m_rows.has(pos)) {
    const qint64 headEnd = m_rows.runEnd(0);
    bool progressed = false;
    if (!m_forwardDone && (pos - headEnd < kNear || !m_hasRowid))
      progressed = fetchForward(int(qMax<qint64>(kChunk, pos - headEnd + 1)));
    else if (!m_reverseSql.isEmpty() && m_count >= 0 && pos >= m_rows.runStart(m_count) - kNear)
      progressed = fetchBackward(int(qMax<qint64>(kChunk, m_rows.runStart(m_count) - pos)));
    else
      progressed = fetchWindow(pos) || fetchForward(kChunk);
    if (!progressed)
      return m_rows.has(pos);
  }
  return true;
}

qint64 Dataset::fetchedCount() const {
  return m_rows.runEnd(0);
}
bool Dataset::canFetchMore() const {
  return isActive() && !m_forwardDone;
}
void Dataset::fetchMore(int rows) {
  fetchForward(rows);
}

bool Dataset::isEmpty() const {
  return m_pos < 0 && !isEditing() && !m_detached;
}

qint64 Dataset::recNo() const {
  if (m_detached)
    const_cast<Dataset *>(this)->anchor();
  return m_pos;
}

const QByteArray *Dataset::currentRow() const {
  if (m_detached)
    return m_tailPos < qint64(m_tail.size()) ? &m_tail[size_t(m_tailPos)] : nullptr;
  if (m_pos < 0)
    return nullptr;
  if (!const_cast<Dataset *>(this)->ensure(m_pos))
    return nullptr;
  return m_rows.row(m_pos);
}

// Reads rows backwards from the end into the detached tail.
bool Dataset::fetchTail(int rows) {
  int added = 0;
  QByteArray row;
  while (added < rows && nextFromEnd(&row)) {
    m_tail.push_back(std::move(row));
    ++added;
  }
  return added > 0;
}

// Gives the rows read from the end their positions: one count.
void Dataset::anchor() {
  if (!m_detached)
    return;
  m_detached = false;
  const qint64 n = recordCount();
  for (size_t i = 0; i < m_tail.size(); ++i) {
    const qint64 pos = n - 1 - qint64(i);
    if (pos >= 0 && !m_rows.has(pos))
      m_rows.put(pos, std::move(m_tail[i]));
  }
  m_pos = n - 1 - m_tailPos;
  m_tail.clear();
  m_tailPos = 0;
  if (m_rows.runEnd(0) >= n) {
    m_forwardDone = true;
    m_forward.reset();
  }
}

qint64 Dataset::recordCount() {
  if (!isActive())
    return 0;
  if (m_count < 0) {
    zr::sql::Query q(*m_db, m_countSql);
    bindParams(q);
    q.next();
    qint64 n = q.value(0).toLongLong();
    for (const Pending &p : m_pending)
      n += p.kind == Pending::Insert ? 1 : p.kind == Pending::Delete ? -1 : 0;
    m_count = qMax(n, m_rows.runEnd(0));
  }
  return m_count;
}

QVariant Dataset::valueAt(qint64 pos, int column) {
  anchor();
  if (!ensure(pos))
    return {};
  return RowCodec::value(*m_rows.row(pos), column);
}

void Dataset::scrolledTo() {
  emit scrolled();
  doAfterScroll();
}

void Dataset::first() {
  if (!isActive())
    return;
  anchor();
  if (isEditing())
    post();
  m_pos = ensure(0) ? 0 : -1;
  m_bof = true;
  m_eof = m_pos < 0;
  scrolledTo();
}

void Dataset::next() {
  if (m_detached) {
    if (m_tailPos == 0)
      m_eof = true;
    else {
      --m_tailPos;
      m_bof = false;
    }
    return scrolledTo();
  }
  if (!isActive() || m_pos < 0)
    return;
  if (isEditing())
    post();
  if (ensure(m_pos + 1)) {
    ++m_pos;
    m_bof = false;
    m_eof = false;
  } else {
    m_eof = true;
  }
  scrolledTo();
}

void Dataset::prior() {
  if (m_detached) {
    if (m_tailPos + 1 < qint64(m_tail.size()) || fetchTail(kChunk)) {
      ++m_tailPos;
      m_eof = false;
    } else {
      m_bof = true;
    }
    return scrolledTo();
  }
  if (!isActive() || m_pos < 0)
    return;
  if (isEditing())
    post();
  if (m_pos > 0 && ensure(m_pos - 1)) {
    --m_pos;
    m_eof = false;
    m_bof = false;
  } else {
    m_bof = true;
  }
  scrolledTo();
}

void Dataset::last() {
  if (!isActive())
    return;
  if (isEditing())
    post();
  if (!m_reverseSql.isEmpty() && m_count < 0 && !m_forwardDone) {
    // the end without counting: rows read backwards wait for their positions
    if (m_tail.empty())
      fetchTail(kChunk);
    if (!m_tail.empty()) {
      m_detached = true;
      m_tailPos = 0;
    }
  } else if (!m_reverseSql.isEmpty()) {
    const qint64 n = recordCount();
    m_pos = n > 0 && ensure(n - 1) ? n - 1 : -1;
  } else {
    while (fetchForward(4096)) {
    }
    const qint64 n = m_rows.runEnd(0);
    m_pos = n - 1;
  }
  m_eof = true;
  m_bof = !m_detached && m_pos <= 0;
  scrolledTo();
}

bool Dataset::moveTo(qint64 pos) {
  anchor();
  if (!isActive() || !ensure(pos))
    return false;
  m_pos = pos;
  m_bof = pos == 0;
  m_eof = false;
  scrolledTo();
  return true;
}

bool Dataset::locate(const QStringList &fields, const QVariantList &values, bool caseInsensitive) {
  if (!isActive())
    return false;
  QList<int> cols;
  for (const QString &f : fields) {
    const Field *fld = findField(f);
    if (!fld)
      return false;
    cols << fld->index();
  }
  for (qint64 p = 0; ensure(p); ++p) {
    bool match = true;
    for (qsizetype k = 0; k < cols.size() && match; ++k) {
      const QString a = RowCodec::value(*m_rows.row(p), cols[k]).toString();
      const QString b = values.value(k).toString();
      match = a.compare(b, caseInsensitive ? Qt::CaseInsensitive : Qt::CaseSensitive) == 0;
    }
    if (match)
      return moveTo(p);
  }
  return false;
}

QByteArray Dataset::bookmark() const {
  const_cast<Dataset *>(this)->anchor();
  if (m_pos < 0 || !m_rows.has(m_pos))
    return {};
  QByteArray b;
  const qint64 id = m_hasRowid ? RowCodec::rowid(*m_rows.row(m_pos)) : m_pos;
  b.append(m_hasRowid ? 'R' : 'P');
  b.append(QByteArray::number(id));
  return b;
}

bool Dataset::gotoBookmark(const QByteArray &b) {
  anchor();
  if (b.size() < 2 || !isActive())
    return false;
  const qint64 id = b.mid(1).toLongLong();
  if (b[0] == 'P')
    return moveTo(id);
  if (m_pos >= 0 && m_rows.has(m_pos) && RowCodec::rowid(*m_rows.row(m_pos)) == id)
    return true;
  // search the cached rows only: a bookmark names a row the user has seen
  const qint64 end = m_count >= 0 ? m_count : m_rows.runEnd(0);
  for (qint64 p = 0; p < end; ++p)
    if (const QByteArray *r = m_rows.row(p))
      if (RowCodec::rowid(*r) == id)
        return moveTo(p);
  return false;
}

Field *Dataset::findField(const QString &name) const {
  for (const auto &f : m_fields)
    if (f->name().compare(name, Qt::CaseInsensitive) == 0)
      return f.get();
  return nullptr;
}

Field *Dataset::fieldByName(const QString &name) const {
  if (Field *f = findField(name))
    return f;
  throw zr::sql::EngineError(zr::sql::records::other(0, u"Field '" % name % u"' not found"));
}

QStringList Dataset::fieldNames() const {
  QStringList out;
  for (const auto &f : m_fields)
    out << f->name();
  return out;
}

QVariantList Dataset::currentValues() const {
  if (isEditing())
    return m_buffer;
  if (m_pos < 0 || !m_rows.has(m_pos))
    return {};
  return RowCodec::values(*m_rows.row(m_pos), int(m_fields.size()));
}

void Dataset::setState(State s) {
  if (m_state == s)
    return;
  m_state = s;
  emit stateChanged();
}

void Dataset::doBeforeInsert() {
  if (beforeInsert)
    beforeInsert(*this);
}
void Dataset::doBeforeEdit() {
  if (beforeEdit)
    beforeEdit(*this);
}
void Dataset::doBeforePost() {
  if (beforePost)
    beforePost(*this);
}
void Dataset::doBeforeDelete() {
  if (beforeDelete)
    beforeDelete(*this);
}
void Dataset::doAfterOpen() {
  if (afterOpen)
    afterOpen(*this);
}
void Dataset::doAfterScroll() {
  if (afterScroll)
    afterScroll(*this);
}
void Dataset::doUpdateError(const std::exception &e) {
  if (onUpdateError)
    onUpdateError(*this, e);
}

void Dataset::append() {
  if (!isActive())
    return;
  anchor();
  if (isEditing())
    post();
  doBeforeInsert();
  m_buffer = QVariantList(int(m_fields.size()));
  m_editStart = m_buffer;
  // A new record goes at the end once the end is known, else after the current row.
  m_insertPos = m_forwardDone && m_count >= 0 ? m_count : m_pos + 1;
  m_state = State::Insert;
  emit stateChanged();
  emit dataChanged(-1);
}

void Dataset::edit() {
  anchor();
  if (!isActive() || isEditing())
    return;
  if (m_pos < 0)
    throw zr::sql::EngineError(
        zr::sql::records::other(0, u"Cannot perform this operation on an empty dataset"_qs));
  doBeforeEdit();
  m_buffer = currentValues();
  m_editStart = m_buffer;
  m_state = State::Edit;
  emit stateChanged();
}

void Dataset::post() {
  if (!isEditing())
    return;
  doBeforePost();
  if (m_state == State::Insert) {
    const qint64 pos = m_insertPos < 0 ? 0 : m_insertPos;
    emit rowAboutToBeInserted(pos);
    m_rows.insertAt(pos, RowCodec::encode(m_buffer, 0));
    if (m_count >= 0)
      ++m_count;
    m_pending.push_back({Pending::Insert, {}, m_buffer});
    m_pos = pos;
    emit rowInserted(pos);
  } else {
    const qint64 rowid = m_hasRowid && m_rows.has(m_pos) ? RowCodec::rowid(*m_rows.row(m_pos)) : 0;
    m_rows.replace(m_pos, RowCodec::encode(m_buffer, rowid));
    m_pending.push_back({Pending::Modify, m_editStart, m_buffer});
  }
  m_bof = m_eof = false;
  m_buffer.clear();
  m_state = State::Browse;
  emit stateChanged();
  emit dataChanged(-1);
}

void Dataset::cancel() {
  if (!isEditing())
    return;
  m_buffer.clear();
  m_state = State::Browse;
  emit stateChanged();
  emit dataChanged(-1);
  scrolledTo();
}

void Dataset::remove() {
  anchor();
  if (!isActive() || isEditing() || m_pos < 0)
    return;
  doBeforeDelete();
  const QVariantList old = currentValues();
  if (m_hasRowid)
    m_knownRowids.insert(RowCodec::rowid(*m_rows.row(m_pos))); // stays known: never read again
  emit rowAboutToBeRemoved(m_pos);
  m_rows.removeAt(m_pos);
  if (m_count >= 0)
    --m_count;
  m_pending.push_back({Pending::Delete, old, {}});
  const qint64 removed = m_pos;
  emit rowRemoved(removed);
  if (!ensure(m_pos))
    m_pos = m_pos > 0 && ensure(m_pos - 1) ? m_pos - 1 : -1;
  m_bof = m_pos <= 0;
  m_eof = m_pos < 0;
  scrolledTo();
}

// Binds :NAME from the new values and :OLD_NAME from the old ones.
void Dataset::applyOne(const Pending &p) {
  const QString &sql = p.kind == Pending::Insert   ? m_update.insertSql
                       : p.kind == Pending::Modify ? m_update.modifySql
                                                   : m_update.deleteSql;
  if (sql.trimmed().isEmpty())
    throw zr::sql::EngineError(zr::sql::records::other(0, u"No update statement for this change"_qs));
  zr::sql::Query q(*m_db, sql);
  for (const QString &name : q.parameterNames()) {
    const bool old = name.startsWith(u"OLD_", Qt::CaseInsensitive);
    const QString col = old ? name.mid(4) : name;
    const Field *f = findField(col);
    const QVariantList &vals = old || p.kind == Pending::Delete ? p.oldValues : p.newValues;
    q.bind(name, f ? vals.value(f->index()) : m_params.value(name.toUpper()));
  }
  q.exec();
}

void Dataset::applyUpdates() {
  if (m_pending.empty())
    return;
  try {
    zr::sql::Transaction tx(*m_db);
    for (const Pending &p : m_pending)
      applyOne(p);
    tx.commit();
  } catch (const std::exception &e) {
    doUpdateError(e);
    throw;
  }
  m_pending.clear();
}

void Dataset::cancelUpdates() {
  m_pending.clear();
  if (isActive()) {
    close();
    open();
  }
}

void Dataset::setCurrentRowid(qint64 rowid) {
  anchor();
  if (!m_hasRowid || m_pos < 0 || !m_rows.has(m_pos))
    return;
  const QVariantList v = RowCodec::values(*m_rows.row(m_pos), int(m_fields.size()));
  m_rows.replace(m_pos, RowCodec::encode(v, rowid));
  m_knownRowids.insert(rowid);
}

void Dataset::enableControls() {
  if (m_controlsDisabled > 0 && --m_controlsDisabled == 0) {
    emit layoutReset();
    emit dataChanged(-1);
  }
}

} // namespace zr::data
