#include <QApplication>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>

#include "widgets/live_button.h"
#include "widgets/widget_test_support.h"

using orben::TLiveButton;
using orben::testing::countColour;
using orben::testing::showAndSettle;
using orben::testing::snapshot;

namespace {

const QColor kBlack(0, 0, 0);
const QColor kYellow(255, 255, 0);
const QColor kTeal(0, 128, 128);

QPixmap square(const QColor& colour) {
  QPixmap pixmap(16, 16);
  pixmap.fill(colour);
  return pixmap;
}

// A front panel button's caption: 15 pixels high, drawn without
// antialiasing so that caption pixels carry the caption colour exactly.
void frontPanelLook(TLiveButton& button, const QString& caption) {
  button.setText(caption);
  QFont font(QStringLiteral("MS Sans Serif"));
  font.setPixelSize(15);
  font.setStyleStrategy(QFont::NoAntialias);
  button.setFont(font);
  button.setMargin(3);
}

}  // namespace

class LiveButtonTest : public QObject {
  Q_OBJECT

 private slots:
  // The caption, black at start as a dialog button's, turns teal when the
  // pointer leaves and yellow while the pointer is over the button; it is
  // drawn in that colour.
  void captionFollowsThePointer() {
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* button = new TLiveButton(&window);
    frontPanelLook(*button, QStringLiteral("On/Off"));
    button->setFixedSize(108, 31);
    layout->addWidget(button);
    layout->addSpacing(60);
    QCOMPARE(button->captionColor(), kBlack);
    QVERIFY(showAndSettle(window));
    const QPoint away(2, window.height() - 2);
    QTest::mouseMove(&window, away);

    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(button, &leave);
    QCOMPARE(button->captionColor(), kTeal);
    QTest::mouseMove(button, button->rect().center());
    QTRY_COMPARE(button->captionColor(), kYellow);
    QImage image = snapshot(*button);
    QVERIFY(countColour(image, kYellow) > 20);
    QCOMPARE(countColour(image, kTeal), 0);
    QTest::mouseMove(&window, away);
    QTRY_COMPARE(button->captionColor(), kTeal);
    image = snapshot(*button);
    QVERIFY(countColour(image, kTeal) > 20);
    QCOMPARE(countColour(image, kYellow), 0);
  }

  void glyphSitsAtTheMarginAndHasADisabledLook() {
    TLiveButton button;
    frontPanelLook(button, QStringLiteral("D&irección"));
    button.resize(110, 29);
    const QColor normal(255, 0, 0);
    const QColor disabled(0, 0, 255);
    button.setGlyph(square(normal), square(disabled));
    const int middle = button.height() / 2;
    QImage image = snapshot(button);
    // The glyph begins `margin` pixels inside the left edge.
    QCOMPARE(image.pixelColor(3, middle), normal);
    QCOMPARE(image.pixelColor(3 + 15, middle), normal);
    QVERIFY(image.pixelColor(2, middle) != normal);
    QVERIFY(image.pixelColor(3 + 16, middle) != normal);
    button.setEnabled(false);
    image = snapshot(button);
    QCOMPARE(image.pixelColor(3 + 8, middle), disabled);
    QCOMPARE(countColour(image, normal), 0);
  }

  void clicksByMouseKeysAndAcceleratorOnlyWhileEnabled() {
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* button = new TLiveButton(&window);
    button->setText(QStringLiteral("&Paso a paso"));
    layout->addWidget(button);
    window.show();
    QApplication::setActiveWindow(&window);
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QSignalSpy spy(button, &TLiveButton::clicked);
    auto pressEverything = [&] {
      button->setFocus();
      QTest::mouseClick(button, Qt::LeftButton);
      for (Qt::Key key : {Qt::Key_Space, Qt::Key_Return, Qt::Key_Enter}) {
        QTest::keyClick(button, key);
      }
      QTest::keyClick(&window, Qt::Key_P, Qt::AltModifier);
      QTest::keyClick(&window, Qt::Key_A, Qt::AltModifier);  // not its accelerator
      QTest::qWait(20);
    };

    pressEverything();
    QTRY_COMPARE(spy.count(), 5);
    button->setEnabled(false);
    pressEverything();
    QCOMPARE(spy.count(), 5);
  }
};

QTEST_MAIN(LiveButtonTest)
#include "live_button_test.moc"
