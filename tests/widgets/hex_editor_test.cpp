#include "widgets/hex_editor.h"

#include <QDir>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QtTest>

#include <memory>
#include <stdexcept>
#include <vector>

namespace orben {
namespace {

constexpr std::size_t kMachineBytes = MemoryStore::kMachineBytes;
constexpr std::size_t kLastByte = kMachineBytes - 1;
using Area = THexEditor::Area;

struct Cell {
  std::size_t byte;
  Area area;
  int nibble;
};

// Records which rows each paint drew and the region each paint was asked for.
class RecordingHexEditor : public THexEditor {
 public:
  RecordingHexEditor() { viewport()->installEventFilter(this); }
  std::vector<long long> paintedRows;
  std::vector<QRegion> paintRegions;
  void forgetPaints() {
    paintedRows.clear();
    paintRegions.clear();
  }

 protected:
  void paintRow(QPainter& painter, long long row) override {
    paintedRows.push_back(row);
    THexEditor::paintRow(painter, row);
  }
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == viewport() && event->type() == QEvent::Paint) {
      paintRegions.push_back(static_cast<QPaintEvent*>(event)->region());
    }
    return THexEditor::eventFilter(watched, event);
  }
};

std::vector<std::uint8_t> pattern(std::size_t size) {
  std::vector<std::uint8_t> bytes(size);
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>(i * 7 + 0x3C);
  return bytes;
}

MemoryStore patternStore(std::size_t size) {
  MemoryStore store;
  store.replace(pattern(size));
  return store;
}

std::unique_ptr<RecordingHexEditor> shownGrid(MemoryStore& store) {
  auto grid = std::make_unique<RecordingHexEditor>();
  grid->setMemoryStore(&store);
  grid->resize(grid->sizeHint());
  grid->show();
  if (!QTest::qWaitForWindowExposed(grid.get())) qWarning("grid window not exposed");
  QCoreApplication::processEvents();
  grid->forgetPaints();
  return grid;
}

// Lets pending paints happen, then starts recording afresh.
void settle(RecordingHexEditor& grid) {
  QCoreApplication::processEvents();
  grid.forgetPaints();
}

QString hex(std::uint8_t value) {
  return QString::number(value, 16).toUpper();
}

}  // namespace

class HexEditorTest : public QObject {
  Q_OBJECT

 private slots:
  void rowLabelsAreWordAddressesAndTextIsAscii() {
    const struct {
      std::size_t bytes;
      long long row;
      const char* label;
    } labels[] = {{kMachineBytes, 0, "H0000:"},
                  {kMachineBytes, 0x12, "H0012:"},
                  {kMachineBytes, 0xEFFF, "HEFFF:"},
                  {0x22, 0x10, "H10:"},  // word 10 needs two digits, byte offset 20 too
                  {2, 0, "H0:"}};
    for (const auto& c : labels) {
      MemoryStore store(c.bytes);
      THexEditor grid;
      grid.setMemoryStore(&store);
      QCOMPARE(grid.rowLabel(c.row), QString::fromLatin1(c.label));
      QCOMPARE(grid.rowCount(), static_cast<long long>(c.bytes / 2));
    }
    THexEditor grid;
    const struct {
      int byte;
      QChar shown;
    } chars[] = {{0, u'.'},   {31, u'.'},        {32, u' '},  {0x41, u'A'},
                 {126, u'~'}, {127, QChar(127)}, {128, u'.'}, {255, u'.'}};
    for (const auto& c : chars) QCOMPARE(grid.displayChar(std::uint8_t(c.byte)), c.shown);
  }

