#pragma once

#include <QDir>
#include <QEvent>
#include <QObject>
#include <QString>
#include <QTest>
#include <QWidget>

namespace orben::testing {

// Where the tests leave their pictures for a person to look at.
inline QString picturesDir() {
  const QString dir = qEnvironmentVariable("ORBEN_PICTURES", QStringLiteral("pictures"));
  QDir().mkpath(dir);
  return dir;
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

}  // namespace orben::testing
