#pragma once
// Read-only access to the entries of a zip file that never trusts what the file declares: every
// entry is inflated through a counter that refuses more bytes than the entry claims, or than the
// caller allows.
#include "platform/workbook/sheetreader.h"

#include <QtCore/QByteArray>
#include <QtCore/QHash>
#include <QtCore/QString>

struct zip;
struct zip_file;

namespace zr::workbook {

class ZipArchive {
public:
  // Refuses a file that is not a zip, holds more than maxEntries entries, or names an
  // entry outside its root ("../", an absolute path).
  ZipArchive(const QString &path, int maxEntries);
  ~ZipArchive();
  ZipArchive(const ZipArchive &) = delete;
  ZipArchive &operator=(const ZipArchive &) = delete;

  // Index of the entry, matched without regard to case as package part names are; -1 if absent.
  qint64 find(const QString &name) const;
  // The whole entry, refused when it would inflate beyond maxBytes.
  QByteArray readAll(qint64 index, qint64 maxBytes);

  class Stream {
  public:
    Stream(ZipArchive &archive, qint64 index, qint64 maxBytes);
    ~Stream();
    Stream(const Stream &) = delete;
    Stream &operator=(const Stream &) = delete;
    // Up to n bytes into buf; 0 at the end of the entry. Throws ReadError on damage or a lie.
    qint64 read(char *buf, qint64 n);
    qint64 declaredSize() const { return m_declared; }

  private:
    zip_file *m_file = nullptr;
    qint64 m_declared = 0;
    qint64 m_total = 0;
    QString m_name;
  };

private:
  friend class Stream;
  zip *m_zip = nullptr;
  QHash<QString, qint64> m_index; // lower-cased name -> index
};

} // namespace zr::workbook
