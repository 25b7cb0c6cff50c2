// The scenarios the desktop and the browser edition share, played on the
// real windows from the one table of expected outcomes in tests/scenarios
// that the browser tests read too: the same cells, listing, marked line
// and messages in both.

#include <QFile>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTextBlock>

#include <utility>

#include "editor_support.h"
#include "widgets/digital_display.h"
#include "widgets/hex_editor.h"

#include "gui_support.h"

using namespace orben::testing;

namespace {

QJsonObject scenario(const QString& name) {
  QFile file(QStringLiteral(ORBEN_SCENARIOS "/") + name + QStringLiteral(".json"));
  if (!file.open(QIODevice::ReadOnly)) return {};
  return QJsonDocument::fromJson(file.readAll()).object();
}

QStringList texts(const QJsonValue& array) {
  QStringList list;
  for (const QJsonValue& v : array.toArray()) list << v.toString();
  return list;
}

// The listing's marked line, the one of the next instruction.
QString markedLine(const Program& program) {
  const int line = find<QWidget>(QStringLiteral("Listado"))->property("currentLine").toInt();
  return line >= 0 ? program.listing().value(line) : QString();
}

// An answer for the next box: its title and text as expected, then the
// button of `answer` pressed (Aceptar, or the one that skips the rest).
ModalScript::Answer answerBox(const QString& title, const QString& text, const QString& answer) {
  return [=](QWidget* modal) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    QVERIFY(box);
    QCOMPARE(box->windowTitle(), title);
    QCOMPARE(box->text(), QString(text).replace(u'\r', u'\n'));
    auto* skip = box->findChild<QAbstractButton*>(QStringLiteral("OmitirAvisos"));
    QCOMPARE(skip != nullptr, answer != QStringLiteral("Aceptar"));
    if (skip) QCOMPARE(skip->text(), answer);
    (skip ? skip : box->button(QMessageBox::Ok))->click();
  };
}

// A key as a browser names it ("Tab", "Control+t", "ArrowUp"): the key and
// its modifiers.
std::pair<int, Qt::KeyboardModifiers> qtKey(const QString& name) {
  static const QHash<QString, int> keys = {
      {QStringLiteral("Tab"), Qt::Key_Tab},        {QStringLiteral("Backspace"), Qt::Key_Backspace},
      {QStringLiteral("Home"), Qt::Key_Home},      {QStringLiteral("End"), Qt::Key_End},
      {QStringLiteral("ArrowUp"), Qt::Key_Up},     {QStringLiteral("ArrowDown"), Qt::Key_Down},
      {QStringLiteral("ArrowLeft"), Qt::Key_Left}, {QStringLiteral("ArrowRight"), Qt::Key_Right},
      {QStringLiteral("PageUp"), Qt::Key_PageUp},  {QStringLiteral("PageDown"), Qt::Key_PageDown},
      {QStringLiteral("Insert"), Qt::Key_Insert},  {QStringLiteral("t"), Qt::Key_T},
      {QStringLiteral("F2"), Qt::Key_F2},          {QStringLiteral("F4"), Qt::Key_F4},
      {QStringLiteral("F9"), Qt::Key_F9},
  };
  const bool ctrl = name.startsWith(QStringLiteral("Control+"));
  const QString key = ctrl ? name.mid(8) : name;
  return {keys.value(key, 0), ctrl ? Qt::ControlModifier : Qt::NoModifier};
}

// The grid's caret as the table writes it: byte, area, digit.
QString caretText(const orben::THexEditor& grid) {
  return QStringLiteral("%1:%2:%3")
      .arg(grid.caretByteIndex(), 5, 16, QLatin1Char('0'))
      .toUpper()
      .arg(grid.caretArea() == orben::THexEditor::Area::Text ? 1 : 0)
      .arg(grid.caretNibble());
}

// The cursor of the editor to `line` and `column` (from 1).
void cursorTo(int line, int column) {
  QTextCursor cursor(sourceText()->document()->findBlockByNumber(line - 1));
  cursor.movePosition(QTextCursor::Right, QTextCursor::MoveAnchor, column - 1);
  sourceText()->setTextCursor(cursor);
}

}  // namespace

class SharedScenariosTest : public QObject {
  Q_OBJECT

