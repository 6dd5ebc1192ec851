#include "platform/os/gbk.h"

#include <QtCore/QStringConverter>

#include <algorithm>
#include <array>

namespace zr::gbk {
namespace {

// Code of every BMP code point, built once from the platform's converter.
struct Table {
  std::array<std::uint16_t, 0x10000> codes{};

  Table() {
    QStringEncoder enc("GBK", QStringConverter::Flag::Stateless);
    if (!enc.isValid())
      qFatal("GBK converter missing: Qt must be built with ICU");
    for (char32_t c = 1; c < 0x80; ++c)
      codes[c] = std::uint16_t(c);
    // Blocks of up to 256 characters, the last one ending at U+FFFF.
    for (char32_t base = 0x80; base < 0x10000;) {
      const char32_t end = std::min<char32_t>((base & ~char32_t(0xFF)) + 0x100, 0x10000);
      if (base >= 0xD800 && base < 0xE000) { // surrogates are not characters
        base = end;
        continue;
      }
      QString block;
      block.reserve(int(end - base));
      for (char32_t c = base; c < end; ++c)
        block.append(QChar(char16_t(c)));
      QStringEncoder be("GBK", QStringConverter::Flag::Stateless);
      const QByteArray out = be.encode(block);
      if (be.hasError() || !splitBlock(base, int(end - base), out)) {
        for (char32_t c = base; c < end; ++c) {
          QStringEncoder one("GBK", QStringConverter::Flag::Stateless);
          const QChar ch{char16_t(c)};
          const QByteArray b = one.encode(QStringView(&ch, 1));
          if (one.hasError() || b.isEmpty() || b.size() > 2 || (b.size() == 1 && b[0] == '?'))
            continue;
          codes[c] = b.size() == 1 ? std::uint8_t(b[0])
                                   : std::uint16_t(std::uint8_t(b[0]) << 8 | std::uint8_t(b[1]));
        }
      }
      base = end;
    }
  }

