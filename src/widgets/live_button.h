#pragma once

#include <QColor>
#include <QPixmap>
#include <QPushButton>

namespace orben {

// TLiveButton: the push-button of the front panel and of the dialogs. An
// ordinary push-button with a glyph drawn before its caption, whose caption
// lights up yellow while the mouse pointer is over it and turns teal when the
// pointer leaves, whatever colour it had before.
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

 private:
  QColor caption_color_{0, 0, 0};
  int margin_ = -1;
};

}  // namespace orben