 private slots:
  void suma() {
    const QJsonObject table = scenario(QStringLiteral("suma"));
    QVERIFY(!table.isEmpty());
    Program program;
    click("BOnOff");
    program.script.then(
        chooseFile(QStringLiteral(ORBEN_EXAMPLES "/") + table[QStringLiteral("file")].toString()));
    trigger("Cargarprogramaobjeto1");
    QVERIFY(program.script.done());
    QCOMPARE(program.listing(), texts(table[QStringLiteral("listing")]));
    key("0000");
    for (const QJsonValue& entry : table[QStringLiteral("steps")].toArray()) {
      const QJsonObject step = entry.toObject();
      const QString action = step[QStringLiteral("action")].toString();
      const QStringList messages = texts(step[QStringLiteral("messages")]);
      if (action == QStringLiteral("Ejecutar")) click("BEjecutar");
      if (action == QStringLiteral("Continuar")) click("BContinuar");
      if (action == QStringLiteral("timed run")) startTimedRun(program, value("PC"));
      QTRY_COMPARE(program.script.messages.size(), messages.size());
      QCOMPARE(program.script.takeMessages(), messages);
      const QJsonObject cells = step[QStringLiteral("cells")].toObject();
      for (auto cell = cells.begin(); cell != cells.end(); ++cell) {
        QVERIFY2(value(cell.key()) == cell.value().toString(),
                 qPrintable(action + QStringLiteral(": ") + cell.key()));
      }
      QCOMPARE(markedLine(program), step[QStringLiteral("marked")].toString());
    }
    QVERIFY(lit("LPP"));
  }

  void grid() {
    const QJsonObject table = scenario(QStringLiteral("grid"));
    QVERIFY(!table.isEmpty());
    Program program;
    click("BOnOff");
    trigger("InicializarMemoria1");
    program.script.then([](QWidget* dialog) {
      auto* box = qobject_cast<QMessageBox*>(dialog);
      QVERIFY(box && box->button(QMessageBox::Yes));
      QCOMPARE(box->windowTitle(), QStringLiteral("Modo Desensamblador"));
      box->button(QMessageBox::Yes)->click();
    });
    trigger("Mododesensamblador1");
    QVERIFY(program.script.done());
    auto* grid = find<orben::THexEditor>(QStringLiteral("Memoria"));
    grid->setFocus();
    for (const QJsonValue& entry : table[QStringLiteral("steps")].toArray()) {
      const QJsonObject step = entry.toObject();
      const QString typed = step[QStringLiteral("type")].toString();
      const QString pressed = step[QStringLiteral("press")].toString();
      if (!typed.isEmpty()) {
        QTest::keyClicks(grid, typed);
      } else {
        const auto [key, modifiers] = qtKey(pressed);
        QVERIFY2(key != 0, qPrintable(pressed));
        QTest::keyClick(grid, static_cast<Qt::Key>(key), modifiers);
      }
      const QString what = typed.isEmpty() ? pressed : typed;
      QCOMPARE(caretText(*grid), step[QStringLiteral("caret")].toString());
      const QJsonObject rows = step[QStringLiteral("rows")].toObject();
      for (auto row = rows.begin(); row != rows.end(); ++row) {
        const long long at = row.key().toLongLong(nullptr, 16);
        QCOMPARE(QStringList({grid->rowText(at, orben::THexEditor::Area::Digits),
                              grid->rowText(at, orben::THexEditor::Area::Text)}),
                 texts(row.value()));
      }
      const QJsonObject listing = step[QStringLiteral("listing")].toObject();
      for (auto lines = listing.begin(); lines != listing.end(); ++lines) {
        const QString start = QStringLiteral("[") + lines.key() + QStringLiteral("]");
        QStringList found;
        for (const QString& line : program.listing()) {
          if (line.startsWith(start)) found << line;
        }
        QVERIFY2(found == texts(lines.value()), qPrintable(what));
      }
      if (step.contains(QStringLiteral("top"))) {
        QCOMPARE(
            QStringLiteral("%1").arg(grid->firstVisibleRow(), 4, 16, QLatin1Char('0')).toUpper(),
            step[QStringLiteral("top")].toString());
      }
    }
  }

