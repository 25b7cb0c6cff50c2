#include "windows/dock.h"

#include <QApplication>
#include <QBoxLayout>
#include <QChildEvent>

#include <algorithm>
#include <array>

#include "windows/dock_grip.h"

namespace orben {

namespace {

// The docking rule: each dock bar accepts exactly the piece named here, and
// every other piece is refused; pieces never change places.
struct Home {
  const char* bar;
  const char* piece;
};
constexpr std::array<Home, 4> kHomes{{
    {"Barra_Principal", "Menu"},
    {"Contenedor_PF", "PPanel_Frontal"},
    {"Contenedor_Panel_Interno", "Panel_Interno"},
    {"Contenedor_Memoria", "PContenedor_Memoria"},
}};

QString acceptedPiece(const QString& bar) {
  for (const Home& home : kHomes) {
    if (bar == QLatin1String(home.bar)) return QString::fromLatin1(home.piece);
  }
  return {};
}

// Pixels around a bar that still count as the bar, so that a bar shrunk to
// nothing can be hit.
constexpr int kDropReach = 8;

}  // namespace

DockBar::DockBar(const QString& name, QWidget* parent, Edge edge)
    : QFrame(parent), accepted_(acceptedPiece(name)), edge_(edge) {
  setObjectName(name);
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
}

bool DockBar::accepts(const DockPiece* piece) const {
  return piece != nullptr && !accepted_.isEmpty() && piece->objectName() == accepted_;
}

void DockBar::dock(DockPiece* piece) {
  if (!accepts(piece)) return;
  QWidget* floating = piece->floatingWindow();
  auto* box = static_cast<QHBoxLayout*>(layout());
  while (QLayoutItem* item = box->takeAt(0)) delete item;
  box->addWidget(piece, 0, Qt::AlignLeft | Qt::AlignTop);
  box->addStretch(1);
  piece->show();
  if (!piece->home_) piece->home_ = this;
  if (floating) floating->hide();
  fitHeight();
}

int DockBar::pieceCount() const {
  return static_cast<int>(findChildren<DockPiece*>(Qt::FindDirectChildrenOnly).size());
}

void DockBar::setPieceMargins(const QMargins& margins) {
  layout()->setContentsMargins(margins);
}

void DockBar::fitHeightToPiece(int height_when_docked) {
  fit_height_ = std::max(height_when_docked, 0);
  fitHeight();
}

QRect DockBar::homePlace() const {
  QRect place = piece_place_;
  if (const auto pieces = findChildren<DockPiece*>(Qt::FindDirectChildrenOnly); !pieces.isEmpty()) {
    place = pieces.front()->geometry();
  } else if (edge_ == Edge::Bottom) {
    place.translate(0, height() - height_when_left_);
  }
  return place.united(rect()).translated(mapToGlobal(QPoint(0, 0)));
}

QRect DockBar::dropArea() const {
  const QRect bar = rect().adjusted(-kDropReach, -kDropReach, kDropReach, kDropReach);
  return homePlace().united(bar.translated(mapToGlobal(QPoint(0, 0))));
}

void DockBar::notePlaceOf(const QWidget* piece) {
  piece_place_ = piece->geometry();
  height_when_left_ = height();
}

void DockBar::returnToBottom() {
  QWidget* parent = parentWidget();
  auto* column = parent ? qobject_cast<QBoxLayout*>(parent->layout()) : nullptr;
  if (column == nullptr) return;
  column->removeWidget(this);
  column->addWidget(this);
}

void DockBar::childEvent(QChildEvent* event) {
  QFrame::childEvent(event);
  if (event->removed()) fitHeight();
}

void DockBar::fitHeight() {
  if (fit_height_ < 0) return;
  const auto pieces = findChildren<DockPiece*>(Qt::FindDirectChildrenOnly);
  if (pieces.isEmpty()) {
    setFixedHeight(0);
  } else if (fit_height_ > 0) {
    setFixedHeight(fit_height_);
  } else {
    const QMargins margins = layout()->contentsMargins();
    setFixedHeight(pieces.front()->sizeHint().height() + margins.top() + margins.bottom());
  }
  // The column the bar sits in takes the new height at once, so that the
  // bar's place (and its drop area) is right before the next event.
  if (QWidget* parent = parentWidget(); parent && parent->layout()) parent->layout()->activate();
}

DockPiece::DockPiece(const QString& name, const QString& caption, QWidget* parent,
                     GripSide grip_side, OnClose on_close)
    : QFrame(parent), caption_(caption), on_close_(on_close) {
  setObjectName(name);
  setWindowTitle(caption);
  const bool left = grip_side == GripSide::Left;
  auto* layout = new QBoxLayout(left ? QBoxLayout::LeftToRight : QBoxLayout::TopToBottom, this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(new DockGrip(*this, left ? Qt::Vertical : Qt::Horizontal));
}

void DockPiece::setContent(QWidget* content) {
  content_ = content;
  layout()->addWidget(content);
}

DockBar* DockPiece::dockedIn() const {
  return qobject_cast<DockBar*>(parentWidget());
}

void DockPiece::showFloating() {
  if (dockedIn() || !floating_) return;
  floating_->show();
  floating_->raise();
}

void DockPiece::drop(const QPoint& global, const QPoint& held_at) {
  if (DockBar* bar = barAt(global)) {
    bar->dock(this);
    emit endDock(bar);
  } else {
    floatAt(global - held_at);
    emit endDock(nullptr);
  }
}

bool DockPiece::eventFilter(QObject* watched, QEvent* event) {
  // The floating window's close button: the piece either hides with its
  // window, still undocked, or goes home, so that a closed toolbar, front
  // panel or memory is never lost for the rest of the run.
  if (watched == floating_ && event->type() == QEvent::Close && on_close_ == OnClose::DockHome &&
      home_ && !dockedIn()) {
    home_->dock(this);
    emit endDock(home_);
  }
  return QFrame::eventFilter(watched, event);
}

void DockPiece::floatAt(const QPoint& global) {
  const QSize size = dockedIn() || !floating_ ? this->size() : floating_->size();
  if (DockBar* bar = dockedIn()) bar->notePlaceOf(this);
  if (!floating_) {
    // A small tool window with a close button, owned by the main window.
    floating_ = new QWidget(mainWindow(), Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                              Qt::WindowCloseButtonHint);
    floating_->setObjectName(objectName() + QStringLiteral("_Flotante"));
    floating_->setWindowTitle(caption_);
    floating_->installEventFilter(this);
    auto* layout = new QVBoxLayout(floating_);
    layout->setContentsMargins(0, 0, 0, 0);
  }
  if (parentWidget() != floating_) floating_->layout()->addWidget(this);
  show();
  floating_->setGeometry(QRect(global, size));
  floating_->show();
  floating_->raise();
}

DockBar* DockPiece::barAt(const QPoint& global) const {
  // Every bar of the window is asked, wherever it is: the memory's bar may
  // be floating with the internal panel.
  for (DockBar* bar : mainWindow()->findChildren<DockBar*>()) {
    if (bar->isVisible() && bar->dropArea().contains(global) && bar->accepts(this)) return bar;
  }
  return nullptr;
}

QWidget* DockPiece::mainWindow() const {
  QWidget* top = const_cast<DockPiece*>(this);
  while (top->parentWidget() != nullptr) top = top->parentWidget();
  return top;
}

void fitWindowToContent(QWidget& window) {
  // The layouts first take in what changed (a bar shown or refilled).
  QApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
  window.resize(window.sizeHint().expandedTo(window.minimumSizeHint()));
}

}  // namespace orben
