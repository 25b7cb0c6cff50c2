#include <QApplication>
#include <QMainWindow>
#include <QPointer>

#include "windows/main.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  const QPointer<QMainWindow> window = orben::StartOrben();
  const int status = QApplication::exec();
  // A window closed under one of its boxes is deleted once the box has
  // answered, which may come after the event loop has ended.
  delete window.data();
  return status;
}
