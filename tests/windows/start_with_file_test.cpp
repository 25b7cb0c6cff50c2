// orben FILE, as a file manager starts it: with an object file, TUKA-2 is
// switched on as a press of On/Off switches it on, then the file is loaded
// as if chosen in DAbrir, so that the program is still in memory when the
// window comes up; any other file opens in the source editor.

#include <QPlainTextEdit>
#include <QTemporaryDir>

#include <map>
#include <utility>
#include <vector>

#include "gui_support.h"

using namespace orben::testing;

namespace {

struct Word {
  unsigned address;
  QString text;
  QString comment;  // the instruction as its author wrote it
};

// The words of an example EHC file, read here from its first two columns
// and the comment after them.
std::vector<Word> wordsOf(const QString& ehc) {
  QFile file(ehc);
  if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
    QTest::qFail(qPrintable(ehc), __FILE__, __LINE__);
    return {};
  }
  std::vector<Word> words;
  while (!file.atEnd()) {
    const QString whole = QString::fromUtf8(file.readLine());
    const QString line = whole.section(u';', 0, 0).simplified();
    if (line.isEmpty()) continue;
    words.push_back({line.section(u' ', 0, 0).toUInt(nullptr, 16), line.section(u' ', 1, 1),
                     whole.section(u';', 1, 1).trimmed()});
  }
  return words;
}

QString hex4(unsigned value) {
  return QStringLiteral("%1").arg(value, 4, 16, QLatin1Char('0')).toUpper();
}

// What a press of On/Off decides, whatever the random source draws: the
// lamps, which controls answer, the menu's captions and the registers'
// power-on values.
std::map<QString, QString> switchedOnState() {
  std::map<QString, QString> state;
  for (const char* lamp : {"LOn", "LPP"}) state[lamp] = lit(lamp) ? "lit" : "dark";
  for (const char* control : {"BPasoPaso", "T0", "TF", "BDireccion", "BEjecutar", "BContinuar"})
    state[control] = find<QWidget>(control)->isEnabled() ? "enabled" : "disabled";
  for (const char* item : {"MApagar_TUKA2", "MModoPasoapaso"}) {
    const QAction* action = find<QAction>(item);
    state[item] = action->text() + (action->isEnabled() ? "" : " (off)");
  }
  for (int n = 0; n < 16; ++n) {
    const QString name = QStringLiteral("R%1").arg(n, 1, 16).toUpper();
    state[name] = value(name);
  }
  return state;
}

}  // namespace

class StartWithFileTest : public QObject {
  Q_OBJECT

 private slots:
  // Both kinds of object file: the window comes up on and step by step,
  // memory holds the file's words, the listing has a line for each of them
  // in order (for suma, whose comments are written as the listing shows
  // them, each line exactly), and Ejecutar from the keyed first address
  // executes the program's first instruction (an LLI in every example).
  void theWindowComesUpOnWithTheProgram() {
    struct Case {
      const char* file;
      const char* twin;  // the EHC file with the same words
      bool comments_as_listed;
    };
    for (const auto& [file, twin, comments_as_listed] :
         {Case{"suma.ehc", "suma.ehc", true}, Case{"llena.hex", "llena.ehc", false}}) {
      const std::vector<Word> words = wordsOf(QStringLiteral(ORBEN_EXAMPLES "/") + twin);
      QVERIFY(words.size() >= 2);
      Program program(QStringLiteral(ORBEN_EXAMPLES "/") + file);
      QVERIFY2(lit("LOn") && lit("LPP"), file);
      QVERIFY(program.machine().powerOn());
      QCOMPARE(program.machine().stepMode(), orben::StepMode::StepByStep);
      QTRY_COMPARE(program.listing().size(), static_cast<int>(words.size()));
      QVERIFY(program.script.takeMessages().isEmpty());
      for (std::size_t i = 0; i < words.size(); ++i) {
        QCOMPARE(QString::fromLatin1(program.machine().ReadMemoryWord(words[i].address).view()),
                 words[i].text);
        const QString line = program.listing()[static_cast<int>(i)];
        const QString place = QStringLiteral("[%1]: ").arg(hex4(words[i].address));
        if (comments_as_listed) {
          QCOMPARE(line, place + words[i].comment);
        } else {
          QVERIFY2(line.startsWith(place), qPrintable(line));
        }
      }

      const Word& first = words.front();
      QCOMPARE(first.text.front(), QLatin1Char('2'));  // LLI Ra, nn: Ra := 00nn
      key(hex4(first.address));
      click("BEjecutar");
      // The PC has moved on to the next word, which IR shows.
      QCOMPARE(value("PC"), hex4(first.address + 1));
      QCOMPARE(words[1].address, first.address + 1);
      QCOMPARE(value("IR"), words[1].text);
      QCOMPARE(value(QStringLiteral("R") + first.text[1]),
               QStringLiteral("00") + first.text.mid(2));
      QVERIFY(program.script.takeMessages().isEmpty());
    }
  }

  // Switched on by the file, the window is as a press of On/Off leaves a
  // window started without one.
  void theFileSwitchesOnAsOnOffDoes() {
    std::map<QString, QString> pressed;
    {
      Program program;
      QCOMPARE(switchedOnState()["LOn"], QStringLiteral("dark"));
      click("BOnOff");
      pressed = switchedOnState();
    }
    Program program(QStringLiteral(ORBEN_EXAMPLES "/suma.ehc"));
    QTRY_COMPARE(program.listing().size(), 5);
    QCOMPARE(switchedOnState(), pressed);
    QCOMPARE(pressed["MApagar_TUKA2"], QStringLiteral("Apagar TUKA-2"));
  }

  // A missing object file gives the load command's own box; the window
  // stays up, switched on, and holds no program. A file of any other name
  // is a source: it opens in the source editor, loaded nowhere, even when
  // it holds a whole EHC program under a .txt name.
  void aMissingOrRefusedFileSaysSoAndLeavesTuka2On() {
    QTemporaryDir folder;
    QFile sum(QStringLiteral(ORBEN_EXAMPLES "/suma.ehc"));
    QVERIFY(sum.open(QIODevice::ReadOnly));
    const QByteArray program_text = sum.readAll();
    const QString refused = writeFile(folder, "programa.txt", program_text);
    const std::vector<Word> words = wordsOf(sum.fileName());
    for (const QString& path : {folder.filePath("falta.ehc"), refused}) {
      Program program(path);
      auto* editor = find<QWidget>(QStringLiteral("TEditorFuente"));
      if (path == refused) {
        QTRY_VERIFY(editor->isVisible());
        QCOMPARE(find<QPlainTextEdit>(QStringLiteral("Texto_Fuente"))->toPlainText().toUtf8(),
                 QByteArray(program_text).replace("\r\n", "\n"));
        QVERIFY(!lit("LOn"));
      } else {
        QTRY_COMPARE(program.script.messages.size(), 1);
        const QString message = program.script.takeMessages().first();
        QVERIFY2(message.contains(QStringLiteral("falta.ehc")), qPrintable(message));
        QVERIFY(!editor->isVisible());
        QVERIFY(lit("LOn") && lit("LPP"));
      }
      QVERIFY(program.window()->isVisible());
      QVERIFY(program.listing().isEmpty());
      int same = 0;
      for (const Word& word : words) {
        same +=
            QString::fromLatin1(program.machine().ReadMemoryWord(word.address).view()) == word.text;
      }
      QVERIFY2(same < static_cast<int>(words.size()), qPrintable(path));
    }
  }
};

QTEST_MAIN(StartWithFileTest)
#include "start_with_file_test.moc"
