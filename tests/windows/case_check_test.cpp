// Comprobar con casos (.TOML)…: the program last loaded graded on a cases
// file, the results in the editor's messages below the assembler's, a
// failed case prepared on the machine by activating it and stepped there
// to the very words the grader reported; the box without a program and a
// cases file with an error.

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
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

// The table the browser tests read too: a program that doubles input
// port 02 onto output port 01 (its first line draws the assembler's warning
// on a negative displacement), its cases and what the check shows.
QJsonObject table() {
  QFile file(QStringLiteral(ORBEN_SCENARIOS "/cases.json"));
  if (!file.open(QIODevice::ReadOnly)) return {};
  return QJsonDocument::fromJson(file.readAll()).object();
}
QString entry(const char* name) {
  return table()[QString::fromLatin1(name)].toString();
}

}  // namespace

class CaseCheckTest : public QObject {
  Q_OBJECT

 private slots:
  void listsVerdictsAndStepsAFailedCase() {
    Program program;
    const UnsavedLeftBehind discard;
    QTemporaryDir folder;
    const QString cases = writeFile(folder, entry("casesName"), entry("cases").toUtf8());
    typeAndLoad(entry("source"));
    const QStringList diagnostics = messageTexts();
    QCOMPARE(diagnostics.size(), qsizetype(1));  // the warning
    QVERIFY(diagnostics.first().startsWith(QStringLiteral("1:")));
    find<QWidget>(QStringLiteral("TEditorFuente"))->hide();

    checkWith(program, cases);
    // The verdict in a column two wider than the longer word (BIEN), the
    // points as earned/possible; a hidden case without its differences.
    QStringList expected = diagnostics;
    for (const QJsonValue& line : table()[QStringLiteral("lines")].toArray())
      expected << line.toString();
    QTRY_COMPARE(messageTexts(), expected);
    QVERIFY(find<QWidget>(QStringLiteral("TEditorFuente"))->isVisible());
    // Grading leaves the user's machine as it was: F9 keyed 0000.
    QCOMPARE(value(QStringLiteral("Teclado")), QStringLiteral("0000"));

    // A hidden case is not set up: its inputs stay unseen.
    click("BOnOff");
    QVERIFY(!lit("LOn"));
    activate(entry("hidden"));
    QVERIFY(!lit("LOn"));

    // The failed case: switched on, its input in port 02, step mode lit.
    activate(entry("failed"));
    QVERIFY(lit("LOn"));
    QVERIFY(lit("LPP"));
    const QJsonObject prepared = table()[QStringLiteral("prepared")].toObject();
    for (auto cell = prepared.begin(); cell != prepared.end(); ++cell) {
      QCOMPARE(value(cell.key()), cell.value().toString());
    }
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
    typeAndLoad(entry("source"));
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
    typeAndLoad(entry("source"));
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
