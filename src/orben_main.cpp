#include <QApplication>
#include <QCommandLineParser>
#include <QLibraryInfo>
#include <QLocale>
#include <QMainWindow>
#include <QPointer>
#include <QTranslator>

#include <cstring>

#include "text/catalog.h"
#include "windows/main.h"

namespace {

QString fromUtf8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The help is for the terminal: in the language of the locale, as tuka2's.
void describe(QCommandLineParser& parser) {
  parser.setApplicationDescription(
      fromUtf8(orben::tr("ORBEN, el IDE para TUKA-2: the TUKA-2 educational computer's front "
                         "panel, internal panel, memory, listing and ports.")));
  // Qt's own help option has no Spanish text: this one has.
  parser.addOption(QCommandLineOption({QStringLiteral("h"), QStringLiteral("help")},
                                      fromUtf8(orben::tr("Print this help message and exit"))));
  parser.addVersionOption();
  const QString file = fromUtf8(orben::tr("FILE"));
  parser.addPositionalArgument(
      file,
      fromUtf8(orben::tr("an object program (.EHC or .HEX) to load at start, or a source "
                         "(.asm) to open in the editor")),
      QStringLiteral("[%1]").arg(file));
}

// Qt's own words of the help (Usage, Options) in Spanish too.
void helpInSpanish() {
  auto* translator = new QTranslator(qApp);
  if (translator->load(QLocale(QLocale::Spanish), QStringLiteral("qtbase"), QStringLiteral("_"),
                       QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    QCoreApplication::installTranslator(translator);
  }
}

// --help and --version answer on the terminal and need no display.
bool onlyAsksForText(int argc, char* argv[]) {
  for (int i = 1; i < argc; ++i) {
    for (const char* option : {"-h", "--help", "-v", "--version"}) {
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
    orben::setLanguage(orben::languageFromEnvironment());
    if (orben::currentLanguage() == orben::Language::Spanish) helpInSpanish();
    QCommandLineParser parser;
    describe(parser);
    parser.process(core);  // --version prints and exits
    parser.showHelp(0);
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
