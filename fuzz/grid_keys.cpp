// The memory grid over the machine's memory, keyed as the main window wires
// it: key-down notes the caret for the disassembler mode, key-up lists the
// edited word again.
//
// Input: byte 0, bit 0 switches the disassembler mode on (answering Yes to
// its question). Every further byte is one action: its low six bits pick a
// key of kKeys, pressed and released, or one of the actions after the keys
// (which read the bytes after it); its top two bits pick the modifiers
// none, Shift, Ctrl or Ctrl+Shift.

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QWidget>

#include <memory>

#include "observed.h"
#include "widgets/hex_editor.h"

namespace {

using orben::THexEditor;
using orben::fuzz::check;

struct Key {
  int key;
  const char* text;  // what the key types without modifiers, "" for none
};

constexpr Key kKeys[] = {
    {Qt::Key_0, "0"},         {Qt::Key_1, "1"},           {Qt::Key_2, "2"},
    {Qt::Key_3, "3"},         {Qt::Key_4, "4"},           {Qt::Key_5, "5"},
    {Qt::Key_6, "6"},         {Qt::Key_7, "7"},           {Qt::Key_8, "8"},
    {Qt::Key_9, "9"},         {Qt::Key_A, "a"},           {Qt::Key_B, "b"},
    {Qt::Key_C, "c"},         {Qt::Key_D, "d"},           {Qt::Key_E, "e"},
    {Qt::Key_F, "f"},         {Qt::Key_G, "g"},           {Qt::Key_T, "t"},
    {Qt::Key_Z, "z"},         {Qt::Key_Space, " "},       {Qt::Key_AsciiTilde, "~"},
    {Qt::Key_Period, "."},    {Qt::Key_BracketLeft, "["}, {Qt::Key_Ntilde, "\xC3\xB1"},
    {Qt::Key_Left, ""},       {Qt::Key_Right, ""},        {Qt::Key_Up, ""},
    {Qt::Key_Down, ""},       {Qt::Key_Home, ""},         {Qt::Key_End, ""},
    {Qt::Key_PageUp, ""},     {Qt::Key_PageDown, ""},     {Qt::Key_Tab, "\t"},
    {Qt::Key_Backtab, ""},    {Qt::Key_Backspace, "\b"},  {Qt::Key_Delete, "\x7F"},
    {Qt::Key_Insert, ""},     {Qt::Key_Return, "\r"},     {Qt::Key_Enter, "\r"},
    {Qt::Key_Escape, "\x1B"},
};
constexpr int kKeyCount = static_cast<int>(std::size(kKeys));

// The actions after the keys.
enum Action {
  kClick = kKeyCount,  // left click at viewport x, y: the next two bytes
  kPressOnly,          // the next byte's key goes down and stays down
  kReleaseOnly,        // the next byte's key comes up
  kAutoRepeat,         // the next byte's key repeats twice, then comes up
  kResize,             // the grid's width and height: the next two bytes + 20
  kScroll,             // the vertical scroll bar to the next word
  kActionCount,
};
static_assert(kActionCount <= 64);

constexpr Qt::KeyboardModifiers kModifiers[] = {Qt::NoModifier, Qt::ShiftModifier,
                                                Qt::ControlModifier,
                                                Qt::ControlModifier | Qt::ShiftModifier};

// The top-level window the grid lives in, shown once: the grid is a child
// of it and costs no window of its own.
QWidget& hostWindow() {
  static QWidget* shown = [] {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "fuzz_grid_keys";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);
    auto* w = new QWidget;
    w->resize(400, 400);
    w->show();
    return w;
  }();
  return *shown;
}

QString textOf(const Key& key, Qt::KeyboardModifiers modifiers) {
  QString text = QString::fromUtf8(key.text);
  if (text.size() == 1 && text[0].isLetter() && text[0].unicode() < 128) {
    if (modifiers.testFlag(Qt::ControlModifier)) {
      return QString(QChar(text[0].toUpper().unicode() - 'A' + 1));
    }
    if (modifiers.testFlag(Qt::ShiftModifier)) return text.toUpper();
  }
  return text;
}

void sendKey(THexEditor& grid, QEvent::Type type, const Key& key, Qt::KeyboardModifiers modifiers,
             bool repeat = false) {
  const QString text = textOf(key, modifiers);
  if (type == QEvent::KeyPress) {
    QKeyEvent shortcut(QEvent::ShortcutOverride, key.key, modifiers, text, repeat);
    QApplication::sendEvent(&grid, &shortcut);
  }
  QKeyEvent event(type, key.key, modifiers, text, repeat);
  QApplication::sendEvent(&grid, &event);
}

