#pragma once

#include <QPixmap>
#include <QString>
#include <QWidget>

namespace orben {

class ChangeAnnouncer;

// A lamp: two images of the same size lying exactly on top of each other,
// the off image (always shown) and the on image above it, shown only while
// the lamp is lit. Each image is a child widget carrying its own name
// ("Z_OFF", "Z_ON"), so a window finds them by name. A click on either image
// raises clicked().
//
// A clickable lamp (a flag's) also takes the keyboard focus, framing itself
// while it has it, and Space clicks it. To assistive technology a lamp is
// lit or not: a check box when clickable, an indicator otherwise; each
// change is announced, at most a few times a second.
class Lamp : public QWidget {
  Q_OBJECT

 public:
  Lamp(const QString& off_name, const QString& on_name, const QPixmap& off, const QPixmap& on,
       QWidget* parent = nullptr);

  bool isLit() const;
  void setLit(bool lit);
  // The cursor over both images (the hand for the clickable flag lamps).
  void setImageCursor(const QCursor& cursor);

  bool isClickable() const { return focusPolicy() != Qt::NoFocus; }
  void setClickable(bool clickable);
  // Raises clicked(), as a click on an image does.
  void click() { emit clicked(); }

 signals:
  void clicked();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  QWidget* on_image_ = nullptr;
  ChangeAnnouncer* announcer_ = nullptr;
};

}  // namespace orben
