#pragma once

#include <QAbstractScrollArea>
#include <QColor>
#include <QList>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "machine/memory_store.h"
#include "panel/memory_grid_keys.h"

class QPainter;

namespace orben {

// The memory grid: a hexadecimal dump of a MemoryStore with a text column,
// one machine word per row ("H0012:" labels the word at 0012), and a caret
// that the user moves and types over. The grid shows the store's bytes
// directly and never copies them: what the user types is written through the
// store, so the machine sees it at once, and what the machine writes shows in
// the rows it touches.
//
// Typing always overwrites: a hexadecimal digit replaces the nibble under the
// caret, a printable character in the text area replaces the whole byte. A
// byte that the user's typing gives a new value carries a changed mark until
// the content is replaced or Insert is pressed. Nothing typed ever adds,
// inserts or removes a byte.
//
// Tab moves the caret from the digit area to the text area and then on to
// the next control, Shift+Tab from the text area to the digit area and
// then back to the previous control; Ctrl+Tab and Ctrl+Shift+Tab leave the
// grid at once, and Ctrl+T switches areas both ways.
//
// Keyboard events for the window that owns the grid, in this order:
// keyDown (only for keys that do not move the caret; Backspace raises it
// before it moves left), keyPressed for each character before the grid edits
// with it, keyUp when any key is released (auto-repeat releases excepted).
class THexEditor : public QAbstractScrollArea, private MemoryStoreObserver {
  Q_OBJECT
  Q_PROPERTY(int bytesPerLine READ bytesPerLine WRITE setBytesPerLine)
  Q_PROPERTY(int bytesPerColumn READ bytesPerColumn WRITE setBytesPerColumn)
  Q_PROPERTY(OffsetDisplay offsetDisplay READ offsetDisplay WRITE setOffsetDisplay)
  Q_PROPERTY(QString offsetSeparator READ offsetSeparator WRITE setOffsetSeparator)
  Q_PROPERTY(Translation translation READ translation WRITE setTranslation)
  // The rows the last step changed, framed until the next step.
  Q_PROPERTY(QList<int> filasCambiadas READ changedRows)

 public:
  // Row labels: "H" + word address in hexadecimal + separator, or none.
  enum OffsetDisplay { odHex, odNone };
  Q_ENUM(OffsetDisplay)
  // How bytes show in the text area: ttASCII shows 32..127 as the
  // character and every other byte as ".".
  enum Translation { ttASCII };
  Q_ENUM(Translation)

  using Area = grid::Area;

  struct Colors {
    QColor background;         // behind every cell
    QColor offset;             // row labels
    QColor evenColumn;         // cell text of column groups 0, 2, ...
    QColor oddColumn;          // cell text of column groups 1, 3, ...
    QColor changedBackground;  // a byte the user's typing changed
    QColor changedText;
    QColor positionBackground;  // the caret's cell
    QColor positionText;
    QColor cursorFrame;  // frame of the caret and of its byte in the other area
  };

  explicit THexEditor(QWidget* parent = nullptr);
  ~THexEditor() override;

  // The store shown; nullptr shows a private empty store. The store must
  // outlive the grid or be replaced here before it is destroyed. Marks are
  // cleared and the caret goes to the first digit of row 0.
  void setMemoryStore(MemoryStore* store);
  MemoryStore* memoryStore() const { return store_; }

  // The machine writes memory through the store alone (one byte, or the
  // whole content); the grid shows a byte it wrote without a changed mark,
  // and a replaced content with no marks and the caret at row 0.
  std::size_t caretByteIndex() const;  // 0..size-1, 0 when empty
  bool isChanged(std::size_t index) const;
  void clearChanges();
  std::size_t dataSize() const { return store_->size(); }
  // The rows (from 0) that the last step forward or back changed.
  QList<int> changedRows() const { return changed_rows_; }
  void setChangedRows(const QList<int>& rows);

