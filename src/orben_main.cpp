#include <QApplication>
#include <QCommandLineParser>
#include <QMainWindow>
#include <QPointer>

#include <cstring>

#include "windows/main.h"

namespace {

void describe(QCommandLineParser& parser) {
  parser.setApplicationDescription(
      QStringLiteral("ORBEN, el IDE para TUKA-2: the TUKA-2 educational computer's front panel, "
                     "internal panel, memory, listing and ports."));
  parser.addHelpOption();
  parser.addVersionOption();
  parser.addPositionalArgument(
      QStringLiteral("FILE"),
      QStringLiteral("an object program (.EHC or .HEX) to load at start, or "
                     "a source to open in the editor"),
      QStringLiteral("[FILE]"));
}

// --help and --version answer on the terminal and need no display.
bool onlyAsksForText(int argc, char* argv[]) {
  for (int i = 1; i < argc; ++i) {
    for (const char* option : {"-h", "--help", "--help-all", "-v", "--version"}) {
      if (std::strcmp(argv[i], option) == 0) return true;
    }
  }
  return false;
}

}  // namespace

int main(int argc, char* argv[]) {
  if (onlyAsksForText(argc, argv)) {
    QCoreApplication core(argc, argv);
    QCoreApplication::setApplicationVersion(QStringLiteral(ORBEN_VERSION));
    QCommandLineParser parser;
    describe(parser);
    parser.process(core);  // prints and exits
    return 0;
  }
  QApplication app(argc, argv);
  QApplication::setApplicationVersion(QStringLiteral(ORBEN_VERSION));
  QCommandLineParser parser;
  describe(parser);
  parser.process(app);
  const QStringList files = parser.positionalArguments();
  const QPointer<QMainWindow> window =
      orben::StartOrben(files.isEmpty() ? QString() : files.first());
  const int status = QApplication::exec();
  // A window closed under one of its boxes is deleted once the box has
  // answered, which may come after the event loop has ended.
  delete window.data();
  return status;
}
