// Keyboard and mouse of the memory grid: caret movement, typing over bytes,
// and the key-down / key-press / key-up events for the owning window.

#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>

#include <algorithm>

#include "widgets/accessibility.h"
#include "widgets/hex_editor.h"

namespace orben {

namespace {

bool isAreaSwitch(const QKeyEvent* event) {
  return event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab ||
         (event->key() == Qt::Key_T && event->modifiers().testFlag(Qt::ControlModifier));
}

// Characters typed with Ctrl, Alt or Meta are commands, not data.
bool isCommandChord(Qt::KeyboardModifiers modifiers) {
  return (modifiers & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) != 0;
}

}  // namespace

bool THexEditor::event(QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    // Tab and Shift+Tab switch areas instead of moving the focus on;
    // Ctrl+Tab and Ctrl+Shift+Tab move the focus out of the grid.
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
      const bool back =
          key->key() == Qt::Key_Backtab || key->modifiers().testFlag(Qt::ShiftModifier);
      if (key->modifiers().testFlag(Qt::ControlModifier)) {
        focusNextPrevChild(!back);
      } else {
        keyPressEvent(key);
      }
      return true;
    }
  } else if (event->type() == QEvent::ShortcutOverride) {
    // Keys the grid acts on win over window shortcuts (Ctrl+T, Ctrl+Home...).
    auto* key = static_cast<QKeyEvent*>(event);
    if (isCaretMoveKey(key) || (!isCommandChord(key->modifiers()) && !key->text().isEmpty())) {
      event->accept();
      return true;
    }
  }
  return QAbstractScrollArea::event(event);
}

void THexEditor::keyPressEvent(QKeyEvent* event) {
  event->accept();
  if (isCaretMoveKey(event)) {
    moveCaret(event);
    return;
  }
  emit keyDown(event->key(), event->modifiers());
  switch (event->key()) {
    case Qt::Key_Backspace:
      setCaret(grid::cellBack(caret(), shape()));
      return;
    case Qt::Key_Delete:
      return;
    case Qt::Key_Insert:
      clearChanges();
      return;
    default:
      break;
  }
  const QString text = event->text();
  for (QChar character : text) {
    emit keyPressed(character);
    if (!isCommandChord(event->modifiers())) typeCharacter(character);
  }
}

void THexEditor::keyReleaseEvent(QKeyEvent* event) {
  event->accept();
  // A held key repeats press events; its key-up comes once, at the real release.
  if (event->isAutoRepeat()) return;
  emit keyUp(event->key(), event->modifiers());
}

void THexEditor::mousePressEvent(QMouseEvent* event) {
  std::size_t index = 0;
  Area area = Area::Digits;
  int nibble = 0;
  if (event->button() == Qt::LeftButton &&
      hitTest(event->position().toPoint(), index, area, nibble)) {
    setCaret(index, area, nibble);
  }
  event->accept();
}

void THexEditor::mouseReleaseEvent(QMouseEvent* event) {
  event->accept();
}

void THexEditor::focusInEvent(QFocusEvent* event) {
  QAbstractScrollArea::focusInEvent(event);
  updateCaretRow();
  announceCaretCell(*this);
}

void THexEditor::focusOutEvent(QFocusEvent* event) {
  QAbstractScrollArea::focusOutEvent(event);
  updateCaretRow();
}

bool THexEditor::isCaretMoveKey(const QKeyEvent* event) const {
  switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End:
      return true;
    default:
      return isAreaSwitch(event);
  }
}

grid::Shape THexEditor::shape() const {
  return {store_->size(), bytesPerLine_, firstVisibleRow(), visibleRowCount()};
}

void THexEditor::setCaret(const grid::Caret& caret) {
  setCaret(caret.byte, caret.area, caret.nibble);
}

