#pragma once
// The engine: one database per data directory, reached by a name over an alias whose directory
// the settings store holds. Statements are written in the local dialect and translated; every
// write is held to its column's kind and GBK width. SQLite stays behind this interface.
#include "platform/sql/errors.h"
#include "platform/sql/tabledef.h"
#include "platform/sql/translator.h"

#include <QtCore/QHash>
#include <QtCore/QString>
#include <QtCore/QVariant>
#include <memory>

struct sqlite3;
struct sqlite3_stmt;

namespace zr::os {
class SettingsStore;
}

namespace zr::sql {

inline constexpr char16_t kDatabaseName[] = u"ZRRecordFolioDataBase";
inline constexpr char16_t kAliasName[] = u"ZRRecordFolioLink";
// The one file of a data directory that holds its tables.
inline constexpr char16_t kDatabaseFile[] = u"ZRRecordFolio.db";

// Aliases name data directories; they live in the settings store.
namespace alias {
QString directory(const QString &aliasName, const zr::os::SettingsStore &store);
bool define(const QString &aliasName, const QString &directory, zr::os::SettingsStore &store);
} // namespace alias

class Query;

class Database {
public:
  Database();
  ~Database();
  Database(const Database &) = delete;
  Database &operator=(const Database &) = delete;

  // Opens the database of a data directory. create: make an empty one when missing.
  // Throws EngineError with the open-failure record when it cannot.
  void open(const QString &directory, bool create = false);
  // Opens the directory the alias names; a missing alias is an open failure too.
  void openAlias(const QString &aliasName, const zr::os::SettingsStore &store);
  void close();
  bool isOpen() const { return m_db != nullptr; }
  QString directory() const { return m_directory; }
  QString filePath() const;

  // Tables of the data directory, in the order they were created.
  QStringList tables() const;
  const Catalog &catalog() const { return m_catalog; }
  // Creates a table with its key, indexes and column checks, and records it in the dictionary.
  void createTable(const TableDef &table);

  // Runs a statement of the dialect; returns the rows it changed.
  int exec(const QString &sql);
  // Runs several statements of the dialect separated by ';' is not offered: one statement each.

  // Tables that an open query still reads; maintenance refuses to work on them.
  QStringList tablesInUse() const;
  qint64 lastInsertRowid() const;
  bool inTransaction() const;

  // The translated statement, for tests and diagnostics.
  Translation translateStatement(const QString &sql);

  sqlite3 *handle() const { return m_db; }

  // Registers the collation and the column checks on a raw connection (used by the engine and
  // by tools that open the file directly).
  static void registerFunctions(sqlite3 *db);
  // integrity_check on a database file this program did not create; empty when sound.
  static QString checkFile(const QString &path);

  // Named connections: the application's one database is known by kDatabaseName.
  static void registerNamed(const QString &name, Database *db);
  static void unregisterNamed(const QString &name);
  static Database *named(const QString &name);

private:
  friend class Query;
  friend class Transaction;
  sqlite3_stmt *acquire(const QString &sql);
  void release(const QString &sql, sqlite3_stmt *st);
  [[noreturn]] void fail(const QString &statement) const;
  [[noreturn]] void failCode(int rc, const QString &statement) const;
  void loadCatalog();
  void configure();
  void noteUse(const QStringList &tables, int delta);

  sqlite3 *m_db = nullptr;
  QString m_directory;
  Catalog m_catalog;
  QHash<QString, std::shared_ptr<const Translation>> m_translations;
  QHash<QString, QList<sqlite3_stmt *>> m_idle;
  int m_idleCount = 0;
  QHash<QString, int> m_inUse;
  int m_txDepth = 0;
};

// One statement: bind its named parameters, then step through its rows or run it.
class Query {
public:
  Query(Database &db, const QString &sql);
  ~Query();
  Query(const Query &) = delete;
  Query &operator=(const Query &) = delete;

  // ":NAME" or "NAME"; the value is held to the column the parameter meets.
  void bind(const QString &name, const QVariant &value);
  void bindIndex(int oneBased, const QVariant &value);
  QStringList parameterNames() const;

  // Next row; false at the end. Throws EngineError or ConversionError.
  bool next();
  // Runs to the end; returns the rows changed.
  int exec();
  // Back to before the first row, bindings kept.
  void reset();

  int columnCount() const;
  QString columnName(int i) const;
  // The column's kind and width where it comes straight from a table column.
  ColumnDef columnDef(int i) const;
  QVariant value(int i) const;
  QVariant value(const QString &column) const;
  bool isNull(int i) const;
  // The stored value without conversion, for callers that keep rows as bytes.
  enum class Storage { Null, Integer, Real, Text, Blob };
  Storage storage(int i) const;
  QByteArrayView bytes(int i) const; // text as UTF-8, or blob bytes
  qint64 integer(int i) const;
  double real(int i) const;

  const Translation &translation() const { return *m_tr; }

private:
  Database &m_db;
  std::shared_ptr<const Translation> m_tr;
  sqlite3_stmt *m_st = nullptr;
  bool m_done = false;
  QHash<QString, QList<int>> m_paramIndex; // upper-case name -> positions, built on first bind
  // Rows bound in the same order every time resolve each name once: what the k-th bind of the
  // last round named, and where it went.
  struct Resolved {
    QString name;
    QList<int> positions;
    const ParamTarget *target;
  };
  std::vector<Resolved> m_bindOrder;
  size_t m_bindSeq = 0;
  void bindResolved(const Resolved &r, const QVariant &value);
  QString m_original;
};

// A unit of work: commits when told, rolls back when left otherwise. Nests as savepoints.
class Transaction {
public:
  explicit Transaction(Database &db);
  ~Transaction();
  void commit();

private:
  Database &m_db;
  bool m_done = false;
  int m_level;
};

} // namespace zr::sql
