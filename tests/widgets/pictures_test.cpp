#include <QSignalSpy>
#include <QTest>

#include <functional>

#include "widgets/widget_test_support.h"
#include "windows/lamp.h"
#include "windows/pictures.h"

using orben::glyph;
using orben::Glyph;
using orben::Lamp;
using orben::LampColour;
using orben::lampPicture;
using orben::testing::showAndSettle;

namespace {

struct PictureCase {
  const char* name;
  std::function<QPixmap()> draw;
  QSize size;
};

// The picture has its size, something drawn on it (at least 8% of its
// pixels half opaque) and a transparent background (a clear top left corner).
void checkDrawn(const QPixmap& pixmap, QSize size) {
  QCOMPARE(pixmap.deviceIndependentSize().toSize(), size);
  const QImage image = pixmap.toImage();
  QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
  int painted = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) painted += qAlpha(image.pixel(x, y)) >= 128;
  }
  QVERIFY(painted > 0.08 * image.width() * image.height());
}

}  // namespace

Q_DECLARE_METATYPE(PictureCase)

class PicturesTest : public QObject {
  Q_OBJECT

 private slots:
  // Each picture is drawn on a transparent background at its size.
  void drawnOnTransparent_data() {
    using namespace orben;
    orben::testing::addCases<PictureCase>(
        "picture", {{"flag lamp", [] { return lampPicture(LampColour::Red, true); }, {21, 21}},
                    {"folder icon", [] { return toolbarIcon(0); }, {20, 20}},
                    {"gear icon", [] { return toolbarIcon(1); }, {20, 20}},
                    {"chip icon", [] { return toolbarIcon(2); }, {20, 20}},
                    {"chip", [] { return chipPicture(); }, {60, 40}},
                    {"processor", [] { return processorPicture(); }, {150, 60}},
                    {"alu", [] { return aluPicture(); }, {120, 80}},
                    {"cable down", [] { return cablePicture(Pointing::Down, 30); }, {11, 30}},
                    {"cable left", [] { return cablePicture(Pointing::Left, 30); }, {30, 11}}});
  }
  void drawnOnTransparent() {
    QFETCH(PictureCase, picture);
    checkDrawn(picture.draw(), picture.size);
  }

  // So is every glyph, plain and disabled; the disabled look differs and has
  // no colour of its own: every pixel is grey.
  void glyphsPlainAndDisabled() {
    for (Glyph which : {Glyph::Power, Glyph::Step, Glyph::Address, Glyph::Registers, Glyph::Load,
                        Glyph::Execute, Glyph::Continue, Glyph::Ok, Glyph::Cancel}) {
      checkDrawn(glyph(which), {20, 20});
      checkDrawn(glyph(which, true), {20, 20});
      const QImage image = glyph(which, true).toImage().convertToFormat(QImage::Format_ARGB32);
      QVERIFY(image != glyph(which).toImage().convertToFormat(QImage::Format_ARGB32));
      for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
          const QRgb p = image.pixel(x, y);
          QVERIFY(qRed(p) == qGreen(p) && qGreen(p) == qBlue(p));
        }
      }
    }
  }

  // A lit lamp's lens is clearly brighter than the dark one's, and the
  // three colours are told apart by their strongest channel when lit.
  void litLampsStandOut_data() {
    QTest::addColumn<LampColour>("colour");
    QTest::addColumn<int>("channel");  // 0 red, 1 green
    QTest::newRow("red") << LampColour::Red << 0;
    QTest::newRow("green") << LampColour::Green << 1;
    QTest::newRow("amber") << LampColour::Amber << 0;
  }
  void litLampsStandOut() {
    QFETCH(LampColour, colour);
    QFETCH(int, channel);
    const QColor off = lampPicture(colour, false).toImage().pixelColor(10, 13);
    const QColor on = lampPicture(colour, true).toImage().pixelColor(10, 13);
    QVERIFY2(on.value() - off.value() > 100, QTest::currentDataTag());
    const int strongest = channel == 0 ? on.red() : on.green();
    QVERIFY(strongest >= on.blue() + 100);
    QVERIFY(strongest >= (channel == 0 ? on.green() : on.red()));
  }

  // A lamp is as big as its pictures; its on image is hidden exactly while
  // it is unlit; a left click on whichever image is on top raises clicked(),
  // a press released outside or another button does not.
  void lampClicks() {
    QWidget host;
    auto* lamp =
        new Lamp(QStringLiteral("Z_OFF"), QStringLiteral("Z_ON"),
                 lampPicture(LampColour::Red, false), lampPicture(LampColour::Red, true), &host);
    QSignalSpy clicks(lamp, &Lamp::clicked);
    QVERIFY(showAndSettle(host));
    QCOMPARE(lamp->size(), QSize(21, 21));
    auto* off = host.findChild<QWidget*>(QStringLiteral("Z_OFF"));
    auto* on = host.findChild<QWidget*>(QStringLiteral("Z_ON"));
    QVERIFY(off && on && on->isHidden() && !lamp->isLit());

    for (bool lit : {false, true, false}) {
      lamp->setLit(lit);
      QCOMPARE(on->isHidden(), !lit);
      QCOMPARE(off->isHidden(), false);
      QWidget* top = lamp->childAt(10, 10);
      QCOMPARE(top, lit ? on : off);
      const int before = static_cast<int>(clicks.count());
      QTest::mouseClick(top, Qt::LeftButton, {}, {10, 10});
      QCOMPARE(clicks.count(), before + 1);
      QTest::mouseClick(top, Qt::RightButton, {}, {10, 10});
      QTest::mousePress(top, Qt::LeftButton, {}, {10, 10});
      QTest::mouseRelease(top, Qt::LeftButton, {}, {30, 10});
      QCOMPARE(clicks.count(), before + 1);
    }
  }
};

QTEST_MAIN(PicturesTest)
#include "pictures_test.moc"
