#include "platform/os/numbertext.h"

#include <QtCore/QLocale>
#include <charconv>
#include <cmath>

namespace zr::os {
namespace {

// Adds one to a string of decimal digits.
QString increment(QString digits) {
  for (qsizetype i = digits.size() - 1; i >= 0; --i) {
    if (digits[i] != u'9') {
      digits[i] = QChar(digits[i].unicode() + 1);
      return digits;
    }
    digits[i] = u'0';
  }
  return u'1' + digits;
}

QString stripLeadingZeros(const QString &digits) {
  qsizetype i = 0;
  while (i + 1 < digits.size() && digits[i] == u'0')
    ++i;
  return digits.mid(i);
}

// a - b for digit strings with a >= b.
QString subtract(const QString &a, const QString &b) {
  QString out = a;
  int borrow = 0;
  for (qsizetype i = 0; i < a.size(); ++i) {
    const qsizetype ia = a.size() - 1 - i;
    int d = a[ia].unicode() - u'0' - borrow - (i < b.size() ? b[b.size() - 1 - i].unicode() - u'0' : 0);
    borrow = d < 0;
    out[ia] = QChar(u'0' + (d + 10) % 10);
  }
  return stripLeadingZeros(out);
}

int compareDigits(const QString &a, const QString &b) {
  const QString x = stripLeadingZeros(a), y = stripLeadingZeros(b);
  if (x.size() != y.size())
    return x.size() < y.size() ? -1 : 1;
  return x.compare(y);
}

QString add(const QString &a, const QString &b) {
  QString out;
  int carry = 0;
  for (qsizetype i = 0; i < qMax(a.size(), b.size()) || carry; ++i) {
    int d = carry + (i < a.size() ? a[a.size() - 1 - i].unicode() - u'0' : 0) +
            (i < b.size() ? b[b.size() - 1 - i].unicode() - u'0' : 0);
    carry = d / 10;
    out.prepend(QChar(u'0' + d % 10));
  }
  return out;
}

// Drops the last n digits, rounding half away from zero on the first digit dropped.
QString dropDigits(const QString &digits, qsizetype n) {
  if (n <= 0)
    return digits + QString(-n, u'0');
  if (n > digits.size())
    return QStringLiteral("0");
  const bool up = digits[digits.size() - n] >= u'5';
  QString kept = digits.left(digits.size() - n);
  if (kept.isEmpty())
    kept = QStringLiteral("0");
  return stripLeadingZeros(up ? increment(kept) : kept);
}

// |value| * 10^decimals as a whole number of digits, rounded half away from zero. The value is
// read as its shortest decimal text (the digits the user typed and sees: 1.005, not the binary
// 1.00499999...), so a boundary stays a boundary.
QString scaledDigits(double value, int decimals) {
  value = std::fabs(value);
  if (value == 0 || !std::isfinite(value))
    return QStringLiteral("0");
  char buf[64];
  const auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific);
  *res.ptr = 0;
  const QString s = QString::fromLatin1(buf);
  const qsizetype e = s.indexOf(u'e');
  QString digits = s.left(e);
  digits.remove(u'.');
  const int exp10 = s.mid(e + 1).toInt();
  while (digits.size() > 1 && digits.endsWith(u'0'))
    digits.chop(1);
  // value = digits * 10^(exp10 - (len - 1))
  const qsizetype power = exp10 - (digits.size() - 1);
  return dropDigits(digits, -(power + decimals));
}

QString withPoint(const QString &digits, int decimals, bool negative) {
  QString d = digits;
  if (d.size() <= decimals)
    d = QString(decimals + 1 - d.size(), u'0') + d;
  QString out = decimals > 0 ? d.left(d.size() - decimals) % u'.' % d.right(decimals) : d;
  const bool zero = stripLeadingZeros(digits) == u"0";
  return negative && !zero ? u'-' + out : out;
}

const char16_t *const kNumerals[] = {u"零", u"壹", u"贰", u"叁", u"肆", u"伍", u"陆", u"柒", u"捌", u"玖"};

QString c(QChar digit) {
  return QString::fromUtf16(kNumerals[digit.unicode() - u'0']);
}

// The words of a group of one to four digits.
QString group(const QString &g) {
  const auto nz = [](QChar x) { return x != u'0'; };
  switch (g.size()) {
  case 1: return nz(g[0]) ? c(g[0]) : QString();
  case 2: {
    if (!nz(g[0]))
      return nz(g[1]) ? c(g[1]) : QString();
    return c(g[0]) % u"拾" % (nz(g[1]) ? c(g[1]) : QString());
  }
  case 3: {
    QString w = c(g[0]) % u"佰";
    if (nz(g[1]))
      w += c(g[1]) % u"拾" % (nz(g[2]) ? c(g[2]) : QString());
    else if (nz(g[2]))
      w += u"零" % c(g[2]);
    return w;
  }
  case 4: {
    const QChar a = g[0], b = g[1], t = g[2], o = g[3];
    QString w;
    if (nz(a)) {
      w = c(a) % u"仟";
      if (nz(b))
        w += c(b) % u"佰";
      else if (nz(t) || nz(o))
        w += u"零";
      if (nz(t))
        w += c(t) % u"拾";
      else if (nz(b) && nz(o))
        w += u"零";
      if (nz(o))
        w += c(o);
      return w;
    }
    // A leading zero only occurs after 万 or 亿; these are the words the printed forms have
    // always carried, so stored report output keeps reading the same.
    if (nz(b)) {
      if (nz(t))
        return (nz(o) ? u"零"_qs : QString()) % c(b) % u"佰" % c(t) % u"拾" % (nz(o) ? c(o) : QString());
      return c(b) % u"佰" % (nz(o) ? u"零" % c(o) : QString());
    }
    if (nz(t))
      return u"零" % c(t) % u"拾" % (nz(o) ? c(o) : QString());
    return nz(o) ? u"零" % c(o) : QString();
  }
  }
  return {};
}

} // namespace

