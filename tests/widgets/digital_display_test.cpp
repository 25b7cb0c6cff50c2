#include <QSignalSpy>
#include <QTest>

#include <array>
#include <cstring>

#include "widgets/digital_display.h"
#include "widgets/widget_test_support.h"

using orben::TDigitalDisplay;
using orben::testing::addCases;
using orben::testing::countColour;
using orben::testing::inkBounds;
using orben::testing::PaintCounter;
using orben::testing::showAndSettle;
using orben::testing::snapshot;

namespace {

const QColor kBlack(0, 0, 0);
const QColor kLime(0, 255, 0);
const QColor kPortOff(0, 91, 0);

// A display size of the machine with the geometry its margins give: first
// cell at x 0, top y0 1, cell width 16 (66 / 4 truncated) on a register
// display and 13 (53 / 4) on a port display.
struct Shape {
  int width, height, digits, cell_width;
  QColor off;
};
const Shape kRegister{67, 26, 4, 16, kBlack};
const Shape kPort{54, 21, 4, 13, kPortOff};

// A value drawn on a display: what each cell shows (a digit, or '-' for an
// empty cell), and the cells with a point and with a colon.
struct Drawing {
  const char* name;
  Shape shape;
  TDigitalDisplay::DisplayAlignment alignment;
  bool zeros;
  const char *value, *cells, *points, *colons;
};

}  // namespace

Q_DECLARE_METATYPE(Shape)
Q_DECLARE_METATYPE(Drawing)

namespace {

// A point inside each segment a..g, the decimal point and the colon's two
// dots, on the 28 by 35 design grid of a digit cell.
enum Segment { A, B, C, D, E, F, G, Point, ColonLower, ColonUpper };
const std::array<QPoint, 10> kInside = {
    {{16, 2}, {24, 9}, {24, 25}, {16, 32}, {9, 25}, {9, 9}, {16, 17}, {3, 33}, {3, 23}, {3, 11}}};

// The segment states a..g of each hexadecimal digit.
const char* const kPatterns[16] = {"1111110", "0110000", "1101101", "1111001", "0110011", "1011011",
                                   "1011111", "1110000", "1111111", "1111011", "1110111", "0011111",
                                   "1001110", "0111101", "1001111", "1000111"};

// Where a design point of a cell lands: scaled by cell width / 28 and by the
// height without margin / 35 (single precision), fraction dropped.
QPoint pixel(const Shape& shape, int cell, Segment segment) {
  const int my = static_cast<int>(shape.height * 0.12);
  const float sx = static_cast<float>(shape.cell_width) / 28.0f;
  const float sy = static_cast<float>(shape.height - my) / 35.0f;
  const QPoint p = kInside[segment];
  return {cell * shape.cell_width + static_cast<int>(static_cast<float>(p.x()) * sx),
          1 + static_cast<int>(static_cast<float>(p.y()) * sy)};
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
      const QColor want = digit < 0 ? kBlack : (kPatterns[digit][s] == '1' ? kLime : shape.off);
      if (image.pixelColor(pixel(shape, cell, static_cast<Segment>(s))) != want) return cell;
    }
  }
  return -1;
}

}  // namespace

class DigitalDisplayTest : public QObject {
  Q_OBJECT

