// The listing to assistive technology: a list whose children are its
// lines, the marked line being the selected child. A line's interface is
// made when it is first asked for and reads the listing afresh, so a load
// of two million lines makes none.

#include <QAccessibleWidget>
#include <QHash>
#include <QPointer>

#include <utility>

#include "widgets/accessibility.h"
#include "widgets/hlistbox.h"

namespace orben {

namespace {

class ListingLine final : public QAccessibleInterface {
 public:
  ListingLine(THListBox* listing, int index) : listing_(listing), index_(index) {}

  bool isValid() const override { return listing_ && index_ < listing_->count(); }
  QObject* object() const override { return nullptr; }
  QWindow* window() const override {
    QAccessibleInterface* list = parent();
    return list ? list->window() : nullptr;
  }
  QAccessibleInterface* parent() const override {
    return QAccessible::queryAccessibleInterface(listing_.data());
  }
  QAccessibleInterface* child(int) const override { return nullptr; }
  QAccessibleInterface* childAt(int, int) const override { return nullptr; }
  int childCount() const override { return 0; }
  int indexOfChild(const QAccessibleInterface*) const override { return -1; }
  QAccessible::Role role() const override { return QAccessible::ListItem; }

  QString text(QAccessible::Text t) const override {
    if (t != QAccessible::Name || !isValid()) return {};
    return THListBox::expandTabs(listing_->lineAt(index_));
  }
  void setText(QAccessible::Text, const QString&) override {}

  QRect rect() const override {
    if (!isValid()) return {};
    QWidget* viewport = listing_->viewport();
    const QRect local(0, (index_ - listing_->topLine()) * THListBox::kLineHeight, viewport->width(),
                      THListBox::kLineHeight);
    return QRect(viewport->mapToGlobal(local.topLeft()), local.size());
  }

  QAccessible::State state() const override {
    QAccessible::State state;
    if (!isValid()) {
      state.invalid = true;
      return state;
    }
    const bool marked = index_ == listing_->currentLine();
    state.selectable = true;
    state.selected = marked;
    state.focusable = true;
    state.focused = marked && listing_->hasFocus();
    const int top = listing_->topLine();
    state.offscreen = index_ < top || index_ >= top + listing_->visibleLines();
    return state;
  }

 private:
  QPointer<THListBox> listing_;
  int index_;
};

class AccessibleListing final : public QAccessibleWidget {
 public:
  explicit AccessibleListing(THListBox* listing) : QAccessibleWidget(listing, QAccessible::List) {}

  ~AccessibleListing() override {
    for (QAccessible::Id id : std::as_const(lines_)) QAccessible::deleteAccessibleInterface(id);
  }

  int childCount() const override { return listing()->count(); }
  QAccessibleInterface* child(int index) const override {
    if (index < 0 || index >= childCount()) return nullptr;
    if (const QAccessible::Id id = lines_.value(index)) return QAccessible::accessibleInterface(id);
    auto* line = new ListingLine(listing(), index);
    lines_.insert(index, QAccessible::registerAccessibleInterface(line));
    return line;
  }
  int indexOfChild(const QAccessibleInterface* child) const override {
    for (auto it = lines_.cbegin(); it != lines_.cend(); ++it) {
      if (QAccessible::accessibleInterface(it.value()) == child) return it.key();
    }
    return -1;
  }
  QAccessibleInterface* focusChild() const override { return child(listing()->currentLine()); }
  QAccessibleInterface* childAt(int x, int y) const override {
    const QPoint at = listing()->viewport()->mapFromGlobal(QPoint(x, y));
    if (!listing()->viewport()->rect().contains(at)) return nullptr;
    return child(listing()->topLine() + at.y() / THListBox::kLineHeight);
  }

 private:
  THListBox* listing() const { return static_cast<THListBox*>(widget()); }

  mutable QHash<int, QAccessible::Id> lines_;
};

}  // namespace

QAccessibleInterface* accessibleListing(THListBox* listing) {
  return new AccessibleListing(listing);
}

void announceMarkedLine(THListBox& listing) {
  const int marked = listing.currentLine();
  if (marked < 0) return;
  QAccessibleEvent selection(&listing, QAccessible::Selection);
  selection.setChild(marked);
  QAccessible::updateAccessibility(&selection);
  if (!listing.hasFocus()) return;
  QAccessibleEvent focus(&listing, QAccessible::Focus);
  focus.setChild(marked);
  QAccessible::updateAccessibility(&focus);
}

}  // namespace orben
