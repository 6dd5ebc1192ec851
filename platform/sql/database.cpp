#include "platform/sql/database.h"

#include "platform/os/gbk.h"
#include "platform/os/settingsstore.h"
#include "platform/sql/values.h"

#include <QtCore/QDate>
#include <QtCore/QDir>
#include <QtCore/QFileInfo>

#include <sqlite3.h>

namespace zr::sql {
namespace {

constexpr char kDictionary[] = "zr_dictionary";
constexpr int kIdleLimit = 128;

QByteArray utf8(const QString &s) {
  return s.toUtf8();
}

QString quoteName(const QString &n) {
  return u'"' % QString(n).replace(u'"', QStringLiteral("\"\"")) % u'"';
}

int gbkCollate(void *, int na, const void *a, int nb, const void *b) {
  return zr::gbk::compareUtf8(static_cast<const char *>(a), na, static_cast<const char *>(b), nb);
}

// zr_text(value, width, 'TABLE.COLUMN'): the check every text column carries.
void zrText(sqlite3_context *ctx, int, sqlite3_value **argv) {
  if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
    sqlite3_result_int(ctx, 1);
    return;
  }
  const char *txt = reinterpret_cast<const char *>(sqlite3_value_text(argv[0]));
  const int len = sqlite3_value_bytes(argv[0]);
  const int width = sqlite3_value_int(argv[1]);
  const char *name = reinterpret_cast<const char *>(sqlite3_value_text(argv[2]));
  if (const char32_t bad = zr::gbk::firstUnencodableUtf8(txt, len)) {
    const QByteArray msg = "ZR:GBK:" + QByteArray::number(uint(bad), 16) + ':' + name;
    sqlite3_result_error(ctx, msg.constData(), -1);
    return;
  }
  if (width > 0 && zr::gbk::byteLengthUtf8(txt, len) > width) {
    const QByteArray msg = QByteArray("ZR:TOOBIG:") + name;
    sqlite3_result_error(ctx, msg.constData(), -1);
    sqlite3_result_error_code(ctx, SQLITE_TOOBIG);
    return;
  }
  // Blank text is NULL and trailing blanks are not stored; the translator sees to both, so
  // only an expression can bring them here.
  const bool blankEnd = len == 0 || txt[len - 1] == ' ';
  sqlite3_result_int(ctx, blankEnd ? 0 : 1);
}

// zr_date(value, 'TABLE.COLUMN'): dates are stored as real dates in 'YYYY-MM-DD'.
void zrDate(sqlite3_context *ctx, int, sqlite3_value **argv) {
  if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
    sqlite3_result_int(ctx, 1);
    return;
  }
  const QString v = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_value_text(argv[0])),
                                      sqlite3_value_bytes(argv[0]));
  const bool ok =
      v.size() == 10 && v[4] == u'-' && v[7] == u'-' && QDate::fromString(v, u"yyyy-MM-dd").isValid();
  if (!ok) {
    const QByteArray msg = "ZR:DATE:" + v.toUtf8();
    sqlite3_result_error(ctx, msg.constData(), -1);
    return;
  }
  sqlite3_result_int(ctx, 1);
}

QString columnSql(const TableDef &t, const ColumnDef &c) {
  const QString q = quoteName(c.name);
  const QString where = sqlQuote(QString(t.name % u'.' % c.name));
  QString s = q;
  switch (c.kind) {
  case ColumnKind::Text:
    s += u" TEXT COLLATE GBK CHECK(zr_text(" % q % u", " % QString::number(c.width) % u", " % where % u"))";
    break;
  case ColumnKind::Date: s += u" TEXT CHECK(zr_date(" % q % u", " % where % u"))"; break;
  case ColumnKind::Float: s += u" REAL"; break;
  case ColumnKind::Integer: s += u" INTEGER CHECK(" % q % u" BETWEEN -2147483648 AND 2147483647)"; break;
  case ColumnKind::Blob: s += u" BLOB"; break;
  }
  if (t.key.contains(c.name, Qt::CaseInsensitive))
    s += u" NOT NULL";
  return s;
}