  void ide() {
    const QJsonObject table = scenario(QStringLiteral("ide"));
    QVERIFY(!table.isEmpty());
    QFile file(QStringLiteral(ORBEN_EXAMPLES "/") + table[QStringLiteral("file")].toString());
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QStringList mistake = texts(table[QStringLiteral("mistake")]);
    const QString mistaken = QString::fromUtf8(file.readAll()).replace(mistake[0], mistake[1]);
    Program program;
    const UnsavedLeftBehind discard;
    click("BOnOff");
    trigger("MNuevo_fuente");
    QWidget* editor = find<QWidget>(QStringLiteral("TEditorFuente"));
    for (const QJsonValue& entry : table[QStringLiteral("steps")].toArray()) {
      const QJsonObject step = entry.toObject();
      const QString what =
          QString::fromUtf8(QJsonDocument(step).toJson(QJsonDocument::Compact)).left(60);
      const QMap<QString, QString> before = displays();
      const QJsonArray cursor = step[QStringLiteral("cursor")].toArray();
      if (!cursor.isEmpty()) cursorTo(cursor[0].toInt(), cursor[1].toInt());
      const QString typed = step[QStringLiteral("type")].toString();
      if (typed.startsWith(u'<')) {
        // Its comments are Spanish: put in as pasted, not typed key by key.
        sourceText()->selectAll();
        sourceText()->insertPlainText(mistaken);
      } else if (!typed.isEmpty()) {
        QTest::keyClicks(sourceText(), typed);
      }
      if (step.contains(QStringLiteral("press"))) {
        const auto [key, modifiers] = qtKey(step[QStringLiteral("press")].toString());
        QVERIFY2(key != 0, qPrintable(what));
        editor->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(editor));
        QTest::keyClick(sourceText(), static_cast<Qt::Key>(key), modifiers);
      }
      if (step.contains(QStringLiteral("click"))) click(step[QStringLiteral("click")].toString());
      if (step.contains(QStringLiteral("timed"))) {
        startTimedRun(program, step[QStringLiteral("timed")].toString());
      }
      if (step.contains(QStringLiteral("timed")) ||
          step[QStringLiteral("press")] == QStringLiteral("F4")) {
        QTRY_VERIFY2(lit("LPP"), qPrintable(what));
      }
      if (step.contains(QStringLiteral("messages"))) {
        QCOMPARE(messageTexts(), texts(step[QStringLiteral("messages")]));
      }
      if (step.contains(QStringLiteral("lineaPC"))) {
        QCOMPARE(sourceText()->property("lineaPC").toInt(),
                 step[QStringLiteral("lineaPC")].toInt());
      }
      if (step.contains(QStringLiteral("puntosDeParada"))) {
        QList<int> expected;
        for (const QJsonValue& line : step[QStringLiteral("puntosDeParada")].toArray())
          expected << line.toInt();
        QCOMPARE(sourceText()->property("puntosDeParada").value<QList<int>>(), expected);
      }
      const QJsonObject cells = step[QStringLiteral("cells")].toObject();
      for (auto cell = cells.begin(); cell != cells.end(); ++cell) {
        QVERIFY2(value(cell.key()) == cell.value().toString(), qPrintable(what + cell.key()));
      }
      if (step.contains(QStringLiteral("listing"))) {
        QCOMPARE(program.listing(), texts(step[QStringLiteral("listing")]));
      }
      if (step.contains(QStringLiteral("cursorLine"))) {
        QCOMPARE(sourceText()->textCursor().blockNumber() + 1,
                 step[QStringLiteral("cursorLine")].toInt());
      }
      if (step.contains(QStringLiteral("boxes"))) QVERIFY(program.script.takeMessages().isEmpty());
      if (step[QStringLiteral("changedAreTheDisplaysThatChanged")].toBool()) {
        checkChangedDisplays(before);
      }
    }
  }

  void loads() {
    const QJsonObject table = scenario(QStringLiteral("loads"));
    QVERIFY(!table.isEmpty());
    const QString title = table[QStringLiteral("title")].toString();
    for (const QJsonValue& entry : table[QStringLiteral("loads")].toArray()) {
      const QJsonObject load = entry.toObject();
      const QString name = load[QStringLiteral("name")].toString();
      QTemporaryDir folder;
      Program program;
      click("BOnOff");
      program.script.then(
          chooseFile(writeFile(folder, load[QStringLiteral("file")].toString(),
                               load[QStringLiteral("contents")].toString().toUtf8())));
      for (const QJsonValue& b : load[QStringLiteral("boxes")].toArray()) {
        const QJsonObject box = b.toObject();
        program.script.then(answerBox(title, box[QStringLiteral("text")].toString(),
                                      box[QStringLiteral("answer")].toString()));
      }
      trigger("Cargarprogramaobjeto1");
      QVERIFY2(program.script.done(), qPrintable(name));
      if (!load[QStringLiteral("listing")].isNull()) {
        QVERIFY2(program.listing() == texts(load[QStringLiteral("listing")]), qPrintable(name));
      }
    }
  }
};

QTEST_MAIN(SharedScenariosTest)
#include "shared_scenarios_test.moc"
