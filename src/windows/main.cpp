#include "windows/main.h"

#include <QApplication>
#include <QScreen>

#include "windows/main_window.h"

namespace orben {

QMainWindow* StartOrben() {
  QApplication::setApplicationName(QStringLiteral("ORBEN, el IDE para TUKA-2"));
  auto* window = new MainWindow();
  window->setAttribute(Qt::WA_DeleteOnClose);
  window->createPortWindows();
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    QRect frame = window->frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    window->move(frame.topLeft());
  }
  window->show();
  return window;
}

}  // namespace orben