struct Caret {
  std::size_t byte;
  THexEditor::Area area;
  int nibble;
  bool operator==(const Caret&) const = default;
};

// The machine and its grid, wired as the main window wires them, built
// once: reset() gives back the grid a fresh one shows, over a reset machine.
struct GridRig {
  GridRig() : grid(std::make_unique<THexEditor>(&hostWindow())) {
    grid->setMemoryStore(&f.tuka.machine.memory());
    grid->resize(kSize);
    settle();
    QObject::connect(grid.get(), &THexEditor::keyDown, [this] {
      f.tuka.disassembler.noteGridCaret(static_cast<long long>(grid->caretByteIndex()));
    });
    QObject::connect(grid.get(), &THexEditor::keyUp,
                     [this] { f.tuka.disassembler.relistEditedWord(); });
  }
  GridRig(const GridRig&) = delete;
  GridRig& operator=(const GridRig&) = delete;

  // Hidden, given the store again (which clears the marks, puts the caret
  // at the first digit of row 0 and scrolls to the top left), resized and
  // shown, as it was built.
  void reset() {
    f.reset();
    grid->clearFocus();
    grid->hide();
    grid->setMemoryStore(&f.tuka.machine.memory());
    grid->resize(kSize);
    settle();
  }

  // Shown, with the events Qt posted on the way delivered, as a window's
  // event loop would before the user types: the scroll bars show or hide
  // when a range change reaches them, so an input must not find one still
  // on its way from the input before.
  void settle() {
    grid->show();
    QCoreApplication::sendPostedEvents();
  }

  static constexpr QSize kSize{176, 204};
  orben::fuzz::FuzzTuka f;
  std::unique_ptr<THexEditor> grid;
};

// Built at the first input and reset as each input ends (see keptTuka).
GridRig& keptRig() {
  static GridRig kept;
  return kept;
}

void typeInto(GridRig& rig, const std::uint8_t* data, std::size_t size) {
  using namespace orben;
  fuzz::FuzzTuka& f = rig.f;
  THexEditor* const grid = rig.grid.get();
  Tuka2& tuka = f.tuka;
  const bool disassembler = size > 0 && (data[0] & 1) != 0;
  if (disassembler) {
    f.ui.answer_yes = true;
    tuka.disassembler.toggle();
    check(tuka.machine.disassemblerMode(), "Yes did not start the disassembler mode");
  }

  // Each key-down's word is listed again only at a key-up; the listing
  // follows memory only while every press has its own release.
  bool paired = true;
  std::size_t pos = 1;
  const auto next = [&] { return pos < size ? data[pos++] : std::uint8_t{0}; };
  while (pos < size) {
    const std::uint8_t action = data[pos++];
    const Qt::KeyboardModifiers modifiers = kModifiers[action >> 6];
    const int pick = (action & 63) % kActionCount;
    const bool held = pick == kPressOnly || pick == kReleaseOnly || pick == kAutoRepeat;
    const Key& key = kKeys[held ? next() % kKeyCount : pick % kKeyCount];
    const auto caret = [&] {
      return Caret{grid->caretByteIndex(), grid->caretArea(), grid->caretNibble()};
    };
    const Caret before = caret();
    const std::uint64_t writes = f.guard.writes;
    if (pick < kKeyCount) {
      sendKey(*grid, QEvent::KeyPress, key, modifiers);
      sendKey(*grid, QEvent::KeyRelease, key, modifiers);
    } else if (pick == kClick) {
      const int x = next();
      const QPointF at(x, next());
      QMouseEvent press(QEvent::MouseButtonPress, at, grid->viewport()->mapToGlobal(at),
                        Qt::LeftButton, Qt::LeftButton, modifiers);
      QApplication::sendEvent(grid->viewport(), &press);
      QMouseEvent release(QEvent::MouseButtonRelease, at, grid->viewport()->mapToGlobal(at),
                          Qt::LeftButton, Qt::NoButton, modifiers);
      QApplication::sendEvent(grid->viewport(), &release);
    } else if (pick == kPressOnly || pick == kReleaseOnly) {
      sendKey(*grid, pick == kPressOnly ? QEvent::KeyPress : QEvent::KeyRelease, key, modifiers);
      paired = false;
    } else if (pick == kAutoRepeat) {
      for (int i = 0; i < 2; ++i) {
        sendKey(*grid, QEvent::KeyPress, key, modifiers, true);
        sendKey(*grid, QEvent::KeyRelease, key, modifiers, true);
      }
      sendKey(*grid, QEvent::KeyPress, key, modifiers, true);
      sendKey(*grid, QEvent::KeyRelease, key, modifiers);
      paired = false;
    } else if (pick == kResize) {
      const int width = next() + 20;
      grid->resize(width, next() + 20);
    } else {
      const int high = next();
      grid->verticalScrollBar()->setValue(high << 8 | next());
    }

    const Caret after = caret();
    check(grid->dataSize() == MemoryStore::kMachineBytes, "the grid shows memory of another size");
    check(after.byte < grid->dataSize(), "the caret left memory");
    check(after.nibble == 0 || (after.nibble == 1 && after.area == THexEditor::Area::Digits),
          "the caret on a nibble the area does not have");
    // A key typed changes at most the byte under the caret; nothing else
    // writes more than one byte at a time.
    const std::uint64_t written = f.guard.writes - writes;
    check(written == 0 || f.guard.last_count == 1, "the grid wrote several bytes at once");
    check(pick >= kKeyCount || written == 0 || (written == 1 && f.guard.last_first == before.byte),
          "a key changed a byte away from the caret");
    check(pick >= kKeyCount || written == 0 || grid->isChanged(before.byte),
          "a typed byte without its changed mark");
    if (!(after == before)) {
      const long long row = static_cast<long long>(after.byte) / grid->bytesPerLine();
      check(
          row >= grid->firstVisibleRow() && row < grid->firstVisibleRow() + grid->visibleRowCount(),
          "the caret moved out of sight");
    }
  }
  static_cast<void>(grid->grab());  // paints every visible row

  check(f.ui.messages == 0, "the grid's guard spoke: the caret reached the monitor's area");
  const Listing& listing = tuka.listing;
  if (!disassembler) {
    check(listing.count() == 0, "a listing line outside the disassembler mode");
  } else {
    std::vector<bool> listed(0x10000);
    for (int i = 0; i < listing.count(); ++i) {
      const std::string line = listing.line(i);
      const int address = fuzz::lineAddress(line);
      check(address >= 0 && address < Machine::kMemoryWords, "a listing line for no word");
      check(!listed[static_cast<std::size_t>(address)], "a word listed twice");
      listed[static_cast<std::size_t>(address)] = true;
      if (i > 0) check(!Listing::less(line, listing.line(i - 1)), "the listing out of order");
    }
    if (paired) fuzz::checkListing(tuka, false);
  }
}

