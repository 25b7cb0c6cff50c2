#pragma once

#include <QPlainTextEdit>

namespace orben {

// Texto_Fuente: the source's text in a fixed font, its line numbers in a
// margin on the left and its words coloured as the assembler reads them.
class SourceEdit final : public QPlainTextEdit {
  Q_OBJECT

 public:
  explicit SourceEdit(QWidget* parent = nullptr);

  // The margin's width: room for the last line's number and a gap.
  int marginWidth() const;
  // Puts the cursor at `line` and `column` (from 1; a column past the
  // line's end goes to its end) and shows it.
  void moveCursorTo(int line, int column);

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  friend class LineNumberMargin;
  void paintMargin(QPaintEvent* event);
  void updateMargin(const QRect& rect, int dy);

  QWidget* margin_;
};

}  // namespace orben
