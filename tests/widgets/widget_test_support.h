#pragma once

#include <QColor>
#include <QEvent>
#include <QImage>
#include <QObject>
#include <QRect>
#include <QTest>
#include <QWidget>

#include <initializer_list>

namespace orben::testing {

// Fills a QTest data table from a list of cases: one column `column` of
// the case type (declared with Q_DECLARE_METATYPE), one row per case,
// named by the case's `name`.
template <typename Case>
void addCases(const char* column, std::initializer_list<Case> cases) {
  QTest::addColumn<Case>(column);
  for (const Case& c : cases) QTest::newRow(c.name) << c;
}

// Counts the paint events that reach the widget it filters.
class PaintCounter : public QObject {
 public:
  int paints = 0;
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++paints;
    return QObject::eventFilter(watched, event);
  }
};

// Shows the widget and waits until its first paints are over.
inline bool showAndSettle(QWidget& widget) {
  widget.show();
  if (!QTest::qWaitForWindowExposed(&widget)) return false;
  QTest::qWait(20);
  return true;
}

// The widget's picture, one 32-bit colour per pixel.
inline QImage snapshot(QWidget& widget) {
  return widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// The smallest rectangle holding every pixel of `image` that is not
// `background` (empty when there is none).
inline QRect inkBounds(const QImage& image, const QColor& background) {
  QRect bounds;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if (image.pixelColor(x, y) != background) bounds |= QRect(x, y, 1, 1);
    }
  }
  return bounds;
}

// Pixels of exactly `colour` in `image`.
inline int countColour(const QImage& image, const QColor& colour) {
  int n = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) n += image.pixelColor(x, y) == colour ? 1 : 0;
  }
  return n;
}

}  // namespace orben::testing
