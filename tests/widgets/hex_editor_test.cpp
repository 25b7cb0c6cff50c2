#include <QApplication>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include <memory>
#include <vector>

#include "widgets/hex_editor.h"
#include "widgets/widget_test_support.h"

using orben::MemoryStore;
using orben::THexEditor;
using orben::testing::addCases;
using orben::testing::snapshot;
using Area = THexEditor::Area;

namespace {

constexpr std::size_t kMachineBytes = MemoryStore::kMachineBytes;
constexpr std::size_t kLastByte = kMachineBytes - 1;
constexpr Area kDigits = Area::Digits;
constexpr Area kText = Area::Text;

// A key pressed on the bytes 12 03 3C 55, byte 1 marked by typing, with
// the caret at `from` ("byte.nibble", or "byte.t" in the text area): the
// caret, bytes and marked bytes afterwards. A key with a text raises
// key-down, key-press and key-up; Backspace, Delete and Insert (text "")
// key-down and key-up; caret keys (no text) only key-up.
struct Key {
  const char *name, *from;
  int key;
  const char *caret, *text = nullptr;
  int modifiers = Qt::NoModifier;
  const char *data = "12033C55", *marked = "1";
};

}  // namespace

Q_DECLARE_METATYPE(Key)

namespace {

// Records the rows each paint draws.
class RecordingHexEditor : public THexEditor {
 public:
  std::vector<long long> paintedRows;
  // Lets pending paints happen, then records afresh.
  void settle() {
    QCoreApplication::processEvents();
    paintedRows.clear();
  }

 protected:
  void paintRow(QPainter& painter, long long row) override {
    paintedRows.push_back(row);
    THexEditor::paintRow(painter, row);
  }
};

// A grid of the memory panel's size showing `store`, on screen.
std::unique_ptr<RecordingHexEditor> shownGrid(MemoryStore& store) {
  auto grid = std::make_unique<RecordingHexEditor>();
  grid->setMemoryStore(&store);
  grid->resize(192, 272);
  grid->show();
  if (!QTest::qWaitForWindowExposed(grid.get())) qWarning("grid window not exposed");
  grid->settle();
  return grid;
}

// The caret as "byte.nibble", or "byte.t" in the text area.
QString caretText(const THexEditor& grid) {
  const bool text = grid.caretArea() == kText;
  return QStringLiteral("%1.%2")
      .arg(grid.caretByteIndex())
      .arg(text ? QStringLiteral("t") : QString::number(grid.caretNibble()));
}

void placeCaret(THexEditor& grid, const QString& caret) {
  const QStringList parts = caret.split(u'.');
  const bool text = parts[1] == u"t";
  grid.setCaret(parts[0].toULongLong(), text ? kText : kDigits, text ? 0 : parts[1].toInt());
}

}  // namespace

class HexEditorTest : public QObject {
  Q_OBJECT

 private slots:
  void rowLabelsAreWordAddressesAndTextIsAscii() {
    MemoryStore store(0x21);  // byte 20 starts row 10
    THexEditor grid;
    grid.setMemoryStore(&store);
    QCOMPARE(grid.rowLabel(0x10), QStringLiteral("H10:"));
    QCOMPARE(grid.rowCount(), 0x11LL);
    QString shown;
    for (int byte : {0, 31, 32, 0x41, 126, 127, 128, 255})
      shown += grid.displayChar(static_cast<std::uint8_t>(byte));
    QCOMPARE(shown, QStringLiteral(".. A~\x7f.."));
  }

