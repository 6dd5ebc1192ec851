#pragma once
// Number and text helpers every window uses: lenient number parsing, the four rounding words of
// the totals rows, amounts in capital numerals, zero padding and separated fields. Rounding works
// on decimal digits, never on binary fractions, so 2.345 rounds as the user reads it.
#include <QtCore/QString>

namespace zr::os {

// Blanks trimmed, every "," removed, the rest read as a number; anything else gives 0.
double ParseNumber(const QString &text);

// The value with `decimals` places (1 to 9, anything else means whole numbers) under one of the
// words "五舍六入", "三舍四入", "二舍三入", "一舍二入"; any other word rounds half away from zero.
QString RoundText(int decimals, const QString &word, double value);

// The amount in capital numerals ("肆仟伍佰陆拾柒元伍角整"); empty for zero. More than twelve
// integer digits cannot be written: the integer words are left out and outOfRange is set.
QString CapitalAmountText(const QString &text, bool *outOfRange = nullptr);

// The text left-filled with zeros to n characters (at most nine zeros are added).
QString PadZeros(const QString &text, int n);

// The part after the n-th separator and before the next; n = -1 the part after the last one;
// empty when there are fewer than n separators.
QString FieldOf(const QString &text, const QString &separator, int n);

// The value with `decimals` places, half away from zero, taken from its shortest decimal text;
// "-" only for a value that stays non-zero. The formatting RoundText builds on.
QString FormatFixed(double value, int decimals);

} // namespace zr::os
