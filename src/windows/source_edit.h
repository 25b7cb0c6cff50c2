#pragma once

#include <QList>
#include <QPlainTextEdit>

namespace orben {

class ChangeAnnouncer;

// Texto_Fuente: the source's text in a fixed font, its line numbers in a
// margin on the left and its words coloured as the assembler reads them.
//
// It also shows what the debugging says: the line of the instruction at PC
// (lineaPC, 0 for none), marked and scrolled to, and the lines holding
// breakpoints (puntosDeParada), a red dot each in the margin. The marks
// move with the lines they are on as the text is edited.
class SourceEdit final : public QPlainTextEdit {
  Q_OBJECT
  Q_PROPERTY(int lineaPC READ lineAtPC NOTIFY lineAtPCChanged)
  Q_PROPERTY(QList<int> puntosDeParada READ breakpointLines)

 public:
  explicit SourceEdit(QWidget* parent = nullptr);

  // The margin's width: room for the last line's number and a gap.
  int marginWidth() const;
  // Puts the cursor at `line` and `column` (from 1; a column past the
  // line's end goes to its end) and shows it.
  void moveCursorTo(int line, int column);
  // The line of the cursor, from 1.
  int cursorLine() const { return textCursor().blockNumber() + 1; }

  int lineAtPC() const { return line_at_pc_; }
  void setLineAtPC(int line);
  QList<int> breakpointLines() const;
  void setBreakpointLines(const QList<int>& lines);
  void setBreakpoint(int line, bool set);

 signals:
  void lineAtPCChanged(int line);
  // A click in the margin beside `line`.
  void marginClicked(int line);

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  friend class LineNumberMargin;
  void paintMargin(QPaintEvent* event);
  void updateMargin(const QRect& rect, int dy);
  void clickMargin(int y);
  void markLineAtPC();

  QWidget* margin_;
  int line_at_pc_ = 0;
  ChangeAnnouncer* announcer_;
};

}  // namespace orben