  // Typing overwrites the digit or the byte under the caret, through the
  // store, and moves on; a new value marks the byte, an equal one does not;
  // characters the area refuses change nothing. The owning window notes the
  // caret at key-down and reads memory at key-up, so key-down comes before
  // the caret moves, key-press before the edit, key-up after it; caret keys
  // raise only key-up.
  void keysActInOrder_data() {
    const int ctrl = Qt::ControlModifier;
    addCases<Key>(
        "key",
        {
            {"high digit", "2.0", Qt::Key_5, "2.1", "5", 0, "12035C55", "12"},
            {"low digit, lower case", "2.1", Qt::Key_A, "3.0", "a", 0, "12033A55", "12"},
            {"same digit", "2.0", Qt::Key_3, "2.1", "3"},
            {"not a hex digit", "2.0", Qt::Key_G, "2.0", "g"},
            {"digit with Ctrl", "2.0", Qt::Key_5, "2.0", "5", ctrl},
            {"character", "2.t", Qt::Key_A, "3.t", "A", 0, "12034155", "12"},
            {"same character", "2.t", Qt::Key_Less, "3.t", "<"},
            {"space", "2.t", Qt::Key_Space, "3.t", " ", 0, "12032055", "12"},
            {"control character", "2.t", Qt::Key_A, "2.t", "\x01"},
            {"no ASCII value", "2.t", Qt::Key_Eacute, "2.t", "\u00e9"},
            {"Backspace", "3.0", Qt::Key_Backspace, "2.1", ""},
            {"Backspace on the first digit", "0.0", Qt::Key_Backspace, "0.0", ""},
            {"Delete", "2.0", Qt::Key_Delete, "2.0", ""},
            {"Insert clears the marks", "2.0", Qt::Key_Insert, "2.0", "", 0, "12033C55", ""},
            {"right within byte", "0.0", Qt::Key_Right, "0.1"},
            {"down keeps column", "1.1", Qt::Key_Down, "3.1"},
            {"home", "3.1", Qt::Key_Home, "2.0"},
            {"end", "2.0", Qt::Key_End, "3.1"},
            {"ctrl home", "3.t", Qt::Key_Home, "0.t", nullptr, ctrl},
            {"tab to text", "1.1", Qt::Key_Tab, "1.t"},
            {"shift tab to digits", "1.t", Qt::Key_Backtab, "1.0", nullptr, Qt::ShiftModifier},
            {"ctrl t", "0.1", Qt::Key_T, "0.t", nullptr, ctrl},
        });
  }
  void keysActInOrder() {
    QFETCH(Key, key);
    MemoryStore store;
    store.replace({0x12, 0x43, 0x3C, 0x55});
    THexEditor grid;
    grid.setMemoryStore(&store);
    grid.setCaret(1);
    QTest::keyClick(&grid, '0');  // 43 becomes 03, marked
    placeCaret(grid, QString::fromLatin1(key.from));
    // Ctrl and Shift themselves go down and up like any key: left out.
    QStringList log;
    const auto byte2 = [&] { return QString::number(store.byte(2), 16).toUpper(); };
    const auto note = [&](int k, const QString& event) {
      if (k != Qt::Key_Control && k != Qt::Key_Shift) log << event;
    };
    connect(&grid, &THexEditor::keyDown, this, [&](int k, Qt::KeyboardModifiers) {
      note(k, QStringLiteral("down ") + caretText(grid));
    });
    connect(&grid, &THexEditor::keyPressed, this,
            [&](QChar c) { log << QStringLiteral("press %1 sees %2").arg(c, byte2()); });
    connect(&grid, &THexEditor::keyUp, this,
            [&](int k, Qt::KeyboardModifiers) { note(k, QStringLiteral("up sees ") + byte2()); });
    const QString text = QString::fromUtf8(key.text ? key.text : "");
    QTest::sendKeyEvent(QTest::Click, &grid, Qt::Key(key.key), text,
                        Qt::KeyboardModifiers(key.modifiers));
    QString events = QStringLiteral("up sees ") + QString::fromLatin1(key.data).mid(4, 2);
    if (!text.isEmpty()) events.prepend(QStringLiteral("press %1 sees 3C, ").arg(text));
    if (key.text) events.prepend(QStringLiteral("down %1, ").arg(QString::fromLatin1(key.from)));
    QCOMPARE(log.join(QStringLiteral(", ")), events);
    QCOMPARE(caretText(grid), QString::fromLatin1(key.caret));
    QCOMPARE(QString::fromStdString(store.hexText()), QString::fromLatin1(key.data));
    QString marked;
    for (std::size_t i = 0; i < 4; ++i)
      marked += grid.isChanged(i) ? QString::number(i) : QString();
    QCOMPARE(marked, QString::fromLatin1(key.marked));
  }