double ParseNumber(const QString &text) {
  QString t = text.trimmed();
  t.remove(u',');
  if (t.isEmpty())
    return 0;
  bool ok = false;
  const double v = QLocale::c().toDouble(t, &ok);
  return ok && std::isfinite(v) ? v : 0;
}

QString FormatFixed(double value, int decimals) {
  return withPoint(scaledDigits(value, decimals), decimals, value < 0);
}

QString RoundText(int decimals, const QString &word, double value) {
  const int d = decimals >= 1 && decimals <= 9 ? decimals : 0;
  int step = 0; // units of 10^-(d+1) moved before the final rounding
  if (word == u"五舍六入")
    step = -1;
  else if (word == u"三舍四入")
    step = 1;
  else if (word == u"二舍三入")
    step = 2;
  else if (word == u"一舍二入")
    step = 3;
  QString out;
  if (step == 0 || !std::isfinite(value)) {
    out = FormatFixed(std::isfinite(value) ? value : 0, d);
  } else {
    // Work on the magnitude, so a negative value rounds as its positive counterpart does.
    const QString n = scaledDigits(value, d + 1);
    const QString k = QString::number(std::abs(step));
    QString moved;
    if (step > 0)
      moved = add(n, k);
    else if (compareDigits(n, k) >= 0)
      moved = subtract(n, k);
    else
      moved = QStringLiteral("0"); // below one unit: rounds to zero either way
    out = withPoint(dropDigits(moved, 1), d, value < 0);
  }
  out = out.trimmed();
  return out.isEmpty() ? QStringLiteral("0") : out;
}

QString CapitalAmountText(const QString &text, bool *outOfRange) {
  if (outOfRange)
    *outOfRange = false;
  QString rest = text.isEmpty() ? QStringLiteral("0") : text;
  QString sign;
  if (rest.startsWith(u'-')) {
    sign = QStringLiteral("负");
    rest = rest.mid(1);
  }
  const QString fixed = FormatFixed(std::fabs(ParseNumber(rest)), 2);
  const qsizetype point = fixed.indexOf(u'.');
  const QString I = fixed.left(point);
  const QString F = fixed.mid(point); // ".dd"
  QString W;
  if (I.size() > 12) {
    if (outOfRange)
      *outOfRange = true;
  } else if (I.size() <= 4) {
    W = group(I);
  } else if (I.size() <= 8) {
    W = group(I.left(I.size() - 4)) % u"万" % group(I.right(4));
  } else {
    const QString mid = group(I.mid(I.size() - 8, 4));
    W = group(I.left(I.size() - 8)) % u"亿" % mid % (mid.isEmpty() ? QString() : u"万"_qs) %
        group(I.right(4));
  }
  QString fraction;
  const QChar j = F[1], f = F[2];
  if (j == u'0' && f != u'0')
    fraction = u"零" % c(f) % u"分";
  else if (j != u'0' && f == u'0')
    fraction = c(j) % u"角";
  else if (j != u'0' && f != u'0')
    fraction = c(j) % u"角" % c(f) % u"分";
  if (F == u".00" && I == u"0")
    return {};
  QString result = sign % W % u"元" % fraction;
  if (!result.contains(u"分"))
    result += u"整";
  if (result.startsWith(sign % u"元"))
    result.remove(sign.size(), 1);
  return result;
}

QString PadZeros(const QString &text, int n) {
  const QString s = u"000000000" % text;
  return n <= 0 ? QString() : s.right(n);
}

QString FieldOf(const QString &text, const QString &separator, int n) {
  const QStringList parts = text.split(separator);
  if (n == -1)
    return parts.last();
  if (n < 0 || n >= parts.size())
    return {};
  return parts[n];
}

} // namespace zr::os
