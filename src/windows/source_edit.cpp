#include "windows/source_edit.h"

#include <QPainter>
#include <QSyntaxHighlighter>
#include <QTextBlock>

#include <string>

#include "assembler/source_colours.h"
#include "windows/style.h"

namespace orben {

namespace {

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

}  // namespace

class LineNumberMargin final : public QWidget {
 public:
  explicit LineNumberMargin(SourceEdit* edit) : QWidget(edit), edit_(edit) {}
  QSize sizeHint() const override { return {edit_->marginWidth(), 0}; }

 protected:
  void paintEvent(QPaintEvent* event) override { edit_->paintMargin(event); }

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
}

int SourceEdit::marginWidth() const {
  const int digits = static_cast<int>(QString::number(std::max(1, blockCount())).size());
  return 10 + fontMetrics().horizontalAdvance(QLatin1Char('9')) * std::max(3, digits);
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
      painter.drawText(0, top, right, fontMetrics().height(), Qt::AlignRight,
                       QString::number(block.blockNumber() + 1));
    }
    top += height;
    block = block.next();
  }
}

}  // namespace orben
