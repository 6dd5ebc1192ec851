// libFuzzer target for the .xlsx reader: any bytes must either read or be refused with ReadError,
// within the limits, never crash or hang.
#include "platform/workbook/sheetreader.h"

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QString>
#include <cstddef>
#include <cstdint>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  // The reader opens files by path, as the import does.
  static const QString path =
      QDir::tempPath() + u"/zr_fuzz_xlsx_" + QString::number(qint64(::getpid())) + u".xlsx";
  {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
      return 0;
    f.write(reinterpret_cast<const char *>(data), qint64(size));
  }
  zr::workbook::ReadLimits limits;
  limits.maxPartBytes = 1 << 20;
  limits.maxSharedStringBytes = 4 << 20;
  limits.maxSheetBytes = 16 << 20;
  limits.maxFields = 1 << 20;
  try {
    auto reader = zr::workbook::SheetReader::open(path, limits);
    QStringList row;
    while (reader->next(row))
      if (row.size() != reader->headings().size())
        __builtin_trap(); // every row has one field per heading
  } catch (const zr::workbook::ReadError &) {
  }
  return 0;
}