// The machine's state, then the grid's: its caret, marks, scroll and size.
orben::fuzz::Observed observeRig(const GridRig& rig) {
  orben::fuzz::Observed o = orben::fuzz::observe(rig.f);
  const THexEditor& grid = *rig.grid;
  const auto add = [&o](const char* name, long long value) {
    o.push_back(std::string(name) + " " + std::to_string(value));
  };
  add("caret byte", static_cast<long long>(grid.caretByteIndex()));
  add("caret area", static_cast<long long>(grid.caretArea()));
  add("caret nibble", grid.caretNibble());
  for (std::size_t i = 0; i < grid.dataSize(); ++i) {
    if (grid.isChanged(i)) add("changed", static_cast<long long>(i));
  }
  add("vertical scroll", grid.verticalScrollBar()->value());
  add("vertical scroll end", grid.verticalScrollBar()->maximum());
  add("horizontal scroll", grid.horizontalScrollBar()->value());
  add("horizontal scroll end", grid.horizontalScrollBar()->maximum());
  add("width", grid.width());
  add("height", grid.height());
  add("focus", grid.hasFocus() ? 1 : 0);
  add("first visible row", grid.firstVisibleRow());
  add("visible rows", grid.visibleRowCount());
  return o;
}

[[maybe_unused]] const bool kHooked = [] {
  orben::fuzz::reuseHooks() = {
      .run =
          [](bool kept, const std::uint8_t* data, std::size_t size) {
            if (!kept) {
              GridRig fresh;
              typeInto(fresh, data, size);
              return observeRig(fresh);
            }
            GridRig& rig = keptRig();
            typeInto(rig, data, size);
            orben::fuzz::Observed after = observeRig(rig);
            rig.reset();
            return after;
          },
      .idle = [](bool kept) { return kept ? observeRig(keptRig()) : observeRig(GridRig{}); },
  };
  return true;
}();

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  GridRig& rig = keptRig();
  typeInto(rig, data, size);
  rig.reset();
  return 0;
}
