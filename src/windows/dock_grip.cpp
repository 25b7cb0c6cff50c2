#include "windows/dock_grip.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QRegion>

#include "windows/dock.h"

namespace orben {

// A frame drawn above every window, which the mouse goes through: the
// outline a docked piece shows while it is dragged (thin, dark) and the
// mark of the place a drop would dock it (thick, in the highlight colour).
class FrameOverlay : public QWidget {
 public:
  FrameOverlay(const QString& name, const QColor& colour, int thickness)
      : QWidget(nullptr, Qt::ToolTip | Qt::FramelessWindowHint), thickness_(thickness) {
    setObjectName(name);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAutoFillBackground(true);
    setPalette(QPalette(colour));
  }

  void showAt(const QRect& global) {
    setGeometry(global);
    show();
    raise();
  }

 protected:
  void resizeEvent(QResizeEvent*) override {
    const QRegion all(rect());
    const int t = thickness_;
    setMask(all.subtracted(QRegion(rect().adjusted(t, t, -t, -t))));
  }

 private:
  const int thickness_;
};

DockGrip::DockGrip(DockPiece& piece, Qt::Orientation orientation)
    : QWidget(&piece), piece_(piece), orientation_(orientation) {
  setObjectName(piece.objectName() + QStringLiteral("_Asa"));
  setCursor(Qt::SizeAllCursor);
  setToolTip(piece.caption());
  if (orientation == Qt::Vertical) {
    setFixedWidth(DockPiece::kGripThickness);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
  } else {
    setFixedHeight(DockPiece::kGripThickness);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  }
}

DockGrip::~DockGrip() = default;

void DockGrip::paintEvent(QPaintEvent*) {
  // Two rows of raised dots along the strip.
  QPainter painter(this);
  const bool vertical = orientation_ == Qt::Vertical;
  const int length = vertical ? height() : width();
  for (int along = 3; along + 2 <= length - 2; along += 4) {
    for (int across : {2, 5}) {
      const QPoint dot = vertical ? QPoint(across, along) : QPoint(along, across);
      painter.fillRect(QRect(dot + QPoint(1, 1), QSize(1, 1)), palette().color(QPalette::Light));
      painter.fillRect(QRect(dot, QSize(1, 1)), palette().color(QPalette::Dark));
    }
  }
}

void DockGrip::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
  pressed_ = true;
  dragging_ = false;
  pressed_at_ = event->globalPosition().toPoint();
  held_at_ = mapTo(&piece_, event->position().toPoint());
}

void DockGrip::mouseMoveEvent(QMouseEvent* event) {
  if (!pressed_) return QWidget::mouseMoveEvent(event);
  const QPoint global = event->globalPosition().toPoint();
  if (!dragging_) {
    if ((global - pressed_at_).manhattanLength() < QApplication::startDragDistance()) return;
    dragging_ = true;
  }
  showDropPlace(global);
  if (piece_.dockedIn() == nullptr) {
    if (QWidget* window = piece_.floatingWindow()) {
      window->setGeometry(QRect(global - held_at_, window->size()));
    }
    return;
  }
  if (!outline_) {
    outline_ = std::make_unique<FrameOverlay>(piece_.objectName() + QStringLiteral("_Contorno"),
                                              Qt::darkGray, 3);
  }
  outline_->showAt(QRect(global - held_at_, piece_.size()));
}

void DockGrip::showDropPlace(const QPoint& global) {
  // Over an area that would take the piece home, that area is marked.
  DockBar* bar = piece_.barAt(global);
  if (bar == nullptr) {
    if (drop_place_) drop_place_->hide();
    return;
  }
  if (!drop_place_) {
    drop_place_ = std::make_unique<FrameOverlay>(piece_.objectName() + QStringLiteral("_Destino"),
                                                 palette().color(QPalette::Highlight), 4);
  }
  drop_place_->showAt(bar->homePlace());
}

void DockGrip::mouseReleaseEvent(QMouseEvent* event) {
  if (!pressed_ || event->button() != Qt::LeftButton) return QWidget::mouseReleaseEvent(event);
  const bool dropped = dragging_;
  pressed_ = false;
  dragging_ = false;
  outline_.reset();
  drop_place_.reset();
  // The piece may change windows here; nothing of the grip is used after.
  if (dropped) piece_.drop(event->globalPosition().toPoint(), held_at_);
}

}  // namespace orben
