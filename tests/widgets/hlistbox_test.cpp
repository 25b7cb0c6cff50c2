#include <QDir>
#include <QFontInfo>
#include <QPainter>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "disasm/listing.h"
#include "widgets/hlistbox.h"
#include "widgets/widget_test_support.h"

using orben::Listing;
using orben::THListBox;
using orben::testing::PaintCounter;
using orben::testing::picturesDir;
using orben::testing::showAndSettle;

namespace {

// "[0000]: 2105" for address 0.
std::string line(int address, const char* content = "2105") {
  char text[32];
  std::snprintf(text, sizeof text, "[%04X]: %s", address, content);
  return text;
}

QStringList lines(const THListBox& box) {
  QStringList lines;
  for (int i = 0; i < box.count(); ++i) lines << box.lineAt(i);
  return lines;
}

// Records which lines each paint draws.
class CountingListBox : public THListBox {
 public:
  using THListBox::THListBox;
  std::vector<int> drawn;

 protected:
  void drawLine(QPainter& painter, int index, const QRect& rect, bool selected) override {
    drawn.push_back(index);
    THListBox::drawLine(painter, index, rect, selected);
  }
};

// The line at `index` lies wholly inside the viewport.
bool inView(const THListBox& box, int index) {
  return index >= box.topLine() && index < box.topLine() + box.visibleLines();
}

}  // namespace

class HListBoxTest : public QObject {
  Q_OBJECT

 private slots:
  void sortedInsertionPutsALowerAddressFirst() {
    THListBox box;
    box.setSorted(true);
    box.addLine(QStringLiteral("[0005]: HALT"));
    box.addLine(QStringLiteral("[0002]: LLI R1, H'05"));
    QCOMPARE(lines(box),
             QStringList({QStringLiteral("[0002]: LLI R1, H'05"), QStringLiteral("[0005]: HALT")}));
  }

  void unsortedLinesAreAppended() {
    THListBox box;
    QCOMPARE(box.isSorted(), false);
    box.addLine(QStringLiteral("[0005]: HALT"));
    box.addLine(QStringLiteral("[0002]: HALT"));
    QCOMPARE(box.lineAt(0), QStringLiteral("[0005]: HALT"));
    QCOMPARE(box.lineAt(1), QStringLiteral("[0002]: HALT"));
  }

  void sortedOnResortsAndOffKeepsTheOrder() {
    THListBox box;
    for (int address : {0x30, 0x0A, 0x1F}) box.addLine(QString::fromStdString(line(address)));
    box.selectLine(0);  // [0030]
    box.setSorted(true);
    QCOMPARE(lines(box),
             QStringList({QStringLiteral("[000A]: 2105"), QStringLiteral("[001F]: 2105"),
                          QStringLiteral("[0030]: 2105")}));
    QCOMPARE(box.currentLine(), 2);  // the selection follows its line
    box.setSorted(false);
    box.addLine(QString::fromStdString(line(0x01)));
    QCOMPARE(lines(box),
             QStringList({QStringLiteral("[000A]: 2105"), QStringLiteral("[001F]: 2105"),
                          QStringLiteral("[0030]: 2105"), QStringLiteral("[0001]: 2105")}));
  }

  void convenienceOperationsForwardToTheListing() {
    Listing listing;
    THListBox box(&listing);
    QCOMPARE(&box.listing(), &listing);
    box.addLine(QStringLiteral("[0000]: 2105"));
    box.addLine(QStringLiteral("[0001]: 0000"));
    listing.add(line(2, "HALT"));
    QCOMPARE(box.count(), 3);
    QCOMPARE(listing.count(), 3);
    box.replaceLine(0, QStringLiteral("[0000]: LLI R1, H'05"));
    QCOMPARE(listing.line(0), std::string("[0000]: LLI R1, H'05"));
    box.selectLine(1);
    QCOMPARE(listing.selected(), 1);
    box.deleteLine(1);
    QCOMPARE(listing.count(), 2);
    QCOMPARE(box.currentLine(), -1);  // the selection went with its line
    QCOMPARE(box.lineAt(1), QStringLiteral("[0002]: HALT"));
    QCOMPARE(box.lineAt(7), QString());
    box.clear();
    QCOMPARE(listing.count(), 0);
  }

  void clearingAListScrolledRightLeavesItEmptyAndAtTheLeftEdge() {
    Listing listing;
    THListBox box(&listing);
    box.resize(377, 255);
    for (int a = 0; a < 40; ++a) box.addLine(QString::fromStdString(line(a)));
    box.setHorizontalExtent(2000);
    QVERIFY(showAndSettle(box));
    box.horizontalScrollBar()->setValue(500);
    box.verticalScrollBar()->setValue(10);
    QCOMPARE(box.horizontalScrollBar()->value(), 500);

    listing.clear();  // the listing emptied behind the widget's back

    QCOMPARE(box.count(), 0);
    QCOMPARE(box.horizontalExtent(), 0);
    QCOMPARE(box.horizontalScrollBar()->maximum(), 0);
    QCOMPARE(box.horizontalScrollBar()->value(), 0);
    QCOMPARE(box.topLine(), 0);
    QCOMPARE(box.currentLine(), -1);
  }

