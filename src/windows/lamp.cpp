#include "windows/lamp.h"

#include <QAccessible>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>

#include "widgets/change_announcer.h"
#include "widgets/focus_frame.h"
#include "windows/accessible_lamp.h"

#include <functional>
#include <utility>

namespace orben {

namespace {

// One image of a lamp. A click is a left press and a release inside it.
class LampImage final : public QLabel {
 public:
  LampImage(const QString& name, const QPixmap& picture, std::function<void()> clicked,
            QWidget* parent)
      : QLabel(parent), clicked_(std::move(clicked)) {
    setObjectName(name);
    setPixmap(picture);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
  }

 protected:
  void mousePressEvent(QMouseEvent* event) override {
    if (event->button() != Qt::LeftButton) return QLabel::mousePressEvent(event);
    pressed_ = true;
    event->accept();
  }
  void mouseReleaseEvent(QMouseEvent* event) override {
    if (event->button() != Qt::LeftButton) return QLabel::mouseReleaseEvent(event);
    const bool click = pressed_ && rect().contains(event->position().toPoint());
    pressed_ = false;
    event->accept();
    if (click) clicked_();
  }
  void hideEvent(QHideEvent* event) override {
    pressed_ = false;
    QLabel::hideEvent(event);
  }
  // The image on top shows the lamp's focus frame.
  void paintEvent(QPaintEvent* event) override {
    QLabel::paintEvent(event);
    const bool changed = showsChange(*parentWidget());
    const bool focus = showsFocus(*parentWidget());
    if (!changed && !focus) return;
    QPainter painter(this);
    if (changed) drawChangeFrame(painter, rect());
    if (focus) drawFocusFrame(painter, rect(), palette());
  }

 private:
  std::function<void()> clicked_;
  bool pressed_ = false;
};

}  // namespace

Lamp::Lamp(const QString& off_name, const QString& on_name, const QPixmap& off, const QPixmap& on,
           QWidget* parent)
    : QWidget(parent) {
  const QSize size =
      off.deviceIndependentSize().toSize().expandedTo(on.deviceIndependentSize().toSize());
  setFixedSize(size);
  const auto click = [this] { emit clicked(); };
  auto* off_image = new LampImage(off_name, off, click, this);
  auto* on_image = new LampImage(on_name, on, click, this);
  for (QLabel* image : {off_image, on_image}) image->setGeometry(QRect(QPoint(0, 0), size));
  on_image->raise();
  on_image->hide();
  on_image_ = on_image;
  installAccessibleLamps();
  announcer_ = new ChangeAnnouncer(
      this, [this] { return QVariant(isLit()); },
      [this] {
        QAccessible::State checked;
        checked.checked = true;
        QAccessibleStateChangeEvent event(this, checked);
        QAccessible::updateAccessibility(&event);
      });
}

bool Lamp::isLit() const {
  return !on_image_->isHidden();
}

void Lamp::setLit(bool lit) {
  if (lit == isLit()) return;
  on_image_->setHidden(!lit);
  announcer_->changed();
}

void Lamp::setClickable(bool clickable) {
  setFocusPolicy(clickable ? Qt::StrongFocus : Qt::NoFocus);
}

void Lamp::keyPressEvent(QKeyEvent* event) {
  // Space toggles a clickable lamp, as it does a check box.
  if (isClickable() && event->key() == Qt::Key_Space && event->modifiers() == Qt::NoModifier) {
    event->accept();
    if (!event->isAutoRepeat()) emit clicked();
    return;
  }
  QWidget::keyPressEvent(event);
}

void Lamp::focusInEvent(QFocusEvent* event) {
  QWidget::focusInEvent(event);
  for (QWidget* image : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) image->update();
}

void Lamp::focusOutEvent(QFocusEvent* event) {
  QWidget::focusOutEvent(event);
  for (QWidget* image : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) image->update();
}

void Lamp::setImageCursor(const QCursor& cursor) {
  for (QWidget* image : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    image->setCursor(cursor);
  }
}

}  // namespace orben