  // Cut an encoded block back into characters: a byte below 0x81 stands alone, a lead byte
  // takes its trail byte. False when the lengths do not add up (then go char by char).
  bool splitBlock(char32_t base, int count, const QByteArray &out) {
    std::array<std::uint16_t, 256> tmp{};
    int pos = 0;
    for (int i = 0; i < count; ++i) {
      if (pos >= out.size())
        return false;
      const auto b0 = std::uint8_t(out[pos]);
      if (b0 == '?')
        return false; // a substitution: let the slow path decide
      if (b0 < 0x81 || b0 == 0xFF) {
        tmp[i] = b0;
        pos += 1;
      } else {
        if (pos + 1 >= out.size())
          return false;
        tmp[i] = std::uint16_t(b0 << 8 | std::uint8_t(out[pos + 1]));
        pos += 2;
      }
    }
    if (pos != out.size())
      return false;
    for (int i = 0; i < count; ++i)
      codes[base + char32_t(i)] = tmp[i];
    return true;
  }
};

const Table &table() {
  static const Table t;
  return t;
}

// Decodes one UTF-8 character; invalid bytes come back as themselves + 0xDC00 (never encodable).
inline char32_t nextUtf8(const unsigned char *&p, const unsigned char *end) {
  const unsigned char c = *p++;
  if (c < 0x80)
    return c;
  int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : -1;
  if (extra < 0 || end - p < extra)
    return 0xDC00 + c;
  char32_t cp = c & (0x3F >> extra);
  for (int i = 0; i < extra; ++i) {
    if ((p[i] & 0xC0) != 0x80)
      return 0xDC00 + c;
    cp = cp << 6 | (p[i] & 0x3F);
  }
  p += extra;
  return cp;
}

// Sort key: GBK bytes left-aligned in 16 bits, unencodable characters after all of them.
inline std::uint32_t sortKey(char32_t cp) {
  const std::uint16_t c = cp < 0x10000 ? table().codes[cp] : 0;
  if (c == 0)
    return 0x10000u + cp;
  return c < 0x100 ? std::uint32_t(c) << 8 : c;
}

} // namespace

std::uint16_t code(char32_t cp) {
  return cp < 0x10000 ? table().codes[cp] : 0;
}

int byteLength(QStringView text) {
  int n = 0;
  for (qsizetype i = 0; i < text.size(); ++i) {
    const char16_t u = text[i].unicode();
    if (u < 0x80) {
      ++n;
      continue;
    }
    if (QChar::isHighSurrogate(u) && i + 1 < text.size() && QChar::isLowSurrogate(text[i + 1].unicode()))
      ++i;
    const std::uint16_t c = code(u);
    n += (c != 0 && c < 0x100) ? 1 : 2;
  }
  return n;
}

int byteLengthUtf8(const char *utf8, int len) {
  auto p = reinterpret_cast<const unsigned char *>(utf8);
  const auto end = p + len;
  int n = 0;
  while (p < end) {
    if (*p < 0x80) {
      ++p;
      ++n;
      continue;
    }
    const std::uint16_t c = code(nextUtf8(p, end));
    n += (c != 0 && c < 0x100) ? 1 : 2;
  }
  return n;
}

int firstUnencodable(QStringView text) {
  for (qsizetype i = 0; i < text.size(); ++i) {
    const char16_t u = text[i].unicode();
    if (u < 0x80 && u != 0)
      continue;
    if (code(u) == 0)
      return int(i);
  }
  return -1;
}

char32_t firstUnencodableUtf8(const char *utf8, int len) {
  auto p = reinterpret_cast<const unsigned char *>(utf8);
  const auto end = p + len;
  while (p < end) {
    if (*p < 0x80 && *p != 0) {
      ++p;
      continue;
    }
    const char32_t cp = nextUtf8(p, end);
    if (code(cp) == 0)
      return cp == 0 ? 0xFFFD : cp;
  }
  return 0;
}

int unitsFitting(QStringView text, int maxBytes) {
  int bytes = 0;
  for (qsizetype i = 0; i < text.size(); ++i) {
    const char16_t u = text[i].unicode();
    const bool pair = QChar::isHighSurrogate(u) && i + 1 < text.size();
    const std::uint16_t c = code(u);
    const int w = u < 0x80 ? 1 : (c != 0 && c < 0x100) ? 1 : 2;
    if (bytes + w > maxBytes)
      return int(i);
    bytes += w;
    if (pair)
      ++i;
  }
  return int(text.size());
}

QByteArray encode(QStringView text, bool *ok) {
  QStringEncoder enc("GBK", QStringConverter::Flag::Stateless);
  QByteArray out = enc.encode(text);
  if (ok)
    *ok = !enc.hasError() && firstUnencodable(text) < 0;
  return out;
}

QString decode(QByteArrayView bytes) {
  QStringDecoder dec("GBK", QStringConverter::Flag::Stateless);
  return dec.decode(bytes);
}

int compareUtf8(const char *a, int na, const char *b, int nb) {
  const int n = na < nb ? na : nb;
  int i = 0;
  while (i < n && a[i] == b[i])
    ++i;
  if (i == n)
    return na - nb; // one is a prefix of the other
  // Back up to the start of the character holding the first difference.
  while (i > 0 && (static_cast<unsigned char>(a[i]) & 0xC0) == 0x80)
    --i;
  auto pa = reinterpret_cast<const unsigned char *>(a) + i;
  auto pb = reinterpret_cast<const unsigned char *>(b) + i;
  const auto ea = reinterpret_cast<const unsigned char *>(a) + na;
  const auto eb = reinterpret_cast<const unsigned char *>(b) + nb;
  while (pa < ea && pb < eb) {
    const std::uint32_t ka = sortKey(nextUtf8(pa, ea));
    const std::uint32_t kb = sortKey(nextUtf8(pb, eb));
    if (ka != kb)
      return ka < kb ? -1 : 1;
  }
  return (pa < ea) - (pb < eb);
}

QString unencodableMessage(char32_t cp) {
  const QString ch = QString::fromUcs4(&cp, 1);
  return u"文字\"" % ch % u"\"不能按GBK编码保存,请改用其它字符";
}

} // namespace zr::gbk
