#include <QApplication>
#include <QDir>
#include <QEnterEvent>
#include <QImage>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>

#include "widgets/live_button.h"
#include "widgets/widget_test_support.h"

using orben::TLiveButton;
using orben::testing::picturesDir;

namespace {

const QColor kBlack(0, 0, 0);
const QColor kYellow(255, 255, 0);
const QColor kTeal(0, 128, 128);

void sendEnter(QWidget* widget) {
  QEnterEvent event(QPointF(5, 5), QPointF(5, 5), widget->mapToGlobal(QPointF(5, 5)));
  QApplication::sendEvent(widget, &event);
}

void sendLeave(QWidget* widget) {
  QEvent event(QEvent::Leave);
  QApplication::sendEvent(widget, &event);
}

// Pixels of exactly `colour` in the button's picture.
int countColour(QWidget& widget, const QColor& colour) {
  const QImage image = widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
  int n = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if (image.pixelColor(x, y) == colour) ++n;
    }
  }
  return n;
}

QPixmap square(const QColor& colour, int side = 16) {
  QPixmap pixmap(side, side);
  pixmap.fill(colour);
  return pixmap;
}

// A front panel button: 15-pixel caption, drawn without antialiasing so
// caption pixels carry the caption colour exactly.
void frontPanelLook(TLiveButton& button, const QString& caption) {
  button.setText(caption);
  QFont font(QStringLiteral("MS Sans Serif"));
  font.setPixelSize(15);
  font.setStyleStrategy(QFont::NoAntialias);
  button.setFont(font);
  button.setCaptionColor(kTeal);
  button.setMargin(3);
  button.setCursor(Qt::PointingHandCursor);
  button.resize(108, 31);
}

}  // namespace

class LiveButtonTest : public QObject {
  Q_OBJECT

 private slots:
  void dialogButtonStartsBlackAndIsTealAfterOnePass() {
    TLiveButton button;
    button.setText(QStringLiteral("¡Vale!"));
    QCOMPARE(button.captionColor(), kBlack);
    // Leaving gives teal whatever the colour before.
    button.setCaptionColor(QColor(200, 10, 10));
    sendLeave(&button);
    QCOMPARE(button.captionColor(), kTeal);
    button.setCaptionColor(kBlack);
    sendEnter(&button);
    QCOMPARE(button.captionColor(), kYellow);
    sendLeave(&button);
    QCOMPARE(button.captionColor(), kTeal);
    sendEnter(&button);
    QCOMPARE(button.captionColor(), kYellow);
    sendLeave(&button);
    QCOMPARE(button.captionColor(), kTeal);
  }

  void realPointerMovesLightTheCaption() {
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* button = new TLiveButton(&window);
    button->setText(QStringLiteral("On/Off"));
    button->setFixedSize(108, 31);
    layout->addWidget(button);
    layout->addSpacing(60);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QTest::mouseMove(&window, QPoint(2, window.height() - 2));
    QTest::mouseMove(button, button->rect().center());
    QTRY_COMPARE(button->captionColor(), kYellow);
    QTest::mouseMove(&window, QPoint(2, window.height() - 2));
    QTRY_COMPARE(button->captionColor(), kTeal);
  }

  void theCaptionIsDrawnInTheCaptionColour() {
    TLiveButton button;
    frontPanelLook(button, QStringLiteral("On/Off"));
    QVERIFY(countColour(button, kTeal) > 20);
    QCOMPARE(countColour(button, kYellow), 0);
    sendEnter(&button);
    QVERIFY(countColour(button, kYellow) > 20);
    QCOMPARE(countColour(button, kTeal), 0);
    sendLeave(&button);
    QVERIFY(countColour(button, kTeal) > 20);
    QCOMPARE(countColour(button, kYellow), 0);
  }