QHash<QString, Database *> &namedConnections() {
  static QHash<QString, Database *> m;
  return m;
}

} // namespace

QString tableSql(const TableDef &t, const QString &asName); // used by maintenance

QString tableSql(const TableDef &t, const QString &asName) {
  QStringList parts;
  for (const ColumnDef &c : t.columns)
    parts << columnSql(t, c);
  if (!t.key.isEmpty()) {
    QStringList k;
    for (const QString &c : t.key)
      k << quoteName(c);
    parts << u"PRIMARY KEY(" % k.join(u", ") % u')';
  }
  return u"CREATE TABLE " % quoteName(asName) % u" (" % parts.join(u", ") % u") STRICT";
}

namespace alias {
QString directory(const QString &aliasName, const zr::os::SettingsStore &store) {
  return store.read(aliasName).value_or(QString());
}
bool define(const QString &aliasName, const QString &dir, zr::os::SettingsStore &store) {
  return store.write(aliasName, QDir(dir).absolutePath());
}
} // namespace alias

Database::Database() = default;
Database::~Database() {
  close();
}

QString Database::filePath() const {
  return m_directory + u'/' + QString::fromUtf16(kDatabaseFile);
}

void Database::registerFunctions(sqlite3 *db) {
  const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS;
  sqlite3_create_collation(db, "GBK", SQLITE_UTF8, nullptr, gbkCollate);
  sqlite3_create_function(db, "zr_text", 3, flags, nullptr, zrText, nullptr, nullptr);
  sqlite3_create_function(db, "zr_date", 2, flags, nullptr, zrDate, nullptr, nullptr);
}

void Database::open(const QString &directory, bool create) {
  close();
  const QString dir = QDir(directory).absolutePath();
  const QString path = dir + u'/' + QString::fromUtf16(kDatabaseFile);
  if (!QFileInfo(dir).isDir())
    throw EngineError(records::openFailure(u"数据目录不存在: " % dir));
  const bool isNew = !QFileInfo::exists(path);
  if (isNew && !create)
    throw EngineError(records::openFailure(u"数据库文件不存在: " % path));
  sqlite3 *db = nullptr;
  // One connection used by one thread: no mutex around every call.
  const int flags =
      SQLITE_OPEN_READWRITE | (create ? SQLITE_OPEN_CREATE : 0) | SQLITE_OPEN_EXRESCODE | SQLITE_OPEN_NOMUTEX;
  const int rc = sqlite3_open_v2(utf8(path).constData(), &db, flags, nullptr);
  if (rc != SQLITE_OK) {
    const QString msg = QString::fromUtf8(db ? sqlite3_errmsg(db) : sqlite3_errstr(rc));
    sqlite3_close_v2(db);
    throw EngineError(records::openFailure(msg % u": " % path));
  }
  m_db = db;
  m_directory = dir;
  try {
    if (isNew)
      exec(QStringLiteral("PRAGMA auto_vacuum = INCREMENTAL"));
    configure();
    loadCatalog();
  } catch (const EngineError &e) {
    close();
    throw EngineError(records::openFailure(e.message() % u": " % path));
  }
}

void Database::openAlias(const QString &aliasName, const zr::os::SettingsStore &store) {
  const QString dir = alias::directory(aliasName, store);
  if (dir.isEmpty())
    throw EngineError(records::openFailure(u"Unknown database alias: " % aliasName));
  open(dir);
}

