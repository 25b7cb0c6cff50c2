// The system's own widgets as assistive technology reads them: what a
// display says it shows, how it is edited from the keyboard, how often it
// tells a change; the memory grid as a table whose focused cell follows the
// caret. (The listing is heard in the window tests.)

#include <QAccessible>
#include <QKeyEvent>
#include <QPushButton>
#include <QVBoxLayout>

#include "machine/memory_store.h"
#include "support/heard_events.h"
#include "widgets/change_announcer.h"
#include "widgets/digital_display.h"
#include "widgets/hex_editor.h"
#include "widgets/widget_test_support.h"

using namespace orben::testing;
using orben::TDigitalDisplay;
using orben::THexEditor;
using Editing = TDigitalDisplay::Editing;

namespace {

// A value on a 4-digit display and what a screen reader must hear: the
// characters the display lights, or "apagado" when it lights none.
struct Shown {
  const char* name;
  const char* value;
  TDigitalDisplay::DisplayAlignment alignment;
  bool zeros;
  int digits;
  const char* heard;
};

QAccessibleInterface* accessible(QObject* object) {
  return QAccessible::queryAccessibleInterface(object);
}

QStringList valuesHeard(const QObject* display) {
  QStringList values;
  for (const HeardEvent& event : HeardEvents::of(QAccessible::ValueChanged, display))
    values << event.value.toString();
  return values;
}

QStringList childrenHeard(QAccessible::Event type, const QObject* widget) {
  QStringList names;
  for (const HeardEvent& event : HeardEvents::of(type, widget))
    if (event.child >= 0) names << event.name;
  return names;
}

void press(QWidget* widget, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
           bool repeat = false) {
  QKeyEvent event(QEvent::KeyPress, key, modifiers, key == Qt::Key_Space ? " " : "", repeat);
  QApplication::sendEvent(widget, &event);
}

}  // namespace

Q_DECLARE_METATYPE(Shown)

class AccessibleWidgetsTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { HeardEvents::clear(); }

  // What a display says follows its drawing: digits in upper case after
  // padding, points and colons, nothing after the last cell; and its
  // picture has lit segments exactly when it says something.
  void aDisplaySaysWhatItLights_data() {
    using D = TDigitalDisplay;
    addCases<Shown>("shown", {
                                 {"off state", "****", D::Right, false, 4, "apagado"},
                                 {"blanks", "  ", D::Right, false, 4, "apagado"},
                                 {"no cells", "1234", D::Right, false, 0, "apagado"},
                                 {"lower case", "0A1f", D::Right, false, 4, "0A1F"},
                                 {"blank padding", "7", D::Right, false, 4, "7"},
                                 {"zero padding", "7", D::Right, true, 4, "0007"},
                                 {"centred zeros", "7", D::Centre, true, 4, "07"},
                                 {"too many digits", "12345", D::Right, false, 4, "1234"},
                                 {"point after the last", "1234.", D::Right, false, 4, "1234"},
                                 {"comma as point", "1,5", D::Right, false, 4, "1.5"},
                                 {"only a colon", ":", D::Right, false, 4, ":"},
                             });
  }
  void aDisplaySaysWhatItLights() {
    QFETCH(Shown, shown);
    TDigitalDisplay display;
    display.resize(67, 26);
    display.setAlignment(shown.alignment);
    display.setLeadingZeros(shown.zeros);
    display.setDigits(shown.digits);
    display.setDigitOffColor(Qt::black);  // only lit segments leave ink
    display.setValue(QString::fromLatin1(shown.value));
    QCOMPARE(accessible(&display)->text(QAccessible::Value), QString::fromLatin1(shown.heard));
    const bool dark = inkBounds(display.compose(display.size()), Qt::black) == QRect();
    QCOMPARE(dark, QLatin1String(shown.heard) == QLatin1String("apagado"));
  }

  // How a display is edited decides its role, focus and action, and the
  // keys that click it: Enter, the keypad's Enter, Space (once if held).
  void howADisplayIsEditedFromTheKeyboard() {
    struct Case {
      Editing editing;
      QAccessible::Role role;
      bool focusable, editable, pressable;
    };
    for (const Case& c : {Case{Editing::None, QAccessible::StaticText, false, false, false},
                          Case{Editing::Activate, QAccessible::StaticText, true, false, true},
                          Case{Editing::Typing, QAccessible::EditableText, false, true, false}}) {
      TDigitalDisplay display;
      display.setEditing(c.editing);
      int clicks = 0;
      connect(&display, &TDigitalDisplay::clicked, [&] { ++clicks; });
      QAccessibleInterface* face = accessible(&display);
      QCOMPARE(face->role(), c.role);
      QCOMPARE(bool(face->state().focusable), c.focusable);
      QCOMPARE(bool(face->state().editable), c.editable);
      QCOMPARE(bool(face->state().readOnly), !c.editable);
      const QString pressAction = QAccessibleActionInterface::pressAction();
      QCOMPARE(face->actionInterface()->actionNames().contains(pressAction), c.pressable);
      face->actionInterface()->doAction(pressAction);
      press(&display, Qt::Key_Return);
      press(&display, Qt::Key_Enter, Qt::KeypadModifier);
      press(&display, Qt::Key_Space);
      press(&display, Qt::Key_Space, Qt::NoModifier, true);
      press(&display, Qt::Key_Return, Qt::ShiftModifier);
      QCOMPARE(clicks, c.pressable ? 4 : 0);
    }
  }

  // A burst of changes is told at once and once more, with the last value,
  // when the quiet interval ends; not again when the burst ends where it
  // began; never while the display is hidden.
  void aDisplayTellsAFewChangesASecond() {
    TDigitalDisplay display;
    QVERIFY(showAndSettle(display));
    HeardEvents::clear();
    const auto burst = [&](int from, int to) {
      for (int i = from; i <= to; ++i) display.setValue(QString::number(1000 + i));
    };
    burst(1, 100);
    display.setValue(QStringLiteral("1001"));
    QCOMPARE(valuesHeard(&display), QStringList{"1001"});
    QTest::qWait(4 * orben::ChangeAnnouncer::kIntervalMs);
    QCOMPARE(valuesHeard(&display), QStringList{"1001"});
    burst(2, 100);
    QCOMPARE(valuesHeard(&display), (QStringList{"1001", "1002"}));
    QTRY_COMPARE(valuesHeard(&display), (QStringList{"1001", "1002", "1100"}));

    QTest::qWait(2 * orben::ChangeAnnouncer::kIntervalMs);
    display.hide();
    display.setValue(QStringLiteral("2222"));
    QVERIFY(showAndSettle(display));
    display.setValue(QStringLiteral("3333"));
    QCOMPARE(valuesHeard(&display).mid(3), QStringList{"3333"});
  }

  // The grid is a table of rows by digits and text, each cell named by its
  // row's label and what it shows. The caret's cell is the focused child,
  // told when the caret reaches another row or area (not another digit of
  // the cell); Tab switches between the digits and the text, Ctrl+Tab
  // leaves the grid.
  void theGridIsATableFocusedAtTheCaret() {
    orben::MemoryStore store;
    store.replace({0x21, 0x05, 0x41, 0x00, 0x7E, 0x20, 0x12, 0x34});
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* grid = new THexEditor;
    auto* after = new QPushButton;
    layout->addWidget(grid);
    layout->addWidget(after);
    grid->setMemoryStore(&store);
    QVERIFY(showAndSettle(window));
    QApplication::setActiveWindow(&window);

    QAccessibleInterface* table = accessible(grid);
    QCOMPARE(table->role(), QAccessible::Table);
    QCOMPARE(table->tableInterface()->columnCount(), 2);
    const QStringList names = {"H0: 2105", "H0: !.", "H1: 4100", "H1: A.",
                               "H2: 7E20", "H2: ~ ", "H3: 1234", "H3: .4"};
    QCOMPARE(table->childCount(), names.size());
    for (int i = 0; i < names.size(); ++i) {
      QAccessibleInterface* cell = table->child(i);
      QCOMPARE(cell->text(QAccessible::Name), names[i]);
      QCOMPARE(table->indexOfChild(cell), i);
      QCOMPARE(table->tableInterface()->cellAt(i / 2, i % 2), cell);
    }
    for (auto [row, column] : {std::pair{4, 0}, {-1, 0}, {0, 2}})
      QVERIFY(table->tableInterface()->cellAt(row, column) == nullptr);

    grid->setFocus();
    QTRY_VERIFY(grid->hasFocus());
    HeardEvents::clear();
    for (Qt::Key key : {Qt::Key_Right, Qt::Key_Down, Qt::Key_Right, Qt::Key_Tab})
      QTest::keyClick(grid, key);
    QCOMPARE(childrenHeard(QAccessible::Focus, grid), (QStringList{"H1: 4100", "H1: A."}));
    QCOMPARE(table->focusChild()->text(QAccessible::Name), QStringLiteral("H1: A."));
    QVERIFY(table->focusChild()->state().focused);
    QTest::keyClick(grid, Qt::Key_Tab);
    QVERIFY(grid->hasFocus() && grid->caretArea() == THexEditor::Area::Digits);
    QCOMPARE(table->focusChild()->text(QAccessible::Name), QStringLiteral("H1: 4100"));
    QTest::keyClick(grid, Qt::Key_Tab, Qt::ControlModifier);
    QVERIFY(after->hasFocus() && !table->focusChild()->state().focused);
    QTest::keyClick(after, Qt::Key_Backtab, Qt::ShiftModifier);
    QVERIFY(grid->hasFocus() && grid->caretArea() == THexEditor::Area::Digits);

    // Wider rows keep their column groups apart; a cell of the old shape
    // whose row is gone is no longer valid.
    QAccessibleInterface* last = table->child(7);
    grid->setBytesPerLine(4);
    QCOMPARE(table->tableInterface()->cellAt(1, 0)->text(QAccessible::Name),
             QStringLiteral("H2: 7E20 1234"));
    QVERIFY(!last->isValid());
  }
};

QTEST_MAIN(AccessibleWidgetsTest)
#include "accessible_widgets_test.moc"
