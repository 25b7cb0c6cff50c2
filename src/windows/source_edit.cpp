#include "windows/source_edit.h"

#include <QAccessible>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QSyntaxHighlighter>
#include <QTextBlock>

#include <string>

#include "assembler/source_colours.h"
#include "widgets/change_announcer.h"
#include "windows/style.h"

namespace orben {

namespace {

// The margin's left part, where a breakpoint's dot goes.
constexpr int kDotRoom = 14;

// The colour of each kind of word; numbers and names in the listing's navy
// family, comments in green and italic.
QTextCharFormat formatOf(assembler::WordKind kind) {
  QTextCharFormat format;
  switch (kind) {
    case assembler::WordKind::Mnemonic:
      format.setForeground(QColor(0, 0, 160));
      format.setFontWeight(QFont::Bold);
      break;
    case assembler::WordKind::Register:
      format.setForeground(QColor(128, 0, 128));
      break;
    case assembler::WordKind::Directive:
    case assembler::WordKind::Function:
      format.setForeground(QColor(0, 128, 128));
      format.setFontWeight(QFont::Bold);
      break;
    case assembler::WordKind::Number:
      format.setForeground(QColor(176, 80, 0));
      break;
    case assembler::WordKind::Name:
      format.setForeground(QColor(128, 64, 0));
      break;
    case assembler::WordKind::Comment:
      format.setForeground(QColor(0, 128, 0));
      format.setFontItalic(true);
      break;
  }
  return format;
}

// Each line coloured as the assembler's lexer reads it. The spans count
// UTF-8 bytes; the block counts UTF-16 units.
class SourceHighlighter final : public QSyntaxHighlighter {
 public:
  using QSyntaxHighlighter::QSyntaxHighlighter;

 protected:
  void highlightBlock(const QString& text) override {
    const QByteArray utf8 = text.toUtf8();
    const std::string_view line(utf8.constData(), static_cast<std::size_t>(utf8.size()));
    for (const assembler::ColouredSpan& span : assembler::ColourLine(line)) {
      const auto start = QString::fromUtf8(utf8.constData(), static_cast<qsizetype>(span.start));
      const auto word =
          QString::fromUtf8(utf8.constData() + span.start, static_cast<qsizetype>(span.length));
      setFormat(static_cast<int>(start.size()), static_cast<int>(word.size()), formatOf(span.kind));
    }
  }
};

// A breakpoint on a line: the mark rides with its text block.
class BreakpointMark final : public QTextBlockUserData {};

bool hasBreakpoint(const QTextBlock& block) {
  return dynamic_cast<BreakpointMark*>(block.userData()) != nullptr;
}

QString spokenLineAtPC(int line) {
  return line == 0 ? QStringLiteral("Sin línea en PC") : QStringLiteral("Línea %1 en PC").arg(line);
}

}  // namespace

class LineNumberMargin final : public QWidget {
 public:
  explicit LineNumberMargin(SourceEdit* edit) : QWidget(edit), edit_(edit) {
    setObjectName(QStringLiteral("Texto_Fuente_Margen"));
  }
  QSize sizeHint() const override { return {edit_->marginWidth(), 0}; }

 protected:
  void paintEvent(QPaintEvent* event) override { edit_->paintMargin(event); }
  void mousePressEvent(QMouseEvent* event) override {
    if (event->button() == Qt::LeftButton) edit_->clickMargin(event->position().toPoint().y());
  }