void Database::configure() {
  registerFunctions(m_db);
  sqlite3_busy_timeout(m_db, 5000);
  sqlite3_extended_result_codes(m_db, 1);
  sqlite3_db_config(m_db, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
  sqlite3_db_config(m_db, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
  sqlite3_db_config(m_db, SQLITE_DBCONFIG_DQS_DML, 0, nullptr);
  sqlite3_db_config(m_db, SQLITE_DBCONFIG_DQS_DDL, 0, nullptr);
  sqlite3_db_config(m_db, SQLITE_DBCONFIG_ENABLE_FKEY, 1, nullptr);
  // WAL where the file system allows it; a share that refuses it keeps the rollback journal.
  sqlite3_exec(m_db, "PRAGMA journal_mode = WAL", nullptr, nullptr, nullptr);
  // Reading the schema here turns "not a database" into an open failure.
  char *err = nullptr;
  const int rc = sqlite3_exec(m_db, "SELECT count(*) FROM sqlite_schema", nullptr, nullptr, &err);
  const QString msg = QString::fromUtf8(err ? err : "");
  sqlite3_free(err);
  if (rc != SQLITE_OK)
    throw EngineError(fromSqlite(rc, msg));
  sqlite3_exec(
      m_db,
      "CREATE TABLE IF NOT EXISTS zr_dictionary (table_name TEXT NOT NULL, column_name TEXT "
      "NOT NULL, kind TEXT NOT NULL, width INTEGER NOT NULL, PRIMARY KEY(table_name, column_name)) STRICT",
      nullptr, nullptr, nullptr);
}

void Database::close() {
  if (!m_db)
    return;
  for (auto &list : m_idle)
    for (sqlite3_stmt *st : list)
      sqlite3_finalize(st);
  m_idle.clear();
  m_idleCount = 0;
  m_translations.clear();
  m_inUse.clear();
  sqlite3_close_v2(m_db);
  m_db = nullptr;
  m_catalog = Catalog();
}

void Database::loadCatalog() {
  m_catalog = Catalog();
  m_translations.clear();
  QHash<QString, TableDef> defs;
  QStringList order;
  {
    sqlite3_stmt *st = nullptr;
    sqlite3_prepare_v2(m_db, "SELECT table_name, column_name, kind, width FROM zr_dictionary ORDER BY rowid",
                       -1, &st, nullptr);
    while (st && sqlite3_step(st) == SQLITE_ROW) {
      const QString t = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, 0)));
      const QString c = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, 1)));
      const QString k = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, 2)));
      auto &def = defs[t.toUpper()];
      if (def.name.isEmpty()) {
        def.name = t;
        order << t.toUpper();
      }
      def.columns.append(ColumnDef{c, kindFromName(k), sqlite3_column_int(st, 3)});
    }
    sqlite3_finalize(st);
  }
  // Every table of the file, the dictionary's with their kinds, any other by its declared types.
  sqlite3_stmt *st = nullptr;
  sqlite3_prepare_v2(m_db,
                     "SELECT name FROM sqlite_schema WHERE type = 'table' AND name NOT LIKE 'sqlite\\_%' "
                     "ESCAPE '\\' AND name <> 'zr_dictionary' ORDER BY rowid",
                     -1, &st, nullptr);
  QStringList present;
  while (st && sqlite3_step(st) == SQLITE_ROW)
    present << QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, 0)));
  sqlite3_finalize(st);
  QStringList ordered;
  for (const QString &u : order)
    for (const QString &p : present)
      if (p.toUpper() == u)
        ordered << p;
  for (const QString &p : present)
    if (!ordered.contains(p))
      ordered << p;
  for (const QString &name : ordered) {
    TableDef def = defs.value(name.toUpper());
    def.name = name;
    sqlite3_stmt *info = nullptr;
    sqlite3_prepare_v2(m_db, utf8(u"PRAGMA table_info(" % quoteName(name) % u')').constData(), -1, &info,
                       nullptr);
    QList<std::pair<int, QString>> key;
    const bool known = !def.columns.isEmpty();
    while (info && sqlite3_step(info) == SQLITE_ROW) {
      const QString col = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(info, 1)));
      const QString type =
          QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(info, 2))).toUpper();
      const int pk = sqlite3_column_int(info, 5);
      if (pk > 0)
        key.append({pk, col});
      if (!known) {
        ColumnKind k = ColumnKind::Text;
        if (type.contains(u"INT"))
          k = ColumnKind::Integer;
        else if (type.contains(u"REAL") || type.contains(u"FLOA") || type.contains(u"DOUB"))
          k = ColumnKind::Float;
        else if (type.contains(u"BLOB"))
          k = ColumnKind::Blob;
        else if (type.contains(u"DATE"))
          k = ColumnKind::Date;
        def.columns.append(ColumnDef{col, k, 0});
      }
    }
    sqlite3_finalize(info);
    std::sort(key.begin(), key.end());
    for (const auto &k : key)
      def.key << k.second;
    m_catalog.add(def);
  }
}

