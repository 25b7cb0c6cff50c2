// The scenarios the desktop and the browser edition share, played on the
// real windows from the one table of expected outcomes in tests/scenarios
// that the browser tests read too: the same cells, listing, marked line
// and messages in both.

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

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
};

QTEST_MAIN(SharedScenariosTest)
#include "shared_scenarios_test.moc"
