// The engine beside plain SQLite on a volume table of realistic width.
//   bench_engine [volumes=1000000] [inserts=100000] [dir]
// Each figure is the median of several runs; the ratio is engine time / plain SQLite time for
// the same answer, measured in this process on the same database file.
#include "bench/common/benchtime.h"
#include "db/installer.h"
#include "db/schema.h"
#include "platform/os/settingsstore.h"
#include "platform/sql/database.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QElapsedTimer>
#include <QtCore/QRandomGenerator>
#include <QtCore/QTemporaryDir>

#include <sqlite3.h>

#include <algorithm>
#include <cstdio>

using namespace zr::sql;

namespace {

using zr::bench::median;
using zr::bench::timeMs;
using zr::bench::timePair;

const QString kChinese =
    QStringLiteral("档案资料管理系统文书科技会计人事基建设备声像照片实物荣誉证书合同协议通知报告请示批复决定"
                   "会议纪要年度计划总结"
                   "统计报表财务凭证账簿工程图纸产品说明书专利标准规范制度办法条例章程简报信息调研论文");

QString chinese(QRandomGenerator &rng, int n) {
  QString s;
  s.reserve(n);
  for (int i = 0; i < n; ++i)
    s += kChinese[rng.bounded(int(kChinese.size()))];
  return s;
}

QString ascii(QRandomGenerator &rng, int n) {
  QString s;
  s.reserve(n);
  for (int i = 0; i < n; ++i)
    s += QChar(u'A' + rng.bounded(26));
  return s;
}

// One volume row: about 1.5 KB of values in GBK.
QList<QVariant> volumeRow(QRandomGenerator &rng, const QString &prefix, int i) {
  static const QStringList cats = [] {
    QStringList c;
    for (int top = 201; top <= 204; ++top) {
      c << QString::number(top);
      for (int sub = 1; sub <= 9; ++sub)
        c << QString::number(top) + QStringLiteral("00") + QString::number(sub);
    }
    return c;
  }();
  QList<QVariant> v;
  v << QString(prefix + QString::number(i).rightJustified(12, u'0')) << cats[rng.bounded(int(cats.size()))]
    << QString(QStringLiteral("2024") + QString::number(i).rightJustified(6, u'0'))
    << chinese(rng, 30 + rng.bounded(40));
  for (int d = 0; d < 4; ++d)
    v << QDate(1990 + rng.bounded(35), 1 + rng.bounded(12), 1 + rng.bounded(28)).toString(u"yyyy-MM-dd");
  for (int t = 0; t < 10; ++t)
    v << (t % 2 ? chinese(rng, 10 + rng.bounded(14)) : ascii(rng, 20 + rng.bounded(28)));
  v << chinese(rng, 60 + rng.bounded(19)) << chinese(rng, 60 + rng.bounded(19))
    << chinese(rng, 100 + rng.bounded(27));
  for (int n = 0; n < 6; ++n)
    v << double(rng.bounded(100000)) / 4;
  v << QStringLiteral("管理员") << QStringLiteral("2026-12-11") << QVariant() << QVariant();
  return v;
}

QStringList volumeColumns() {
  QStringList c;
  for (const auto &col : zr::db::archiveTable(u"ZR_ARCHIVE_MASTER_TABLE")->columns)
    c << col.name;
  return c;
}

void bindRaw(sqlite3_stmt *st, const QList<QVariant> &row) {
  for (int k = 0; k < row.size(); ++k) {
    const QVariant &v = row[k];
    if (v.isNull())
      sqlite3_bind_null(st, k + 1);
    else if (v.typeId() == QMetaType::Double)
      sqlite3_bind_double(st, k + 1, v.toDouble());
    else {
      const QByteArray u = v.toString().toUtf8();
      sqlite3_bind_text(st, k + 1, u.constData(), int(u.size()), SQLITE_TRANSIENT);
    }
  }
}

qint64 rawCount(sqlite3 *db, const char *sql) {
  sqlite3_stmt *st = nullptr;
  sqlite3_prepare_v2(db, sql, -1, &st, nullptr);
  qint64 n = -1;
  if (sqlite3_step(st) == SQLITE_ROW)
    n = sqlite3_column_int64(st, 0);
  sqlite3_finalize(st);
  return n;
}

qint64 engineCount(Database &db, const QString &sql) {
  Query q(db, sql);
  q.next();
  return q.value(0).toLongLong();
}

void report(const char *what, double engineMs, double rawMs, qint64 engineAnswer, qint64 rawAnswer) {
  const double ratio = engineMs / rawMs;
  std::printf("%-34s engine %9.2f ms   sqlite %9.2f ms   ratio %5.2f  %s%s\n", what, engineMs, rawMs, ratio,
              ratio <= 1.2 ? "(goal 1.2 met)" : "(goal 1.2 MISSED)",
              engineAnswer == rawAnswer ? "" : "  ANSWERS DIFFER");
  std::fflush(stdout);
}

} // namespace