QStringList Database::tables() const {
  return m_catalog.tableNames();
}

void Database::createTable(const TableDef &t) {
  Transaction tx(*this);
  exec(tableSql(t, t.name));
  int n = 0;
  for (const QStringList &ix : t.indexes) {
    QStringList cols;
    for (const QString &c : ix)
      cols << quoteName(c);
    exec(u"CREATE INDEX " % quoteName(t.name % u"_IX" % QString::number(++n)) % u" ON " % quoteName(t.name) %
         u" (" % cols.join(u", ") % u')');
  }
  sqlite3_stmt *st = nullptr;
  sqlite3_prepare_v2(m_db, "INSERT INTO zr_dictionary(table_name, column_name, kind, width) VALUES(?,?,?,?)",
                     -1, &st, nullptr);
  for (const ColumnDef &c : t.columns) {
    const QByteArray tn = utf8(t.name), cn = utf8(c.name), kn = utf8(kindName(c.kind));
    sqlite3_bind_text(st, 1, tn.constData(), tn.size(), SQLITE_TRANSIENT);
    sqlite3_bind_text(st, 2, cn.constData(), cn.size(), SQLITE_TRANSIENT);
    sqlite3_bind_text(st, 3, kn.constData(), kn.size(), SQLITE_TRANSIENT);
    sqlite3_bind_int(st, 4, c.width);
    const int rc = sqlite3_step(st);
    sqlite3_reset(st);
    if (rc != SQLITE_DONE) {
      sqlite3_finalize(st);
      fail(u"dictionary of " % t.name);
    }
  }
  sqlite3_finalize(st);
  tx.commit();
  loadCatalog();
}

void Database::fail(const QString &statement) const {
  failCode(sqlite3_extended_errcode(m_db), statement);
}

void Database::failCode(int rc, const QString &statement) const {
  const QString msg = QString::fromUtf8(sqlite3_errmsg(m_db));
  if (msg.startsWith(u"ZR:GBK:")) {
    bool ok = false;
    const char32_t cp = msg.section(u':', 2, 2).toUInt(&ok, 16);
    throw ConversionError(zr::gbk::unencodableMessage(cp));
  }
  if (msg.startsWith(u"ZR:DATE:"))
    throw ConversionError(u'\'' % msg.mid(8) % u"' is not a valid date");
  if (msg.startsWith(u"ZR:TOOBIG:"))
    throw EngineError(records::valueTooBig(u"Field value too big: " % msg.mid(10)), statement);
  throw EngineError(fromSqlite(rc, msg), statement);
}

Translation Database::translateStatement(const QString &sql) {
  return translate(sql, m_catalog);
}

sqlite3_stmt *Database::acquire(const QString &sql) {
  auto it = m_idle.find(sql);
  if (it != m_idle.end() && !it->isEmpty()) {
    --m_idleCount;
    return it->takeLast();
  }
  sqlite3_stmt *st = nullptr;
  const QByteArray text = utf8(sql);
  const char *tail = nullptr;
  const int rc =
      sqlite3_prepare_v3(m_db, text.constData(), int(text.size()), SQLITE_PREPARE_PERSISTENT, &st, &tail);
  if (rc != SQLITE_OK)
    failCode(sqlite3_extended_errcode(m_db), sql);
  if (tail && QByteArrayView(tail).trimmed().size() > 0 && QByteArrayView(tail).trimmed() != ";") {
    sqlite3_finalize(st);
    throw EngineError(records::other(SQLITE_ERROR, QStringLiteral("only one statement at a time")), sql);
  }
  if (!st)
    throw EngineError(records::other(SQLITE_ERROR, QStringLiteral("empty statement")), sql);
  return st;
}

