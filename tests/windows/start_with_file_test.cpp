// orben FILE, as a file manager starts it: with an object file, TUKA-2 is
// switched on as a press of On/Off switches it on, then the file is loaded
// as if chosen in DAbrir, so that the program is still in memory when the
// window comes up; a source opens in the source editor.

#include <QPlainTextEdit>
#include <QTemporaryDir>

#include <sys/stat.h>

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

  // A missing file, a pipe and a file of another kind give the load
  // command's own box, in Spanish as every box: the I/O error names the
  // file and the reason, the system's for a missing file and ORBEN's own
  // for a pipe. The window stays up, switched on, and holds no program: not
  // even the words of the refused file, which is a whole EHC program under
  // a .txt name.
  void aMissingOrRefusedFileSaysSoAndLeavesTuka2On() {
    QTemporaryDir folder;
    QFile sum(QStringLiteral(ORBEN_EXAMPLES "/suma.ehc"));
    QVERIFY(sum.open(QIODevice::ReadOnly));
    const QString refused = writeFile(folder, "programa.txt", sum.readAll());
    const QString pipe = folder.filePath("tubo.ehc");
    QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    const QString missing = folder.filePath("falta.ehc");
    const std::vector<Word> words = wordsOf(sum.fileName());
    const QString io_error = QStringLiteral("Error de entrada/salida: ");
    // Boxes show each '\r' of a machine message as a line break.
    const QString bad_extension =
        QString::fromStdString(std::string(orben::kBadExtensionMessage)).replace(u'\r', u'\n');
    const struct {
      QString path;
      QString shown;  // the whole box, or its beginning with `exact` false
      bool exact;
    } cases[] = {
        {missing, io_error + missing + u'\n', false},
        {pipe, io_error + pipe + QStringLiteral("\nNo es un archivo normal"), true},
        {refused, bad_extension, true},
    };
    for (const auto& [path, shown, exact] : cases) {
      Program program(path);
      QTRY_COMPARE(program.script.messages.size(), 1);
      const QString message = program.script.takeMessages().first();
      if (exact) {
        QCOMPARE(message, shown);
      } else {
        // The reason after the line break is the system's, in its language.
        QVERIFY2(message.startsWith(shown) && message.size() > shown.size(), qPrintable(message));
      }
      QVERIFY(program.window()->isVisible());
      QVERIFY(lit("LOn") && lit("LPP"));
      QVERIFY(program.listing().isEmpty());
      int same = 0;
      for (const Word& word : words) {
        same +=
            QString::fromLatin1(program.machine().ReadMemoryWord(word.address).view()) == word.text;
      }
      QVERIFY2(same < static_cast<int>(words.size()), qPrintable(path));
    }
  }

  // A source (.asm or .s, in any capitals) opens in the source editor,
  // loaded nowhere: TUKA-2 stays off as it starts.
  void aSourceOpensInTheEditor() {
    QTemporaryDir folder;
    const QByteArray text = "bucle: LDI RD, bucle\r\n  BR\r\n";
    for (const char* name : {"programa.asm", "PROGRAMA.S"}) {
      Program program(writeFile(folder, name, text));
      auto* editor = find<QWidget>(QStringLiteral("TEditorFuente"));
      QTRY_VERIFY(editor->isVisible());
      QCOMPARE(find<QPlainTextEdit>(QStringLiteral("Texto_Fuente"))->toPlainText().toUtf8(),
               QByteArray(text).replace("\r\n", "\n"));
      QVERIFY(!lit("LOn"));
      QVERIFY(program.listing().isEmpty());
      QVERIFY(program.script.messages.isEmpty());
    }
  }
};

QTEST_MAIN(StartWithFileTest)
#include "start_with_file_test.moc"
