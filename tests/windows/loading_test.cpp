// Loads as a careless or unlucky user meets them: a large program, a slow
// load stopped from its progress, a storm of corrupt-line boxes cut short,
// and the main window closed while a load's box is open.

#include <QLabel>
#include <QProgressDialog>
#include <QPushButton>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <cstdio>
#include <string>

#include "gui_support.h"

using namespace orben::testing;

namespace {

std::string hex4(unsigned value) {
  char text[5];
  std::snprintf(text, sizeof text, "%04X", value & 0xFFFF);
  return text;
}

// The highest resident size of this process so far, in bytes.
long long peakResident() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<long long>(usage.ru_maxrss) * 1024;
}

}  // namespace

class LoadingTest : public QObject {
  Q_OBJECT

 private slots:
  // 8 MB of the shortest EHC lines, 2 million of them: the load raises the
  // program's peak memory by at most four times the file's size and a few
  // megabytes, every line listed.
  void aLargeProgramLoadsInLittleMemory() {
    Program program;
    // However long it takes here, no progress: only the memory is measured.
    static_cast<orben::MainWindow*>(program.window())->adapter().setLoadProgressDelay(3'600'000);
    QTemporaryDir folder;
    std::string text;
    for (unsigned i = 0; text.size() < 8'000'000; ++i) text += "0 0\n";
    const long long before = peakResident();
    loadFile(program, folder, "grande.EHC", QByteArray::fromStdString(text));
    const long long grown = peakResident() - before;
    QCOMPARE(program.tuka().listing.count(), static_cast<int>(text.size() / 4));
    QCOMPARE(QString::fromStdString(program.tuka().listing.line(0)),
             QStringLiteral("[0000]: LD R0, [RD+H'00]"));
#if defined(__SANITIZE_ADDRESS__)
    QSKIP("AddressSanitizer's shadow memory and redzones count in the resident size");
#endif
    QVERIFY2(grown <= 4 * static_cast<long long>(text.size()) + (16 << 20),
             qPrintable(QStringLiteral("grew %1 MB").arg(grown >> 20)));
  }

  // A load that goes on shows "Cargando programa objeto…" with Cancelar;
  // Cancelar stops reading, and what was read stays, listed as usual.
  void aSlowLoadShowsItsProgressAndCanBeStopped() {
    Program program;
    static_cast<orben::MainWindow*>(program.window())->adapter().setLoadProgressDelay(0);
    QTemporaryDir folder;
    std::string text;
    for (unsigned i = 0; text.size() < 12'000'000; ++i) {
      text.append(hex4(i % 0xF000)).append(" 2105\r\n");
    }
    QString shown;
    loadFile(program, folder, "lento.EHC", QByteArray::fromStdString(text), [&](QWidget* modal) {
      auto* progress = qobject_cast<QProgressDialog*>(modal);
      QVERIFY(progress);
      shown = progress->findChild<QLabel*>()->text() + "|" + progress->windowTitle();
      progress->findChild<QPushButton*>()->click();
    });
    QCOMPARE(shown, QStringLiteral("Cargando programa objeto…|ORBEN, el IDE para TUKA-2"));
    const int listed = program.tuka().listing.count();
    QVERIFY2(listed > 0 && listed < static_cast<int>(text.size() / 11),
             qPrintable(QString::number(listed)));
    QCOMPARE(QString::fromStdString(program.tuka().listing.line(listed - 1)).mid(6),
             QStringLiteral(": LLI R1, H'05"));
    QTRY_VERIFY(find<QProgressDialog>("Progreso_Carga") == nullptr);
  }

  // 10,000 corrupt lines, each after a record: the first ten boxes are
  // plain, the eleventh offers "Omitir los demás avisos", and after it no
  // box comes; every record is stored and the listing holds the record
  // after the last corrupt line.
  void theRestOfManyBoxesCanBeSkipped() {
    Program program;
    QTemporaryDir folder;
    std::string text;
    for (unsigned i = 0; i < 10000; ++i) {
      text.append(":02").append(hex4(i)).append("00").append(hex4(~i)).append("EF\r\n");
      text.append("basura\r\n");
    }
    text.append(":020FFF00F000EF\r\n");
    program.script.then(
        chooseFile(writeFile(folder, "tormenta.hex", QByteArray::fromStdString(text))));
    QStringList plain;
    for (int n = 0; n < 10; ++n) {
      program.script.then([&plain](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        QVERIFY(box && box->findChild<QAbstractButton*>("OmitirAvisos") == nullptr);
        plain << box->text();
        box->button(QMessageBox::Ok)->click();
      });
    }
    program.script.then([](QWidget* modal) {
      auto* skip = modal->findChild<QAbstractButton*>("OmitirAvisos");
      QVERIFY(skip);
      QCOMPARE(skip->text(), QStringLiteral("Omitir los demás avisos"));
      skip->click();
    });
    trigger("Cargarprogramaobjeto1");
    QCOMPARE(
        plain,
        QStringList(10, QStringLiteral("ERROR: Archivo HEX corrupto\nMire la línea: (BASURA)")));
    QVERIFY(program.script.done());
    QCOMPARE(program.listing(), QStringList{"[0FFF]: HALT"});
    for (unsigned address : {0u, 1u, 4567u, 9999u}) {
      QCOMPARE(QString::fromLatin1(program.machine().ReadMemoryWord(address).view()),
               QString::fromStdString(hex4(~address)));
    }
  }

  // The main window closed from code while a load's box is open: the box
  // is answered, no further box opens, and the window goes once the load
  // has returned, without freeing anything twice.
  void closingTheWindowUnderABox() {
    Program program;
    QPointer<QMainWindow> window = program.window();
    QTemporaryDir folder;
    loadFile(program, folder, "mal.hex", "uno\r\ndos\r\ntres\r\n:020001002105EF\r\n",
             [window](QWidget* modal) {
               QVERIFY(qobject_cast<QMessageBox*>(modal));
               window->close();
             });
    QVERIFY(program.script.done());
    QVERIFY(program.script.takeMessages().isEmpty());
    QTRY_VERIFY(window.isNull());
  }
};

QTEST_MAIN(LoadingTest)
#include "loading_test.moc"
