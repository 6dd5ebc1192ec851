#include "db/errortext.h"
#include "platform/os/settingsstore.h"
#include "platform/report/pagepainter.h"
#include "platform/report/reportruntime.h"
#include "platform/sql/database.h"
#include "tools/zradmin/commands.h"

#include <QtGui/QGuiApplication>

namespace zr::admin {
namespace {

// The rows of one statement, columns named as the statement names them (aliases included).
void fill(zr::sql::Query &q, zr::report::TableSource &rows) {
  rows.clear();
  bool named = false;
  while (q.next()) {
    if (!named) {
      QStringList names;
      for (int i = 0; i < q.columnCount(); ++i)
        names << q.columnName(i);
      rows.setFields(names);
      named = true;
    }
    QVariantList row;
    row.reserve(q.columnCount());
    for (int i = 0; i < q.columnCount(); ++i)
      row << q.value(i);
    rows.addRow(std::move(row));
  }
  if (!named) {
    QStringList names;
    for (int i = 0; i < q.columnCount(); ++i)
      names << q.columnName(i);
    rows.setFields(names);
  }
}

int usage(QTextStream &err) {
  err << "usage: zradmin report pdf [--data DIR] --template FILE --master STATEMENT [--detail STATEMENT]"
         " [--var NAME=VALUE]... OUT.pdf\n";
  return 2;
}

} // namespace

int cmdReport(const QStringList &args, QTextStream &out, QTextStream &err) {
  if (args.isEmpty() || args.first() != u"pdf")
    return usage(err);
  QString dir, templ, master, detail, pdf;
  QList<std::pair<QString, QString>> vars;
  for (int i = 1; i < args.size(); ++i) {
    const QString &a = args[i];
    const bool hasValue = i + 1 < args.size();
    if (a == u"--data" && hasValue) dir = args[++i];
    else if (a == u"--template" && hasValue) templ = args[++i];
    else if (a == u"--master" && hasValue) master = args[++i];
    else if (a == u"--detail" && hasValue) detail = args[++i];
    else if (a == u"--var" && hasValue) {
      const QString v = args[++i];
      const qsizetype eq = v.indexOf(u'=');
      if (eq <= 0)
        return usage(err);
      vars.append({v.left(eq), v.mid(eq + 1)});
    } else if (!a.startsWith(u"--") && pdf.isEmpty()) pdf = a;
    else return usage(err);
  }
  if (templ.isEmpty() || master.isEmpty() || pdf.isEmpty())
    return usage(err);
  if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance())) {
    err << "zradmin report: needs the graphical application object for its fonts\n";
    return 1;
  }
  try {
    zr::report::TReportRunTime rt;
    rt.setReportFile(templ);
    const bool md = rt.report().type == u"MD";
    if (md != !detail.isEmpty()) {
      err << (md ? "报表模板是主从报表,必须给出 --detail 语句\n" : "报表模板是单表报表,不能使用 --detail 语句\n");
      return 1;
    }
    for (const auto &[name, value] : vars)
      rt.setVariable(name, value);

    zr::sql::Database db;
    if (dir.isEmpty())
      db.openAlias(QString::fromUtf16(zr::sql::kAliasName), zr::os::SettingsStore());
    else
      db.open(dir);
    zr::report::TableSource masterRows, detailRows;
    {
      zr::sql::Query q(db, master);
      fill(q, masterRows);
    }
    rt.addDataSource(QStringLiteral("M"), &masterRows);
    std::vector<zr::report::Document> docs;
    // Pages are drawn from the sources when written, so every slip keeps its own rows.
    std::vector<std::unique_ptr<zr::report::TableSource>> slips;
    if (!md) {
      docs.push_back(rt.run());
    } else {
      // One slip per master record: the detail statement's :PARAMETERS take its columns' values.
      zr::sql::Query q(db, detail);
      const QStringList params = q.parameterNames();
      const QStringList fields = masterRows.fieldNames();
      for (const QString &p : params) {
        const QString bare = p.startsWith(u':') ? p.mid(1) : p;
        if (!fields.contains(bare, Qt::CaseInsensitive)) {
          err << "--detail 语句的参数 :" << bare << " 不是 --master 语句的列\n";
          return 1;
        }
      }
      for (int r = 0; r < masterRows.rowCount(); ++r) {
        auto one = std::make_unique<zr::report::TableSource>(fields);
        QVariantList values;
        for (int f = 0; f < fields.size(); ++f)
          values << masterRows.value(r, f);
        one->addRow(values);
        auto rows = std::make_unique<zr::report::TableSource>();
        q.reset();
        for (const QString &p : params) {
          const QString bare = p.startsWith(u':') ? p.mid(1) : p;
          int f = 0;
          while (fields[f].compare(bare, Qt::CaseInsensitive) != 0)
            ++f;
          q.bind(p, masterRows.value(r, f));
        }
        fill(q, *rows);
        rt.setDataSet(one.get());
        rt.addDataSource(QStringLiteral("D"), rows.get());
        docs.push_back(rt.run());
        slips.push_back(std::move(one));
        slips.push_back(std::move(rows));
      }
      if (docs.empty()) { // no master record: one empty slip rather than no file
        rt.addDataSource(QStringLiteral("D"), &detailRows);
        docs.push_back(rt.run());
      }
    }
    QList<const zr::report::Document *> list;
    int pages = 0;
    for (const auto &d : docs) {
      list << &d;
      pages += d.pageCount();
    }
    QString why;
    if (!zr::report::writePdf(list, pdf, &why)) {
      err << why << '\n';
      return 1;
    }
    out << pdf << '\t' << pages << '\n';
    return 0;
  } catch (const zr::report::TemplateError &e) {
    err << e.message() << '\n';
  } catch (const zr::sql::EngineError &e) {
    err << zr::db::messageFor(e) << '\n';
  } catch (const zr::sql::ConversionError &e) {
    err << zr::db::messageFor(e) << '\n';
  }
  return 1;
}

} // namespace zr::admin