  void typingOverwritesOneByte() {
    const auto none = Qt::NoModifier;
    const struct {
      const char* name;
      int start;
      Area area;
      int nibble;
      Qt::Key key;
      const char* text;
      Qt::KeyboardModifiers modifiers;
      int expected;
      bool marked;
      bool moved;
    } cases[] = {
        {"high digit", 0x3C, Area::Digits, 0, Qt::Key_5, "5", none, 0x5C, true, true},
        {"low digit, lower case", 0x3C, Area::Digits, 1, Qt::Key_A, "a", none, 0x3A, true, true},
        {"same digit", 0x3C, Area::Digits, 0, Qt::Key_3, "3", none, 0x3C, false, true},
        {"not a hex digit", 0x3C, Area::Digits, 0, Qt::Key_G, "g", none, 0x3C, false, false},
        {"digit with Ctrl", 0x3C, Area::Digits, 0, Qt::Key_5, "5", Qt::ControlModifier, 0x3C, false,
         false},
        {"character", 0x3C, Area::Text, 0, Qt::Key_A, "A", none, 0x41, true, true},
        {"same character", 0x41, Area::Text, 0, Qt::Key_A, "A", none, 0x41, false, true},
        {"space", 0x3C, Area::Text, 0, Qt::Key_Space, " ", none, 0x20, true, true},
        {"control character", 0x3C, Area::Text, 0, Qt::Key_A, "\x01", none, 0x3C, false, false},
        {"return", 0x3C, Area::Text, 0, Qt::Key_Return, "\r", none, 0x3C, false, false},
        {"no ASCII value", 0x3C, Area::Text, 0, Qt::Key_Eacute, "\u00e9", none, 0x3C, false, false},
    };
    for (const auto& c : cases) {
      MemoryStore store(8);
      store.setByte(4, std::uint8_t(c.start));
      THexEditor grid;
      grid.setMemoryStore(&store);
      grid.setCaret(4, c.area, c.nibble);
      QTest::sendKeyEvent(QTest::Click, &grid, c.key, QString::fromUtf8(c.text), c.modifiers);
      QVERIFY2(store.byte(4) == c.expected, c.name);  // written through the store
      QVERIFY2(grid.isChanged(4) == c.marked, c.name);
      QVERIFY2(!grid.isChanged(3) && !grid.isChanged(5), c.name);
      const std::size_t next = c.area == Area::Text || c.nibble == 1 ? 5 : 4;
      QVERIFY2(grid.caretByteIndex() == (c.moved ? next : 4), c.name);
      QVERIFY2(grid.caretArea() == c.area && store.size() == 8, c.name);
    }
  }

  void theLastWordIsEditableAndNothingIsAddedAfterIt() {
    MemoryStore store(kMachineBytes);
    THexEditor grid;
    grid.setMemoryStore(&store);
    grid.setCaret(kLastByte - 1);
    QTest::keyClicks(&grid, "ABCD");
    QCOMPARE(int(store.byte(kLastByte - 1)), 0xAB);
    QCOMPARE(int(store.byte(kLastByte)), 0xCD);
    QCOMPARE(grid.caretByteIndex(), kLastByte);
    QCOMPARE(grid.caretNibble(), 1);
    // The caret stays on the last digit: further digits overwrite it.
    QTest::keyClicks(&grid, "12");
    QCOMPARE(int(store.byte(kLastByte)), 0xC2);
    for (auto key : {Qt::Key_Right, Qt::Key_Down, Qt::Key_End, Qt::Key_PageDown}) {
      QTest::keyClick(&grid, key);
      QTest::keyClick(&grid, key, Qt::ControlModifier);
      QCOMPARE(grid.caretByteIndex(), kLastByte);
    }
    QTest::keyClick(&grid, Qt::Key_Tab);
    QTest::keyClicks(&grid, "xy");
    QCOMPARE(int(store.byte(kLastByte)), int('y'));
    QCOMPARE(grid.caretByteIndex(), kLastByte);
    QCOMPARE(store.size(), kMachineBytes);
    QCOMPARE(grid.hexText().size(), 2 * kMachineBytes);
  }