 private:
  SourceEdit* edit_;
};

SourceEdit::SourceEdit(QWidget* parent)
    : QPlainTextEdit(parent), margin_(new LineNumberMargin(this)) {
  setObjectName(QStringLiteral("Texto_Fuente"));
  setAccessibleName(QStringLiteral("Programa fuente"));
  setFont(monoFont(15));
  setLineWrapMode(QPlainTextEdit::NoWrap);
  // Tab moves the keyboard focus on to the messages, as it does from every
  // other control; the assembler reads blanks and tabs alike.
  setTabChangesFocus(true);
  new SourceHighlighter(document());
  connect(this, &QPlainTextEdit::blockCountChanged, this,
          [this] { setViewportMargins(marginWidth(), 0, 0, 0); });
  connect(this, &QPlainTextEdit::updateRequest, this, &SourceEdit::updateMargin);
  setViewportMargins(marginWidth(), 0, 0, 0);
  setAccessibleDescription(spokenLineAtPC(0));
  announcer_ = new ChangeAnnouncer(
      this, [this] { return QVariant(line_at_pc_); },
      // Setting the description is what tells a screen reader of it.
      [this] { setAccessibleDescription(spokenLineAtPC(line_at_pc_)); });
}

int SourceEdit::marginWidth() const {
  const int digits = static_cast<int>(QString::number(std::max(1, blockCount())).size());
  return kDotRoom + 10 + fontMetrics().horizontalAdvance(QLatin1Char('9')) * std::max(3, digits);
}

void SourceEdit::moveCursorTo(int line, int column) {
  const QTextBlock block = document()->findBlockByNumber(std::max(0, line - 1));
  if (!block.isValid()) return;
  QTextCursor cursor(block);
  cursor.movePosition(QTextCursor::Right, QTextCursor::MoveAnchor,
                      std::clamp(column - 1, 0, static_cast<int>(block.length()) - 1));
  setTextCursor(cursor);
  centerCursor();
  setFocus();
}

void SourceEdit::setLineAtPC(int line) {
  if (line == line_at_pc_) return;
  line_at_pc_ = line;
  markLineAtPC();
  announcer_->changed();
  emit lineAtPCChanged(line);
}

void SourceEdit::markLineAtPC() {
  QList<QTextEdit::ExtraSelection> marks;
  const QTextBlock block = document()->findBlockByNumber(line_at_pc_ - 1);
  if (line_at_pc_ > 0 && block.isValid()) {
    QTextEdit::ExtraSelection mark;
    mark.cursor = QTextCursor(block);
    mark.format.setBackground(QColor(255, 236, 150));
    mark.format.setProperty(QTextFormat::FullWidthSelection, true);
    marks.push_back(mark);
    // Scrolled to, without moving the cursor the student types with.
    const int top = qRound(blockBoundingGeometry(block).translated(contentOffset()).top());
    const int height = qRound(blockBoundingRect(block).height());
    if (top < 0 || top + height > viewport()->height()) {
      verticalScrollBar()->setValue(
          std::max(0, block.firstLineNumber() - viewport()->height() / (2 * std::max(1, height))));
    }
  }
  setExtraSelections(marks);
}

QList<int> SourceEdit::breakpointLines() const {
  QList<int> lines;
  for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
    if (hasBreakpoint(block)) lines.push_back(block.blockNumber() + 1);
  }
  return lines;
}

void SourceEdit::setBreakpointLines(const QList<int>& lines) {
  for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
    const bool set = lines.contains(block.blockNumber() + 1);
    if (set != hasBreakpoint(block)) block.setUserData(set ? new BreakpointMark : nullptr);
  }
  margin_->update();
}

void SourceEdit::setBreakpoint(int line, bool set) {
  QTextBlock block = document()->findBlockByNumber(line - 1);
  if (!block.isValid() || set == hasBreakpoint(block)) return;
  block.setUserData(set ? new BreakpointMark : nullptr);
  margin_->update();
}

void SourceEdit::clickMargin(int y) {
  QTextBlock block = firstVisibleBlock();
  int top = qRound(blockBoundingGeometry(block).translated(contentOffset()).top());
  while (block.isValid()) {
    const int height = qRound(blockBoundingRect(block).height());
    if (y >= top && y < top + height) {
      emit marginClicked(block.blockNumber() + 1);
      return;
    }
    top += height;
    block = block.next();
  }
}

void SourceEdit::showEvent(QShowEvent* event) {
  QPlainTextEdit::showEvent(event);
  // Hidden, no change was told: it reads as it is now.
  setAccessibleDescription(spokenLineAtPC(line_at_pc_));
}

void SourceEdit::resizeEvent(QResizeEvent* event) {
  QPlainTextEdit::resizeEvent(event);
  const QRect area = contentsRect();
  margin_->setGeometry(QRect(area.left(), area.top(), marginWidth(), area.height()));
}

void SourceEdit::updateMargin(const QRect& rect, int dy) {
  if (dy != 0) {
    margin_->scroll(0, dy);
  } else {
    margin_->update(0, rect.y(), margin_->width(), rect.height());
  }
}

void SourceEdit::paintMargin(QPaintEvent* event) {
  QPainter painter(margin_);
  painter.fillRect(event->rect(), QColor(232, 232, 232));
  painter.setFont(font());
  painter.setPen(QColor(110, 110, 110));
  QTextBlock block = firstVisibleBlock();
  int top = qRound(blockBoundingGeometry(block).translated(contentOffset()).top());
  const int right = margin_->width() - 5;
  while (block.isValid() && top <= event->rect().bottom()) {
    const int height = qRound(blockBoundingRect(block).height());
    if (block.isVisible() && top + height >= event->rect().top()) {
      if (hasBreakpoint(block)) {
        const int d = std::min(kDotRoom - 4, fontMetrics().height() - 4);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setBrush(QColor(200, 0, 0));
        painter.setPen(Qt::NoPen);
        painter.drawEllipse(3, top + (fontMetrics().height() - d) / 2, d, d);
        painter.setPen(QColor(110, 110, 110));
      }
      painter.drawText(0, top, right, fontMetrics().height(), Qt::AlignRight,
                       QString::number(block.blockNumber() + 1));
    }
    top += height;
    block = block.next();
  }
}

}  // namespace orben
