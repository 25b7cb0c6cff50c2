#include <QColor>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>

#include <array>
#include <cmath>

#include "widgets/digital_display.h"
#include "widgets/widget_test_support.h"

using orben::TDigitalDisplay;
using orben::testing::PaintCounter;
using orben::testing::picturesDir;

namespace {

const QColor kBlack(0, 0, 0);
const QColor kLime(0, 255, 0);
const QColor kPortOff(0, 91, 0);

// The two display sizes of the machine, with the geometry their margins
// give: first cell at x 0, top y0 1, cell width 16 (66 / 4 truncated) on a
// register display and 13 on a port display.
struct Shape {
  int width;
  int height;
  int cell_width;
  int y0;
  QColor off;
};
const Shape kRegister{67, 26, 16, 1, kBlack};
const Shape kPort{54, 21, 13, 1, kPortOff};

// A point inside each segment a..g, the decimal point and the colon's two
// dots, on the 28 by 35 design grid of a digit cell.
enum Segment { A, B, C, D, E, F, G, Point, ColonLower, ColonUpper };
const std::array<QPoint, 10> kInside = {
    {{16, 2}, {24, 9}, {24, 25}, {16, 32}, {9, 25}, {9, 9}, {16, 17}, {3, 33}, {3, 23}, {3, 11}}};

// Where a design point of the cell `cell` lands: each coordinate scaled by
// the cell width / 28 and the height without margin / 35 (single precision),
// fraction dropped.
QPoint pixel(const Shape& shape, int cell, Segment segment) {
  const int my = static_cast<int>(shape.height * 0.12);
  const float sx = static_cast<float>(shape.cell_width) / 28.0f;
  const float sy = static_cast<float>(shape.height - my) / 35.0f;
  const QPoint p = kInside[segment];
  return {cell * shape.cell_width + static_cast<int>(static_cast<float>(p.x()) * sx),
          shape.y0 + static_cast<int>(static_cast<float>(p.y()) * sy)};
}

QImage render(TDigitalDisplay& display) {
  return display.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

void configure(TDigitalDisplay& display, const Shape& shape) {
  display.resize(shape.width, shape.height);
  display.setDigitOffColor(shape.off);
}

// The segment states a..g of each hexadecimal digit.
const char* const kPatterns[16] = {"1111110", "0110000", "1101101", "1111001", "0110011", "1011011",
                                   "1011111", "1110000", "1111111", "1111011", "1110111", "0011111",
                                   "1001110", "0111101", "1001111", "1000111"};

// The cell shows `digit`: each segment's inside pixel lit or unlit.
bool cellShows(const QImage& image, const Shape& shape, int cell, int digit, QString* why) {
  for (int s = A; s <= G; ++s) {
    const QPoint p = pixel(shape, cell, static_cast<Segment>(s));
    const QColor want = kPatterns[digit][s] == '1' ? kLime : shape.off;
    const QColor got = image.pixelColor(p);
    if (got != want) {
      *why = QStringLiteral("cell %1 segment %2 at (%3,%4): got %5, want %6")
                 .arg(cell)
                 .arg(QChar(u'a' + s))
                 .arg(p.x())
                 .arg(p.y())
                 .arg(got.name(), want.name());
      return false;
    }
  }
  return true;
}

// No segment of the cell is drawn: every inside pixel is background.
bool cellEmpty(const QImage& image, const Shape& shape, int cell) {
  for (int s = A; s <= G; ++s) {
    if (image.pixelColor(pixel(shape, cell, static_cast<Segment>(s))) != kBlack) return false;
  }
  return true;
}

bool onlyColour(const QImage& image, const QColor& colour) {
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if (image.pixelColor(x, y) != colour) return false;
    }
  }
  return true;
}

}  // namespace

class DigitalDisplayTest : public QObject {
  Q_OBJECT

 private slots:
  void defaultsAreTheDescribedOnes() {
    TDigitalDisplay display;
    QCOMPARE(display.size(), QSize(108, 35));
    QCOMPARE(display.property("Value").toString(), QStringLiteral("0000"));
    QCOMPARE(display.property("Digits").toInt(), 4);
    QCOMPARE(display.property("Alignment").value<TDigitalDisplay::DisplayAlignment>(),
             TDigitalDisplay::Right);
    QCOMPARE(display.property("LeadingZeros").toBool(), false);
    QCOMPARE(display.property("BckgndColor").value<QColor>(), kBlack);
    QCOMPARE(display.property("DigitOnColor").value<QColor>(), kLime);
    QCOMPARE(display.property("DigitOffColor").value<QColor>(), QColor(0, 64, 0));
  }