  void horizontalExtentSetsTheScrollableWidth() {
    THListBox box;
    box.resize(377, 255);
    QVERIFY(showAndSettle(box));
    QCOMPARE(box.horizontalScrollBar()->maximum(), 0);
    box.setHorizontalExtent(box.viewport()->width() + 120);
    QCOMPARE(box.horizontalScrollBar()->maximum(), 120);
    box.setHorizontalExtent(0);
    QCOMPARE(box.horizontalScrollBar()->maximum(), 0);
  }

  void selectingALineFarDownScrollsItIntoView() {
    Listing listing;
    THListBox box(&listing);
    box.resize(377, 255);
    for (int a = 0; a < 2000; ++a) listing.add(line(a));
    QVERIFY(showAndSettle(box));
    QCOMPARE(box.topLine(), 0);
    QVERIFY(box.visibleLines() >= 10);

    QSignalSpy spy(&box, &THListBox::currentLineChanged);
    box.selectLine(1500);
    QVERIFY(inView(box, 1500));
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toInt(), 1500);

    // The executing line, found by its address, through the listing alone.
    listing.selectAddress("0064");
    QCOMPARE(listing.selected(), 100);
    QVERIFY(inView(box, 100));

    // A line already in view does not scroll.
    const int top = box.topLine();
    listing.select(top + 2);
    QCOMPARE(box.topLine(), top);

