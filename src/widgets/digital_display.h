#pragma once

#include <QColor>
#include <QImage>
#include <QString>
#include <QWidget>

namespace orben {

class ChangeAnnouncer;

// TDigitalDisplay: a row of seven-segment LED digits on a
// coloured background. The rest of the system also uses it as storage: a
// register's or port's content is the display's Value.
//
// Every paint is composed on an off-screen image of the control's own size
// (no antialiasing, so every pixel is where the segment geometry puts it)
// and then copied to the screen.
//
// To assistive technology the display is its shown text: the digits,
// points and colons it draws, or "apagado" when it draws nothing but its
// background (as for "****"). Each change of the value is announced, at
// most a few times a second however fast the value changes.
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

  // How the user changes what the display shows: not at all; by
  // activating it (a click, or Enter or Space while it has the keyboard
  // focus, opens an edit elsewhere: such a display takes the focus and
  // frames itself while it has it); or by typing digits that a dialog
  // passes on to it.
  enum class Editing { None, Activate, Typing };

  // What a display that draws nothing but its background says it shows.
  static inline const QString kDarkText = QStringLiteral("apagado");

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

  Editing editing() const { return editing_; }
  void setEditing(Editing editing);

  // The characters the display draws, in upper case and in order (padding
  // zeros included, blanks left out), or kDarkText when it draws none.
  QString shownText() const;

  // Raises OnClick, as a mouse click does.
  void click() { emit clicked(); }

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
  void keyPressEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  // The value with the padding its alignment gives it.
  QString paddedText() const;

  QString value_ = QStringLiteral("0000");
  int digits_ = 4;
  DisplayAlignment alignment_ = Right;
  bool leading_zeros_ = false;
  QColor bckgnd_color_{0, 0, 0};
  QColor digit_on_color_{0, 255, 0};
  QColor digit_off_color_{0, 64, 0};
  Editing editing_ = Editing::None;
  bool pressed_ = false;
  ChangeAnnouncer* announcer_ = nullptr;
  QImage bitmap_;  // the off-screen bitmap, the control's own size
};

}  // namespace orben
