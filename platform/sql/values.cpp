#include "platform/sql/values.h"

#include "platform/sql/errors.h"

#include <QtCore/QDate>
#include <QtCore/QDateTime>
#include <QtCore/QLocale>
#include <cmath>

namespace zr::sql {
namespace {

bool allDigits(QStringView s) {
  if (s.isEmpty())
    return false;
  for (QChar c : s)
    if (c < u'0' || c > u'9')
      return false;
  return true;
}

QString invalidDate(QStringView t) {
  return u'\'' % t.toString() % u"' is not a valid date";
}

} // namespace

QString rtrimBlanks(QStringView t) {
  qsizetype n = t.size();
  while (n > 0 && (t[n - 1] == u' ' || t[n - 1] == u'\t' || t[n - 1] == u'\u3000'))
    --n;
  return t.left(n).toString();
}

bool looksLikeDialectDate(QStringView t) {
  const auto parts = t.trimmed().split(u'/');
  return parts.size() == 3 && parts[0].size() <= 2 && parts[1].size() <= 2 && parts[2].size() == 4 &&
         allDigits(parts[0]) && allDigits(parts[1]) && allDigits(parts[2]);
}

std::optional<QString> parseDate(QStringView text) {
  QStringView t = text.trimmed();
  // A time of day after the date is dropped: the column holds dates only.
  if (const qsizetype sp = t.indexOf(u' '); sp > 0)
    t = t.left(sp);
  int y = 0, m = 0, d = 0;
  const QChar sep = t.contains(u'-') ? u'-' : u'/';
  const auto parts = t.split(sep);
  if (parts.size() != 3 || !allDigits(parts[0]) || !allDigits(parts[1]) || !allDigits(parts[2]))
    return std::nullopt;
  if (parts[0].size() == 4 && parts[1].size() <= 2 && parts[2].size() <= 2) {
    y = parts[0].toInt();
    m = parts[1].toInt();
    d = parts[2].toInt();
  } else if (sep == u'/' && parts[2].size() == 4 && parts[0].size() <= 2 && parts[1].size() <= 2) {
    m = parts[0].toInt();
    d = parts[1].toInt();
    y = parts[2].toInt();
  } else {
    return std::nullopt;
  }
  const QDate date(y, m, d);
  if (!date.isValid() || y < 1)
    return std::nullopt;
  return date.toString(u"yyyy-MM-dd");
}

std::optional<QString> parseNumberText(QStringView text, bool integer) {
  const QString t = text.trimmed().toString();
  bool ok = false;
  if (integer) {
    const qlonglong v = t.toLongLong(&ok);
    if (!ok || v < INT32_MIN || v > INT32_MAX)
      return std::nullopt;
    return QString::number(v);
  }
  const double v = t.toDouble(&ok);
  if (!ok || !std::isfinite(v))
    return std::nullopt;
  return shortestNumber(v);
}

QString shortestNumber(double d) {
  if (d == 0)
    return QStringLiteral("0");
  QString s = QString::number(d, 'f', QLocale::FloatingPointShortest);
  return s;
}

QVariant normaliseForColumn(const ColumnDef &c, const QVariant &v) {
  if (!v.isValid() || v.isNull())
    return {};
  switch (c.kind) {
  case ColumnKind::Text: {
    if (v.typeId() == QMetaType::QByteArray)
      return v;
    const QString s = v.toString();
    qsizetype n = s.size();
    while (n > 0 && (s[n - 1] == u' ' || s[n - 1] == u'\t' || s[n - 1] == u'\u3000'))
      --n;
    if (n == 0)
      return {};
    if (n == s.size())
      return v; // nothing to trim: no copy
    return s.left(n);
  }
  case ColumnKind::Date: {
    if (v.typeId() == QMetaType::QDate)
      return v.toDate().isValid() ? QVariant(v.toDate().toString(u"yyyy-MM-dd")) : QVariant();
    if (v.typeId() == QMetaType::QDateTime)
      return QVariant(v.toDateTime().date().toString(u"yyyy-MM-dd"));
    const QString s = v.toString();
    if (s.trimmed().isEmpty())
      return {};
    if (auto iso = parseDate(s))
      return *iso;
    throw ConversionError(invalidDate(s));
  }
  case ColumnKind::Float:
  case ColumnKind::Integer: {
    const bool isInt = c.kind == ColumnKind::Integer;
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong: return isInt ? QVariant(v.toLongLong()) : QVariant(v.toDouble());
    case QMetaType::Double:
    case QMetaType::Float:
      if (isInt) {
        const double d = v.toDouble();
        if (d != std::floor(d))
          throw ConversionError(u'\'' % QString::number(d) % u"' is not a valid integer value");
        return QVariant(qlonglong(d));
      }
      return v.toDouble();
    default: break;
    }
    const QString s = v.toString();
    if (s.trimmed().isEmpty())
      return {};
    if (auto n = parseNumberText(s, isInt))
      return isInt ? QVariant(n->toLongLong()) : QVariant(n->toDouble());
    throw ConversionError(
        u'\'' % s % (isInt ? u"' is not a valid integer value" : u"' is not a valid floating point value"));
  }
  case ColumnKind::Blob: return v;
  }
  return v;
}

} // namespace zr::sql
