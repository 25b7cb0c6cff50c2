// The system's own widgets as assistive technology reads them: what a
// display says it shows, how it is edited from the keyboard, how often it
// announces a change; the memory grid as a table whose focused cell follows
// the caret; the listing as a list whose selected child is the marked line.

#include <QAccessible>
#include <QKeyEvent>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>

#include <memory>

#include "machine/memory_store.h"
#include "support/heard_events.h"
#include "widgets/change_announcer.h"
#include "widgets/digital_display.h"
#include "widgets/hex_editor.h"
#include "widgets/hlistbox.h"
#include "widgets/widget_test_support.h"

using namespace orben::testing;
using orben::ChangeAnnouncer;
using orben::TDigitalDisplay;
using orben::THexEditor;
using orben::THListBox;
using Editing = TDigitalDisplay::Editing;
using Area = THexEditor::Area;

namespace {

// A value drawn on a 4-digit display and what a screen reader must hear:
// the characters the display lights, or "apagado" when it lights none.
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

// Presses `key` on `widget` as the keyboard does, held (auto-repeating) or not.
void press(QWidget* widget, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
           bool repeat = false) {
  const QString text = key == Qt::Key_Space ? QStringLiteral(" ") : QString();
  QKeyEvent event(QEvent::KeyPress, key, modifiers, text, repeat);
  QApplication::sendEvent(widget, &event);
}

// A grid of four words in a window between two buttons, so that the focus
// has somewhere to go before and after it.
struct GridWindow {
  orben::MemoryStore store;
  QWidget window;
  QPushButton* before = new QPushButton(QStringLiteral("antes"), &window);
  THexEditor* grid = new THexEditor(&window);
  QPushButton* after = new QPushButton(QStringLiteral("después"), &window);

  GridWindow() {
    store.replace({0x21, 0x05, 0x41, 0x00, 0x7E, 0x20, 0x12, 0x34});
    grid->setMemoryStore(&store);
    auto* layout = new QVBoxLayout(&window);
    for (QWidget* w :
         {static_cast<QWidget*>(before), static_cast<QWidget*>(grid), static_cast<QWidget*>(after)})
      layout->addWidget(w);
    window.resize(200, 300);
    showAndSettle(window);
    QApplication::setActiveWindow(&window);
  }
  QString focusedCell() const {
    QAccessibleInterface* cell = accessible(grid)->focusChild();
    return cell ? cell->text(QAccessible::Name) : QString();
  }
  QStringList cellsHeard() const {
    QStringList names;
    for (const HeardEvent& event : HeardEvents::of(QAccessible::Focus, grid))
      if (event.child >= 0) names << event.name;
    return names;
  }
};

}  // namespace

Q_DECLARE_METATYPE(Shown)

class AccessibleWidgetsTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { HeardEvents::clear(); }

  // What a display says it shows follows its drawing: hexadecimal digits
  // in upper case after padding, points and colons, blanks and anything
  // else silent, nothing after the last cell; and the picture has lit
  // segments exactly when it says something.
  void aDisplaySaysWhatItLights_data() {
    using D = TDigitalDisplay;
    addCases<Shown>("shown", {
                                 {"off state", "****", D::Right, false, 4, "apagado"},
                                 {"empty", "", D::Right, false, 4, "apagado"},
                                 {"blanks", "  ", D::Right, false, 4, "apagado"},
                                 {"no cells", "1234", D::Right, false, 0, "apagado"},
                                 {"a word", "0008", D::Right, false, 4, "0008"},
                                 {"lower case", "0A1f", D::Right, false, 4, "0A1F"},
                                 {"blank padding", "7", D::Right, false, 4, "7"},
                                 {"zero padding", "7", D::Right, true, 4, "0007"},
                                 {"centred zeros", "7", D::Centre, true, 4, "07"},
                                 {"left, no padding", "7", D::Left, true, 4, "7"},
                                 {"too many digits", "12345", D::Right, false, 4, "1234"},
                                 {"point after the last", "1234.", D::Right, false, 4, "1234"},
                                 {"point", "1.5", D::Right, false, 4, "1.5"},
                                 {"comma as point", "1,5", D::Right, false, 4, "1.5"},
                                 {"colon", "12:34", D::Right, false, 4, "12:34"},
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
    QAccessibleInterface* face = accessible(&display);
    QVERIFY(face && face->isValid());
    QCOMPARE(face->text(QAccessible::Value), QString::fromLatin1(shown.heard));
    const bool dark = inkBounds(display.compose(display.size()), display.bckgndColor()) == QRect();
    QCOMPARE(dark, QLatin1String(shown.heard) == QLatin1String("apagado"));
  }

  // The way a display is edited decides its role, its focus, its action
  // and the keys that click it.
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
      QCOMPARE(face->childCount(), 0);
      QAccessibleActionInterface* actions = face->actionInterface();
      QCOMPARE(actions->actionNames().contains(QAccessibleActionInterface::pressAction()),
               c.pressable);
      actions->doAction(QAccessibleActionInterface::pressAction());
      // Enter, the keypad's Enter and Space click; a held Space clicks
      // once; with Shift or on another key nothing happens.
      press(&display, Qt::Key_Return);
      press(&display, Qt::Key_Enter, Qt::KeypadModifier);
      press(&display, Qt::Key_Space);
      press(&display, Qt::Key_Space, Qt::NoModifier, true);
      press(&display, Qt::Key_Return, Qt::ShiftModifier);
      press(&display, Qt::Key_A);
      QCOMPARE(clicks, c.pressable ? 4 : 0);
    }
  }

  // A burst of changes is one announcement at once and one more with the
  // last value when the quiet interval ends; a burst that ends where the
  // last announcement was says nothing more; a hidden display says nothing.
  void aDisplayAnnouncesAFewTimesASecond() {
    TDigitalDisplay display;
    display.resize(67, 26);
    QVERIFY(showAndSettle(display));
    HeardEvents::clear();
    const auto burst = [&](int from, int to) {
      for (int i = from; i <= to; ++i)
        display.setValue(QStringLiteral("%1").arg(i, 4, 10, QChar(u'0')));
    };
    burst(1, 100);
    display.setValue(QStringLiteral("0001"));  // back where the burst began
    QCOMPARE(valuesHeard(&display), QStringList{"0001"});
    QTest::qWait(4 * ChangeAnnouncer::kIntervalMs);
    QCOMPARE(valuesHeard(&display), QStringList{"0001"});
    burst(2, 100);  // after a quiet spell, the first at once
    QCOMPARE(valuesHeard(&display), (QStringList{"0001", "0002"}));
    QTRY_COMPARE(valuesHeard(&display), (QStringList{"0001", "0002", "0100"}));
    QTest::qWait(2 * ChangeAnnouncer::kIntervalMs);

    display.hide();
    HeardEvents::clear();
    display.setValue(QStringLiteral("1111"));
    QTest::qWait(2 * ChangeAnnouncer::kIntervalMs);
    QCOMPARE(valuesHeard(&display), QStringList());
    QVERIFY(showAndSettle(display));
    display.setValue(QStringLiteral("2222"));
    QCOMPARE(valuesHeard(&display), QStringList{"2222"});
  }

  // A display that takes the focus frames itself in the highlight colour
  // while it has it, and only then.
  void aFocusedDisplayIsFramed() {
    QWidget window;
    auto* display = new TDigitalDisplay(&window);
    display->setGeometry(10, 10, 67, 26);
    display->setValue(QStringLiteral("1234"));
    display->setEditing(Editing::Activate);
    auto* other = new QPushButton(&window);
    other->setGeometry(10, 50, 60, 20);
    QVERIFY(showAndSettle(window));
    QApplication::setActiveWindow(&window);
    const QColor highlight = display->palette().color(QPalette::Active, QPalette::Highlight);
    display->setFocus();  // by a click, say: not shown yet
    QTRY_VERIFY(display->hasFocus());
    QCOMPARE(countColour(snapshot(*display), highlight), 0);
    QTest::keyClick(display, Qt::Key_Tab);
    QTRY_VERIFY(other->hasFocus());
    QCOMPARE(countColour(snapshot(*display), highlight), 0);
    QTest::keyClick(other, Qt::Key_Tab);  // round to the display, by the keyboard
    QTRY_VERIFY(display->hasFocus());
    const QImage framed = snapshot(*display);
    for (const QPoint& edge : {QPoint(0, 0), QPoint(66, 25), QPoint(1, 12), QPoint(33, 24)})
      QCOMPARE(framed.pixelColor(edge), highlight);
    QVERIFY(framed.pixelColor(33, 12) != highlight);
  }

  // The grid is a table of its rows by two columns, each cell named by its
  // row's label and what it shows; its children are the cells row by row.
  void theGridIsATableOfRowsAndTwoColumns() {
    GridWindow shown;
    QAccessibleInterface* table = accessible(shown.grid);
    QCOMPARE(table->role(), QAccessible::Table);
    QAccessibleTableInterface* cells = table->tableInterface();
    QVERIFY(cells);
    QCOMPARE(cells->rowCount(), 4);
    QCOMPARE(cells->columnCount(), 2);
    QCOMPARE(table->childCount(), 8);
    const QStringList names = {"H0: 2105", "H0: !.", "H1: 4100", "H1: A.",
                               "H2: 7E20", "H2: ~ ", "H3: 1234", "H3: .4"};
    for (int i = 0; i < 8; ++i) {
      QAccessibleInterface* cell = table->child(i);
      QCOMPARE(cell->text(QAccessible::Name), names[i]);
      QCOMPARE(cell->role(), QAccessible::Cell);
      QCOMPARE(cell->parent(), table);
      QCOMPARE(table->indexOfChild(cell), i);
      QCOMPARE(cells->cellAt(i / 2, i % 2), cell);
      QCOMPARE(cell->tableCellInterface()->rowIndex(), i / 2);
      QCOMPARE(cell->tableCellInterface()->columnIndex(), i % 2);
      QVERIFY(shown.grid->viewport()->rect().contains(
          shown.grid->viewport()->mapFromGlobal(cell->rect().center())));
    }
    QCOMPARE(cells->rowDescription(2), QStringLiteral("H2:"));
    for (auto [row, column] : {std::pair{4, 0}, {-1, 0}, {0, 2}, {0, -1}})
      QVERIFY(cells->cellAt(row, column) == nullptr);
    QVERIFY(table->child(8) == nullptr);

    // Wider rows: the digits keep their column groups apart.
    QAccessibleInterface* old_last = table->child(7);
    shown.grid->setBytesPerLine(4);
    QCOMPARE(cells->rowCount(), 2);
    QCOMPARE(cells->cellAt(1, 0)->text(QAccessible::Name), QStringLiteral("H2: 7E20 1234"));
    QVERIFY(!old_last->isValid());  // its row is gone

    // An empty grid: no cells and none focused.
    orben::MemoryStore empty;
    shown.grid->setMemoryStore(&empty);
    QCOMPARE(table->childCount(), 0);
    QVERIFY(table->focusChild() == nullptr);
  }

  // The caret's cell is the focused child; moving to another row or area
  // announces it, moving between the digits of one cell does not. Tab goes
  // from the digits to the text and on out of the grid, Shift+Tab back.
  void theCaretsCellIsTheFocusedChild() {
    GridWindow shown;
    THexEditor* grid = shown.grid;
    grid->setFocus(Qt::TabFocusReason);
    QTRY_VERIFY(grid->hasFocus());
    QCOMPARE(shown.focusedCell(), QStringLiteral("H0: 2105"));
    QVERIFY(accessible(grid)->focusChild()->state().focused);
    HeardEvents::clear();
    QTest::keyClick(grid, Qt::Key_Right);  // the same cell, low digit
    QTest::keyClick(grid, Qt::Key_Down);
    QTest::keyClick(grid, Qt::Key_Right);  // still row 1
    QTest::keyClick(grid, Qt::Key_Tab);
    grid->setCaret(6, Area::Text);
    QCOMPARE(shown.cellsHeard(), (QStringList{"H1: 4100", "H1: A.", "H3: .4"}));
    QCOMPARE(shown.focusedCell(), QStringLiteral("H3: .4"));

    QTest::keyClick(grid, Qt::Key_Tab);  // from the text: on to the next control
    QVERIFY(shown.after->hasFocus());
    QVERIFY(!accessible(grid)->focusChild()->state().focused);
    QTest::keyClick(shown.after, Qt::Key_Backtab, Qt::ShiftModifier);
    QVERIFY(grid->hasFocus() && grid->caretArea() == Area::Text);
    QTest::keyClick(grid, Qt::Key_Backtab, Qt::ShiftModifier);
    QVERIFY(grid->hasFocus() && grid->caretArea() == Area::Digits);
    QTest::keyClick(grid, Qt::Key_Backtab, Qt::ShiftModifier);
    QVERIFY(shown.before->hasFocus());
    // With Ctrl, Tab leaves from the digits at once.
    grid->setFocus(Qt::TabFocusReason);
    QTest::keyClick(grid, Qt::Key_Tab, Qt::ControlModifier);
    QVERIFY(shown.after->hasFocus());
  }

  // The listing is a list of its lines, tabs expanded; the marked line is
  // its one selected child and, with the focus, its focused one.
  void theListingIsAListWithTheMarkedLineSelected() {
    orben::Listing listing;
    for (const char* line : {"[0000]: LLI R1, H'05", "[0001]:\tHALT", "[0002]: BR"})
      listing.add(line);
    THListBox box(&listing);
    box.resize(377, 255);
    QVERIFY(showAndSettle(box));
    QApplication::setActiveWindow(&box);
    QAccessibleInterface* list = accessible(&box);
    QCOMPARE(list->role(), QAccessible::List);
    QCOMPARE(list->childCount(), 3);
    QCOMPARE(list->child(1)->text(QAccessible::Name), QStringLiteral("[0001]: HALT"));
    QCOMPARE(list->child(2)->role(), QAccessible::ListItem);
    QCOMPARE(list->indexOfChild(list->child(2)), 2);
    QVERIFY(list->focusChild() == nullptr);  // nothing marked yet

    HeardEvents::clear();
    box.setFocus();
    QTRY_VERIFY(box.hasFocus());
    listing.select(1);
    for (int i = 0; i < 3; ++i) {
      const QAccessible::State state = list->child(i)->state();
      QCOMPARE(bool(state.selected), i == 1);
      QCOMPARE(bool(state.focused), i == 1);
      QVERIFY(state.selectable);
    }
    QCOMPARE(list->focusChild(), list->child(1));
    const auto heard = HeardEvents::of(QAccessible::Selection, &box);
    QCOMPARE(heard.size(), 1);
    QCOMPARE(heard[0].child, 1);
    QCOMPARE(heard[0].name, QStringLiteral("[0001]: HALT"));
    QCOMPARE(HeardEvents::of(QAccessible::Focus, &box).last().child, 1);

    // Marks that come fast are told once more, at the last one.
    listing.select(2);
    listing.select(0);
    QCOMPARE(HeardEvents::count(QAccessible::Selection, &box), 1);
    QTRY_COMPARE(HeardEvents::count(QAccessible::Selection, &box), 2);
    QCOMPARE(HeardEvents::of(QAccessible::Selection, &box).last().child, 0);

    // Emptied, the list has no children and the old ones are gone.
    QAccessibleInterface* old = list->child(2);
    listing.clear();
    QCOMPARE(list->childCount(), 0);
    QVERIFY(!old->isValid());
  }

  // With the focus the listing frames itself, even with no line marked.
  void aFocusedListingIsFramed() {
    THListBox box;
    box.resize(200, 100);
    QVERIFY(showAndSettle(box));
    QApplication::setActiveWindow(&box);
    const QColor highlight = box.palette().color(QPalette::Active, QPalette::Highlight);
    box.setFocus();
    QTRY_VERIFY(box.hasFocus());
    QTest::keyClick(&box, Qt::Key_Tab);  // the focus is shown once the keyboard moves it
    const QImage framed = snapshot(*box.viewport());
    QCOMPARE(framed.pixelColor(0, 0), highlight);
    QCOMPARE(framed.pixelColor(framed.width() - 1, framed.height() / 2), highlight);
    box.clearFocus();
    QCOMPARE(countColour(snapshot(*box.viewport()), highlight), 0);
  }
};

QTEST_MAIN(AccessibleWidgetsTest)
#include "accessible_widgets_test.moc"
