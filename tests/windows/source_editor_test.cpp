// The Programa menu and the source editor TEditorFuente: the items as the
// menu shows them, Ensamblar y cargar from either window, the title and the
// unsaved-changes question, and a source's bytes kept across open and save.

#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QStatusBar>
#include <QTextBlock>
#include <QToolButton>

#include "assembler/assembler.h"
#include "editor_support.h"
#include "gui_support.h"
#include "text/language.h"

using namespace orben::testing;

namespace {

QByteArray contents(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  return file.readAll();
}
// An answer for the unsaved-changes question: checks its text and presses
// the button of `caption`.
ModalScript::Answer answerSave(const QString& name, const QString& caption) {
  return [name, caption](QWidget* modal) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    QVERIFY(box);
    QCOMPARE(box->text(), QStringLiteral("¿Guardar los cambios de %1?").arg(name));
    QStringList captions;
    for (QAbstractButton* button : box->buttons()) captions << button->text();
    captions.sort();
    QCOMPARE(captions, (QStringList{"Cancelar", "No", "Sí"}));
    for (QAbstractButton* button : box->buttons()) {
      if (button->text() == caption) button->click();
    }
  };
}
ModalScript::Answer saveInto(const QString& path) {
  return [path](QWidget* dialog) {
    auto* files = qobject_cast<QFileDialog*>(dialog);
    QVERIFY(files && files->objectName() == QStringLiteral("DGuardar_Fuente"));
    nameFile(files, path);
    QMetaObject::invokeMethod(files, "accept");
  };
}

}  // namespace

class SourceEditorTest : public QObject {
  Q_OBJECT

 private slots:
  void theProgramaMenuHoldsItsItemsInOrder() {
    Program program;
    const UnsavedLeftBehind discard;
    auto* button = find<QToolButton>(QStringLiteral("ToolButton3"));
    QVERIFY(button);
    QCOMPARE(button->text(), QStringLiteral("Programa"));
    auto* before = find<QToolButton>(QStringLiteral("ToolButton2"));
    QVERIFY(button->mapToGlobal(QPoint()).x() > before->mapToGlobal(QPoint()).x());
    QVERIFY(!button->icon().isNull());
    struct Item {
      const char* name;
      QString text;
      QKeySequence keys;
      bool enabled;
    };
    const Item items[] = {
        {"MNuevo_fuente", "Nuevo programa fuente", {}, true},
        {"MAbrir_fuente", "Abrir programa fuente (.ASM)…", {}, true},
        {"MGuardar_fuente", "Guardar programa fuente", {}, true},
        {"MGuardar_fuente_como", "Guardar programa fuente como…", {}, true},
        {nullptr, {}, {}, true},
        {"MEnsamblar_y_cargar", "Ensamblar y cargar", QKeySequence(QStringLiteral("F9")), true},
        {"MComprobar_casos", "Comprobar con casos (.TOML)…", {}, true},
        {nullptr, {}, {}, true},
        {"MPunto_de_parada", "Poner/Quitar punto de parada", QKeySequence(QStringLiteral("F2")),
         true},
        {"MEjecutar_hasta_cursor", "Ejecutar hasta el cursor", QKeySequence(QStringLiteral("F4")),
         true},
        // Nothing executed yet: nothing to take back.
        {"MPaso_atras", "Paso atrás", QKeySequence(QStringLiteral("Ctrl+Backspace")), false},
        {nullptr, {}, {}, true},
        {"MGuardar_memoria", "Guardar memoria como programa objeto…", {}, false},
        {"MEditor_fuente", "Esconder/Mostrar el editor de programa fuente", {}, true},
    };
    const QList<QAction*> actions = button->menu()->actions();
    QCOMPARE(actions.size(), qsizetype(std::size(items)));
    for (qsizetype i = 0; i < actions.size(); ++i) {
      const Item& item = items[i];
      QAction* action = actions[i];
      if (item.name == nullptr) {
        QVERIFY2(action->isSeparator(), qPrintable(QString::number(i)));
        continue;
      }
      QCOMPARE(action->objectName(), QString::fromLatin1(item.name));
      QCOMPARE(action->text(), item.text);
      QCOMPARE(action->shortcut(), item.keys);
      QCOMPARE(action->isEnabled(), item.enabled);
      if (!item.keys.isEmpty()) QCOMPARE(action->shortcutContext(), Qt::ApplicationShortcut);
    }
  }

