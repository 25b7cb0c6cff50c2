// Guardar memoria como programa objeto: the dialog TDiag_Guardar_Memoria,
// its defaults before and after Ensamblar y cargar, its refusals, a save in
// each format read back through Cargar programa objeto, Cancelar, and the
// menu item following the power.

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QPushButton>

#include "gui_support.h"

using namespace orben::testing;

namespace {

// ORG 0008 puts one word (DW), ORG 0020 three (LDI is two, then HALT): the
// words from 0008 to 0022, those between 0009 and 001F of no line.
const QString kProgram = QStringLiteral(
    "        ORG H'0020\n"
    "        LDI R1, H'1234\n"
    "        HALT\n"
    "        ORG H'0008\n"
    "        DW H'ABCD\n");
constexpr int kFirst = 0x0008;
constexpr int kLast = 0x0022;

QLineEdit* field(QWidget* dialog, const char* name) {
  return dialog->findChild<QLineEdit*>(QString::fromLatin1(name));
}
QStringList words(const Program& program, int first, int last) {
  QStringList texts;
  for (int a = first; a <= last; ++a)
    texts << QString::fromStdString(program.machine().ReadMemoryWord(a).str());
  return texts;
}
QStringList fileLines(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  QStringList lines = QString::fromUtf8(file.readAll()).split(QStringLiteral("\r\n"));
  if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
  return lines;
}
// Ensamblar y cargar with F9 in the editor, as a user does.
void assembleProgram() {
  trigger("MNuevo_fuente");
  typeSource(kProgram);
  QWidget* editor = find<QWidget>(QStringLiteral("TEditorFuente"));
  editor->activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(editor));
  QTest::keyClick(sourceText(), Qt::Key_F9);
}
// An answer for TDiag_Guardar_Memoria: checks it, types the two addresses
// (each when given) and presses Guardar… once the answer has returned, so
// that what Guardar… opens is answered by the script's next answers; the
// dialog, when it stays open, comes back to the answer after those.
ModalScript::Answer saveRange(const QString& first = {}, const QString& last = {}) {
  return [first, last](QWidget* dialog) {
    QCOMPARE(dialog->objectName(), QStringLiteral("TDiag_Guardar_Memoria"));
    if (!first.isNull()) field(dialog, "Desde")->setText(first);
    if (!last.isNull()) field(dialog, "Hasta")->setText(last);
    auto* save = dialog->findChild<QPushButton*>(QStringLiteral("Guardar"));
    QVERIFY(save);
    QMetaObject::invokeMethod(save, &QPushButton::click, Qt::QueuedConnection);
  };
}
// An answer for the dialog come back after a refusal or a failed save:
// still open with what was typed, then Cancelar.
ModalScript::Answer stillOpenThenCancel(const QString& first = {}) {
  return [first](QWidget* dialog) {
    QCOMPARE(dialog->objectName(), QStringLiteral("TDiag_Guardar_Memoria"));
    QVERIFY(dialog->isVisible());
    if (!first.isNull()) QCOMPARE(field(dialog, "Desde")->text(), first);
    press(dialog, "Cancelar");
  };
}
// An answer for a message box of exactly `text`.
ModalScript::Answer box(const QString& text) {
  return [text](QWidget* modal) {
    auto* shown = qobject_cast<QMessageBox*>(modal);
    QVERIFY(shown);
    QCOMPARE(shown->text(), text);
    shown->button(QMessageBox::Ok)->click();
  };
}
// An answer for DGuardar_Memoria: the name typed (`filter` chosen first,
// when given), then Guardar.
ModalScript::Answer saveAs(const QString& path, const QString& filter = {}) {
  return [path, filter](QWidget* dialog) {
    auto* files = qobject_cast<QFileDialog*>(dialog);
    QVERIFY(files && files->objectName() == QStringLiteral("DGuardar_Memoria"));
    QCOMPARE(files->acceptMode(), QFileDialog::AcceptSave);
    if (!filter.isEmpty()) {
      // Chosen as a user chooses it, with the keys of the filter's list.
      auto* filters = files->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
      QVERIFY(filters);
      while (filters->currentText() != filter && filters->currentIndex() + 1 < filters->count())
        QTest::keyClick(filters, Qt::Key_Down);
      QCOMPARE(filters->currentText(), filter);
    }
    nameFile(files, path);
    QMetaObject::invokeMethod(files, "accept");
  };
}

}  // namespace