  // Page keys move by the rows in view and keep the caret in view (`press`
  // gives -1 when it is not); word EFFF is typed over like any other and
  // nothing is added after it.
  void pagingAndTypingUpToTheLastWord() {
    MemoryStore store(kMachineBytes);
    auto grid = shownGrid(store);
    const long long page = grid->visibleRowCount(), lastRow = kLastByte / 2;
    QVERIFY(page > 1);
    const auto press = [&](Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
      QTest::keyClick(grid.get(), key, modifiers);
      const auto row = static_cast<long long>(grid->caretByteIndex() / 2);
      const long long top = grid->firstVisibleRow();
      return row >= top && row < top + page ? row : -1;
    };
    grid->setCaret(1, kDigits, 1);
    QCOMPARE(press(Qt::Key_PageDown), page);
    QCOMPARE(caretText(*grid), QStringLiteral("%1.1").arg(2 * page + 1));
    QCOMPARE(press(Qt::Key_PageDown, Qt::ControlModifier), grid->firstVisibleRow() + page - 1);
    QCOMPARE(press(Qt::Key_PageUp, Qt::ControlModifier), grid->firstVisibleRow());
    QCOMPARE(press(Qt::Key_End, Qt::ControlModifier), lastRow);
    QCOMPARE(press(Qt::Key_PageUp), lastRow - page);
    QCOMPARE(press(Qt::Key_Home, Qt::ControlModifier), 0LL);
    QCOMPARE(grid->firstVisibleRow(), 0LL);

    grid->setCaret(kLastByte - 1);
    QTest::keyClicks(grid.get(), "ABCD");
    QCOMPARE(store.hexText().substr(2 * kLastByte - 2), std::string("ABCD"));
    const QString lastDigit = QStringLiteral("%1.1").arg(kLastByte);
    QCOMPARE(caretText(*grid), lastDigit);
    // The caret stays on the last digit: further digits overwrite it.
    QTest::keyClicks(grid.get(), "12");
    QCOMPARE(int(store.byte(kLastByte)), 0xC2);
    for (auto key : {Qt::Key_Right, Qt::Key_Down, Qt::Key_End, Qt::Key_PageDown}) {
      QCOMPARE(press(key), lastRow);
      QCOMPARE(press(key, Qt::ControlModifier), lastRow);
      QCOMPARE(caretText(*grid), lastDigit);
    }
    QTest::keyClick(grid.get(), Qt::Key_Tab);
    QTest::keyClicks(grid.get(), "xy");
    QCOMPARE(int(store.byte(kLastByte)), int('y'));
    QCOMPARE(caretText(*grid), QStringLiteral("%1.t").arg(kLastByte));
    QCOMPARE(store.size(), kMachineBytes);
  }

  // A held key repeats down and press; its single key-up comes at the end.
  void aHeldKeyRepeatsPressesButReleasesOnce() {
    MemoryStore store(8);
    THexEditor grid;
    grid.setMemoryStore(&store);
    QSignalSpy downs(&grid, &THexEditor::keyDown);
    QSignalSpy pressed(&grid, &THexEditor::keyPressed);
    QSignalSpy ups(&grid, &THexEditor::keyUp);
    for (bool repeat : {false, true, true}) {
      QKeyEvent press(QEvent::KeyPress, Qt::Key_9, Qt::NoModifier, QStringLiteral("9"), repeat);
      QKeyEvent release(QEvent::KeyRelease, Qt::Key_9, Qt::NoModifier, QStringLiteral("9"), true);
      if (repeat) QApplication::sendEvent(&grid, &release);
      QApplication::sendEvent(&grid, &press);
    }
    QCOMPARE(ups.count(), 0);
    QTest::keyRelease(&grid, Qt::Key_9);
    QCOMPARE(QList<qsizetype>({downs.count(), pressed.count(), ups.count()}),
             QList<qsizetype>({3, 3, 1}));
    QCOMPARE(store.hexText().substr(0, 4), std::string("9990"));
  }

