// Comprobar con casos (.TOML)…: the program last loaded graded on a cases
// file, the results in the editor's messages below the assembler's, a
// failed case prepared on the machine by activating it and stepped there
// to the very words the grader reported; the box without a program and a
// cases file with an error.

#include <QListWidget>
#include <QPlainTextEdit>
#include <QRegularExpression>

#include "editor_support.h"
#include "grader/cases.h"
#include "gui_support.h"
#include "text/language.h"

using namespace orben::testing;

namespace {

// Types the source into the editor and loads it with F9.
void typeAndLoad(const QString& text) {
  trigger("MNuevo_fuente");
  QWidget* editor = find<QWidget>(QStringLiteral("TEditorFuente"));
  editor->activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(editor));
  typeSource(text);
  QTest::keyClick(sourceText(), Qt::Key_F9);
}
// An answer for DAbrir_Casos: checks its filter and chooses `path`.
ModalScript::Answer chooseCases(const QString& path) {
  return [path](QWidget* dialog) {
    auto* files = qobject_cast<QFileDialog*>(dialog);
    QVERIFY(files && files->objectName() == QStringLiteral("DAbrir_Casos"));
    QCOMPARE(files->nameFilters(), QStringList{QStringLiteral("Casos (*.toml *.TOML)")});
    nameFile(files, path);
    QMetaObject::invokeMethod(files, "accept");
  };
}
void checkWith(Program& program, const QString& path) {
  program.script.then(chooseCases(path));
  trigger("MComprobar_casos");
}
// Activates the message of `text` with Enter, as a user does.
void activate(const QString& text) {
  QListWidget* list = messageList();
  const auto row = static_cast<int>(messageTexts().indexOf(text));
  QVERIFY2(row >= 0, qPrintable(text));
  list->setFocus();
  list->setCurrentRow(row);
  QTest::keyClick(list, Qt::Key_Return);
}

// Doubles input port 02 onto output port 01 (and R2); its first line draws
// the assembler's warning on a negative displacement.
const QString kDoubles = QStringLiteral(
    "        LD R1, [RD-3]\n"
    "        IN R1, H'02\n"
    "        ADDS R2, R1, R1\n"
    "        OUT H'01, R2\n"
    "        HALT");

const QByteArray kCases = R"toml(title = "Doble"
[[case]]
name = "15H da 2AH"
inputs = { "02" = "0015" }
expect.outputs = { "01" = "002A" }

[[case]]
name = "3 da 7"
points = 2
inputs = { "02" = "0003" }
expect.outputs = { "01" = "0007" }
expect.registers = { R2 = "0005" }

[[case]]
name = "oculto"
hidden = true
inputs = { "02" = "0004" }
expect.outputs = { "01" = "0009" }
)toml";

}  // namespace

class CaseCheckTest : public QObject {
  Q_OBJECT