class MemorySaveTest : public QObject {
  Q_OBJECT

 private slots:
  void theItemIsEnabledOnlyWhileTuka2IsOn() {
    Program program;
    auto* item = find<QAction>(QStringLiteral("MGuardar_memoria"));
    QVERIFY(item);
    QVERIFY(!lit("LOn"));
    QVERIFY(!item->isEnabled());
    click("BOnOff");
    QVERIFY(item->isEnabled());
    click("BOnOff");
    QVERIFY(!item->isEnabled());
  }

  // Before any source: 0000..0000. After Ensamblar y cargar: the source's
  // lowest to highest word. The controls in Tab order, each named.
  void theDefaultsAreTheWordsOfTheLoadedSource() {
    Program program;
    const UnsavedLeftBehind discard;
    click("BOnOff");
    program.script.then([](QWidget* dialog) {
      QCOMPARE(dialog->objectName(), QStringLiteral("TDiag_Guardar_Memoria"));
      QCOMPARE(dialog->windowTitle(), QStringLiteral("Guardar memoria como programa objeto"));
      QCOMPARE(field(dialog, "Desde")->text(), QStringLiteral("0000"));
      QCOMPARE(field(dialog, "Hasta")->text(), QStringLiteral("0000"));
      // Each caption labels its own field.
      QStringList captions;
      for (auto* label : dialog->findChildren<QLabel*>()) {
        captions << label->text();
        const char* owner =
            label->text() == QStringLiteral("Primera dirección:") ? "Desde" : "Hasta";
        QCOMPARE(label->buddy(), field(dialog, owner));
      }
      captions.sort();
      QCOMPARE(captions, (QStringList{"Primera dirección:", "Última dirección:"}));
      auto* save = dialog->findChild<QPushButton*>(QStringLiteral("Guardar"));
      auto* cancel = dialog->findChild<QPushButton*>(QStringLiteral("Cancelar"));
      QVERIFY(save && cancel);
      QCOMPARE(save->text(), QStringLiteral("Guardar…"));
      QCOMPARE(cancel->text(), QStringLiteral("Cancelar"));
      // Tab walks Desde, Hasta, Guardar…, Cancelar and back to Desde.
      const QList<QWidget*> order = {field(dialog, "Desde"), field(dialog, "Hasta"), save, cancel,
                                     field(dialog, "Desde")};
      QCOMPARE(dialog->focusWidget(), order.first());
      for (qsizetype i = 1; i < order.size(); ++i) {
        QTest::keyClick(dialog->focusWidget(), Qt::Key_Tab);
        QCOMPARE(dialog->focusWidget(), order[i]);
        QVERIFY(!order[i]->accessibleName().isEmpty());
      }
      press(dialog, "Cancelar");
    });
    trigger("MGuardar_memoria");
    QVERIFY(program.script.done());

    assembleProgram();
    program.window()->activateWindow();
    program.script.then([](QWidget* dialog) {
      QCOMPARE(field(dialog, "Desde")->text(),
               QStringLiteral("%1").arg(kFirst, 4, 16, QLatin1Char('0')).toUpper());
      QCOMPARE(field(dialog, "Hasta")->text(),
               QStringLiteral("%1").arg(kLast, 4, 16, QLatin1Char('0')).toUpper());
      press(dialog, "Cancelar");
    });
    trigger("MGuardar_memoria");
    QVERIFY(program.script.done());
  }

