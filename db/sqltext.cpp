#include "db/sqltext.h"

#include "platform/sql/translator.h"
#include "platform/sql/values.h"

namespace zr::db {

QString quote(QStringView value) {
  return zr::sql::sqlQuote(value);
}

std::optional<QString> number(QStringView value) {
  return zr::sql::parseNumberText(value, false);
}

} // namespace zr::db
