#pragma once

#include <QChar>

#include "machine/word_text.h"

namespace orben {

// The machine's digit rule for a typed or displayed character: 0..15 for
// "0".."9", "A".."F", "a".."f"; -1 for anything else.
inline int hexValue(QChar c) {
  return c.unicode() < 0x80 ? HexCharToValue(static_cast<char>(c.unicode())) : -1;
}

}  // namespace orben
