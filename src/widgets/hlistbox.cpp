#include "widgets/hlistbox.h"
#include "widgets/accessibility.h"
#include "widgets/change_announcer.h"
#include "widgets/focus_frame.h"

#include <QFont>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionFocusRect>

#include <algorithm>

namespace orben {

namespace {
// Pixels between the left edge and a line's text.
constexpr int kTextIndent = 2;
}  // namespace

THListBox::THListBox(QWidget* parent) : THListBox(nullptr, parent) {}

THListBox::THListBox(Listing* listing, QWidget* parent) : QAbstractScrollArea(parent) {
  // "Courier New", drawn with its metric twin Liberation Mono named
  // explicitly, so that the look does not depend on the fonts installed.
  QFont font(QStringLiteral("Liberation Mono"));
  font.setStyleHint(QFont::TypeWriter);
  font.setFixedPitch(true);
  font.setPixelSize(kFontPixels);
  setFont(font);
  QPalette palette = this->palette();
  palette.setColor(QPalette::Text, kTextColor);
  setPalette(palette);
  setFocusPolicy(Qt::StrongFocus);
  viewport()->setBackgroundRole(QPalette::Base);
  viewport()->setAutoFillBackground(true);
  verticalScrollBar()->setSingleStep(1);
  horizontalScrollBar()->setSingleStep(QFontMetrics(font).horizontalAdvance(u'0'));

  setListing(listing);
  installAccessibleWidgets();
  announcer_ = new ChangeAnnouncer(
      this, [this] { return QVariant(currentLine()); }, [this] { announceMarkedLine(*this); });
}

THListBox::~THListBox() {
  listing_->removeObserver(this);
}

void THListBox::setListing(Listing* listing) {
  if (listing_ != nullptr) listing_->removeObserver(this);
  if (listing == nullptr) {
    if (!own_listing_) own_listing_ = std::make_unique<Listing>();
    listing = own_listing_.get();
  }
  listing_ = listing;
  listing_->addObserver(this);
  updateScrollBars();
  viewport()->update();
}

QString THListBox::lineAt(int index) const {
  if (index < 0 || index >= count()) return {};
  return QString::fromStdString(listing_->line(index));
}

int THListBox::addLine(const QString& line) {
  return listing_->add(line.toStdString());
}

void THListBox::deleteLine(int index) {
  listing_->remove(index);
}

void THListBox::replaceLine(int index, const QString& line) {
  listing_->replace(index, line.toStdString());
}

void THListBox::setSorted(bool sorted) {
  listing_->setSorted(sorted);
}

void THListBox::selectLine(int index) {
  listing_->select(index);
}

void THListBox::clear() {
  listing_->clear();
}

void THListBox::setHorizontalExtent(int extent) {
  horizontal_extent_ = std::max(0, extent);
  updateScrollBars();
}

int THListBox::topLine() const {
  return verticalScrollBar()->value();
}

int THListBox::visibleLines() const {
  return std::max(1, viewport()->height() / kLineHeight);
}

void THListBox::scrollToLine(int index) {
  if (index < 0 || index >= count()) return;
  if (scroll_bars_stale_) updateScrollBars();
  const int top = topLine();
  if (index < top) {
    verticalScrollBar()->setValue(index);
  } else if (index >= top + visibleLines()) {
    verticalScrollBar()->setValue(index - visibleLines() + 1);
  }
}

QString THListBox::expandTabs(const QString& text) {
  if (!text.contains(u'\t')) return text;
  QString expanded;
  expanded.reserve(text.size() + kTabCells);
  for (QChar ch : text) {
    if (ch == u'\t') {
      expanded.append(QString(kTabCells - expanded.size() % kTabCells, u' '));
    } else {
      expanded.append(ch);
    }
  }
  return expanded;
}

QRect THListBox::lineRect(int index) const {
  return {0, (index - topLine()) * kLineHeight, viewport()->width(), kLineHeight};
}

void THListBox::updateLine(int index) {
  if (index < 0 || index >= count()) return;
  const QRect rect = lineRect(index);
  if (rect.intersects(viewport()->rect())) viewport()->update(rect);
}

void THListBox::updateScrollBars() {
  scroll_bars_stale_ = false;
  const int page = visibleLines();
  QScrollBar* vertical = verticalScrollBar();
  vertical->setPageStep(page);
  vertical->setRange(0, std::max(0, count() - page));

  QScrollBar* horizontal = horizontalScrollBar();
  horizontal->setPageStep(std::max(1, viewport()->width()));
  horizontal->setRange(0, std::max(0, horizontal_extent_ - viewport()->width()));
}

void THListBox::drawLine(QPainter& painter, int index, const QRect& rect, bool selected) {
  if (selected) {
    painter.fillRect(QRect(0, rect.top(), viewport()->width(), rect.height()),
                     palette().brush(QPalette::Highlight));
    painter.setPen(palette().color(QPalette::HighlightedText));
  } else {
    painter.setPen(palette().color(QPalette::Text));
  }
  painter.drawText(rect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                   expandTabs(QString::fromStdString(listing_->line(index))));
}

void THListBox::paintEvent(QPaintEvent* event) {
  QPainter painter(viewport());
  painter.setFont(font());
  const QRect dirty = event->rect();
  const int top = topLine();
  const int first = top + std::max(0, dirty.top()) / kLineHeight;
  const int last = std::min(count() - 1, top + dirty.bottom() / kLineHeight);
  const int left = kTextIndent - horizontalScrollBar()->value();
  const int width = std::max(viewport()->width(), horizontal_extent_) - kTextIndent;
  const int selected = listing_->selected();
  for (int index = first; index <= last; ++index) {
    const QRect rect(left, (index - top) * kLineHeight, width, kLineHeight);
    drawLine(painter, index, rect, index == selected);
  }
  if (hasFocus() && selected >= first && selected <= last) {
    QStyleOptionFocusRect focus;
    focus.initFrom(this);
    focus.rect = lineRect(selected);
    focus.backgroundColor = palette().color(QPalette::Highlight);
    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
  }
  // The marked line may be out of view, or there may be none: the whole
  // list shows that it has the focus.
  if (showsFocus(*this)) drawFocusFrame(painter, viewport()->rect(), palette());
}

void THListBox::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  updateScrollBars();
}