  void caretKeysMove() {
    const auto none = Qt::NoModifier, ctrl = Qt::ControlModifier;
    const Area D = Area::Digits, T = Area::Text;
    const struct {
      const char* name;
      Cell from;
      Qt::Key key;
      Qt::KeyboardModifiers modifiers;
      Cell to;
    } cases[] = {
        {"right within byte", {0, D, 0}, Qt::Key_Right, none, {0, D, 1}},
        {"right to next row", {1, D, 1}, Qt::Key_Right, none, {2, D, 0}},
        {"left to previous row", {2, D, 0}, Qt::Key_Left, none, {1, D, 1}},
        {"left at first digit", {0, D, 0}, Qt::Key_Left, none, {0, D, 0}},
        {"up at row 0", {1, D, 1}, Qt::Key_Up, none, {1, D, 1}},
        {"down keeps column", {1, D, 1}, Qt::Key_Down, none, {3, D, 1}},
        {"ctrl down", {1, D, 0}, Qt::Key_Down, ctrl, {3, D, 0}},
        {"home", {7, D, 1}, Qt::Key_Home, none, {6, D, 0}},
        {"end", {6, D, 0}, Qt::Key_End, none, {7, D, 1}},
        {"ctrl home", {7, T, 0}, Qt::Key_Home, ctrl, {0, T, 0}},
        {"ctrl end", {3, D, 0}, Qt::Key_End, ctrl, {9, D, 1}},
        {"text right", {1, T, 0}, Qt::Key_Right, none, {2, T, 0}},
        {"text end", {8, T, 0}, Qt::Key_End, none, {9, T, 0}},
        {"tab to text", {5, D, 1}, Qt::Key_Tab, none, {5, T, 0}},
        {"shift tab to digits", {5, T, 0}, Qt::Key_Backtab, Qt::ShiftModifier, {5, D, 0}},
        {"ctrl t", {4, D, 1}, Qt::Key_T, ctrl, {4, T, 0}},
        {"page up at row 0", {1, T, 0}, Qt::Key_PageUp, none, {1, T, 0}},
        {"page down at last row", {8, D, 1}, Qt::Key_PageDown, none, {8, D, 1}},
    };
    for (const auto& c : cases) {
      MemoryStore store(10);
      THexEditor grid;
      grid.setMemoryStore(&store);
      grid.setCaret(c.from.byte, c.from.area, c.from.nibble);
      QList<int> downs, ups;
      connect(&grid, &THexEditor::keyDown, this, [&](int k, Qt::KeyboardModifiers) { downs << k; });
      connect(&grid, &THexEditor::keyUp, this, [&](int k, Qt::KeyboardModifiers) { ups << k; });
      QSignalSpy pressed(&grid, &THexEditor::keyPressed);
      QTest::keyClick(&grid, c.key, c.modifiers);
      QVERIFY2(grid.caretByteIndex() == c.to.byte, c.name);
      QVERIFY2(grid.caretArea() == c.to.area && grid.caretNibble() == c.to.nibble, c.name);
      QVERIFY2(store.hexText() == std::string(20, '0'), c.name);
      // Caret keys raise only key-up; the modifier keys go down like any key.
      downs.removeAll(Qt::Key_Control);
      downs.removeAll(Qt::Key_Shift);
      QVERIFY2(downs.isEmpty() && pressed.isEmpty() && ups.contains(c.key), c.name);
    }
  }

  void pageKeysMoveByVisibleRowsAndKeepTheCaretInView() {
    MemoryStore store(kMachineBytes);
    auto grid = shownGrid(store);
    const int page = grid->visibleRowCount();
    QVERIFY(page > 1);
    const auto caretInView = [&] {
      const long long row = static_cast<long long>(grid->caretByteIndex() / 2);
      return row >= grid->firstVisibleRow() && row < grid->firstVisibleRow() + page;
    };
    grid->setCaret(1, Area::Digits, 1);
    QTest::keyClick(grid.get(), Qt::Key_PageDown);
    QCOMPARE(grid->caretByteIndex(), std::size_t(2 * page + 1));
    QCOMPARE(grid->caretNibble(), 1);
    QVERIFY(caretInView());
    QTest::keyClick(grid.get(), Qt::Key_PageDown, Qt::ControlModifier);
    QCOMPARE(grid->caretByteIndex() / 2, std::size_t(grid->firstVisibleRow() + page - 1));
    QTest::keyClick(grid.get(), Qt::Key_PageUp, Qt::ControlModifier);
    QCOMPARE(grid->caretByteIndex() / 2, std::size_t(grid->firstVisibleRow()));
    QTest::keyClick(grid.get(), Qt::Key_End, Qt::ControlModifier);
    QCOMPARE(grid->caretByteIndex(), kLastByte);
    QVERIFY(caretInView());
    QTest::keyClick(grid.get(), Qt::Key_PageUp);
    QCOMPARE(grid->caretByteIndex(), kLastByte - 2 * page);
    QVERIFY(caretInView());
    QTest::keyClick(grid.get(), Qt::Key_Home, Qt::ControlModifier);
    QCOMPARE(grid->caretByteIndex(), std::size_t{0});
    QCOMPARE(grid->firstVisibleRow(), 0LL);
    QTest::keyClick(grid.get(), Qt::Key_PageUp);
    QCOMPARE(grid->caretByteIndex(), std::size_t{0});
  }

