#include "db/globals.h"

#include <QtCore/QDate>

namespace zr::db {

QString colorName(unsigned bgr) {
  const unsigned r = bgr & 0xff, g = (bgr >> 8) & 0xff, b = (bgr >> 16) & 0xff;
  return QString::asprintf("#%02x%02x%02x", r, g, b);
}

QString today() {
  return QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"));
}

QString dialectDate(const QString &isoDate) {
  const QDate d = QDate::fromString(isoDate, QStringLiteral("yyyy-MM-dd"));
  return (d.isValid() ? d : QDate::currentDate()).toString(QStringLiteral("MM/dd/yyyy"));
}

} // namespace zr::db
