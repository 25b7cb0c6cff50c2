#include <QSignalSpy>
#include <QTest>

#include <array>
#include <cstring>

#include "widgets/digital_display.h"
#include "widgets/widget_test_support.h"

using orben::TDigitalDisplay;
using namespace orben::testing;

namespace {

const QColor kBlack(0, 0, 0);
const QColor kLime(0, 255, 0);
const QColor kPortOff(0, 91, 0);

// A display size of the machine, its cell width (66 / 4 or 53 / 4, truncated)
// and its column of probe pixels below.
struct Shape {
  int width, height, digits, cell_width, probes;
  QColor off;
};
const Shape kRegister{67, 26, 4, 16, 0, kBlack};
const Shape kPort{54, 21, 4, 13, 1, kPortOff};

// A value drawn on a display: what each cell shows (a digit, or '-' for an
// empty cell), and the cells with a point and with a colon.
struct Drawing {
  const char* name;
  Shape shape;
  TDigitalDisplay::DisplayAlignment alignment;
  bool zeros;
  const char *value, *cells, *points, *colons;
};

// The digits 0..F as a calculator shows them (b, d in lower case), three
// columns each, one apart: a on top, f g b in the middle, e d c at the bottom.
const std::array<const char*, 3> kPicture = {
    // 0   1   2   3   4   5   6   7   8   9   A   b   C   d   E   F
    " _       _   _       _   _   _   _   _   _       _       _   _ ",
    "| |   |  _|  _| |_| |_  |_    | |_| |_| |_| |_  |    _| |_  |_ ",
    "|_|   | |_   _|   |  _| |_|   | |_|  _| | | |_| |_  |_| |_  |  ",
};
// Where segments a..g sit in a digit's three columns (x) and rows (y).
const std::array<QPoint, 7> kStroke = {{{1, 0}, {2, 1}, {2, 2}, {1, 2}, {0, 2}, {0, 1}, {1, 1}}};

bool litInPicture(int digit, int s) {
  return kPicture[kStroke[s].y()][4 * digit + kStroke[s].x()] != ' ';
}

// A pixel well inside each segment a..g, the point and the colon's dots of
// the first cell of a 67 by 26 | 54 by 21 display: design point (px, py) at
// (trunc(px * SX), 1 + trunc(py * SY)), SX = 16/28, SY = (26 - 3)/35 |
// SX = 13/28, SY = (21 - 2)/35, the margins 3 and 2 being 12% of the height
// truncated. Comments: (px, py): px * SX, py * SY | px * SX, py * SY.
enum Segment { A, B, C, D, E, F, G, Point, ColonLower, ColonUpper };
const std::array<std::array<QPoint, 2>, 10> kProbes = {{
    {{{9, 2}, {7, 2}}},      // a (16,2): 9.14, 1.31 | 7.43, 1.09
    {{{13, 6}, {11, 5}}},    // b (24,9): 13.71, 5.91 | 11.14, 4.89
    {{{13, 17}, {11, 14}}},  // c (24,25): 13.71, 16.43 | 11.14, 13.57
    {{{9, 22}, {7, 18}}},    // d (16,32): 9.14, 21.03 | 7.43, 17.37
    {{{5, 17}, {4, 14}}},    // e (9,25): 5.14, 16.43 | 4.18, 13.57
    {{{5, 6}, {4, 5}}},      // f (9,9): 5.14, 5.91 | 4.18, 4.89
    {{{9, 12}, {7, 10}}},    // g (16,17): 9.14, 11.17 | 7.43, 9.23
    {{{1, 22}, {1, 18}}},    // point (3,33): 1.71, 21.69 | 1.39, 17.91
    {{{1, 16}, {1, 13}}},    // colon, lower (3,23): 1.71, 15.11 | 1.39, 12.49
    {{{1, 8}, {1, 7}}},      // colon, upper (3,12): 1.71, 7.89 | 1.39, 6.51
}};

// The probe of a segment in a cell: cells lie one cell width apart.
QPoint pixel(const Shape& shape, int cell, int segment) {
  return kProbes[segment][shape.probes] + QPoint(cell * shape.cell_width, 0);
}

void configure(TDigitalDisplay& display, const Shape& shape) {
  display.resize(shape.width, shape.height);
  display.setDigits(shape.digits);
  display.setDigitOffColor(shape.off);
}

// The first cell whose segments differ from `cells` (a digit shows its lit
// and unlit segments, '-' none at all), or -1.
int cellMismatch(const QImage& image, const Shape& shape, const QString& cells) {
  for (int cell = 0; cell < cells.size(); ++cell) {
    const int digit = cells[cell] == u'-' ? -1 : QString(cells[cell]).toInt(nullptr, 16);
    for (int s = A; s <= G; ++s) {
      const QColor want = digit < 0 ? kBlack : (litInPicture(digit, s) ? kLime : shape.off);
      if (image.pixelColor(pixel(shape, cell, s)) != want) return cell;
    }
  }
  return -1;
}

}  // namespace

Q_DECLARE_METATYPE(Shape)
Q_DECLARE_METATYPE(Drawing)

class DigitalDisplayTest : public QObject {
  Q_OBJECT

