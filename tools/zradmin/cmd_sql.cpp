#include "db/errortext.h"
#include "platform/os/settingsstore.h"
#include "platform/sql/database.h"
#include "platform/sql/values.h"
#include "tools/zradmin/commands.h"

namespace zr::admin {
namespace {

// One field as the tool prints it: tabs and line breaks inside a value would break the layout,
// so they are written as \t and \n.
QString field(const QVariant &v) {
  if (!v.isValid() || v.isNull())
    return {};
  switch (v.typeId()) {
  case QMetaType::Double: return zr::sql::shortestNumber(v.toDouble());
  case QMetaType::LongLong: return QString::number(v.toLongLong());
  case QMetaType::QByteArray: return u"<blob " % QString::number(v.toByteArray().size()) % u" bytes>";
  default: break;
  }
  QString s = v.toString();
  s.replace(u'\\', QStringLiteral("\\\\"))
      .replace(u'\t', QStringLiteral("\\t"))
      .replace(u'\n', QStringLiteral("\\n"))
      .replace(u'\r', QStringLiteral("\\r"));
  return s;
}

} // namespace

int cmdSql(const QStringList &args, QTextStream &out, QTextStream &err) {
  QString dir;
  QStringList rest = args;
  if (rest.size() >= 2 && rest.first() == u"--data") {
    dir = rest[1];
    rest = rest.mid(2);
  }
  if (rest.size() != 1) {
    err << "usage: zradmin sql [--data DIR] STATEMENT\n";
    return 2;
  }
  try {
    zr::sql::Database db;
    if (dir.isEmpty())
      db.openAlias(QString::fromUtf16(zr::sql::kAliasName), zr::os::SettingsStore());
    else
      db.open(dir);
    zr::sql::Query q(db, rest.first());
    const int n = q.columnCount();
    bool header = false;
    while (q.next()) {
      if (!header) {
        QStringList names;
        for (int i = 0; i < n; ++i)
          names << q.columnName(i);
        out << names.join(u'\t') << '\n';
        header = true;
      }
      QStringList row;
      for (int i = 0; i < n; ++i)
        row << field(q.value(i));
      out << row.join(u'\t') << '\n';
    }
    return 0;
  } catch (const zr::sql::EngineError &e) {
    err << zr::db::messageFor(e) << '\n';
  } catch (const zr::sql::ConversionError &e) {
    err << zr::db::messageFor(e) << '\n';
  }
  return 1;
}

} // namespace zr::admin