  // Saved in each format, then memory filled anew and the file loaded
  // through Cargar programa objeto: the same words at the same addresses.
  void aSaveInEachFormatLoadsBackTheSameWords() {
    Program program;
    const UnsavedLeftBehind discard;
    click("BOnOff");
    assembleProgram();
    program.window()->activateWindow();
    const QStringList saved = words(program, kFirst - 1, kLast + 1);
    QTemporaryDir folder;
    struct Case {
      QString typed;    // the name typed in DGuardar_Memoria
      QString filter;   // the filter chosen first, if any
      QString written;  // the file that must come of it
    };
    const Case cases[] = {
        {QStringLiteral("prog.ehc"), {}, QStringLiteral("prog.ehc")},
        {QStringLiteral("prog"), {}, QStringLiteral("prog.EHC")},
        {QStringLiteral("otro"), QStringLiteral("Intel Standard HEX (*.hex)"),
         QStringLiteral("otro.HEX")},
    };
    for (const Case& c : cases) {
      program.script.thenLeaveOpen(saveRange());
      program.script.then(saveAs(folder.filePath(c.typed), c.filter));
      trigger("MGuardar_memoria");
      QVERIFY2(program.script.done(), qPrintable(c.typed));
      const QString path = folder.filePath(c.written);
      QVERIFY2(QFileInfo::exists(path), qPrintable(path));
      const QStringList lines = fileLines(path);
      if (c.written.endsWith(QStringLiteral(".HEX"))) {
        QCOMPARE(lines.size(), kLast - kFirst + 2);  // a record a word, the end record
        QCOMPARE(lines.first(),
                 QStringLiteral(":020008") + QStringLiteral("00ABCD") +
                     QStringLiteral("%1")
                         .arg((0x100 - (2 + 8 + 0xAB + 0xCD)) & 0xFF, 2, 16, QLatin1Char('0'))
                         .toUpper());
        QCOMPARE(lines.last(), QStringLiteral(":00000001FF"));
      } else {
        QCOMPARE(lines.size(), kLast - kFirst + 1);
        QCOMPARE(lines.first(), QStringLiteral("0008 ABCD ; DW H'ABCD"));
        QCOMPARE(lines[1], QStringLiteral("0009 ") + saved[2]);  // no line: no comment
        QCOMPARE(lines[0x20 - kFirst], QStringLiteral("0020 2134 ; LDI R1, H'1234"));
        QCOMPARE(lines[0x21 - kFirst], QStringLiteral("0021 3112 ; LDI R1, H'1234"));
        QCOMPARE(lines.last(), QStringLiteral("0022 F000 ; HALT"));
      }

      program.tuka().power.initialiseMemoryAndListing();
      QVERIFY(words(program, kFirst, kLast) != saved.mid(1, kLast - kFirst + 1));
      const QStringList around = {words(program, kFirst - 1, kFirst - 1).first(),
                                  words(program, kLast + 1, kLast + 1).first()};
      program.script.then(chooseFile(path));
      trigger("Cargarprogramaobjeto1");
      QVERIFY(program.script.done());
      QCOMPARE(words(program, kFirst, kLast), saved.mid(1, kLast - kFirst + 1));
      // Only the range was written.
      QCOMPARE(words(program, kFirst - 1, kFirst - 1).first(), around[0]);
      QCOMPARE(words(program, kLast + 1, kLast + 1).first(), around[1]);
    }
  }