  // Caret.
  Area caretArea() const { return caretArea_; }
  int caretNibble() const { return caretNibble_; }  // 0 high digit, 1 low
  void setCaret(std::size_t byteIndex, Area area = Area::Digits, int nibble = 0);
  grid::Caret caret() const { return {caretByteIndex(), caretArea_, caretNibble_}; }

  // Configuration.
  int bytesPerLine() const { return bytesPerLine_; }
  void setBytesPerLine(int bytes);  // whole words: even, 2..64
  int bytesPerColumn() const { return bytesPerColumn_; }
  void setBytesPerColumn(int bytes);  // 1..bytesPerLine
  OffsetDisplay offsetDisplay() const { return offsetDisplay_; }
  void setOffsetDisplay(OffsetDisplay display);
  QString offsetSeparator() const { return offsetSeparator_; }
  void setOffsetSeparator(const QString& separator);
  Translation translation() const { return translation_; }
  void setTranslation(Translation translation);
  const Colors& colors() const { return colors_; }
  void setColors(const Colors& colors);

  // Layout, in viewport pixels.
  long long rowCount() const;
  long long firstVisibleRow() const;
  int visibleRowCount() const;  // rows wholly inside the viewport, at least 1
  int rowHeight() const { return rowHeight_; }
  QRect rowRect(long long row) const;
  QRect cellRect(std::size_t byteIndex, Area area, int nibble = 0) const;
  QString rowLabel(long long row) const;
  // What a row shows in an area: its digits (column groups apart by a
  // blank) or its text characters.
  QString rowText(long long row, Area area) const;
  QChar displayChar(std::uint8_t value) const;

  QSize sizeHint() const override;

 signals:
  void keyDown(int key, Qt::KeyboardModifiers modifiers);
  void keyPressed(QChar character);
  void keyUp(int key, Qt::KeyboardModifiers modifiers);

 protected:
  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  // Draws one row; paintEvent calls it for each row the update touches.
  virtual void paintRow(QPainter& painter, long long row);

 private:
  // MemoryStoreObserver
  void bytesChanged(std::size_t first, std::size_t count) override;
  void contentReplaced() override;

  // Layout
  void updateMetrics();
  void updateLabelDigits();
  void updateScrollBars();
  int labelChars() const;
  int digitX(int byteInRow, int nibble) const;  // content x, before scrolling
  int textX(int byteInRow) const;
  int contentWidth() const;
  void updateRows(long long firstRow, long long lastRow);
  void updateCaretRow();

  // Painting
  void paintCell(QPainter& painter, const QRect& rect, QChar text, const QColor& textColor,
                 bool changed, bool caret, bool framed);
  const QColor& columnColor(int byteInRow) const;

  // Keyboard and caret
  bool isCaretMoveKey(const QKeyEvent* event) const;
  void moveCaret(const QKeyEvent* event);
  grid::Shape shape() const;
  void setCaret(const grid::Caret& caret);
  void typeCharacter(QChar character);
  void writeTypedByte(std::size_t index, std::uint8_t value);
  void ensureCaretVisible();
  bool hitTest(const QPoint& point, std::size_t& byteIndex, Area& area, int& nibble) const;

  MemoryStore* store_ = nullptr;
  std::unique_ptr<MemoryStore> ownStore_;
  std::vector<bool> changed_;
  std::size_t changed_count_ = 0;  // the bytes marked in changed_

  std::size_t caretByte_ = 0;
  Area caretArea_ = Area::Digits;
  int caretNibble_ = 0;

  int bytesPerLine_ = 2;
  int bytesPerColumn_ = 2;
  OffsetDisplay offsetDisplay_ = odHex;
  QString offsetSeparator_ = QStringLiteral(":");
  Translation translation_ = ttASCII;
  Colors colors_;

  int charWidth_ = 8;
  int rowHeight_ = 16;
  QList<int> changed_rows_;
  int ascent_ = 12;
  int labelDigits_ = 1;
};

}  // namespace orben