    // The last line: the list ends at the bottom of the view.
    box.selectLine(1999);
    QVERIFY(inView(box, 1999));
    QCOMPARE(box.topLine(), 2000 - box.visibleLines());
  }

  void clickingALineSelectsItThroughTheListing() {
    Listing listing;
    THListBox box(&listing);
    box.resize(377, 255);
    for (int a = 0; a < 100; ++a) listing.add(line(a));
    QVERIFY(showAndSettle(box));
    box.verticalScrollBar()->setValue(20);
    QTest::mouseClick(box.viewport(), Qt::LeftButton, {},
                      QPoint(30, 3 * THListBox::kLineHeight + 5));
    QCOMPARE(listing.selected(), 23);
    // Below the last line: nothing changes.
    listing.clear();
    listing.add(line(0));
    listing.select(0);
    QTest::mouseClick(box.viewport(), Qt::LeftButton, {},
                      QPoint(30, 5 * THListBox::kLineHeight + 5));
    QCOMPARE(listing.selected(), 0);
  }

  void arrowKeysMoveTheSelection() {
    THListBox box;
    box.resize(377, 255);
    for (int a = 0; a < 100; ++a) box.addLine(QString::fromStdString(line(a)));
    QVERIFY(showAndSettle(box));
    box.selectLine(0);
    QTest::keyClick(&box, Qt::Key_Down);
    QCOMPARE(box.currentLine(), 1);
    QTest::keyClick(&box, Qt::Key_End);
    QCOMPARE(box.currentLine(), 99);
    QVERIFY(inView(box, 99));
    QTest::keyClick(&box, Qt::Key_Down);
    QCOMPARE(box.currentLine(), 99);
    QTest::keyClick(&box, Qt::Key_Home);
    QCOMPARE(box.currentLine(), 0);
    QCOMPARE(box.topLine(), 0);
  }

  void theViewRepaintsWhenTheListingChanges() {
    Listing listing;
    THListBox box(&listing);
    box.resize(377, 255);
    for (int a = 0; a < 200; ++a) listing.add(line(a));
    PaintCounter counter;
    box.viewport()->installEventFilter(&counter);
    QVERIFY(showAndSettle(box));

    struct Change {
      const char* what;
      std::function<void()> apply;
      bool repaints;
    };
    const std::vector<Change> changes = {
        {"add below the view", [&] { listing.add(line(0x300)); }, false},
        {"sort", [&] { listing.setSorted(true); }, true},
        {"add in view", [&] { listing.add(line(1, "HALT")); }, true},
        {"replace a line in view", [&] { listing.replace(3, line(3, "HALT")); }, true},
        {"replace a line out of view", [&] { listing.replace(150, line(150, "HALT")); }, false},
        {"remove", [&] { listing.remove(0); }, true},
        {"select", [&] { listing.select(4); }, true},
        {"rewrite", [&] { listing.rewriteAll([](const std::string& s) { return s + ";"; }); },
         true},
        {"clear", [&] { listing.clear(); }, true},
    };
    for (const Change& change : changes) {
      QTest::qWait(10);
      counter.paints = 0;
      change.apply();
      QTest::qWait(30);
      QVERIFY2((counter.paints > 0) == change.repaints, change.what);
    }
  }

  void paintsDrawOnlyTheLinesInView() {
    Listing listing;
    CountingListBox box(&listing);
    box.resize(377, 255);
    for (int a = 0; a < 61440; ++a) listing.add(line(a % 0xF000));
    QVERIFY(showAndSettle(box));
    const int visible = box.visibleLines();
    QVERIFY(visible >= 10 && visible <= 16);

    box.drawn.clear();
    box.viewport()->repaint();
    QVERIFY(!box.drawn.empty());
    QVERIFY(box.drawn.size() <= static_cast<std::size_t>(visible + 1));
    QCOMPARE(box.drawn.front(), 0);

    // A run selecting line after line: each step draws a few lines only.
    for (int line = 30000; line < 30040; ++line) {
      box.drawn.clear();
      listing.select(line);
      box.viewport()->repaint(box.viewport()->rect());
      QVERIFY(inView(box, line));
      QVERIFY(box.drawn.size() <= static_cast<std::size_t>(visible + 1));
      QVERIFY(std::set<int>(box.drawn.begin(), box.drawn.end()).count(line) == 1);
    }

    // Moving the selection within the view repaints just the two lines.
    QTest::qWait(20);
    box.drawn.clear();
    listing.select(listing.selected() - 1);
    QTRY_VERIFY(!box.drawn.empty());
    QTest::qWait(20);
    QVERIFY(box.drawn.size() <= 2);
  }

  void tabsExpandToStopsEveryEightCells_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expanded");
    QTest::newRow("none") << QStringLiteral("[0000]: HALT") << QStringLiteral("[0000]: HALT");
    QTest::newRow("at start") << QStringLiteral("\tx") << QStringLiteral("        x");
    QTest::newRow("after 7") << QStringLiteral("[0000]:\tHALT") << QStringLiteral("[0000]: HALT");
    QTest::newRow("after 8") << QStringLiteral("12345678\tx")
                             << QStringLiteral("12345678        x");
    QTest::newRow("two") << QStringLiteral("a\tb\tc") << QStringLiteral("a       b       c");
  }
  void tabsExpandToStopsEveryEightCells() {
    QFETCH(QString, text);
    QFETCH(QString, expanded);
    QCOMPARE(THListBox::expandTabs(text), expanded);
  }

  void appearanceIsNavyFixedPitchSeventeenPixelLines() {
    THListBox box;
    QCOMPARE(box.font().pixelSize(), 15);
    QVERIFY(QFontInfo(box.font()).fixedPitch());
    QCOMPARE(box.palette().color(QPalette::Text), QColor(0, 0, 128));
    box.resize(377, 255);
    box.addLine(QStringLiteral("[0000]: LLI R1, H'05"));
    box.addLine(QStringLiteral("[0001]: LLI R1, H'05"));
    QVERIFY(showAndSettle(box));
    // Navy text in the first line's band and in the second's, none below.
    const QImage image = box.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    auto navy_rows = [&](int from, int to) {
      int rows = 0;
      for (int y = from; y < to; ++y) {
        for (int x = 0; x < image.width(); ++x) {
          const QColor c = image.pixelColor(x, y);
          if (c.blue() > 100 && c.red() < 60 && c.green() < 60) {
            ++rows;
            break;
          }
        }
      }
      return rows;
    };
    QVERIFY(navy_rows(0, 17) > 5);
    QVERIFY(navy_rows(17, 34) > 5);
    QCOMPARE(navy_rows(34, image.height()), 0);
  }

  void aDestroyedWidgetNoLongerObservesTheListing() {
    Listing listing;
    {
      THListBox box(&listing);
      listing.add(line(1));
    }
    listing.add(line(2));  // would reach a destroyed observer
    listing.select(1);
    listing.clear();
    QCOMPARE(listing.count(), 0);

    // Switching listings moves the observation with it.
    Listing other;
    THListBox box(&listing);
    box.setListing(&other);
    QSignalSpy spy(&box, &THListBox::currentLineChanged);
    listing.add(line(3));
    listing.select(0);
    QCOMPARE(spy.count(), 0);
    other.add(line(4));
    other.select(0);
    QCOMPARE(spy.count(), 1);
    box.setListing(nullptr);
    QCOMPARE(box.count(), 0);
  }

  void pictures() {
    THListBox box;
    box.resize(377, 255);
    const char* lines[] = {
        "[0000]: LLI R1, H'05", "[0001]: LLI R2, H'07", "[0002]: ADDS R3, R1, R2",
        "[0003]: OUT R3, H'01", "[0004]: HALT",         "[0005]:\t2105\t(tab)"};
    for (const char* line : lines) box.addLine(QString::fromLatin1(line));
    box.selectLine(2);
    QVERIFY(showAndSettle(box));
    QVERIFY(box.grab().save(picturesDir() + QStringLiteral("/listing.png")));
  }
};

QTEST_MAIN(HListBoxTest)
#include "hlistbox_test.moc"
