#pragma once

#include <QAbstractScrollArea>
#include <QString>

#include <memory>

#include "disasm/listing.h"

namespace orben {

class ChangeAnnouncer;

// THListBox: a single-selection list of text lines that shows a program
// listing. The lines live in the `Listing`, never in the widget: the widget
// observes the listing and paints only the lines in view, so moving the
// selection costs the same with 61,440 lines as with ten.
//
// Appearance: "Courier New" 15 pixels high in navy, 17 pixels per line; tab
// characters are expanded to tab stops every 8 character cells. The
// horizontal extent is the scrollable width in pixels (0 at start: no
// horizontal scrolling); it does not grow by itself for long lines.
//
// To assistive technology the listing is a list of its lines with the
// marked line selected; a new mark is announced at most a few times a
// second, however fast a timed run moves it.
class THListBox : public QAbstractScrollArea, private ListingObserver {
  Q_OBJECT
  Q_PROPERTY(int horizontalExtent READ horizontalExtent WRITE setHorizontalExtent)
  Q_PROPERTY(bool sorted READ isSorted WRITE setSorted)
  Q_PROPERTY(int currentLine READ currentLine WRITE selectLine NOTIFY currentLineChanged)

 public:
  static constexpr int kLineHeight = 17;
  static constexpr int kFontPixels = 15;
  static constexpr int kTabCells = 8;
  static inline const QColor kTextColor{0, 0, 128};  // navy

  // Shows a listing of its own.
  explicit THListBox(QWidget* parent = nullptr);
  // Shows `listing`, which must outlive the widget (or be replaced first).
  explicit THListBox(Listing* listing, QWidget* parent = nullptr);
  ~THListBox() override;

  Listing& listing() { return *listing_; }
  const Listing& listing() const { return *listing_; }
  // Shows another listing; nullptr goes back to the widget's own.
  void setListing(Listing* listing);

  // The listing's operations, forwarded.
  int count() const { return listing_->count(); }
  QString lineAt(int index) const;
  int addLine(const QString& line);
  void deleteLine(int index);
  void replaceLine(int index, const QString& line);
  bool isSorted() const { return listing_->sorted(); }
  void setSorted(bool sorted);
  int currentLine() const { return listing_->selected(); }
  // Selects the line at `index` (-1: none) and scrolls it into view.
  void selectLine(int index);
  // Empties the listing and scrolls back to the left edge.
  void clear();

  int horizontalExtent() const { return horizontal_extent_; }
  void setHorizontalExtent(int extent);

  // Index of the first line in view.
  int topLine() const;
  // Lines that fit wholly in the viewport (at least 1).
  int visibleLines() const;
  // Scrolls so that the line at `index` is in view.
  void scrollToLine(int index);

  // `text` with its tab characters expanded to the tab stops.
  static QString expandTabs(const QString& text);

  QSize sizeHint() const override { return {377, 255}; }

 signals:
  void currentLineChanged(int current);

 protected:
  // Draws the line at `index` in `rect` (viewport coordinates, already
  // shifted by the horizontal scroll position).
  virtual void drawLine(QPainter& painter, int index, const QRect& rect, bool selected);

  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  // ListingObserver
  void listingCleared() override;
  void listingReset() override;
  void lineInserted(int index) override;
  void lineRemoved(int index) override;
  void lineChanged(int index) override;
  void selectionChanged(int previous, int current) override;

  void updateScrollBars();
  // The line count changed: the scroll bars follow once the events run.
  void scrollBarsLater();
  void updateLine(int index);
  QRect lineRect(int index) const;

  std::unique_ptr<Listing> own_listing_;
  Listing* listing_ = nullptr;
  int horizontal_extent_ = 0;
  bool scroll_bars_stale_ = false;
  ChangeAnnouncer* announcer_ = nullptr;
};

}  // namespace orben
