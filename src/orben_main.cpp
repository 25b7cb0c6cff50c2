#include <QApplication>

#include "windows/main.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  orben::StartOrben();
  return QApplication::exec();
}