  void glyphSitsAtTheMarginAndHasADisabledLook() {
    TLiveButton button;
    frontPanelLook(button, QStringLiteral("D&irección"));
    button.resize(110, 29);
    const QColor normal(255, 0, 0);
    const QColor disabled(0, 0, 255);
    button.setGlyph(square(normal), square(disabled));
    const int middle = button.height() / 2;
    QImage image = button.grab().toImage();
    // The glyph begins `margin` pixels inside the left edge.
    QCOMPARE(image.pixelColor(3, middle), normal);
    QCOMPARE(image.pixelColor(3 + 15, middle), normal);
    QVERIFY(image.pixelColor(2, middle) != normal);
    QVERIFY(image.pixelColor(3 + 16, middle) != normal);
    button.setEnabled(false);
    image = button.grab().toImage();
    QCOMPARE(image.pixelColor(3 + 8, middle), disabled);
    QCOMPARE(countColour(button, normal), 0);
  }

  void clicksByMouseKeysAndAcceleratorOnlyWhileEnabled() {
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* button = new TLiveButton(&window);
    button->setText(QStringLiteral("&Paso a paso"));
    layout->addWidget(button);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QApplication::setActiveWindow(&window);
    QVERIFY(QTest::qWaitForWindowActive(&window));
    button->setFocus();
    QSignalSpy spy(button, &TLiveButton::clicked);
    auto press_everything = [&] {
      QTest::mouseClick(button, Qt::LeftButton);
      QTest::keyClick(button, Qt::Key_Space);
      QTest::keyClick(button, Qt::Key_Return);
      QTest::keyClick(button, Qt::Key_Enter);
      QTest::keyClick(&window, Qt::Key_P, Qt::AltModifier);
      QTest::keyClick(&window, Qt::Key_A, Qt::AltModifier);  // not its accelerator
      QTest::qWait(20);
    };

    press_everything();
    QTRY_COMPARE(spy.count(), 5);
    button->setEnabled(false);
    press_everything();
    QCOMPARE(spy.count(), 5);
    button->setEnabled(true);
    button->setFocus();
    press_everything();
    QTRY_COMPARE(spy.count(), 10);
  }

  void pictures() {
    const QString dir = picturesDir();
    QWidget panel;
    panel.setAutoFillBackground(true);
    QPalette palette = panel.palette();
    palette.setColor(QPalette::Window, QColor(192, 192, 192));
    panel.setPalette(palette);
    panel.resize(8 + 108 + 8 + 110 + 8 + 32 + 8 + 97 + 8, 8 + 49 + 8);

    QPixmap power(16, 16);
    power.fill(Qt::transparent);
    {
      QPainter p(&power);
      p.setRenderHint(QPainter::Antialiasing);
      p.setPen(QPen(QColor(200, 0, 0), 2));
      p.drawArc(QRect(2, 3, 12, 12), 120 * 16, 300 * 16);
      p.drawLine(8, 1, 8, 8);
    }
    auto* on_off = new TLiveButton(&panel);
    frontPanelLook(*on_off, QStringLiteral("On/Off"));
    on_off->setGlyph(power);
    on_off->move(8, 8);
    sendEnter(on_off);  // lit, as under the pointer

    auto* direction = new TLiveButton(&panel);
    frontPanelLook(*direction, QStringLiteral("D&irección"));
    direction->resize(110, 29);
    direction->setGlyph(square(QColor(0, 0, 160)), square(QColor(128, 128, 128)));
    direction->setEnabled(false);
    direction->move(8 + 108 + 8, 8);

    auto* key = new TLiveButton(&panel);
    frontPanelLook(*key, QStringLiteral("&A"));
    key->resize(32, 29);
    key->move(8 + 108 + 8 + 110 + 8, 8);

    auto* ok = new TLiveButton(&panel);
    ok->setText(QStringLiteral("¡Vale!"));
    ok->setGlyph(square(QColor(0, 160, 0)));
    ok->resize(97, 49);
    ok->move(8 + 108 + 8 + 110 + 8 + 32 + 8, 8);

    QVERIFY(panel.grab().save(dir + QStringLiteral("/live_buttons.png")));
  }
};

QTEST_MAIN(LiveButtonTest)
#include "live_button_test.moc"