void Database::release(const QString &sql, sqlite3_stmt *st) {
  if (!st)
    return;
  sqlite3_reset(st);
  sqlite3_clear_bindings(st);
  if (!m_db || m_idleCount >= kIdleLimit) {
    sqlite3_finalize(st);
    return;
  }
  m_idle[sql].append(st);
  ++m_idleCount;
}

void Database::noteUse(const QStringList &tables, int delta) {
  for (const QString &t : tables) {
    int &n = m_inUse[t.toUpper()];
    n += delta;
    if (n <= 0)
      m_inUse.remove(t.toUpper());
  }
}

QStringList Database::tablesInUse() const {
  QStringList out;
  for (auto it = m_inUse.begin(); it != m_inUse.end(); ++it)
    if (const TableDef *t = m_catalog.table(it.key()))
      out << t->name;
    else
      out << it.key();
  return out;
}

qint64 Database::lastInsertRowid() const {
  return m_db ? sqlite3_last_insert_rowid(m_db) : 0;
}

bool Database::inTransaction() const {
  return m_db && !sqlite3_get_autocommit(m_db);
}

int Database::exec(const QString &sql) {
  Query q(*this, sql);
  return q.exec();
}

QString Database::checkFile(const QString &path) {
  sqlite3 *db = nullptr;
  if (sqlite3_open_v2(utf8(path).constData(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
    const QString m = QString::fromUtf8(db ? sqlite3_errmsg(db) : "cannot open");
    sqlite3_close_v2(db);
    return m;
  }
  registerFunctions(db);
  sqlite3_db_config(db, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
  sqlite3_db_config(db, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
  QStringList problems;
  sqlite3_stmt *st = nullptr;
  if (sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &st, nullptr) != SQLITE_OK) {
    problems << QString::fromUtf8(sqlite3_errmsg(db));
  } else {
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
      const QString line = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, 0)));
      if (line != u"ok")
        problems << line;
    }
    if (rc != SQLITE_DONE)
      problems << QString::fromUtf8(sqlite3_errmsg(db));
  }
  sqlite3_finalize(st);
  sqlite3_close_v2(db);
  return problems.join(u'\n');
}

void Database::registerNamed(const QString &name, Database *db) {
  namedConnections().insert(name.toUpper(), db);
}
void Database::unregisterNamed(const QString &name) {
  namedConnections().remove(name.toUpper());
}
Database *Database::named(const QString &name) {
  return namedConnections().value(name.toUpper());
}

// ---- Query

Query::Query(Database &db, const QString &sql) : m_db(db), m_original(sql) {
  if (!db.m_db)
    throw EngineError(records::openFailure(QStringLiteral("database is not open")), sql);
  auto it = db.m_translations.constFind(sql);
  if (it != db.m_translations.constEnd()) {
    m_tr = *it;
  } else {
    m_tr = std::make_shared<const Translation>(translate(sql, db.m_catalog));
    if (db.m_translations.size() > 512)
      db.m_translations.clear();
    db.m_translations.insert(sql, m_tr);
  }
  m_st = db.acquire(m_tr->sql);
  if (m_tr->readsRows)
    db.noteUse(m_tr->tables, +1);
}

Query::~Query() {
  if (m_tr && m_tr->readsRows)
    m_db.noteUse(m_tr->tables, -1);
  if (m_db.m_db)
    m_db.release(m_tr->sql, m_st);
}

QStringList Query::parameterNames() const {
  QStringList out;
  const int n = sqlite3_bind_parameter_count(m_st);
  for (int i = 1; i <= n; ++i)
    if (const char *p = sqlite3_bind_parameter_name(m_st, i))
      out << QString::fromUtf8(p + 1);
  return out;
}