int main(int argc, char **argv) {
  QCoreApplication app(argc, argv);
  const QStringList args = app.arguments();
  const int volumes = args.size() > 1 ? args[1].toInt() : 1000000;
  const int inserts = args.size() > 2 ? args[2].toInt() : 100000;
  QTemporaryDir tmp(args.size() > 3 ? args[3] + u"/bench-XXXXXX" : QDir::tempPath() + u"/bench-XXXXXX");
  zr::os::SettingsStore store(tmp.path() + u"/settings.ini");
  const auto inst = zr::db::install(tmp.path() + u"/data", store, tmp.path() + u"/none");
  if (!inst.ok) {
    std::fprintf(stderr, "%s\n", qPrintable(inst.message));
    return 1;
  }
  Database db;
  db.open(tmp.path() + u"/data");
  sqlite3 *raw = db.handle(); // the same file, the same connection: only the path through differs

  const QStringList cols = volumeColumns();
  QStringList marks;
  for (int i = 0; i < cols.size(); ++i)
    marks << QStringLiteral("?");
  const QByteArray rawInsert =
      (u"INSERT INTO ZR_ARCHIVE_MASTER_TABLE(" % cols.join(u',') % u") VALUES(" % marks.join(u',') % u')')
          .toUtf8();
  QRandomGenerator rng(20261211);
  {
    QElapsedTimer t;
    t.start();
    sqlite3_exec(raw, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt *st = nullptr;
    sqlite3_prepare_v2(raw, rawInsert.constData(), -1, &st, nullptr);
    for (int i = 0; i < volumes; ++i) {
      bindRaw(st, volumeRow(rng, u"A"_qs, i));
      if (sqlite3_step(st) != SQLITE_DONE) {
        std::fprintf(stderr, "fill failed: %s\n", sqlite3_errmsg(raw));
        return 1;
      }
      sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    sqlite3_exec(raw, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_exec(raw, "ANALYZE", nullptr, nullptr, nullptr);
    std::printf("filled %d volumes in %.1f s, file %.0f MB\n", volumes, t.elapsed() / 1000.0,
                QFileInfo(db.filePath()).size() / 1048576.0);
  }
  db.close();
  db.open(tmp.path() + u"/data");
  raw = db.handle();

  const int runs = 5;
  // 1. category prefix: the dialect's SUBSTRING against the best range on the index
  {
    const QString sql =
        u"SELECT COUNT(*) FROM ZR_ARCHIVE_MASTER_TABLE WHERE SUBSTRING(ARCHIVE_TYPE_ID FROM 1 FOR 3) = '201'"_qs;
    const char *best = "SELECT COUNT(*) FROM ZR_ARCHIVE_MASTER_TABLE WHERE ARCHIVE_TYPE_ID >= '201' AND "
                       "ARCHIVE_TYPE_ID < '202'";
    qint64 a = 0, b = 0;
    const auto [e, r] = timePair(
        runs * 3, [&] { a = engineCount(db, sql); }, [&] { b = rawCount(raw, best); });
    report("category prefix count", e, r, a, b);
    qint64 c = 0;
    const double scan = timeMs(1, [&] {
      c = rawCount(
          raw, "SELECT COUNT(*) FROM ZR_ARCHIVE_MASTER_TABLE WHERE substr(ARCHIVE_TYPE_ID, 1, 3) = '201'");
    });
    std::printf("  (a literal substr() scan takes %.2f ms, %.0f times the range)\n", scan, scan / r);
  }
  // 2. LIKE '%text%'
  {
    const QString sql =
        u"SELECT COUNT(*) FROM ZR_ARCHIVE_MASTER_TABLE WHERE ARCHIVE_NAME LIKE '%会议纪要%'"_qs;
    qint64 a = 0, b = 0;
    const QByteArray rawSql = sql.toUtf8();
    const auto [e, r] = timePair(
        runs, [&] { a = engineCount(db, sql); }, [&] { b = rawCount(raw, rawSql.constData()); });
    report("LIKE '%text%' count", e, r, a, b);
  }
  // 3. first page of 256 rows by title within a category, every column read
  {
    const QString sql =
        u"SELECT * FROM ZR_ARCHIVE_MASTER_TABLE WHERE ARCHIVE_TYPE_ID = '201003' ORDER BY ARCHIVE_NAME"_qs;
    qint64 a = 0, b = 0;
    const auto [e, r] = timePair(
        runs * 4,
        [&] {
          Query q(db, sql);
          a = 0;
          while (a < 256 && q.next()) {
            for (int c = 0; c < q.columnCount(); ++c)
              q.value(c);
            ++a;
          }
        },
        [&] {
          sqlite3_stmt *st = nullptr;
          sqlite3_prepare_v2(
              raw,
              "SELECT * FROM ZR_ARCHIVE_MASTER_TABLE WHERE ARCHIVE_TYPE_ID = '201003' ORDER BY "
              "ARCHIVE_NAME LIMIT 256",
              -1, &st, nullptr);
          b = 0;
          while (sqlite3_step(st) == SQLITE_ROW) {
            for (int c = 0; c < sqlite3_column_count(st); ++c)
              if (sqlite3_column_type(st, c) == SQLITE_TEXT)
                QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, c)),
                                  sqlite3_column_bytes(st, c));
            ++b;
          }
          sqlite3_finalize(st);
        });
    report("first 256 rows by title", e, r, a, b);
  }
  // 4. inserts, one transaction each side, the engine through its named parameters
  {
    QList<QList<QVariant>> rows;
    for (int i = 0; i < inserts; ++i)
      rows << volumeRow(rng, u"X"_qs, i);
    QStringList named;
    for (const QString &c : cols)
      named << u':' + c;
    const QString engineSql =
        u"INSERT INTO ZR_ARCHIVE_MASTER_TABLE(" % cols.join(u',') % u") VALUES(" % named.join(u',') % u')';
    auto rawRun = [&](const QString &prefix) {
      sqlite3_exec(raw, "BEGIN", nullptr, nullptr, nullptr);
      sqlite3_stmt *st = nullptr;
      sqlite3_prepare_v2(raw, rawInsert.constData(), -1, &st, nullptr);
      for (auto row : rows) {
        row[0] = QString(prefix + row[0].toString());
        bindRaw(st, row);
        sqlite3_step(st);
        sqlite3_reset(st);
      }
      sqlite3_finalize(st);
      sqlite3_exec(raw, "COMMIT", nullptr, nullptr, nullptr);
    };
    auto engineRun = [&](const QString &prefix) {
      Transaction tx(db);
      Query q(db, engineSql);
      for (auto row : rows) {
        row[0] = QString(prefix + row[0].toString());
        for (int k = 0; k < cols.size(); ++k)
          q.bind(named[k], row[k]);
        q.exec();
        q.reset();
      }
      tx.commit();
    };
    QList<double> e, r;
    for (int round = 0; round < 2; ++round) {
      QElapsedTimer t;
      const QString tag = QString::number(round);
      if (round == 0) {
        t.start();
        rawRun(u"R" + tag);
        r << t.nsecsElapsed() / 1e6;
        t.start();
        engineRun(u"E" + tag);
        e << t.nsecsElapsed() / 1e6;
      } else {
        t.start();
        engineRun(u"E" + tag);
        e << t.nsecsElapsed() / 1e6;
        t.start();
        rawRun(u"R" + tag);
        r << t.nsecsElapsed() / 1e6;
      }
    }
    const qint64 a = engineCount(
        db,
        u"SELECT COUNT(*) FROM ZR_ARCHIVE_MASTER_TABLE WHERE SUBSTRING(ARCHIVE_RECORD_ID FROM 1 FOR 1) = 'E'"_qs);
    const qint64 b = rawCount(
        raw, "SELECT COUNT(*) FROM ZR_ARCHIVE_MASTER_TABLE WHERE substr(ARCHIVE_RECORD_ID,1,1) = 'R'");
    report(qPrintable(QString::number(inserts) + u" inserts, one transaction"),
           *std::min_element(e.begin(), e.end()), *std::min_element(r.begin(), r.end()), a, b);
  }
  return 0;
}
