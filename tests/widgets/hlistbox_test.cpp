#include <QFontInfo>
#include <QPainter>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "disasm/listing.h"
#include "widgets/hlistbox.h"
#include "widgets/widget_test_support.h"

using orben::Listing;
using orben::THListBox;
using orben::testing::countColour;
using orben::testing::inkBounds;
using orben::testing::PaintCounter;
using orben::testing::showAndSettle;
using orben::testing::snapshot;

namespace {

// "[0000]: 2105" for address 0.
std::string line(int address, const char* content = "2105") {
  char text[32];
  std::snprintf(text, sizeof text, "[%04X]: %s", address, content);
  return text;
}

void fill(Listing& listing, int lines) {
  for (int a = 0; a < lines; ++a) listing.add(line(a % 0xF000));
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

// A listing in a list of the main window's size, on screen.
struct Shown {
  Listing listing;
  CountingListBox box{&listing};
  explicit Shown(int lines) {
    fill(listing, lines);
    box.resize(377, 255);
    if (!showAndSettle(box)) qWarning("list window not exposed");
  }
};

}  // namespace

class HListBoxTest : public QObject {
  Q_OBJECT

 private slots:
  // The widget shows the listing it is given, and observes only that
  // listing, and only while it exists.
  void theWidgetWorksThroughItsListing() {
    Listing listing;
    delete new THListBox(&listing);
    fill(listing, 2);  // would reach a destroyed observer
    THListBox box(&listing);
    QCOMPARE(lines(box), QStringList({"[0000]: 2105", "[0001]: 2105"}));
    QCOMPARE(box.lineAt(2), QString());

    Listing other;
    box.setListing(&other);
    QSignalSpy spy(&box, &THListBox::currentLineChanged);
    listing.select(0);
    fill(other, 2);
    other.select(1);
    QCOMPARE(spy.count(), 1);
    box.setListing(nullptr);
    QCOMPARE(box.count(), 0);
  }

  void clearingAListScrolledRightLeavesItEmptyAndAtTheLeftEdge() {
    Shown shown(40);
    auto& [listing, box] = shown;
    box.setHorizontalExtent(box.viewport()->width() + 500);
    box.horizontalScrollBar()->setValue(500);
    box.verticalScrollBar()->setValue(10);
    QCOMPARE(box.horizontalScrollBar()->value(), 500);

    listing.clear();  // the listing emptied behind the widget's back

    // Lines, extent, scroll range and position, top line, selection.
    QCOMPARE(QList<int>({box.count(), box.horizontalExtent(), box.horizontalScrollBar()->maximum(),
                         box.horizontalScrollBar()->value(), box.topLine(), box.currentLine()}),
             QList<int>({0, 0, 0, 0, 0, -1}));
  }

  // However the selection moves, the selected line ends up in view with the
  // least scrolling: none when it was in view, else it becomes the top or
  // the bottom line.
  void theSelectedLineIsScrolledIntoView_data() {
    QTest::addColumn<QString>("how");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("argument");  // a line, an address or a key
    QTest::addColumn<int>("selected");
    const auto row = [](const char* name, const char* how, int start, int argument, int selected) {
      QTest::newRow(name) << QString(how) << start << argument << selected;
    };
    row("back up", "widget", 1500, 100, 100);
    row("already in view", "widget", 10, 12, 12);
    row("the last line", "widget", 0, 1999, 1999);
    row("by address", "address", 1500, 0x64, 100);
    row("click, scrolled", "click", 1500, 1495, 1495);
    row("Down", "key", 0, Qt::Key_Down, 1);
    row("Down on the last line", "key", 1999, Qt::Key_Down, 1999);
    row("End", "key", 0, Qt::Key_End, 1999);
    row("Home", "key", 1999, Qt::Key_Home, 0);
  }
  void theSelectedLineIsScrolledIntoView() {
    QFETCH(QString, how);
    QFETCH(int, start);
    QFETCH(int, argument);
    QFETCH(int, selected);
    Shown shown(2000);
    auto& [listing, box] = shown;
    box.selectLine(start);
    const int top = box.topLine();
    const int visible = box.visibleLines();
    QSignalSpy spy(&box, &THListBox::currentLineChanged);

    if (how == u"widget") box.selectLine(argument);
    if (how == u"address") listing.selectAddress(line(argument).substr(1, 4));
    if (how == u"key") QTest::keyClick(&box, static_cast<Qt::Key>(argument));
    if (how == u"click") {
      const QPoint inLine(30, (argument - top) * THListBox::kLineHeight + 5);
      QTest::mouseClick(box.viewport(), Qt::LeftButton, {}, inLine);
    }

    QCOMPARE(box.currentLine(), selected);
    QCOMPARE(spy.count(), selected == start ? 0 : 1);
    if (!spy.isEmpty()) QCOMPARE(spy.at(0).at(0).toInt(), selected);
    if (selected < top) {
      QCOMPARE(box.topLine(), selected);
    } else if (selected >= top + visible) {
      QCOMPARE(box.topLine(), selected - visible + 1);
    } else {
      QCOMPARE(box.topLine(), top);
    }
  }

