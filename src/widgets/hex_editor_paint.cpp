// Painting of the memory grid: only the rows that an update touches.

#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>

#include "machine/word_text.h"
#include "widgets/focus_frame.h"
#include "widgets/hex_editor.h"

namespace orben {

void THexEditor::paintEvent(QPaintEvent* event) {
  QPainter painter(viewport());
  const QRect area = event->rect();
  painter.fillRect(area, colors_.background);
  painter.setFont(font());

  const long long rows = rowCount();
  if (rows == 0) return;
  const long long top = firstVisibleRow();
  const long long first = top + std::max(0, area.top() - rowRect(top).top()) / rowHeight_;
  const long long last = top + std::max(0, area.bottom() - rowRect(top).top()) / rowHeight_;
  for (long long row = first; row <= std::min(last, rows - 1); ++row) {
    if (!event->region().intersects(rowRect(row))) continue;
    paintRow(painter, row);
  }
}

void THexEditor::setChangedRows(const QList<int>& rows) {
  if (rows == changed_rows_) return;
  for (const int row : changed_rows_) viewport()->update(rowRect(row));
  changed_rows_ = rows;
  for (const int row : changed_rows_) viewport()->update(rowRect(row));
}

void THexEditor::paintRow(QPainter& painter, long long row) {
  const QRect line = rowRect(row);
  const int scroll = horizontalScrollBar()->value();
  if (changed_rows_.contains(static_cast<int>(row))) {
    orben::drawFrame(painter, line, kChangedFrameColour, 1);
  }

  if (offsetDisplay_ != odNone) {
    painter.setPen(colors_.offset);
    painter.drawText(
        QPoint(digitX(0, 0) - labelChars() * charWidth_ - scroll, line.top() + ascent_),
        rowLabel(row));
  }

  const bool focused = hasFocus();
  const std::size_t size = store_->size();
  const std::size_t caret = caretByteIndex();
  for (int inRow = 0; inRow < bytesPerLine_; ++inRow) {
    const std::size_t index = static_cast<std::size_t>(row) * bytesPerLine_ + inRow;
    if (index >= size) break;
    const std::uint8_t value = store_->byte(index);
    const bool changed = changed_[index];
    const bool caretByte = index == caret;
    const QColor& textColor = columnColor(inRow);

    for (int nibble = 0; nibble < 2; ++nibble) {
      const bool here = caretByte && caretArea_ == Area::Digits && caretNibble_ == nibble;
      const bool mirror = caretByte && caretArea_ == Area::Text;
      paintCell(painter, cellRect(index, Area::Digits, nibble),
                QLatin1Char(HexDigitToChar((nibble == 0 ? value >> 4 : value) & 0xF)), textColor,
                changed, here && focused, (here && !focused) || mirror);
    }
    const bool here = caretByte && caretArea_ == Area::Text;
    const bool mirror = caretByte && caretArea_ == Area::Digits;
    paintCell(painter, cellRect(index, Area::Text), displayChar(value), textColor, changed,
              here && focused, (here && !focused) || mirror);
  }
}

// A focused caret cell is filled with the position colours and framed; an
// unfocused caret and the caret's byte in the other area are only framed.
void THexEditor::paintCell(QPainter& painter, const QRect& rect, QChar text,
                           const QColor& textColor, bool changed, bool caret, bool framed) {
  if (caret) {
    painter.fillRect(rect, colors_.positionBackground);
    painter.setPen(colors_.positionText);
  } else if (changed) {
    painter.fillRect(rect, colors_.changedBackground);
    painter.setPen(colors_.changedText);
  } else {
    painter.setPen(textColor);
  }
  painter.drawText(QPoint(rect.left(), rect.top() + ascent_), QString(text));
  if (caret || framed) {
    painter.setPen(colors_.cursorFrame);
    painter.drawRect(rect.adjusted(0, 0, -1, -1));
  }
}

const QColor& THexEditor::columnColor(int byteInRow) const {
  return (byteInRow / bytesPerColumn_) % 2 == 0 ? colors_.evenColumn : colors_.oddColumn;
}

}  // namespace orben
