#pragma once

#include <QPainter>
#include <QPalette>
#include <QRect>
#include <QWidget>

namespace orben {

// The frame the system's controls (displays, lamps, the listing, the panel
// and toolbar buttons) draw inside their edge to show the keyboard focus:
// two pixels of the palette's highlight, which stands out both on a black
// display and on the panels' light face.
inline constexpr int kFocusFrameWidth = 2;

// Whether `control` shows that it has the focus: as the platform's style
// does, once the focus has been moved with the keyboard in its window
// (Tab, Shift+Tab, an arrow or an accelerator), not for mouse users only.
inline bool showsFocus(const QWidget& control) {
  return control.hasFocus() && control.window()->testAttribute(Qt::WA_KeyboardFocusChange);
}

inline void drawFocusFrame(QPainter& painter, const QRect& rect, const QPalette& palette) {
  const QColor colour = palette.color(QPalette::Active, QPalette::Highlight);
  const int w = kFocusFrameWidth;
  painter.fillRect(QRect(rect.left(), rect.top(), rect.width(), w), colour);
  painter.fillRect(QRect(rect.left(), rect.bottom() - w + 1, rect.width(), w), colour);
  painter.fillRect(QRect(rect.left(), rect.top(), w, rect.height()), colour);
  painter.fillRect(QRect(rect.right() - w + 1, rect.top(), w, rect.height()), colour);
}

}  // namespace orben
