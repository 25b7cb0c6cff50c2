#include "widgets/hex_editor.h"

#include <QEvent>
#include <QFont>
#include <QFontMetrics>
#include <QResizeEvent>
#include <QScrollBar>

#include <algorithm>

#include "widgets/accessibility.h"
#include "widgets/hex_char.h"

namespace orben {

namespace {

constexpr int kMargin = 4;  // pixels left of the labels and right of the text area
constexpr int kTopPad = 2;  // pixels above row 0

int hexDigitsOf(unsigned long long value) {
  int digits = 1;
  while (value >= 16) {
    value /= 16;
    ++digits;
  }
  return digits;
}

}  // namespace

THexEditor::THexEditor(QWidget* parent)
    : QAbstractScrollArea(parent), ownStore_(std::make_unique<MemoryStore>()) {
  store_ = ownStore_.get();
  store_->addObserver(this);

  // "Courier", drawn with Liberation Mono named explicitly: where other
  // font packages are installed, "Courier" may map to a much thinner face.
  QFont font(QStringLiteral("Liberation Mono"));
  font.setPixelSize(13);
  font.setStyleHint(QFont::TypeWriter);
  font.setFixedPitch(true);
  setFont(font);

  colors_.background = palette().color(QPalette::Window);
  colors_.offset = Qt::black;
  colors_.evenColumn = QColor(0, 0, 128);  // navy
  colors_.oddColumn = Qt::blue;
  colors_.changedBackground = QColor(255, 255, 168);
  colors_.changedText = QColor(128, 0, 0);  // maroon
  colors_.positionBackground = QColor(128, 0, 0);
  colors_.positionText = Qt::white;
  colors_.cursorFrame = QColor(0, 0, 128);

  setFocusPolicy(Qt::StrongFocus);
  installAccessibleWidgets();
  viewport()->setCursor(Qt::IBeamCursor);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

  updateMetrics();
  contentReplaced();
}

THexEditor::~THexEditor() {
  store_->removeObserver(this);
}

void THexEditor::setMemoryStore(MemoryStore* store) {
  if (store_) store_->removeObserver(this);
  if (!store) store = ownStore_.get();
  store_ = store;
  store_->addObserver(this);
  contentReplaced();
}

// ---- Operations ----------------------------------------------------------

std::size_t THexEditor::caretByteIndex() const {
  const std::size_t n = store_->size();
  if (n == 0) return 0;
  return std::min(caretByte_, n - 1);
}

bool THexEditor::isChanged(std::size_t index) const {
  return index < changed_.size() && changed_[index];
}

void THexEditor::clearChanges() {
  if (changed_count_ == 0) return;
  std::fill(changed_.begin(), changed_.end(), false);
  changed_count_ = 0;
  viewport()->update();
}

void THexEditor::setCaret(std::size_t byteIndex, Area area, int nibble) {
  updateCaretRow();
  const auto row = [this] { return caretByteIndex() / bytesPerLine_; };
  const std::size_t old_row = row();
  const Area old_area = caretArea_;
  const std::size_t n = store_->size();
  caretByte_ = n == 0 ? 0 : std::min(byteIndex, n - 1);
  caretArea_ = area;
  caretNibble_ = area == Area::Digits ? std::clamp(nibble, 0, 1) : 0;
  ensureCaretVisible();
  updateCaretRow();
  // A screen reader follows the caret from cell to cell (a row's digits,
  // or its text), not from digit to digit.
  if (hasFocus() && (row() != old_row || caretArea_ != old_area)) announceCaretCell(*this);
}

// ---- Configuration -------------------------------------------------------

void THexEditor::setBytesPerLine(int bytes) {
  bytes = std::clamp(bytes - bytes % 2, 2, 64);
  if (bytes == bytesPerLine_) return;
  bytesPerLine_ = bytes;
  bytesPerColumn_ = std::min(bytesPerColumn_, bytesPerLine_);
  updateLabelDigits();
  updateScrollBars();
  ensureCaretVisible();
  viewport()->update();
}

void THexEditor::setBytesPerColumn(int bytes) {
  bytesPerColumn_ = std::clamp(bytes, 1, bytesPerLine_);
  updateScrollBars();
  viewport()->update();
}

void THexEditor::setOffsetDisplay(OffsetDisplay display) {
  offsetDisplay_ = display;
  updateScrollBars();
  viewport()->update();
}

void THexEditor::setOffsetSeparator(const QString& separator) {
  offsetSeparator_ = separator;
  updateScrollBars();
  viewport()->update();
}

void THexEditor::setTranslation(Translation translation) {
  translation_ = translation;
  viewport()->update();
}

void THexEditor::setColors(const Colors& colors) {
  colors_ = colors;
  viewport()->update();
}

// ---- Layout --------------------------------------------------------------

long long THexEditor::rowCount() const {
  return static_cast<long long>((store_->size() + bytesPerLine_ - 1) / bytesPerLine_);
}

long long THexEditor::firstVisibleRow() const {
  return verticalScrollBar()->value();
}

int THexEditor::visibleRowCount() const {
  return std::max(1, (viewport()->height() - kTopPad) / rowHeight_);
}

QRect THexEditor::rowRect(long long row) const {
  const long long y = (row - firstVisibleRow()) * rowHeight_ + kTopPad;
  return QRect(0, static_cast<int>(y), viewport()->width(), rowHeight_);
}

QRect THexEditor::cellRect(std::size_t byteIndex, Area area, int nibble) const {
  const auto row = static_cast<long long>(byteIndex / bytesPerLine_);
  const int inRow = static_cast<int>(byteIndex % bytesPerLine_);
  const int x = area == Area::Digits ? digitX(inRow, nibble) : textX(inRow);
  const QRect r = rowRect(row);
  return QRect(x - horizontalScrollBar()->value(), r.top(), charWidth_, rowHeight_);
}

QString THexEditor::rowLabel(long long row) const {
  if (offsetDisplay_ == odNone) return {};
  const long long word = row * bytesPerLine_ / 2;
  return QStringLiteral("H") + hexText(static_cast<unsigned long long>(word), labelDigits_) +
         offsetSeparator_;
}

QString THexEditor::rowText(long long row, Area area) const {
  QString text;
  if (row < 0 || row >= rowCount()) return text;
  for (int inRow = 0; inRow < bytesPerLine_; ++inRow) {
    const std::size_t index = static_cast<std::size_t>(row) * bytesPerLine_ + inRow;
    if (index >= store_->size()) break;
    const std::uint8_t value = store_->byte(index);
    if (area == Area::Text) {
      text += displayChar(value);
      continue;
    }
    if (inRow > 0 && inRow % bytesPerColumn_ == 0) text += u' ';
    text += hexText(value, 2);
  }
  return text;
}

QChar THexEditor::displayChar(std::uint8_t value) const {
  return value >= 32 && value <= 127 ? QChar(value) : QLatin1Char('.');
}

QSize THexEditor::sizeHint() const {
  return QSize(192, 272);
}

int THexEditor::labelChars() const {
  if (offsetDisplay_ == odNone) return 0;
  return 1 + labelDigits_ + static_cast<int>(offsetSeparator_.size()) + 1;  // + gap
}

int THexEditor::digitX(int byteInRow, int nibble) const {
  const int gaps = byteInRow / bytesPerColumn_;
  return kMargin + (labelChars() + 2 * byteInRow + nibble + gaps) * charWidth_;
}

int THexEditor::textX(int byteInRow) const {
  // Two blank cells between the last digit and the text area.
  return digitX(bytesPerLine_ - 1, 1) + (3 + byteInRow) * charWidth_;
}

int THexEditor::contentWidth() const {
  return textX(bytesPerLine_) + kMargin;
}

void THexEditor::updateMetrics() {
  const QFontMetrics metrics(font());
  charWidth_ = std::max(1, metrics.horizontalAdvance(QLatin1Char('0')));
  rowHeight_ = std::max(1, metrics.lineSpacing());
  ascent_ = metrics.ascent();
  updateScrollBars();
}

void THexEditor::updateLabelDigits() {
  const long long rows = rowCount();
  const long long lastWord = rows == 0 ? 0 : (rows - 1) * bytesPerLine_ / 2;
  labelDigits_ = hexDigitsOf(static_cast<unsigned long long>(lastWord));
}

void THexEditor::updateScrollBars() {
  const int pageRows = visibleRowCount();
  const long long rows = rowCount();
  verticalScrollBar()->setRange(0, static_cast<int>(std::max<long long>(0, rows - pageRows)));
  verticalScrollBar()->setPageStep(pageRows);
  verticalScrollBar()->setSingleStep(1);
  const int width = viewport()->width();
  horizontalScrollBar()->setRange(0, std::max(0, contentWidth() - width));
  horizontalScrollBar()->setPageStep(width);
  horizontalScrollBar()->setSingleStep(charWidth_);
}

void THexEditor::updateRows(long long firstRow, long long lastRow) {
  const long long top = firstVisibleRow();
  const long long bottom = top + visibleRowCount();  // includes a partial last row
  firstRow = std::max(firstRow, top);
  lastRow = std::min(lastRow, bottom);
  if (firstRow > lastRow) return;
  viewport()->update(rowRect(firstRow).united(rowRect(lastRow)));
}

void THexEditor::updateCaretRow() {
  const auto row = static_cast<long long>(caretByte_ / bytesPerLine_);
  updateRows(row, row);
}

void THexEditor::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  updateScrollBars();
}

void THexEditor::changeEvent(QEvent* event) {
  QAbstractScrollArea::changeEvent(event);
  if (event->type() == QEvent::FontChange) {
    updateMetrics();
    viewport()->update();
  }
}

// ---- Store observer ------------------------------------------------------

void THexEditor::bytesChanged(std::size_t first, std::size_t count) {
  if (count == 0) return;
  updateRows(static_cast<long long>(first / bytesPerLine_),
             static_cast<long long>((first + count - 1) / bytesPerLine_));
}

void THexEditor::contentReplaced() {
  changed_.assign(store_->size(), false);
  changed_count_ = 0;
  caretByte_ = 0;
  caretArea_ = Area::Digits;
  caretNibble_ = 0;
  updateLabelDigits();
  updateScrollBars();
  verticalScrollBar()->setValue(0);
  horizontalScrollBar()->setValue(0);
  viewport()->update();
  if (hasFocus()) announceCaretCell(*this);
}

}  // namespace orben