  // An error: listed at its line and column, the cursor there, nothing
  // loaded. Corrected: loaded as the same words from an object file load,
  // the keypad keyed with the first address.
  void ensamblarYCargarListsErrorsOrLoadsTheProgram() {
    Program program;
    const UnsavedLeftBehind discard;
    click("BOnOff");
    QTemporaryDir folder;
    // The words of the corrected program, by hand: LLI R1, 5 is 2105, LHI
    // R1, 0 3100, HALT F000; loaded from an object file for the listing.
    loadFile(program, folder, "mismo.ehc", "0010 2105\r\n0011 F000\r\n");
    const QStringList object_listing = program.listing();
    QCOMPARE(object_listing.last(), QStringLiteral("[0011]: HALT"));
    program.tuka().power.initialiseMemoryAndListing();
    const QStringList listing_before = program.listing();
    const QString before_0010 =
        QString::fromStdString(program.machine().ReadMemoryWord(0x10).str());
    const QString keypad_before = value(QStringLiteral("Teclado"));

    trigger("MNuevo_fuente");
    QVERIFY(editorWindow()->isVisible());
    const QString wrong = QStringLiteral("        ORG H'0010\n        LLI R1, 5\n        FOO R2\n");
    typeSource(wrong);
    sourceText()->moveCursor(QTextCursor::Start);
    // F9 with the focus in the editor: a shortcut goes to the active window.
    editorWindow()->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(editorWindow()));
    QTest::keyClick(sourceText(), Qt::Key_F9);
    // Line 3's mnemonic at column 9, in Spanish as the assembler words it.
    // Every message, warnings too, as the assembler gives them; the cursor
    // at the first error, line 3's unknown mnemonic at column 9.
    QStringList expected;
    const orben::assembler::Diagnostic* first_error = nullptr;
    const auto assembled = orben::assembler::AssembleText(wrong.toStdString());
    for (const auto& d : assembled.diagnostics) {
      expected << QStringLiteral("%1:%2: %3")
                      .arg(d.line)
                      .arg(d.column)
                      .arg(QString::fromStdString(d.message.in(orben::Language::Spanish)));
      if (!first_error && d.severity == orben::assembler::Severity::Error) first_error = &d;
    }
    QVERIFY(first_error && first_error->line == 3 && first_error->column == 9);
    QCOMPARE(messageTexts(), expected);
    QCOMPARE(sourceText()->textCursor().blockNumber(), 2);
    QCOMPARE(sourceText()->textCursor().positionInBlock(), 8);
    QCOMPARE(program.listing(), listing_before);
    QCOMPARE(QString::fromStdString(program.machine().ReadMemoryWord(0x10).str()), before_0010);
    QCOMPARE(value(QStringLiteral("Teclado")), keypad_before);
    // Activating the error's message (Return on it) takes the cursor back.
    sourceText()->moveCursor(QTextCursor::Start);
    QListWidget* list = messageList();
    list->setFocus();
    list->setCurrentRow(
        static_cast<int>(expected.indexOf(QRegularExpression(QStringLiteral("^3:9: .*")))));
    QTest::keyClick(list, Qt::Key_Return);
    QCOMPARE(sourceText()->textCursor().blockNumber(), 2);

