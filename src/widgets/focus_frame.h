#pragma once

#include <QPainter>
#include <QPalette>
#include <QRect>

namespace orben {

// The frame the system's own controls (displays, lamps, the listing) draw
// inside their edge while they have the keyboard focus: two pixels of the
// palette's highlight, which stands out both on a black display and on
// the panels' light face.
inline constexpr int kFocusFrameWidth = 2;

inline void drawFocusFrame(QPainter& painter, const QRect& rect, const QPalette& palette) {
  const QColor colour = palette.color(QPalette::Active, QPalette::Highlight);
  const int w = kFocusFrameWidth;
  painter.fillRect(QRect(rect.left(), rect.top(), rect.width(), w), colour);
  painter.fillRect(QRect(rect.left(), rect.bottom() - w + 1, rect.width(), w), colour);
  painter.fillRect(QRect(rect.left(), rect.top(), w, rect.height()), colour);
  painter.fillRect(QRect(rect.right() - w + 1, rect.top(), w, rect.height()), colour);
}

}  // namespace orben