void Query::bindIndex(int idx, const QVariant &v) {
  int rc = SQLITE_OK;
  if (!v.isValid() || v.isNull()) {
    rc = sqlite3_bind_null(m_st, idx);
  } else {
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::Bool: rc = sqlite3_bind_int64(m_st, idx, v.toLongLong()); break;
    case QMetaType::Double:
    case QMetaType::Float: rc = sqlite3_bind_double(m_st, idx, v.toDouble()); break;
    case QMetaType::QByteArray: {
      const QByteArray b = v.toByteArray();
      rc = sqlite3_bind_blob64(m_st, idx, b.constData(), sqlite3_uint64(b.size()), SQLITE_TRANSIENT);
      break;
    }
    case QMetaType::QDate:
      rc = sqlite3_bind_text(m_st, idx, v.toDate().toString(u"yyyy-MM-dd").toUtf8().constData(), -1,
                             SQLITE_TRANSIENT);
      break;
    default: {
      const QByteArray t = v.toString().toUtf8();
      rc = sqlite3_bind_text64(m_st, idx, t.constData(), sqlite3_uint64(t.size()), SQLITE_TRANSIENT,
                               SQLITE_UTF8);
    }
    }
  }
  if (rc != SQLITE_OK)
    m_db.failCode(rc, m_original);
}

void Query::bindResolved(const Resolved &r, const QVariant &value) {
  QVariant v = value;
  if (const ParamTarget *t = r.target) {
    if (t->write)
      v = normaliseForColumn(t->column, value);
    else if (t->column.kind == ColumnKind::Date &&
             (value.typeId() == QMetaType::QDate || value.typeId() == QMetaType::QDateTime))
      v = normaliseForColumn(t->column, value);
    else if (t->column.kind == ColumnKind::Date && !value.isNull())
      if (auto iso = parseDate(value.toString()))
        v = *iso;
  }
  for (int i : r.positions)
    bindIndex(i, v);
}

void Query::bind(const QString &name, const QVariant &value) {
  if (m_bindSeq < m_bindOrder.size() && m_bindOrder[m_bindSeq].name == name) {
    bindResolved(m_bindOrder[m_bindSeq++], value);
    return;
  }
  QString bare = name.startsWith(u':') ? name.mid(1) : name;
  // Names are mostly written in capitals already; only others pay for the conversion.
  for (QChar c : bare)
    if (c.isLower()) {
      bare = bare.toUpper();
      break;
    }
  if (m_paramIndex.isEmpty()) {
    const int n = sqlite3_bind_parameter_count(m_st);
    for (int i = 1; i <= n; ++i)
      if (const char *p = sqlite3_bind_parameter_name(m_st, i))
        m_paramIndex[QString::fromUtf8(p + 1).toUpper()].append(i);
  }
  const auto pos = m_paramIndex.constFind(bare);
  if (pos == m_paramIndex.constEnd())
    throw EngineError(records::other(SQLITE_RANGE, u"Parameter '" % bare % u"' not found"), m_original);
  const auto t = m_tr->params.constFind(bare);
  Resolved r{name, *pos, t == m_tr->params.constEnd() ? nullptr : &*t};
  bindResolved(r, value);
  if (m_bindSeq < m_bindOrder.size())
    m_bindOrder[m_bindSeq] = std::move(r);
  else
    m_bindOrder.push_back(std::move(r));
  ++m_bindSeq;
}

bool Query::next() {
  if (m_done)
    return false;
  const int rc = sqlite3_step(m_st);
  if (rc == SQLITE_ROW)
    return true;
  m_done = true;
  if (rc == SQLITE_DONE)
    return false;
  const int ext = sqlite3_extended_errcode(m_db.m_db);
  try {
    m_db.failCode(ext ? ext : rc, m_original);
  } catch (...) {
    sqlite3_reset(m_st);
    throw;
  }
}

int Query::exec() {
  while (next()) {
  }
  return sqlite3_changes(m_db.m_db);
}

void Query::reset() {
  sqlite3_reset(m_st);
  m_done = false;
  m_bindSeq = 0;
}

int Query::columnCount() const {
  return sqlite3_column_count(m_st);
}

QString Query::columnName(int i) const {
  return QString::fromUtf8(sqlite3_column_name(m_st, i));
}