 private slots:
  // Each digit lands in each cell with its lit and unlit segments. "8.8.8.8."
  // lights all the cells can show: from segment f of the first cell (design
  // x 7) to segment b of the last (design x 26), from y0 to design y 34; the
  // point after the last cell is past the walk's end.
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
    for (int first = 0; first < 16; ++first) {
      QString value;
      for (int i = 0; i < 4; ++i) value += QString::number((first + i) % 16, 16);
      display.setValue(value);
      QVERIFY2(cellMismatch(snapshot(display), shape, value.toUpper()) < 0, qPrintable(value));
    }
    display.setBckgndColor(QColor(10, 20, 30));
    display.setValue(QStringLiteral("8.8.8.8."));
    QCOMPARE(inkBounds(snapshot(display), QColor(10, 20, 30)), lit);
  }

  // Cells by alignment and padding; a point or colon sits at the left edge
  // of the cell after its digit, takes no cell and is lit in the lit colour.
  // Without digits ("****", the off state) only the background is drawn.
  void valueDrawsItsCells_data() {
    const auto left = TDigitalDisplay::Left, right = TDigitalDisplay::Right;
    const auto centre = TDigitalDisplay::Centre;
    const Shape twoCells{54, 21, 2, 26, kPortOff}, noCells{54, 21, 0, 13, kPortOff};
    addCases<Drawing>(
        "drawing", {
                       {"right", kPort, right, false, "7", "---7", "", ""},
                       {"right, zeros", kPort, right, true, "7", "0007", "", ""},
                       {"centre", kPort, centre, false, "7", "-7--", "", ""},
                       {"centre, zeros", kPort, centre, true, "7", "07--", "", ""},
                       {"left", kPort, left, false, "7", "7---", "", ""},
                       {"left, zeros", kPort, left, true, "7", "7---", "", ""},
                       {"blank, lower case", kPort, left, false, "A b", "A-B-", "", ""},
                       {"others take no cell", kPort, left, false, "x1y2", "12--", "", ""},
                       {"lower case kept", kPort, right, false, "0A1f", "0A1F", "", ""},
                       {"stops after 4", kPort, right, false, "12345", "1234", "", ""},
                       {"stops after 2", twoCells, right, false, "12345", "12", "", ""},
                       {"point, left", kRegister, left, false, "1.5", "15--", "1", ""},
                       {"comma, left", kRegister, left, false, "1,5", "15--", "1", ""},
                       {"point, right", kRegister, right, false, "1.5", "--15", "3", ""},
                       {"comma, right", kRegister, right, false, "1,5", "--15", "3", ""},
                       {"colon, point past the end", kPort, left, false, "12:34.", "1234", "", "2"},
                       {"67x26 off", kRegister, right, false, "****", "----", "", ""},
                       {"54x21 off", kPort, right, false, "****", "----", "", ""},
                       {"no cells", noCells, right, false, "1234", "", "", ""},
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
    for (int cell = 0; cell < cells.size(); ++cell) {
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

  // Each property starts at its described value and repaints the display
  // only when set to a different one.
  void propertiesRepaintOnlyWhenTheyChange_data() {
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<QVariant>("initial");
    QTest::addColumn<QVariant>("other");
    const auto row = [](const char* name, const QVariant& initial, const QVariant& other) {
      QTest::newRow(name) << QByteArray(name) << initial << other;
    };
    row("Value", QStringLiteral("0000"), QStringLiteral("0001"));
    row("Digits", 4, 3);
    row("Alignment", QVariant::fromValue(TDigitalDisplay::Right),
        QVariant::fromValue(TDigitalDisplay::Left));
    row("LeadingZeros", false, true);
    row("BckgndColor", kBlack, QColor(1, 2, 3));
    row("DigitOnColor", kLime, QColor(255, 0, 0));
    row("DigitOffColor", QColor(0, 64, 0), kPortOff);
  }
  void propertiesRepaintOnlyWhenTheyChange() {
    QFETCH(QByteArray, name);
    QFETCH(QVariant, initial);
    QFETCH(QVariant, other);
    TDigitalDisplay display;
    QCOMPARE(display.size(), QSize(108, 35));
    QCOMPARE(display.property(name.constData()), initial);
    PaintCounter counter;
    display.installEventFilter(&counter);
    QVERIFY(showAndSettle(display));
    QVERIFY(counter.paints > 0);
    counter.paints = 0;

    QVERIFY(display.setProperty(name.constData(), initial));
    QTest::qWait(30);
    QCOMPARE(counter.paints, 0);
    QVERIFY(display.setProperty(name.constData(), other));
    QCOMPARE(display.property(name.constData()), other);
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
