#include "db/queries.h"

#include "platform/os/numbertext.h"

namespace zr::db {

zr::sql::Database &namedDatabase(const QString &database) {
  zr::sql::Database *db = zr::sql::Database::named(database);
  if (!db || !db->isOpen())
    throw zr::sql::EngineError(zr::sql::records::openFailure(u"数据库 " % database % u" 没有打开"));
  return *db;
}

bool ExecSql(const QString &database, const QString &sql) {
  try {
    namedDatabase(database).exec(sql);
    return true;
  } catch (const std::exception &) {
    return false;
  }
}

QString formatStatement(const QString &format, const QVariantList &args) {
  const auto invalid = [&format] {
    return zr::sql::ConversionError(u"Format '" % format % u"' invalid or incompatible with argument");
  };
  QString out;
  qsizetype next = 0;
  for (qsizetype i = 0; i < format.size(); ++i) {
    if (format[i] != u'%') {
      out += format[i];
      continue;
    }
    if (++i >= format.size())
      throw invalid();
    const QChar k = format[i].toLower();
    if (k == u'%') {
      out += u'%';
      continue;
    }
    if (next >= args.size())
      throw invalid();
    const QVariant &a = args[next++];
    if (k == u's') {
      out += a.toString();
    } else if (k == u'd') {
      bool ok = false;
      const qlonglong n = a.toString().trimmed().toLongLong(&ok);
      if (!ok)
        throw invalid();
      out += QString::number(n);
    } else {
      throw invalid();
    }
  }
  return out;
}

bool ExecSqlFmt(const QString &database, const QString &format, const QVariantList &args) {
  return ExecSql(database, formatStatement(format, args));
}

QueryCursor::QueryCursor(zr::sql::Database &db, const QString &sql) : m_query(db, sql) {
  m_eof = !m_query.next();
}

void QueryCursor::next() {
  if (!m_eof)
    m_eof = !m_query.next();
}

QString QueryCursor::text(int i) const {
  return m_query.isNull(i) ? QString() : m_query.value(i).toString();
}

std::unique_ptr<QueryCursor> OpenQuery(const QString &database, const QString &sql) {
  return std::make_unique<QueryCursor>(namedDatabase(database), sql);
}

QString QueryValue(const QString &database, const QString &sql) {
  QueryCursor c(namedDatabase(database), sql);
  return c.eof() ? QString() : c.text(0);
}

double QueryNumber(const QString &database, const QString &sql) {
  QueryCursor c(namedDatabase(database), sql);
  return c.eof() ? 0 : zr::os::ParseNumber(c.text(0));
}

QVariant QueryRow(const QString &database, const QString &sql) {
  QueryCursor c(namedDatabase(database), sql);
  if (c.eof())
    return {};
  if (c.columnCount() == 1)
    return c.value(0);
  QVariantList row;
  for (int i = 0; i < c.columnCount(); ++i)
    row << c.value(i);
  return row;
}

} // namespace zr::db
