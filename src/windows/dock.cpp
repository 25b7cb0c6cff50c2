#include "windows/dock.h"

#include <QHBoxLayout>

namespace orben {

DockBar::DockBar(const QString& name, const QString& accepted_piece, QWidget* parent)
    : QFrame(parent), accepted_(accepted_piece) {
  setObjectName(name);
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
}

bool DockBar::accepts(const DockPiece* piece) const {
  return piece != nullptr && piece->objectName() == accepted_;
}

void DockBar::dock(DockPiece* piece) {
  if (!accepts(piece)) return;
  auto* box = static_cast<QHBoxLayout*>(layout());
  while (QLayoutItem* item = box->takeAt(0)) delete item;
  box->addWidget(piece, 0, Qt::AlignLeft | Qt::AlignTop);
  box->addStretch(1);
  piece->show();
}

int DockBar::pieceCount() const {
  return static_cast<int>(findChildren<DockPiece*>(Qt::FindDirectChildrenOnly).size());
}

void DockBar::setPieceMargins(const QMargins& margins) {
  layout()->setContentsMargins(margins);
}

DockPiece::DockPiece(const QString& name, const QString& caption, QWidget* parent)
    : QFrame(parent), caption_(caption) {
  setObjectName(name);
  setWindowTitle(caption);
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
}

void DockPiece::setContent(QWidget* content) {
  content_ = content;
  layout()->addWidget(content);
}

DockBar* DockPiece::dockedIn() const {
  return qobject_cast<DockBar*>(parentWidget());
}

}  // namespace orben