void THListBox::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) {
    QAbstractScrollArea::mousePressEvent(event);
    return;
  }
  const int y = event->position().toPoint().y();
  const int index = topLine() + y / kLineHeight;
  if (y >= 0 && index < count()) listing_->select(index);
  event->accept();
}

void THListBox::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) {
    QAbstractScrollArea::mouseReleaseEvent(event);
    return;
  }
  event->accept();
}

void THListBox::keyPressEvent(QKeyEvent* event) {
  if (count() == 0) {
    QAbstractScrollArea::keyPressEvent(event);
    return;
  }
  const int current = listing_->selected();
  int target;
  switch (event->key()) {
    case Qt::Key_Up:
      target = current - 1;
      break;
    case Qt::Key_Down:
      target = current + 1;
      break;
    case Qt::Key_PageUp:
      target = current - visibleLines();
      break;
    case Qt::Key_PageDown:
      target = current + visibleLines();
      break;
    case Qt::Key_Home:
      target = 0;
      break;
    case Qt::Key_End:
      target = count() - 1;
      break;
    default:
      QAbstractScrollArea::keyPressEvent(event);
      return;
  }
  target = std::clamp(target, 0, count() - 1);
  if (target == current) {
    scrollToLine(target);
  } else {
    listing_->select(target);
  }
  event->accept();
}

// Observer of the listing.

void THListBox::listingCleared() {
  horizontal_extent_ = 0;
  updateScrollBars();
  horizontalScrollBar()->setValue(0);
  verticalScrollBar()->setValue(0);
  viewport()->update();
}

void THListBox::listingReset() {
  updateScrollBars();
  viewport()->update();
}

void THListBox::lineInserted(int index) {
  scrollBarsLater();
  // Lines from `index` down move by one: repaint them if they are in view.
  if (index < topLine() + visibleLines() + 1) viewport()->update();
}

void THListBox::lineRemoved(int index) {
  scrollBarsLater();
  if (index < topLine() + visibleLines() + 1) viewport()->update();
}

void THListBox::scrollBarsLater() {
  // A load adds a line at a time: the scroll bars take the new count once,
  // when the events next run (or before a line is scrolled into view).
  if (scroll_bars_stale_) return;
  scroll_bars_stale_ = true;
  QMetaObject::invokeMethod(
      this,
      [this] {
        if (scroll_bars_stale_) updateScrollBars();
      },
      Qt::QueuedConnection);
}

void THListBox::lineChanged(int index) {
  updateLine(index);
}

void THListBox::selectionChanged(int previous, int current) {
  updateLine(previous);
  scrollToLine(current);
  updateLine(current);
  announcer_->changed();
  emit currentLineChanged(current);
}

}  // namespace orben