 private slots:
  // Each digit lands in each cell with its lit and unlit segments. "8.8.8.8."
  // lights from f of the first cell (design x 7) to b of the last (x 26), y0
  // to design y 34; the point after the last cell is past the walk's end.
  void segmentsSitWhereTheGeometryPutsThem_data() {
    QTest::addColumn<Shape>("shape");
    QTest::addColumn<QRect>("lit");
    // 7 * 16/28 = 4; 3 * 16 + trunc(26 * 16/28) = 62; 1 + trunc(34 * 23/35) = 23.
    QTest::newRow("67x26") << kRegister << QRect(QPoint(4, 1), QPoint(62, 23));
    // trunc(7 * 13/28) = 3; 3 * 13 + trunc(26 * 13/28) = 51; 1 + trunc(34 * 19/35) = 19.
    QTest::newRow("54x21") << kPort << QRect(QPoint(3, 1), QPoint(51, 19));
  }
  void segmentsSitWhereTheGeometryPutsThem() {
    QFETCH(Shape, shape);
    QFETCH(QRect, lit);
    TDigitalDisplay display;
    configure(display, shape);
    const QString ring = QStringLiteral("0123456789abcdef012");
    for (int first = 0; first < 16; ++first) {
      const QString value = ring.mid(first, 4);
      display.setValue(value);
      QVERIFY2(cellMismatch(snapshot(display), shape, value.toUpper()) < 0, qPrintable(value));
      // Plain digits are copied from cells drawn once; the copy must be the
      // picture that drawing every segment gives.
      QCOMPARE(snapshot(display), display.compose(display.size()));
    }
    display.setBckgndColor(QColor(10, 20, 30));
    display.setValue(QStringLiteral("8.8.8.8."));
    QCOMPARE(inkBounds(snapshot(display), QColor(10, 20, 30)), lit);
  }

  // Cells by alignment and padding; a point or colon sits at the left edge of
  // the cell after its digit, takes no cell, is lit, and is not drawn after
  // the last digit. Without digits ("****", the off state) only background.
  void valueDrawsItsCells_data() {
    using enum TDigitalDisplay::DisplayAlignment;
    addCases<Drawing>(
        "drawing", {
                       {"right", kPort, Right, false, "7", "---7", "", ""},
                       {"right, zeros", kPort, Right, true, "7", "0007", "", ""},
                       {"centre", kPort, Centre, false, "7", "-7--", "", ""},
                       {"centre, zeros", kPort, Centre, true, "7", "07--", "", ""},
                       {"left", kPort, Left, false, "7", "7---", "", ""},
                       {"left, zeros", kPort, Left, true, "7", "7---", "", ""},
                       {"blank, lower case", kPort, Left, false, "a 1f", "A-1F", "", ""},
                       {"others take no cell", kPort, Left, false, "x1y2", "12--", "", ""},
                       {"point, right", kRegister, Right, false, "1.5", "--15", "3", ""},
                       {"comma, left", kRegister, Left, false, "1,5", "15--", "1", ""},
                       {"colon, stops after 4", kPort, Right, false, "12:34.5", "1234", "", "2"},
                       {"off", kPort, Right, false, "****", "----", "", ""},
                       {"no cells", {54, 21, 0, 13, 1, kPortOff}, Right, false, "1234", "", "", ""},
                   });
  }
  void valueDrawsItsCells() {
    QFETCH(Drawing, drawing);
    const Shape& shape = drawing.shape;
    const QString cells = QString::fromLatin1(drawing.cells);
    TDigitalDisplay display;
    configure(display, shape);
    display.setAlignment(drawing.alignment);
    display.setLeadingZeros(drawing.zeros);
    display.setValue(QString::fromLatin1(drawing.value));
    QCOMPARE(display.property("Value").toString(), QString::fromLatin1(drawing.value));
    const QImage image = snapshot(display);
    QCOMPARE(cellMismatch(image, shape, cells), -1);
    // The cell after the last one still has room for a point and a colon.
    for (int cell = 0; cell <= cells.size(); ++cell) {
      const char at = static_cast<char>('0' + cell);
      const QColor point = std::strchr(drawing.points, at) ? kLime : kBlack;
      const QColor colon = std::strchr(drawing.colons, at) ? kLime : kBlack;
      QCOMPARE(image.pixelColor(pixel(shape, cell, Point)), point);
      QCOMPARE(image.pixelColor(pixel(shape, cell, ColonUpper)), colon);
      QCOMPARE(image.pixelColor(pixel(shape, cell, ColonLower)), colon);
    }
    if (cells.count(u'-') == cells.size()) {
      QCOMPARE(countColour(image, kBlack), shape.width * shape.height);
    }
  }

  // A display starts 108 by 35, four digits of "0000"; a new value repaints
  // it once, the same value not at all. (Its other properties are set once,
  // before it shows.)
  void aNewValueRepaintsOnce() {
    TDigitalDisplay display;
    QCOMPARE(display.size(), QSize(108, 35));
    QCOMPARE(display.property("Digits").toInt(), 4);
    PaintCounter counter;
    display.installEventFilter(&counter);
    QVERIFY(showAndSettle(display));
    counter.paints = 0;
    display.setValue(QStringLiteral("0000"));
    QTest::qWait(30);
    QCOMPARE(counter.paints, 0);
    display.setValue(QStringLiteral("0001"));
    QTRY_COMPARE(counter.paints, 1);
  }

  void aClickRaisesClicked() {
    TDigitalDisplay display;
    QSignalSpy spy(&display, &TDigitalDisplay::clicked);
    QTest::mouseClick(&display, Qt::LeftButton, {}, QPoint(10, 10));
    QCOMPARE(spy.count(), 1);
    // Pressed inside, released outside: no click.
    QTest::mousePress(&display, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseRelease(&display, Qt::LeftButton, {}, QPoint(500, 10));
    QCOMPARE(spy.count(), 1);
  }
};

QTEST_MAIN(DigitalDisplayTest)
#include "digital_display_test.moc"