  // The owning window notes the caret at key-down and reads memory at
  // key-up, so each event must see the grid at the right moment.
  void aCharacterKeyRaisesDownPressThenEditsThenUp() {
    MemoryStore store(8);
    store.setByte(2, 0x3C);
    THexEditor grid;
    grid.setMemoryStore(&store);
    grid.setCaret(2);
    QStringList log;
    connect(&grid, &THexEditor::keyDown, this, [&](int key, Qt::KeyboardModifiers) {
      log << QStringLiteral("down %1 at %2").arg(key).arg(grid.caretByteIndex());
    });
    connect(&grid, &THexEditor::keyPressed, this, [&](QChar c) {
      log << QStringLiteral("press %1 sees %2").arg(c).arg(hex(store.byte(2)));
    });
    connect(&grid, &THexEditor::keyUp, this, [&](int key, Qt::KeyboardModifiers) {
      log << QStringLiteral("up %1 sees %2").arg(key).arg(hex(store.byte(2)));
    });
    QTest::keyClick(&grid, '7');
    const QStringList expected = {QStringLiteral("down %1 at 2").arg(int(Qt::Key_7)),
                                  QStringLiteral("press 7 sees 3C"),
                                  QStringLiteral("up %1 sees 7C").arg(int(Qt::Key_7))};
    QCOMPARE(log, expected);
  }

  void backspaceRaisesKeyDownBeforeMovingLeft() {
    MemoryStore store(8);
    THexEditor grid;
    grid.setMemoryStore(&store);
    grid.setCaret(3, Area::Digits, 0);
    QList<std::size_t> seenAtDown;
    connect(&grid, &THexEditor::keyDown, this,
            [&](int, Qt::KeyboardModifiers) { seenAtDown << grid.caretByteIndex(); });
    QSignalSpy ups(&grid, &THexEditor::keyUp);
    QTest::keyClick(&grid, Qt::Key_Backspace);
    QCOMPARE(seenAtDown, QList<std::size_t>{3});
    QCOMPARE(grid.caretByteIndex(), std::size_t{2});
    QCOMPARE(grid.caretNibble(), 1);
    QCOMPARE(ups.count(), 1);
    grid.setCaret(0);
    QTest::keyClick(&grid, Qt::Key_Backspace);
    QCOMPARE(grid.caretByteIndex(), std::size_t{0});
    QCOMPARE(grid.caretNibble(), 0);
    QCOMPARE(store.size(), std::size_t{8});
  }

  void deleteChangesNothingAndInsertClearsMarks() {
    MemoryStore store = patternStore(6);
    THexEditor grid;
    grid.setMemoryStore(&store);
    QTest::keyClicks(&grid, "0000");
    QVERIFY(grid.isChanged(0) && grid.isChanged(1));
    const std::string before = store.hexText();
    QSignalSpy downs(&grid, &THexEditor::keyDown);
    QSignalSpy pressed(&grid, &THexEditor::keyPressed);
    QTest::keyClick(&grid, Qt::Key_Delete);
    QCOMPARE(store.hexText(), before);
    QCOMPARE(grid.caretByteIndex(), std::size_t{2});
    QVERIFY(grid.isChanged(0));
    QTest::keyClick(&grid, Qt::Key_Insert);
    QVERIFY(!grid.isChanged(0) && !grid.isChanged(1));
    QCOMPARE(store.hexText(), before);
    QCOMPARE(store.size(), std::size_t{6});
    QCOMPARE(downs.count(), 2);
    QCOMPARE(pressed.count(), 0);
  }