  void everyDigitShowsItsSegments_data() {
    QTest::addColumn<int>("shape");
    QTest::addColumn<int>("cell");
    for (int shape = 0; shape < 2; ++shape) {
      for (int cell = 0; cell < 4; ++cell) {
        QTest::addRow("%s cell %d", shape == 0 ? "67x26" : "54x21", cell) << shape << cell;
      }
    }
  }
  void everyDigitShowsItsSegments() {
    QFETCH(int, shape);
    QFETCH(int, cell);
    const Shape& s = shape == 0 ? kRegister : kPort;
    TDigitalDisplay display;
    configure(display, s);
    // Four digits at a time, so each of the sixteen lands in each cell.
    for (int first = 0; first < 16; ++first) {
      QString value;
      for (int i = 0; i < 4; ++i) value += QString::number((first + i) % 16, 16);
      display.setValue(value);
      const QImage image = render(display);
      const int digit = (first + cell) % 16;
      QString why;
      QVERIFY2(cellShows(image, s, cell, digit, &why),
               qPrintable(QStringLiteral("value %1: %2").arg(value, why)));
    }
  }

  void eightAndOneDifferInTheTopAndMiddleSegments() {
    TDigitalDisplay display;
    configure(display, kPort);
    display.setValue(QStringLiteral("8181"));
    const QImage image = render(display);
    for (int cell : {0, 2}) {
      QCOMPARE(image.pixelColor(pixel(kPort, cell, A)), kLime);
      QCOMPARE(image.pixelColor(pixel(kPort, cell, G)), kLime);
    }
    for (int cell : {1, 3}) {
      QCOMPARE(image.pixelColor(pixel(kPort, cell, A)), kPortOff);
      QCOMPARE(image.pixelColor(pixel(kPort, cell, G)), kPortOff);
      QCOMPARE(image.pixelColor(pixel(kPort, cell, B)), kLime);
    }
  }

  void segmentsStayInsideTheirCellAndMargins() {
    // An "8" in every cell with the point: nothing lit above y0, below the
    // design height, or right of the last cell.
    TDigitalDisplay display;
    configure(display, kRegister);
    display.setValue(QStringLiteral("8.8.8.8."));
    const QImage image = render(display);
    const int bottom = kRegister.y0 + static_cast<int>(34.0f * (23.0f / 35.0f));
    for (int y = 0; y < image.height(); ++y) {
      for (int x = 0; x < image.width(); ++x) {
        if (image.pixelColor(x, y) == kBlack) continue;
        QVERIFY2(y >= kRegister.y0 && y <= bottom && x < 4 * kRegister.cell_width,
                 qPrintable(QStringLiteral("lit pixel at (%1,%2)").arg(x).arg(y)));
      }
    }
  }

  void offStateDrawsOnlyTheBackground_data() {
    QTest::addColumn<int>("shape");
    QTest::newRow("67x26") << 0;
    QTest::newRow("54x21") << 1;
  }
  void offStateDrawsOnlyTheBackground() {
    QFETCH(int, shape);
    TDigitalDisplay display;
    configure(display, shape == 0 ? kRegister : kPort);
    display.setValue(QStringLiteral("****"));
    QVERIFY(onlyColour(render(display), kBlack));
    display.setBckgndColor(QColor(10, 20, 30));
    QVERIFY(onlyColour(render(display), QColor(10, 20, 30)));
  }

  void shortValuesArePaddedByAlignment_data() {
    QTest::addColumn<int>("alignment");
    QTest::addColumn<bool>("zeros");
    QTest::addColumn<QString>("cells");  // what each cell shows; '-' empty
    QTest::newRow("right") << int(TDigitalDisplay::Right) << false << QStringLiteral("---7");
    QTest::newRow("right, zeros") << int(TDigitalDisplay::Right) << true << QStringLiteral("0007");
    QTest::newRow("centre") << int(TDigitalDisplay::Centre) << false << QStringLiteral("-7--");
    QTest::newRow("centre, zeros")
        << int(TDigitalDisplay::Centre) << true << QStringLiteral("07--");
    QTest::newRow("left") << int(TDigitalDisplay::Left) << false << QStringLiteral("7---");
    QTest::newRow("left, zeros") << int(TDigitalDisplay::Left) << true << QStringLiteral("7---");
  }
  void shortValuesArePaddedByAlignment() {
    QFETCH(int, alignment);
    QFETCH(bool, zeros);
    QFETCH(QString, cells);
    TDigitalDisplay display;
    configure(display, kPort);
    display.setAlignment(static_cast<TDigitalDisplay::DisplayAlignment>(alignment));
    display.setLeadingZeros(zeros);
    display.setValue(QStringLiteral("7"));
    QCOMPARE(display.value(), QStringLiteral("7"));
    const QImage image = render(display);
    for (int cell = 0; cell < 4; ++cell) {
      const QChar want = cells[cell];
      if (want == u'-') {
        QVERIFY2(cellEmpty(image, kPort, cell), qPrintable(QString::number(cell)));
      } else {
        QString why;
        QVERIFY2(cellShows(image, kPort, cell, want.digitValue(), &why), qPrintable(why));
      }
    }
  }

