#pragma once

#include <QColor>
#include <QImage>
#include <QString>
#include <QWidget>

namespace orben {

// TDigitalDisplay: a row of seven-segment LED digits on a
// coloured background. The rest of the system also uses it as storage: a
// register's or port's content is the display's Value.
//
// Every paint is composed on an off-screen image of the control's own size
// (no antialiasing, so every pixel is where the segment geometry puts it)
// and then copied to the screen.
class TDigitalDisplay : public QWidget {
  Q_OBJECT
  Q_PROPERTY(QString Value READ value WRITE setValue)
  Q_PROPERTY(int Digits READ digits WRITE setDigits)
  Q_PROPERTY(DisplayAlignment Alignment READ alignment WRITE setAlignment)
  Q_PROPERTY(bool LeadingZeros READ leadingZeros WRITE setLeadingZeros)
  Q_PROPERTY(QColor BckgndColor READ bckgndColor WRITE setBckgndColor)
  Q_PROPERTY(QColor DigitOnColor READ digitOnColor WRITE setDigitOnColor)
  Q_PROPERTY(QColor DigitOffColor READ digitOffColor WRITE setDigitOffColor)

 public:
  enum DisplayAlignment { Left, Right, Centre };
  Q_ENUM(DisplayAlignment)

  static constexpr int kDefaultWidth = 108;
  static constexpr int kDefaultHeight = 35;

  explicit TDigitalDisplay(QWidget* parent = nullptr);

  // The stored text, exactly as it was set (not the padded text drawn).
  const QString& value() const { return value_; }
  // Equal text: nothing happens (no repaint). Otherwise stored and repainted.
  void setValue(const QString& value);

  // Number of digit cells, 0..255 (a byte); 0 draws the background only.
  int digits() const { return digits_; }
  void setDigits(int digits);

  DisplayAlignment alignment() const { return alignment_; }
  void setAlignment(DisplayAlignment alignment);

  bool leadingZeros() const { return leading_zeros_; }
  void setLeadingZeros(bool on);

  QColor bckgndColor() const { return bckgnd_color_; }
  void setBckgndColor(const QColor& color);
  QColor digitOnColor() const { return digit_on_color_; }
  void setDigitOnColor(const QColor& color);
  QColor digitOffColor() const { return digit_off_color_; }
  void setDigitOffColor(const QColor& color);

  // Composes the display's picture for a control of `size`: background,
  // then the digits, points and colons of the value.
  QImage compose(QSize size) const;
  // The same picture for the control's own size from digit cells drawn once
  // per look, for a value of exactly Digits hexadecimal digits; false for
  // any other value, which compose() draws.
  bool composeFromCells(QImage& image) const;

  QSize sizeHint() const override { return {kDefaultWidth, kDefaultHeight}; }

 signals:
  // OnClick: a mouse click on the control (press and release inside it).
  void clicked();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  QString value_ = QStringLiteral("0000");
  int digits_ = 4;
  DisplayAlignment alignment_ = Right;
  bool leading_zeros_ = false;
  QColor bckgnd_color_{0, 0, 0};
  QColor digit_on_color_{0, 255, 0};
  QColor digit_off_color_{0, 64, 0};
  bool pressed_ = false;
  QImage bitmap_;  // the off-screen bitmap, the control's own size
};

}  // namespace orben