  // A held key repeats down and press; its single key-up comes at the end.
  void aHeldKeyRepeatsPressesButReleasesOnce() {
    MemoryStore store(8);
    THexEditor grid;
    grid.setMemoryStore(&store);
    QSignalSpy downs(&grid, &THexEditor::keyDown);
    QSignalSpy pressed(&grid, &THexEditor::keyPressed);
    QSignalSpy ups(&grid, &THexEditor::keyUp);
    const auto send = [&](QEvent::Type type, bool repeat) {
      QKeyEvent event(type, Qt::Key_9, Qt::NoModifier, QStringLiteral("9"), repeat);
      QApplication::sendEvent(&grid, &event);
    };
    send(QEvent::KeyPress, false);
    for (int i = 0; i < 2; ++i) {
      send(QEvent::KeyRelease, true);
      send(QEvent::KeyPress, true);
    }
    QCOMPARE(ups.count(), 0);
    send(QEvent::KeyRelease, false);
    QCOMPARE(downs.count(), 3);
    QCOMPARE(pressed.count(), 3);
    QCOMPARE(ups.count(), 1);
    QCOMPARE(store.hexText().substr(0, 4), std::string("9990"));
  }

  void machineWritesShowWithoutMarks() {
    MemoryStore store = patternStore(16);
    THexEditor grid;
    grid.setMemoryStore(&store);
    grid.setMemory(4, 0xAB);
    QCOMPARE(grid.hexText().substr(8, 2), std::string("AB"));
    QVERIFY(!grid.isChanged(4));
    const std::string before = store.hexText();
    for (long long index : {-1LL, 16LL, 1LL << 40}) {
      try {
        grid.setMemory(index, 0x11);
        QFAIL("an index outside the data was accepted");
      } catch (const std::out_of_range& error) {
        QCOMPARE(QString(error.what()), QStringLiteral("Invalid SetMemory index"));
      }
    }
    QCOMPARE(store.hexText(), before);
    QCOMPARE(store.size(), std::size_t{16});
  }

  void aMachineWriteRepaintsOnlyItsRow() {
    MemoryStore store = patternStore(kMachineBytes);
    auto grid = shownGrid(store);
    grid->verticalScrollBar()->setValue(0x100);
    settle(*grid);
    const long long row = grid->firstVisibleRow() + 3;

    store.setByte(2 * row + 1, 0xEE);
    QCoreApplication::processEvents();
    QCOMPARE(grid->paintRegions.size(), std::size_t{1});
    QCOMPARE(grid->paintRegions.front(), QRegion(grid->rowRect(row)));
    QCOMPARE(grid->paintedRows, std::vector<long long>{row});
    QVERIFY(!grid->isChanged(2 * row + 1));

    // A write outside the view paints nothing; one over two rows paints both.
    settle(*grid);
    store.setByte(0, 0x01);
    QCoreApplication::processEvents();
    QVERIFY(grid->paintRegions.empty());
    const std::uint8_t pair[2] = {1, 2};
    store.setBytes(2 * row + 1, pair);
    QCoreApplication::processEvents();
    QCOMPARE(grid->paintedRows, (std::vector<long long>{row, row + 1}));
  }

  void paintingDrawsOnlyTheVisibleRows() {
    MemoryStore store = patternStore(kMachineBytes);
    auto grid = shownGrid(store);
    for (int top : {0, 0x7000, grid->verticalScrollBar()->maximum()}) {
      grid->verticalScrollBar()->setValue(top);
      settle(*grid);
      grid->viewport()->update();
      QCoreApplication::processEvents();
      std::vector<long long> expected;
      for (long long row = top; row < grid->rowCount(); ++row) {
        if (grid->rowRect(row).intersects(grid->viewport()->rect())) expected.push_back(row);
      }
      QVERIFY(expected.size() <= std::size_t(grid->visibleRowCount()) + 1);
      QCOMPARE(grid->paintedRows, expected);
    }
    QCOMPARE(grid->paintedRows.back(), grid->rowCount() - 1);
  }