ColumnDef Query::columnDef(int i) const {
  const char *table = sqlite3_column_table_name(m_st, i);
  const char *origin = sqlite3_column_origin_name(m_st, i);
  if (table && origin)
    if (const TableDef *t = m_db.m_catalog.table(QString::fromUtf8(table)))
      if (const ColumnDef *c = t->column(QString::fromUtf8(origin))) {
        ColumnDef d = *c;
        d.name = columnName(i);
        return d;
      }
  const QString decl = QString::fromUtf8(sqlite3_column_decltype(m_st, i)).toUpper();
  ColumnKind k = ColumnKind::Text;
  if (decl.contains(u"INT"))
    k = ColumnKind::Integer;
  else if (decl.contains(u"REAL"))
    k = ColumnKind::Float;
  else if (decl.contains(u"BLOB"))
    k = ColumnKind::Blob;
  else if (decl.isEmpty()) {
    const int t = sqlite3_column_type(m_st, i);
    k = t == SQLITE_INTEGER ? ColumnKind::Integer
        : t == SQLITE_FLOAT ? ColumnKind::Float
        : t == SQLITE_BLOB  ? ColumnKind::Blob
                            : ColumnKind::Text;
  }
  return ColumnDef{columnName(i), k, 0};
}

bool Query::isNull(int i) const {
  return sqlite3_column_type(m_st, i) == SQLITE_NULL;
}

Query::Storage Query::storage(int i) const {
  switch (sqlite3_column_type(m_st, i)) {
  case SQLITE_INTEGER: return Storage::Integer;
  case SQLITE_FLOAT: return Storage::Real;
  case SQLITE_TEXT: return Storage::Text;
  case SQLITE_BLOB: return Storage::Blob;
  default: return Storage::Null;
  }
}

QByteArrayView Query::bytes(int i) const {
  // text and blob keep their bytes as stored; asking for the blob never converts
  const void *p = sqlite3_column_blob(m_st, i);
  return QByteArrayView(static_cast<const char *>(p), sqlite3_column_bytes(m_st, i));
}

qint64 Query::integer(int i) const {
  return sqlite3_column_int64(m_st, i);
}
double Query::real(int i) const {
  return sqlite3_column_double(m_st, i);
}

QVariant Query::value(int i) const {
  switch (sqlite3_column_type(m_st, i)) {
  case SQLITE_INTEGER: return qlonglong(sqlite3_column_int64(m_st, i));
  case SQLITE_FLOAT: return sqlite3_column_double(m_st, i);
  case SQLITE_TEXT:
    return QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(m_st, i)),
                             sqlite3_column_bytes(m_st, i));
  case SQLITE_BLOB:
    return QByteArray(static_cast<const char *>(sqlite3_column_blob(m_st, i)), sqlite3_column_bytes(m_st, i));
  default: return {};
  }
}

QVariant Query::value(const QString &column) const {
  for (int i = 0; i < columnCount(); ++i)
    if (columnName(i).compare(column, Qt::CaseInsensitive) == 0)
      return value(i);
  throw EngineError(records::other(SQLITE_RANGE, u"Field '" % column % u"' not found"), m_original);
}

// ---- Transaction

Transaction::Transaction(Database &db) : m_db(db), m_level(db.m_txDepth) {
  if (m_level == 0)
    db.exec(QStringLiteral("BEGIN IMMEDIATE"));
  else
    db.exec(u"SAVEPOINT zr_" % QString::number(m_level));
  ++db.m_txDepth;
}

void Transaction::commit() {
  if (m_done)
    return;
  if (m_level == 0)
    m_db.exec(QStringLiteral("COMMIT"));
  else
    m_db.exec(u"RELEASE zr_" % QString::number(m_level));
  m_done = true;
  --m_db.m_txDepth;
}

Transaction::~Transaction() {
  if (m_done || !m_db.m_db)
    return;
  --m_db.m_txDepth;
  if (m_level == 0)
    sqlite3_exec(m_db.m_db, "ROLLBACK", nullptr, nullptr, nullptr);
  else {
    const QByteArray n = "zr_" + QByteArray::number(m_level);
    const QByteArray sql = "ROLLBACK TO " + n + "; RELEASE " + n;
    sqlite3_exec(m_db.m_db, sql.constData(), nullptr, nullptr, nullptr);
  }
}

} // namespace zr::sql