 private slots:
  void listsVerdictsAndStepsAFailedCase() {
    Program program;
    const UnsavedLeftBehind discard;
    QTemporaryDir folder;
    const QString cases = writeFile(folder, QStringLiteral("doble.toml"), kCases);
    typeAndLoad(kDoubles);
    const QStringList diagnostics = messageTexts();
    QCOMPARE(diagnostics.size(), qsizetype(1));  // the warning
    QVERIFY(diagnostics.first().startsWith(QStringLiteral("1:")));
    find<QWidget>(QStringLiteral("TEditorFuente"))->hide();

    checkWith(program, cases);
    // The verdict in a column two wider than the longer word (BIEN), the
    // points as earned/possible; a hidden case without its differences.
    const QStringList expected =
        diagnostics + QStringList{
                          "Casos de doble.toml: Doble",
                          "BIEN  15H da 2AH  (1/1 punto)",
                          "MAL   3 da 7  (0/2 puntos)",
                          "puerto de salida 01: se esperaba 0007 y hay 0006",
                          "registro R2: se esperaba 0005 y hay 0006",
                          "MAL   oculto  (0/1 punto)",
                          "Total: 1/4 puntos, 1/3 casos",
                      };
    QTRY_COMPARE(messageTexts(), expected);
    QVERIFY(find<QWidget>(QStringLiteral("TEditorFuente"))->isVisible());
    // Grading leaves the user's machine as it was: F9 keyed 0000.
    QCOMPARE(value(QStringLiteral("Teclado")), QStringLiteral("0000"));

    // A hidden case is not set up: its inputs stay unseen.
    click("BOnOff");
    QVERIFY(!lit("LOn"));
    activate(QStringLiteral("MAL   oculto  (0/1 punto)"));
    QVERIFY(!lit("LOn"));

    // The failed case: switched on, its input in port 02, step mode lit.
    activate(QStringLiteral("puerto de salida 01: se esperaba 0007 y hay 0006"));
    QVERIFY(lit("LOn"));
    QVERIFY(lit("LPP"));
    QCOMPARE(value(QStringLiteral("PIN_02")), QStringLiteral("0003"));
    QCOMPARE(value(QStringLiteral("Teclado")), QStringLiteral("0000"));
    click("BEjecutar");
    for (int step = 0; step < 4; ++step) click("BContinuar");
    QCOMPARE(program.script.takeMessages(), QStringList{QStringLiteral("Fin la ejecución :-)")});
    // Each cell the grader called wrong holds what the grader found there.
    const QRegularExpression found(QStringLiteral("^(.*): se esperaba [0-9A-F]{4} y hay (.{4})$"));
    int compared = 0;
    for (const QString& line : expected) {
      const auto match = found.match(line);
      if (!match.hasMatch()) continue;
      const QString display = match.captured(1) == QStringLiteral("puerto de salida 01")
                                  ? QStringLiteral("PO_01")
                                  : QStringLiteral("R2");
      QCOMPARE(value(display), match.captured(2));
      ++compared;
    }
    QCOMPARE(compared, 2);
    QCOMPARE(find<QWidget>(QStringLiteral("Estado_Fuente_Pasos"))->property("text").toString(),
             QStringLiteral("Pasos: 5"));
  }

  // The program last loaded is graded: after the source, an object file.
  void gradesTheObjectFileLoadedLast() {
    Program program;
    const UnsavedLeftBehind discard;
    typeAndLoad(kDoubles);
    QFile object(QStringLiteral(ORBEN_EXAMPLES "/doble_entrada.ehc"));
    QVERIFY(object.open(QIODevice::ReadOnly));
    QTemporaryDir folder;
    loadFile(program, folder, QStringLiteral("doble_entrada.ehc"), object.readAll());
    checkWith(program, QStringLiteral(ORBEN_EXAMPLES "/doble_entrada.toml"));
    QTRY_VERIFY(messageTexts().last().startsWith(QStringLiteral("Total: ")));
    QCOMPARE(messageTexts().last(), QStringLiteral("Total: 4/4 puntos, 4/4 casos"));
    QCOMPARE(messageTexts().filter(QRegularExpression(QStringLiteral("^BIEN  "))).size(),
             qsizetype(4));
  }

  void withoutAProgramOnlyTheBox() {
    Program program;
    trigger("MComprobar_casos");
    QCOMPARE(program.script.takeMessages(),
             QStringList{QStringLiteral(
                 "Cargue antes un programa: Ensamblar y cargar o Cargar programa objeto.")});
  }

  // Each error as the grader words it in Spanish, at its line and column.
  void aCasesFileWithAnErrorListsIt() {
    Program program;
    const UnsavedLeftBehind discard;
    QTemporaryDir folder;
    const QByteArray wrong = "[[case]]\nname = \"a\"\npoints = \"tres\"\n";
    const QString cases = writeFile(folder, QStringLiteral("malo.toml"), wrong);
    typeAndLoad(kDoubles);
    const QStringList diagnostics = messageTexts();
    checkWith(program, cases);
    const auto parsed = orben::grader::ParseCases(wrong.toStdString(), "malo.toml");
    QVERIFY(!parsed.cases && !parsed.errors.empty());
    QStringList expected = diagnostics + QStringList{QStringLiteral("Casos de malo.toml")};
    for (const auto& e : parsed.errors) {
      QVERIFY(e.line > 0);
      expected << QStringLiteral("%1:%2: %3")
                      .arg(e.line)
                      .arg(e.column)
                      .arg(QString::fromStdString(e.message.in(orben::Language::Spanish)));
    }
    QCOMPARE(messageTexts(), expected);
    QVERIFY(expected.last().startsWith(QStringLiteral("3:")));
  }
};

QTEST_MAIN(CaseCheckTest)
#include "case_check_test.moc"
