#pragma once

#include <QBasicTimer>
#include <QColor>
#include <QPixmap>
#include <QPushButton>

namespace orben {

// TLiveButton: the push-button of the front panel and of the dialogs. An
// ordinary push-button with a glyph drawn before its caption, whose caption
// lights up yellow while the mouse pointer is over it and turns teal when the
// pointer leaves, whatever colour it had before. While the pointer is over
// an enabled button its face is dark, so that the yellow caption reads.
//
// Every press of the accelerator (Alt and the letter after "&") is one
// click at once, however fast the presses come; the button only looks
// pressed for a moment after it.
//
// Layout: the glyph sits `margin` pixels inside the left border, vertically
// centred; the caption (with its "&" accelerator underlined) is centred in the
// space to the right of the glyph, or in the whole button without a glyph.
class TLiveButton : public QPushButton {
  Q_OBJECT
  Q_PROPERTY(QColor captionColor READ captionColor WRITE setCaptionColor)
  Q_PROPERTY(int margin READ margin WRITE setMargin)

 public:
  static inline const QColor kHoverColor{255, 255, 0};  // yellow
  static inline const QColor kLeftColor{0, 128, 128};   // teal
  // The face of an enabled button under the pointer: a dark teal on which
  // the yellow caption stands out.
  static inline const QColor kHoverFace{0, 64, 64};

  explicit TLiveButton(QWidget* parent = nullptr);

  // The colour the caption is drawn in while the button is enabled; black
  // until set or until the pointer first passes over the button.
  QColor captionColor() const { return caption_color_; }
  void setCaptionColor(const QColor& color);

  // Pixels between the left border and the glyph; -1 centres glyph and
  // caption together.
  int margin() const { return margin_; }
  void setMargin(int margin);

  // The glyph: one image, or two (the normal look and the disabled look).
  void setGlyph(const QPixmap& normal, const QPixmap& disabled = QPixmap());

  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  bool event(QEvent* event) override;
  void timerEvent(QTimerEvent* event) override;

 private:
  QColor caption_color_{0, 0, 0};
  int margin_ = -1;
  bool hovered_ = false;      // the pointer is over the button
  QBasicTimer pressed_look_;  // runs while an accelerator's click shows
};

}  // namespace orben