    typeSource(QStringLiteral("        ORG H'0010\n        LLI R1, 5\n        HALT\n"));
    program.window()->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(program.window()));
    QTest::keyClick(program.window(), Qt::Key_F9);  // the focus in the main window
    QVERIFY(messageTexts().isEmpty());
    QCOMPARE(program.listing(), object_listing);
    QCOMPARE(QString::fromStdString(program.machine().ReadMemoryWord(0x10).str()), "2105");
    QCOMPARE(QString::fromStdString(program.machine().ReadMemoryWord(0x11).str()), "F000");
    QCOMPARE(value(QStringLiteral("Teclado")), QStringLiteral("0010"));
    QVERIFY(!program.window()->findChild<QAction*>("MEnsamblar_y_cargar")->shortcut().isEmpty());
    // Ejecutar runs it from there: one step so far.
    click("BEjecutar");
    QCOMPARE(find<QWidget>(QStringLiteral("Estado_Fuente_Pasos"))->property("text").toString(),
             QStringLiteral("Pasos: 1"));
    QCOMPARE(value(QStringLiteral("PPC")), QStringLiteral("0011"));
  }

  void ensamblarYCargarSwitchesTuka2OnFirst() {
    Program program;
    const UnsavedLeftBehind discard;
    QVERIFY(!lit("LOn"));
    trigger("MNuevo_fuente");
    typeSource(QStringLiteral("        HALT\n"));
    trigger("MEnsamblar_y_cargar");
    QVERIFY(lit("LOn"));
    QCOMPARE(QString::fromStdString(program.machine().ReadMemoryWord(0).str()), "F000");
    QCOMPARE(program.listing(), QStringList{"[0000]: HALT"});
    QCOMPARE(value(QStringLiteral("Teclado")), QStringLiteral("0000"));
  }

  void theTitleShowsTheNameAndAStarWhileUnsaved() {
    Program program;
    const UnsavedLeftBehind discard;
    QTemporaryDir folder;
    trigger("MNuevo_fuente");
    QCOMPARE(editorWindow()->windowTitle(), QStringLiteral("Programa fuente: sin nombre"));
    QCOMPARE(find<QWidget>(QStringLiteral("Estado_Fuente_Archivo"))->property("text").toString(),
             QStringLiteral("sin nombre"));
    QTest::keyClicks(sourceText(), QStringLiteral("HALT"));
    QCOMPARE(editorWindow()->windowTitle(), QStringLiteral("Programa fuente: sin nombre*"));
    const QString path = folder.filePath(QStringLiteral("nuevo.asm"));
    program.script.then(saveInto(path));
    trigger("MGuardar_fuente");  // no name yet: as Guardar como
    QVERIFY(program.script.done());
    QCOMPARE(editorWindow()->windowTitle(), QStringLiteral("Programa fuente: nuevo.asm"));
    QCOMPARE(contents(path), QByteArray("HALT"));
    QTest::keyClicks(sourceText(), QStringLiteral(" "));
    QCOMPARE(editorWindow()->windowTitle(), QStringLiteral("Programa fuente: nuevo.asm*"));
    trigger("MGuardar_fuente");  // into its file, no dialog
    QCOMPARE(contents(path), QByteArray("HALT "));
    QCOMPARE(editorWindow()->windowTitle(), QStringLiteral("Programa fuente: nuevo.asm"));
  }

  void nuevoOverAnUnsavedSourceAsks() {
    Program program;
    const UnsavedLeftBehind discard;
    QTemporaryDir folder;
    const QString path = writeFile(folder, QStringLiteral("viejo.asm"), "HALT\n");
    static_cast<orben::MainWindow*>(program.window())->openSourceFile(path);
    sourceText()->moveCursor(QTextCursor::Start);
    QTest::keyClicks(sourceText(), QStringLiteral("RET"));
    QTest::keyClick(sourceText(), Qt::Key_Return);
    // Cancelar: nothing changes.
    program.script.then(answerSave(QStringLiteral("viejo.asm"), QStringLiteral("Cancelar")));
    trigger("MNuevo_fuente");
    QCOMPARE(sourceText()->toPlainText(), QStringLiteral("RET\nHALT\n"));
    QCOMPARE(editorWindow()->windowTitle(), QStringLiteral("Programa fuente: viejo.asm*"));
    QCOMPARE(contents(path), QByteArray("HALT\n"));
    // Sí: saved, then the new source.
    program.script.then(answerSave(QStringLiteral("viejo.asm"), QStringLiteral("Sí")));
    trigger("MNuevo_fuente");
    QCOMPARE(contents(path), QByteArray("RET\nHALT\n"));
    QCOMPARE(sourceText()->toPlainText(), QString());
    QCOMPARE(editorWindow()->windowTitle(), QStringLiteral("Programa fuente: sin nombre"));
    // No: the new source without saving the typed one.
    QTest::keyClicks(sourceText(), QStringLiteral("HALT"));
    program.script.then(answerSave(QStringLiteral("sin nombre"), QStringLiteral("No")));
    trigger("MNuevo_fuente");
    QCOMPARE(sourceText()->toPlainText(), QString());
    QCOMPARE(editorWindow()->windowTitle(), QStringLiteral("Programa fuente: sin nombre"));
    QVERIFY(program.script.done());
  }

  // orben PROGRAMA.asm opens the source in the editor; untouched, it is
  // saved byte for byte as it came, Windows-1252 and CR LF alike.
  void aWindows1252SourceIsSavedAsItCame() {
    QTemporaryDir folder;
    const QByteArray bytes = "; a\xF1o y \x80\r\n        HALT\r\n";
    const QString path = writeFile(folder, QStringLiteral("ansi.asm"), bytes);
    Program program(path);
    const UnsavedLeftBehind discard;
    QTRY_VERIFY(editorWindow()->isVisible());
    QVERIFY(!lit("LOn"));  // a source is not loaded at start
    QCOMPARE(sourceText()->toPlainText(), QStringLiteral("; año y €\n        HALT\n"));
    QCOMPARE(editorWindow()->windowTitle(), QStringLiteral("Programa fuente: ansi.asm"));
    trigger("MGuardar_fuente");
    QCOMPARE(contents(path), bytes);
    // Edited, still Windows-1252 and CR LF.
    sourceText()->moveCursor(QTextCursor::End);
    sourceText()->insertPlainText(QStringLiteral("; ñ"));  // no key of its own on QTest
    trigger("MGuardar_fuente");
    QCOMPARE(contents(path), bytes + "; \xF1");
  }

  void aUtf8SourceEditedKeepsItsLineFeeds() {
    Program program;
    const UnsavedLeftBehind discard;
    QTemporaryDir folder;
    const QByteArray bytes = "; a\xC3\xB1o\n        HALT\n";
    const QString path = writeFile(folder, QStringLiteral("utf8.asm"), bytes);
    program.script.then([path](QWidget* dialog) {
      auto* files = qobject_cast<QFileDialog*>(dialog);
      QVERIFY(files && files->objectName() == QStringLiteral("DAbrir_Fuente"));
      nameFile(files, path);
      QMetaObject::invokeMethod(files, "accept");
    });
    trigger("MAbrir_fuente");
    QVERIFY(program.script.done());
    sourceText()->moveCursor(QTextCursor::End);
    QTest::keyClicks(sourceText(), QStringLiteral("; fin"));
    QTest::keyClick(sourceText(), Qt::Key_Return);
    trigger("MGuardar_fuente");
    QCOMPARE(contents(path), bytes + "; fin\n");
  }

  void theEditorHidesAndShowsAndItsControlsAreReachedByTab() {
    Program program;
    const UnsavedLeftBehind discard;
    trigger("MEditor_fuente");
    QVERIFY(editorWindow()->isVisible());
    trigger("MEditor_fuente");
    QVERIFY(!editorWindow()->isVisible());
    trigger("MEditor_fuente");
    // From the text, Tab reaches every other control of the editor, each
    // with a Spanish name for a screen reader.
    QWidget* at = sourceText();
    QStringList reached;
    for (int i = 0; i < 4; ++i) {
      QVERIFY2(!at->accessibleName().isEmpty(), qPrintable(at->objectName()));
      QVERIFY(at->focusPolicy() & Qt::TabFocus);
      reached << at->objectName();
      do {
        at = at->nextInFocusChain();
      } while (!(at->focusPolicy() & Qt::TabFocus) || !at->isVisibleTo(editorWindow()));
    }
    QCOMPARE(reached, (QStringList{"Texto_Fuente", "Mensajes_Fuente", "Estado_Fuente_Pasos",
                                   "Estado_Fuente_Archivo"}));
    QCOMPARE(at, sourceText());
  }
};

QTEST_MAIN(SourceEditorTest)
#include "source_editor_test.moc"