  // A range the wrong way round or an address that is not 1 to 4
  // hexadecimal digits: the box, the dialog still open, no file dialog.
  void aBadRangeIsRefusedAndTheDialogStaysOpen() {
    Program program;
    click("BOnOff");
    const QString reversed =
        QStringLiteral("La primera dirección debe ser menor o igual que la última.");
    const QString bad = QStringLiteral("Escriba una dirección de 1 a 4 cifras hexadecimales.");
    struct Case {
      QString first;
      QString last;
      QString message;
    };
    const Case cases[] = {
        {QStringLiteral("0011"), QStringLiteral("0010"), reversed},
        {QStringLiteral("FFFF"), QStringLiteral("0"), reversed},
        {QStringLiteral("12G"), QStringLiteral("0010"), bad},
        {QStringLiteral("0000"), QString(""), bad},
        {QStringLiteral("10000"), QStringLiteral("FFFF"), bad},
        {QStringLiteral(" 10"), QStringLiteral("0020"), bad},
    };
    for (const Case& c : cases) {
      program.script.thenLeaveOpen(saveRange(c.first, c.last));
      program.script.then(box(c.message));
      program.script.then(stillOpenThenCancel(c.first));
      trigger("MGuardar_memoria");
      QVERIFY2(program.script.done(), qPrintable(c.first + QStringLiteral("..") + c.last));
    }
  }

  // Cancelar, in the dialog or in DGuardar_Memoria (the dialog then stays
  // open), writes nothing.
  void cancelarWritesNothing() {
    Program program;
    click("BOnOff");
    QTemporaryDir folder;
    // Cancelar at once: no file dialog comes.
    program.script.then([](QWidget* dialog) { press(dialog, "Cancelar"); });
    trigger("MGuardar_memoria");
    QVERIFY(program.script.done());
    program.script.thenLeaveOpen(saveRange(QStringLiteral("0"), QStringLiteral("EFFF")));
    program.script.then([&folder](QWidget* dialog) {
      auto* files = qobject_cast<QFileDialog*>(dialog);
      QVERIFY(files && files->objectName() == QStringLiteral("DGuardar_Memoria"));
      nameFile(files, folder.filePath(QStringLiteral("nada.ehc")));
      files->reject();
    });
    program.script.then(stillOpenThenCancel(QStringLiteral("0")));
    trigger("MGuardar_memoria");
    QVERIFY(program.script.done());
    QVERIFY(QDir(folder.path()).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden));
    QVERIFY(!find<QWidget>(QStringLiteral("TDiag_Guardar_Memoria")) ||
            !find<QWidget>(QStringLiteral("TDiag_Guardar_Memoria"))->isVisible());
  }

  // A file that cannot be written: the file-error box the other saves show,
  // nothing left behind, the dialog still open.
  void aWriteErrorShowsTheFileErrorBox() {
    Program program;
    click("BOnOff");
    QTemporaryDir folder;
    const QString gone = folder.filePath(QStringLiteral("borrada"));
    QVERIFY(QDir().mkdir(gone));
    const QString path = gone + QStringLiteral("/m.ehc");
    program.script.thenLeaveOpen(saveRange());
    program.script.then([path, gone](QWidget* dialog) {
      auto* files = qobject_cast<QFileDialog*>(dialog);
      QVERIFY(files && files->objectName() == QStringLiteral("DGuardar_Memoria"));
      nameFile(files, path);
      QVERIFY(QDir(gone).removeRecursively());  // the folder goes before the write
      QMetaObject::invokeMethod(files, "accept");
    });
    program.script.then([path](QWidget* modal) {
      auto* box = qobject_cast<QMessageBox*>(modal);
      QVERIFY(box);
      QCOMPARE(box->icon(), QMessageBox::Critical);
      QVERIFY2(box->text().startsWith(QStringLiteral("Error de entrada/salida: ") + path +
                                      QLatin1Char('\n')),
               qPrintable(box->text()));
      box->button(QMessageBox::Ok)->click();
    });
    program.script.then(stillOpenThenCancel());
    trigger("MGuardar_memoria");
    QVERIFY(program.script.done());
    QVERIFY(QDir(folder.path()).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden));
  }
};

QTEST_MAIN(MemorySaveTest)
#include "memory_save_test.moc"
