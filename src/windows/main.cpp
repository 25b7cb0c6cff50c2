#include "windows/main.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QScreen>
#include <QTimer>
#include <QTranslator>

#include "assembler/object_name.h"
#include "windows/main_window.h"

namespace orben {

namespace {

// Qt's own words (the buttons of the boxes, the file dialog) in Spanish, as
// every text of the program is, where the translations are installed.
void speakSpanish() {
  static const QString kName = QStringLiteral("orben_qtbase_es");
  if (qApp->findChild<QTranslator*>(kName)) return;
  auto* translator = new QTranslator(qApp);
  translator->setObjectName(kName);
  if (translator->load(QLocale(QLocale::Spanish), QStringLiteral("qtbase"), QStringLiteral("_"),
                       QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    QCoreApplication::installTranslator(translator);
  }
}

}  // namespace

QMainWindow* StartOrben(const QString& file) {
  QApplication::setApplicationName(QStringLiteral("ORBEN, el IDE para TUKA-2"));
  speakSpanish();
  auto* window = new MainWindow();
  window->setAttribute(Qt::WA_DeleteOnClose);
  window->createPortWindows();
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    QRect frame = window->frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    window->move(frame.topLeft());
  }
  if (file.isEmpty()) {
    window->show();
    return window;
  }
  if (assembler::isAssemblySourceName(file.toStdString())) {
    // A source: opened in the editor, TUKA-2 left as it starts.
    window->show();
    QTimer::singleShot(0, window, [window, file] { window->openSourceFile(file); });
    return window;
  }
  // Switched on before the file is loaded: switching on initialises memory
  // (while that option is checked, as it is at start) and would wipe a
  // program loaded while TUKA-2 was off.
  window->switchOn();
  window->show();
  // After the first paint, so that its boxes come over the window.
  QTimer::singleShot(0, window, [window, file] { window->openObjectFile(file); });
  return window;
}

}  // namespace orben
