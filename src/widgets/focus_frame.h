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

// A frame of `width` pixels inside `rect`'s edge.
inline void drawFrame(QPainter& painter, const QRect& rect, const QColor& colour, int w) {
  painter.fillRect(QRect(rect.left(), rect.top(), rect.width(), w), colour);
  painter.fillRect(QRect(rect.left(), rect.bottom() - w + 1, rect.width(), w), colour);
  painter.fillRect(QRect(rect.left(), rect.top(), w, rect.height()), colour);
  painter.fillRect(QRect(rect.right() - w + 1, rect.top(), w, rect.height()), colour);
}

inline void drawFocusFrame(QPainter& painter, const QRect& rect, const QPalette& palette) {
  drawFrame(painter, rect, palette.color(QPalette::Active, QPalette::Highlight), kFocusFrameWidth);
}

// What the last step forward or back changed: a control showing it has the
// dynamic property "cambiado" true until the next step, and an orange frame
// just inside the focus frame's place, so that both show and the control's
// own colours stay as they are.
inline constexpr char kChangedProperty[] = "cambiado";
inline const QColor kChangedFrameColour(255, 140, 0);

inline bool showsChange(const QWidget& control) {
  return control.property(kChangedProperty).toBool();
}
// Sets the property and repaints when it differs.
inline void setShowsChange(QWidget& control, bool changed) {
  if (control.property(kChangedProperty).isValid() && showsChange(control) == changed) return;
  control.setProperty(kChangedProperty, changed);
  control.update();
}
inline void drawChangeFrame(QPainter& painter, const QRect& rect) {
  const int w = kFocusFrameWidth;
  drawFrame(painter, rect.adjusted(w, w, -w, -w), kChangedFrameColour, w);
}

}  // namespace orben
