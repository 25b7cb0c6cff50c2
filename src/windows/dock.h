#pragma once

#include <QFrame>
#include <QMargins>
#include <QString>

namespace orben {

class DockPiece;

// A dock bar: the place a dockable piece sits in when it is at home. It
// accepts exactly one piece, by that piece's name.
class DockBar : public QFrame {
  Q_OBJECT

 public:
  DockBar(const QString& name, const QString& accepted_piece, QWidget* parent = nullptr);

  // The dock-over rule: only the bar's own piece may dock here.
  bool accepts(const DockPiece* piece) const;
  // Puts `piece` into the bar (the bar must accept it), at the bar's
  // margins.
  void dock(DockPiece* piece);
  // The pieces the bar holds now: 0 or 1.
  int pieceCount() const;
  void setPieceMargins(const QMargins& margins);

 private:
  QString accepted_;
};

// A dockable piece (Menu, PPanel_Frontal, Panel_Interno,
// PContenedor_Memoria): a panel with a caption, which is the title of the
// small tool window it floats in when dragged out of its home bar.
class DockPiece : public QFrame {
  Q_OBJECT

 public:
  DockPiece(const QString& name, const QString& caption, QWidget* parent = nullptr);

  const QString& caption() const { return caption_; }
  // The widget the piece shows; the piece takes it over.
  void setContent(QWidget* content);
  QWidget* content() const { return content_; }
  // The bar that holds the piece, or nullptr while it floats.
  DockBar* dockedIn() const;

 private:
  QString caption_;
  QWidget* content_ = nullptr;
};

}  // namespace orben