void THexEditor::moveCaret(const QKeyEvent* event) {
  const bool ctrl = event->modifiers().testFlag(Qt::ControlModifier);
  grid::CaretKey key = grid::CaretKey::SwitchArea;
  switch (event->key()) {
    case Qt::Key_Left:
      key = grid::CaretKey::Left;
      break;
    case Qt::Key_Right:
      key = grid::CaretKey::Right;
      break;
    case Qt::Key_Up:
      key = grid::CaretKey::Up;
      break;
    case Qt::Key_Down:
      key = grid::CaretKey::Down;
      break;
    case Qt::Key_PageUp:
      key = grid::CaretKey::PageUp;
      break;
    case Qt::Key_PageDown:
      key = grid::CaretKey::PageDown;
      break;
    case Qt::Key_Home:
      key = grid::CaretKey::Home;
      break;
    case Qt::Key_End:
      key = grid::CaretKey::End;
      break;
    default:
      if (!isAreaSwitch(event)) return;
      break;
  }
  const grid::Shape before = shape();
  // A page up or down scrolls the view by a page as the caret moves.
  if (!ctrl && (key == grid::CaretKey::PageUp || key == grid::CaretKey::PageDown)) {
    const int page = static_cast<int>(before.visible_rows);
    QScrollBar* bar = verticalScrollBar();
    bar->setValue(bar->value() + (key == grid::CaretKey::PageUp ? -page : page));
  }
  setCaret(grid::moveCaret(caret(), key, ctrl, before));
}

void THexEditor::typeCharacter(QChar character) {
  if (store_->size() == 0) return;
  const std::size_t index = caretByteIndex();
  const auto value = grid::typedByte(caret(), store_->byte(index), character.unicode());
  if (!value) return;
  writeTypedByte(index, *value);
  setCaret(grid::cellForward(caret(), shape()));
}

void THexEditor::writeTypedByte(std::size_t index, std::uint8_t value) {
  if (store_->byte(index) == value) return;
  store_->setByte(static_cast<long long>(index), value);
  if (!changed_[index]) ++changed_count_;
  changed_[index] = true;
}

void THexEditor::ensureCaretVisible() {
  if (store_->size() == 0) return;
  const auto row = static_cast<long long>(caretByteIndex() / bytesPerLine_);
  const long long top = firstVisibleRow();
  const long long page = visibleRowCount();
  if (row < top) {
    verticalScrollBar()->setValue(static_cast<int>(row));
  } else if (row >= top + page) {
    verticalScrollBar()->setValue(static_cast<int>(row - page + 1));
  }
  const int inRow = static_cast<int>(caretByteIndex() % bytesPerLine_);
  const int x = caretArea_ == Area::Digits ? digitX(inRow, caretNibble_) : textX(inRow);
  const int scroll = horizontalScrollBar()->value();
  const int width = viewport()->width();
  if (x < scroll) {
    horizontalScrollBar()->setValue(x - charWidth_);
  } else if (x + charWidth_ > scroll + width) {
    horizontalScrollBar()->setValue(x + 2 * charWidth_ - width);
  }
}

bool THexEditor::hitTest(const QPoint& point, std::size_t& byteIndex, Area& area,
                         int& nibble) const {
  if (point.y() < rowRect(firstVisibleRow()).top()) return false;
  const long long row =
      firstVisibleRow() + (point.y() - rowRect(firstVisibleRow()).top()) / rowHeight_;
  if (row >= rowCount()) return false;
  const int x = point.x() + horizontalScrollBar()->value();
  for (int inRow = 0; inRow < bytesPerLine_; ++inRow) {
    const std::size_t index = static_cast<std::size_t>(row) * bytesPerLine_ + inRow;
    if (index >= store_->size()) return false;
    for (int n = 0; n < 2; ++n) {
      if (x >= digitX(inRow, n) && x < digitX(inRow, n) + charWidth_) {
        byteIndex = index;
        area = Area::Digits;
        nibble = n;
        return true;
      }
    }
    if (x >= textX(inRow) && x < textX(inRow) + charWidth_) {
      byteIndex = index;
      area = Area::Text;
      nibble = 0;
      return true;
    }
  }
  return false;
}

}  // namespace orben
