#pragma once
// Text as users observe it is GBK (code page 936): widths count GBK bytes, order is GBK byte
// order, and text GBK cannot encode is refused. This is the one place that knows the mapping.
#include <QtCore/QByteArray>
#include <QtCore/QString>
#include <QtCore/QStringView>
#include <cstdint>

namespace zr::gbk {

// GBK code of a code point: one byte (< 0x100) or two bytes (lead << 8 | trail); 0 when GBK
// cannot encode it. U+0000 encodes as 0 too; callers never store it.
std::uint16_t code(char32_t cp);

// Bytes the text takes in GBK; a character GBK cannot encode counts as 2.
int byteLength(QStringView text);
// Same, straight from UTF-8 (as the engine stores text).
int byteLengthUtf8(const char *utf8, int len);

// Index of the first character GBK cannot encode, or -1.
int firstUnencodable(QStringView text);
// From UTF-8: the first unencodable code point, or 0 when all encode.
char32_t firstUnencodableUtf8(const char *utf8, int len);

// How many UTF-16 units of text fit into maxBytes GBK bytes without cutting a character.
int unitsFitting(QStringView text, int maxBytes);

QByteArray encode(QStringView text, bool *ok = nullptr);
QString decode(QByteArrayView bytes);

// Orders two UTF-8 strings as their GBK bytes would order; characters GBK cannot encode sort
// after every GBK character, by code point.
int compareUtf8(const char *a, int na, const char *b, int nb);

// The message that refuses text GBK cannot encode.
QString unencodableMessage(char32_t cp);

} // namespace zr::gbk
