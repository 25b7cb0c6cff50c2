#pragma once

#include <QChar>
#include <QString>

#include "machine/word_text.h"

namespace orben {

// The machine's digit rule for a typed or displayed character: 0..15 for
// "0".."9", "A".."F", "a".."f"; -1 for anything else.
inline int hexValue(QChar c) {
  return c.unicode() < 0x80 ? HexCharToValue(static_cast<char>(c.unicode())) : -1;
}

// The digit of 0..15 as the machine writes it: "0".."9", "A".."F".
inline QChar hexDigit(int value) {
  return QLatin1Char(HexDigitToChar(value));
}

// `value` in upper-case hexadecimal digits, zero-filled on the left to at
// least `width` digits: a port's "0A", a grid row's "H0010".
inline QString hexText(unsigned long long value, int width) {
  QString text;
  do {
    text.prepend(hexDigit(static_cast<int>(value & 0xF)));
    value >>= 4;
  } while (value != 0);
  return text.rightJustified(width, QLatin1Char('0'));
}

}  // namespace orben
