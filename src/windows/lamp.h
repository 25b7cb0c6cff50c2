#pragma once

#include <QPixmap>
#include <QString>
#include <QWidget>

namespace orben {

// A lamp: two images of the same size lying exactly on top of each other,
// the off image (always shown) and the on image above it, shown only while
// the lamp is lit. Each image is a child widget carrying its own name
// ("Z_OFF", "Z_ON"), so a window finds them by name. A click on either image
// raises clicked().
class Lamp : public QWidget {
  Q_OBJECT

 public:
  Lamp(const QString& off_name, const QString& on_name, const QPixmap& off, const QPixmap& on,
       QWidget* parent = nullptr);

  bool isLit() const;
  void setLit(bool lit);
  // The cursor over both images (the hand for the clickable flag lamps).
  void setImageCursor(const QCursor& cursor);

 signals:
  void clicked();

 private:
  QWidget* on_image_ = nullptr;
};

}  // namespace orben