  void theViewRepaintsWhenTheListingChanges() {
    Shown shown(200);
    Listing& listing = shown.listing;
    CountingListBox& box = shown.box;
    PaintCounter counter;
    box.viewport()->installEventFilter(&counter);

    struct Change {
      const char* what;
      std::function<void()> apply;
      bool repaints;
    };
    const Change changes[] = {
        {"add below the view", [&] { listing.add(line(0x300)); }, false},
        {"sort", [&] { listing.setSorted(true); }, true},
        {"add in view", [&] { listing.add(line(1, "HALT")); }, true},
        {"replace a line in view", [&] { listing.replace(3, line(3, "HALT")); }, true},
        {"replace a line out of view", [&] { listing.replace(150, line(150, "HALT")); }, false},
        {"remove", [&] { listing.remove(0); }, true},
        {"select", [&] { listing.select(4); }, true},
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
    Shown shown(61440);
    auto& [listing, box] = shown;
    const auto visible = static_cast<std::size_t>(box.visibleLines());

    // A run selecting line after line: a whole repaint draws the lines in
    // view, from the top line down, and no others.
    for (int selected = 30000; selected < 30040; ++selected) {
      box.drawn.clear();
      listing.select(selected);
      box.viewport()->repaint(box.viewport()->rect());
      QVERIFY(box.drawn.size() <= visible + 1);
      QCOMPARE(box.drawn.front(), box.topLine());
      QCOMPARE(std::count(box.drawn.begin(), box.drawn.end(), selected), 1);
    }

    // Moving the selection within the view repaints just the two lines.
    QTest::qWait(20);
    box.drawn.clear();
    listing.select(listing.selected() - 1);
    QTRY_VERIFY(!box.drawn.empty());
    QTest::qWait(20);
    QVERIFY(box.drawn.size() <= 2);
  }

  void tabsExpandToStopsEveryEightCells() {
    const std::pair<const char*, const char*> cases[] = {
        {"[0000]: HALT", "[0000]: HALT"},  {"\tx", "        x"},
        {"[0000]:\tHALT", "[0000]: HALT"}, {"12345678\tx", "12345678        x"},
        {"a\tb\tc", "a       b       c"},
    };
    for (const auto& [text, expanded] : cases)
      QCOMPARE(THListBox::expandTabs(QString::fromLatin1(text)), QString::fromLatin1(expanded));
  }

  // "Courier New" 15 pixels high in navy, 17 pixels per line: the second
  // of two equal lines is the first drawn 17 pixels lower, and nothing is
  // drawn below it.
  void linesAreNavyAndSeventeenPixelsApart() {
    Shown shown(0);
    auto& [listing, box] = shown;
    QCOMPARE(box.font().pixelSize(), 15);
    QVERIFY(QFontInfo(box.font()).fixedPitch());
    listing.add(line(0, "LLI R1, H'05"));
    listing.add(line(0, "LLI R1, H'05"));
    box.clearFocus();  // no focus frame along the edges
    const QImage image = snapshot(*box.viewport());
    const int width = image.width();
    QVERIFY(countColour(image, QColor(0, 0, 128)) > 20);
    QCOMPARE(image.copy(0, 17, width, 17), image.copy(0, 0, width, 17));
    QCOMPARE(inkBounds(image.copy(0, 34, width, image.height() - 34), Qt::white), QRect());
  }
};

QTEST_MAIN(HListBoxTest)
#include "hlistbox_test.moc"