  void blanksAndOtherCharacters() {
    // "A b": a blank is an empty cell; lower case draws as upper case.
    // "x1y2": characters other than digits take no cell.
    TDigitalDisplay display;
    configure(display, kPort);
    display.setAlignment(TDigitalDisplay::Left);
    display.setValue(QStringLiteral("A b"));
    QImage image = render(display);
    QString why;
    QVERIFY2(cellShows(image, kPort, 0, 10, &why), qPrintable(why));
    QVERIFY(cellEmpty(image, kPort, 1));
    QVERIFY2(cellShows(image, kPort, 2, 11, &why), qPrintable(why));
    QVERIFY(cellEmpty(image, kPort, 3));

    display.setValue(QStringLiteral("x1y2"));
    image = render(display);
    QVERIFY2(cellShows(image, kPort, 0, 1, &why), qPrintable(why));
    QVERIFY2(cellShows(image, kPort, 1, 2, &why), qPrintable(why));
    QVERIFY(cellEmpty(image, kPort, 2));
  }

  void lowerCaseIsDrawnButKeptInTheValue() {
    TDigitalDisplay display;
    configure(display, kPort);
    display.setValue(QStringLiteral("0A1f"));
    QCOMPARE(display.property("Value").toString(), QStringLiteral("0A1f"));
    const QImage image = render(display);
    const int digits[] = {0, 10, 1, 15};
    for (int cell = 0; cell < 4; ++cell) {
      QString why;
      QVERIFY2(cellShows(image, kPort, cell, digits[cell], &why), qPrintable(why));
    }
  }

  void decimalPointSitsAtTheLeftEdgeOfTheNextCell_data() {
    QTest::addColumn<int>("alignment");
    QTest::addColumn<int>("one");  // cell of the 1; the point and the 5 follow
    QTest::newRow("left") << int(TDigitalDisplay::Left) << 0;
    QTest::newRow("right") << int(TDigitalDisplay::Right) << 2;
  }
  void decimalPointSitsAtTheLeftEdgeOfTheNextCell() {
    QFETCH(int, alignment);
    QFETCH(int, one);
    TDigitalDisplay display;
    configure(display, kRegister);
    display.setAlignment(static_cast<TDigitalDisplay::DisplayAlignment>(alignment));
    for (const QString& value : {QStringLiteral("1.5"), QStringLiteral("1,5")}) {
      display.setValue(value);
      const QImage image = render(display);
      QString why;
      QVERIFY2(cellShows(image, kRegister, one, 1, &why), qPrintable(why));
      QVERIFY2(cellShows(image, kRegister, one + 1, 5, &why), qPrintable(why));
      QCOMPARE(image.pixelColor(pixel(kRegister, one + 1, Point)), kLime);
      QCOMPARE(image.pixelColor(pixel(kRegister, one, Point)), kBlack);
      QCOMPARE(image.pixelColor(pixel(kRegister, one + 2 < 4 ? one + 2 : 0, Point)), kBlack);
    }
  }

  void pointAndColonAreLitWhateverTheUnlitColour() {
    TDigitalDisplay display;
    configure(display, kPort);
    display.setAlignment(TDigitalDisplay::Left);
    display.setDigitOnColor(QColor(255, 0, 0));
    display.setValue(QStringLiteral("12:34."));
    const QImage image = render(display);
    QCOMPARE(image.pixelColor(pixel(kPort, 2, ColonUpper)), QColor(255, 0, 0));
    QCOMPARE(image.pixelColor(pixel(kPort, 2, ColonLower)), QColor(255, 0, 0));
    QCOMPARE(image.pixelColor(pixel(kPort, 2, Point)), kBlack);
    QCOMPARE(image.pixelColor(pixel(kPort, 1, ColonUpper)), kBlack);
    // The colon takes no cell: the 3 and the 4 follow in cells 2 and 3.
    QString why;
    display.setDigitOnColor(kLime);
    QVERIFY2(cellShows(render(display), kPort, 3, 4, &why), qPrintable(why));
  }

