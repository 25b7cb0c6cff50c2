#pragma once

#include <QPoint>
#include <QWidget>

#include <memory>

namespace orben {

class DockPiece;
class FrameOverlay;

// The grip of a dockable piece, named after it with "_Asa": a thin dotted
// strip along the piece's left edge (Qt::Vertical) or its top
// (Qt::Horizontal). The piece is dragged by it with the mouse: press, move
// beyond the drag distance, release. A floating piece moves with the
// mouse; a docked one shows its outline ("_Contorno") following the mouse
// until it is let go. While the mouse is over a place that would take the
// piece home, that place is framed ("_Destino").
class DockGrip : public QWidget {
  Q_OBJECT

 public:
  DockGrip(DockPiece& piece, Qt::Orientation orientation);
  ~DockGrip() override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  void showDropPlace(const QPoint& global);

  DockPiece& piece_;
  const Qt::Orientation orientation_;
  bool pressed_ = false;
  bool dragging_ = false;
  QPoint pressed_at_;  // global
  QPoint held_at_;     // the point of the piece under the mouse
  std::unique_ptr<FrameOverlay> outline_;
  std::unique_ptr<FrameOverlay> drop_place_;
};

}  // namespace orben