  void replacingTheContentClearsMarksAndHomesTheCaret() {
    MemoryStore store = patternStore(kMachineBytes);
    auto grid = shownGrid(store);
    QTest::keyClick(grid.get(), Qt::Key_End, Qt::ControlModifier);
    QTest::keyClick(grid.get(), Qt::Key_Tab);
    QTest::keyClick(grid.get(), 'z');
    QVERIFY(grid->isChanged(kLastByte));
    QVERIFY(grid->firstVisibleRow() > 0);

    grid->replaceContent({0x12, 0x34, 0x56});
    QCOMPARE(store.hexText(), std::string("123456"));
    QCOMPARE(grid->dataSize(), std::size_t{3});
    QVERIFY(grid->caretByteIndex() == 0 && grid->caretArea() == Area::Digits);
    QVERIFY(grid->caretNibble() == 0 && grid->firstVisibleRow() == 0);
    QCOMPARE(grid->rowLabel(1), QStringLiteral("H1:"));
    for (std::size_t i = 0; i < 3; ++i) QVERIFY(!grid->isChanged(i));

    // Replacing the store's content directly (memory initialisation) too.
    QTest::keyClick(grid.get(), 'F');
    QVERIFY(grid->isChanged(0));
    store.replace(pattern(kMachineBytes));
    QVERIFY(!grid->isChanged(0));
    QCOMPARE(grid->rowLabel(0xEFFF), QStringLiteral("HEFFF:"));

    grid->replaceContent({});
    QTest::keyClicks(grid.get(), "A1");
    QTest::keyClick(grid.get(), Qt::Key_End, Qt::ControlModifier);
    QCOMPARE(grid->dataSize(), std::size_t{0});
    QCOMPARE(grid->caretByteIndex(), std::size_t{0});
  }

  void theGridLetsGoOfItsStore() {
    MemoryStore store = patternStore(8);
    {
      THexEditor grid;
      grid.setMemoryStore(&store);
      grid.setCaret(5);
      grid.setMemoryStore(nullptr);  // back to a private empty store
      QCOMPARE(grid.dataSize(), std::size_t{0});
      QCOMPARE(grid.caretByteIndex(), std::size_t{0});
      grid.setMemoryStore(&store);
    }
    store.setByte(2, 0);  // a destroyed grid must no longer be observing
    QCOMPARE(store.byte(2), std::uint8_t{0});
  }

  void aClickPlacesTheCaret() {
    MemoryStore store = patternStore(64);
    auto grid = shownGrid(store);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->cellRect(7, Area::Text).center());
    QCOMPARE(grid->caretByteIndex(), std::size_t{7});
    QCOMPARE(grid->caretArea(), Area::Text);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                      grid->cellRect(10, Area::Digits, 1).center());
    QCOMPARE(grid->caretByteIndex(), std::size_t{10});
    QCOMPARE(grid->caretArea(), Area::Digits);
    QCOMPARE(grid->caretNibble(), 1);
  }

  void picture() {
    MemoryStore store = patternStore(kMachineBytes);
    const std::uint8_t program[] = {0x41, 0x05, 0x4F, 0x52, 0x42, 0x45, 0x4E, 0x00, 0x7F, 0x20};
    store.setBytes(0, program);
    auto grid = shownGrid(store);
    grid->activateWindow();
    grid->setFocus();
    QVERIFY(QTest::qWaitForWindowActive(grid.get()));
    grid->setCaret(0x0A);
    QTest::keyClicks(grid.get(), "1234");
    QTest::keyClick(grid.get(), Qt::Key_Tab);
    QTest::keyClicks(grid.get(), "Hi");
    grid->setCaret(0x12, Area::Digits, 1);
    QVERIFY(grid->hasFocus());
    const QString folder = qEnvironmentVariable("ORBEN_PICTURES", QStringLiteral("pictures"));
    QVERIFY(QDir().mkpath(folder));
    const QImage image = grid->grab().toImage();
    const auto shown = [&](std::size_t byte, Area area) {
      return image.pixelColor(
          grid->viewport()->mapTo(grid.get(), grid->cellRect(byte, area).topLeft()));
    };
    QCOMPARE(shown(0x0B, Area::Digits), grid->colors().changedBackground);
    QCOMPARE(shown(0x0B, Area::Text), grid->colors().changedBackground);
    QCOMPARE(shown(0x12, Area::Digits), grid->colors().background);
    QVERIFY(image.save(folder + QStringLiteral("/hex_editor.png")));
  }
};

}  // namespace orben

QTEST_MAIN(orben::HexEditorTest)
#include "hex_editor_test.moc"
