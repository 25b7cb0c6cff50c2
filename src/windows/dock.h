#pragma once

#include <QFrame>
#include <QMargins>
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QString>

class QChildEvent;

namespace orben {

class DockGrip;
class DockPiece;

// A dock bar: the place a dockable piece sits in when it is at home. It
// accepts exactly one piece, by that piece's name (the docking rule).
class DockBar : public QFrame {
  Q_OBJECT

 public:
  // The edge a bar that sizes itself to its piece keeps when it shrinks:
  // the top bar shrinks up to the window's top, the bottom one down onto
  // the status bar.
  enum class Edge { Top, Bottom };

  explicit DockBar(const QString& name, QWidget* parent = nullptr, Edge edge = Edge::Top);

  // The dock-over handler of the bar (Barra_Principal_DockOver,
  // Contenedor_Panel_Frontal_DockOver, Contenedor_Panel_Interno_DockOver,
  // Contenedor_de_Memoria_DockOver): true exactly for the bar's own piece,
  // whatever the position or state of the drag.
  bool accepts(const DockPiece* piece) const;
  // Puts `piece` into the bar, at the bar's margins, as at start; a piece
  // the bar refuses stays where it is.
  void dock(DockPiece* piece);
  // The pieces the bar holds now: 0 or 1.
  int pieceCount() const;
  void setPieceMargins(const QMargins& margins);
  // The bar sizes itself to its content: `height_when_docked` (or, when 0,
  // its piece's own height) while it holds its piece, 0 while it is empty.
  void fitHeightToPiece(int height_when_docked = 0);
  // The bar and the area its piece occupies when docked (or occupied when
  // it left, moved with the bar's edge), in global coordinates.
  QRect homePlace() const;
  // Where a dragged piece may be dropped to come home: the home place and a
  // few pixels around the bar, so that a bar shrunk to nothing still takes
  // its piece back anywhere over the place it left.
  QRect dropArea() const;
  // Takes the bar out of its parent's column and puts it back last: an
  // aligned bar returns to its edge, the bottom one above the status bar.
  void returnToBottom();

 protected:
  void childEvent(QChildEvent* event) override;

 private:
  friend class DockPiece;
  // The piece is leaving the bar: its place is kept for homePlace().
  void notePlaceOf(const QWidget* piece);
  void fitHeight();

  QString accepted_;
  Edge edge_;
  int fit_height_ = -1;  // -1: the bar keeps the height it is given
  // The piece's place when it left, in the bar's coordinates, and the
  // bar's height then: a bottom bar that shrank moves the place with its
  // bottom edge.
  QRect piece_place_;
  int height_when_left_ = 0;
};

// A dockable piece (Menu, PPanel_Frontal, Panel_Interno,
// PContenedor_Memoria): a panel with a caption and a grip. Dragged by its
// grip out of its home bar, it floats in a small tool window of its own,
// titled with its caption; dropped over its home bar it docks again.
class DockPiece : public QFrame {
  Q_OBJECT

 public:
  // The grip runs along the piece's left edge or along its top.
  enum class GripSide { Left, Top };
  // What the close button of the piece's floating window does: hide the
  // piece (it stays undocked, and a menu item brings it back) or dock it
  // back into its home bar (for pieces nothing else could bring back).
  enum class OnClose { Hide, DockHome };
  // The width of the grip's strip, in pixels.
  static constexpr int kGripThickness = 8;

  DockPiece(const QString& name, const QString& caption, QWidget* parent = nullptr,
            GripSide grip_side = GripSide::Left, OnClose on_close = OnClose::DockHome);

  const QString& caption() const { return caption_; }
  // The widget the piece shows beside or below its grip; the piece takes
  // it over.
  void setContent(QWidget* content);
  QWidget* content() const { return content_; }
  // The bar that holds the piece, or nullptr while it floats.
  DockBar* dockedIn() const;
  // The bar the piece was first docked in.
  DockBar* home() const { return home_; }
  // The tool window the piece floats in (nullptr before it first floats;
  // hidden while the piece is docked or after its close button).
  QWidget* floatingWindow() const { return floating_; }
  // Shows the floating window again where it was, after it was closed.
  void showFloating();

  // The end of a drag: the piece was let go at `global` with the point of
  // the piece it was held by at `held_at`. It docks into the bar under the
  // mouse that accepts it, or else floats where it was dropped.
  void drop(const QPoint& global, const QPoint& held_at);
  // The bar whose drop area holds `global` and that accepts the piece, if
  // any: where a drop at `global` would dock it.
  DockBar* barAt(const QPoint& global) const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 signals:
  // The piece has been dropped: on `target`, the bar it docked into, or on
  // nothing (nullptr) when it floats.
  void endDock(orben::DockBar* target);

 private:
  friend class DockBar;  // sets home_ at the first dock
  // Floats the piece with its top left corner at `global`.
  void floatAt(const QPoint& global);
  // The main window: the top of the piece's chain of parents.
  QWidget* mainWindow() const;

  QString caption_;
  const OnClose on_close_;
  QWidget* content_ = nullptr;
  QPointer<QWidget> floating_;
  QPointer<DockBar> home_;
};

// The main window takes the size its content asks for, every region at its
// preferred size, the whole internal panel included; then the user may
// resize it again.
void fitWindowToContent(QWidget& window);

}  // namespace orben