  // A machine write shows without a mark and repaints only the rows it
  // touches; a repaint draws only the rows in view.
  void machineWritesRepaintOnlyTheirRows() {
    MemoryStore store(kMachineBytes);
    auto grid = shownGrid(store);
    grid->verticalScrollBar()->setValue(0x100);
    grid->settle();
    const long long row = grid->firstVisibleRow() + 3;

    store.setByte(2 * row + 1, 0xEE);
    QCOMPARE(int(store.byte(2 * row + 1)), 0xEE);
    QVERIFY(!grid->isChanged(2 * row + 1));
    QCoreApplication::processEvents();
    QCOMPARE(grid->paintedRows, std::vector<long long>{row});

    // A write outside the view paints nothing; one over two rows paints both.
    grid->settle();
    store.setByte(0, 0x01);
    QCoreApplication::processEvents();
    QVERIFY(grid->paintedRows.empty());
    const std::uint8_t pair[2] = {1, 2};
    store.setBytes(2 * row + 1, pair);
    QCoreApplication::processEvents();
    QCOMPARE(grid->paintedRows, (std::vector<long long>{row, row + 1}));

    // Scrolled to the bottom, a whole repaint ends with the last row.
    grid->verticalScrollBar()->setValue(grid->verticalScrollBar()->maximum());
    grid->settle();
    grid->viewport()->update();
    QCoreApplication::processEvents();
    QVERIFY(grid->paintedRows.size() <= std::size_t(grid->visibleRowCount()) + 1);
    QCOMPARE(grid->paintedRows.back(), grid->rowCount() - 1);
  }

  // A click places the caret. A byte the user changed is drawn on the
  // changed background in both areas, the focused caret's cell on the
  // position background.
  void clicksPlaceTheCaretAndMarksAreDrawn() {
    MemoryStore store(64);
    auto grid = shownGrid(store);
    grid->activateWindow();
    grid->setFocus();
    QVERIFY(QTest::qWaitForWindowActive(grid.get()));
    const auto click = [&](std::size_t byte, Area area, int nibble) {
      QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                        grid->cellRect(byte, area, nibble).center());
      return caretText(*grid);
    };
    QCOMPARE(click(4, kDigits, 1), QStringLiteral("4.1"));
    QTest::keyClicks(grid.get(), "5");
    QCOMPARE(click(10, kText, 0), QStringLiteral("10.t"));  // 00, shown as "."
    const QImage image = snapshot(*grid);
    const auto shown = [&](std::size_t byte, Area area) {
      const QPoint inside = grid->cellRect(byte, area).topLeft() + QPoint(1, 1);
      return image.pixelColor(grid->viewport()->mapTo(grid.get(), inside));
    };
    const THexEditor::Colors& colors = grid->colors();
    QCOMPARE(shown(4, kDigits), colors.changedBackground);
    QCOMPARE(shown(4, kText), colors.changedBackground);
    QCOMPARE(shown(5, kDigits), colors.background);
    QCOMPARE(shown(10, kText), colors.positionBackground);
  }

  // The caret goes home and the marks go whenever the content is replaced;
  // the grid lets go of a store it no longer shows.
  void replacingTheContentClearsMarksAndHomesTheCaret() {
    MemoryStore store(kMachineBytes);
    auto grid = shownGrid(store);
    QTest::keyClick(grid.get(), Qt::Key_End, Qt::ControlModifier);
    QTest::keyClick(grid.get(), Qt::Key_Tab);
    QTest::keyClick(grid.get(), 'z');
    QVERIFY(grid->isChanged(kLastByte) && grid->firstVisibleRow() > 0);

    store.replace({0x12, 0x34, 0x56});
    QCOMPARE(caretText(*grid), QStringLiteral("0.0"));
    QVERIFY(grid->caretArea() == kDigits && grid->firstVisibleRow() == 0);
    QCOMPARE(grid->rowLabel(1), QStringLiteral("H1:"));
    for (std::size_t i = 0; i < 3; ++i) QVERIFY(!grid->isChanged(i));
    store.replace(std::vector<std::uint8_t>(kMachineBytes));
    QCOMPARE(grid->rowLabel(0xEFFF), QStringLiteral("HEFFF:"));

    // No bytes: a private empty store, where typing and moving do nothing.
    grid->setMemoryStore(nullptr);
    QTest::keyClicks(grid.get(), "A1");
    QTest::keyClick(grid.get(), Qt::Key_End, Qt::ControlModifier);
    QVERIFY(grid->dataSize() == 0 && grid->caretByteIndex() == 0);
    grid->setMemoryStore(&store);
    grid.reset();
    store.setByte(2, 0);  // a destroyed grid must no longer be observing
  }
};

QTEST_MAIN(HexEditorTest)
#include "hex_editor_test.moc"