  void walkStopsAfterTheLastCell() {
    TDigitalDisplay display;
    configure(display, kPort);
    display.setValue(QStringLiteral("12345"));
    QCOMPARE(display.value(), QStringLiteral("12345"));
    const QImage image = render(display);
    for (int cell = 0; cell < 4; ++cell) {
      QString why;
      QVERIFY2(cellShows(image, kPort, cell, cell + 1, &why), qPrintable(why));
    }
    // Fewer cells: the same value stops earlier.
    display.setDigits(2);
    const Shape two{54, 21, 26, 1, kPortOff};
    const QImage wide = render(display);
    QString why;
    QVERIFY2(cellShows(wide, two, 0, 1, &why), qPrintable(why));
    QVERIFY2(cellShows(wide, two, 1, 2, &why), qPrintable(why));
  }

  void noDigitsDrawsTheBackground() {
    TDigitalDisplay display;
    configure(display, kPort);
    display.setDigits(0);
    QVERIFY(onlyColour(render(display), kBlack));
  }

  void propertiesRepaintOnlyWhenTheyChange_data() {
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<QVariant>("same");
    QTest::addColumn<QVariant>("other");
    QTest::newRow("Value") << QByteArray("Value") << QVariant(QStringLiteral("0000"))
                           << QVariant(QStringLiteral("0001"));
    QTest::newRow("Digits") << QByteArray("Digits") << QVariant(4) << QVariant(3);
    QTest::newRow("Alignment") << QByteArray("Alignment")
                               << QVariant::fromValue(TDigitalDisplay::Right)
                               << QVariant::fromValue(TDigitalDisplay::Left);
    QTest::newRow("LeadingZeros") << QByteArray("LeadingZeros") << QVariant(false)
                                  << QVariant(true);
    QTest::newRow("BckgndColor") << QByteArray("BckgndColor") << QVariant(kBlack)
                                 << QVariant(QColor(1, 2, 3));
    QTest::newRow("DigitOnColor") << QByteArray("DigitOnColor") << QVariant(kLime)
                                  << QVariant(QColor(255, 0, 0));
    QTest::newRow("DigitOffColor")
        << QByteArray("DigitOffColor") << QVariant(QColor(0, 64, 0)) << QVariant(kPortOff);
  }
  void propertiesRepaintOnlyWhenTheyChange() {
    QFETCH(QByteArray, name);
    QFETCH(QVariant, same);
    QFETCH(QVariant, other);
    TDigitalDisplay display;
    PaintCounter counter;
    display.installEventFilter(&counter);
    display.show();
    QVERIFY(QTest::qWaitForWindowExposed(&display));
    QTRY_VERIFY(counter.paints > 0);
    QTest::qWait(20);
    counter.paints = 0;

    QVERIFY(display.setProperty(name.constData(), same));
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

  void pictures() {
    const QString dir = picturesDir();
    struct Picture {
      const char* file;
      Shape shape;
      const char* value;
    };
    const Picture pictures[] = {
        {"display_67x26_1A2F.png", kRegister, "1A2F"},
        {"display_67x26_off.png", kRegister, "****"},
        {"display_54x21_port.png", kPort, "00C5"},
        {"display_108x35_default.png", {108, 35, 0, 0, QColor(0, 64, 0)}, "12:3.4"},
    };
    const int scale = 3;
    const int gap = 8;
    QImage gallery(gap + 4 * (108 * scale + gap), 35 * scale + 2 * gap, QImage::Format_RGB32);
    gallery.fill(QColor(64, 64, 64));
    QPainter painter(&gallery);
    int x = gap;
    for (const Picture& p : pictures) {
      TDigitalDisplay display;
      configure(display, p.shape);
      display.setValue(QString::fromLatin1(p.value));
      const QImage image = render(display);
      QVERIFY(image.save(dir + QLatin1Char('/') + QLatin1String(p.file)));
      const QImage big =
          image.scaled(image.size() * scale, Qt::IgnoreAspectRatio, Qt::FastTransformation);
      painter.drawImage(x, gap + (35 * scale - big.height()) / 2, big);
      x += 108 * scale + gap;
    }
    painter.end();
    QVERIFY(gallery.save(dir + QStringLiteral("/display.png")));
  }
};

QTEST_MAIN(DigitalDisplayTest)
#include "digital_display_test.moc"
