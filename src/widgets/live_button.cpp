#include "widgets/live_button.h"
#include "widgets/focus_frame.h"

#include <algorithm>

#include <QIcon>
#include <QKeyEvent>
#include <QShortcutEvent>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <QTimerEvent>

namespace orben {

namespace {
// Pixels between the glyph and the caption.
constexpr int kSpacing = 4;
// How long a button clicked by its accelerator looks pressed.
constexpr int kPressedLookMs = 100;
}  // namespace

TLiveButton::TLiveButton(QWidget* parent) : QPushButton(parent) {}

void TLiveButton::setCaptionColor(const QColor& color) {
  if (color == caption_color_) return;
  caption_color_ = color;
  update();
}

void TLiveButton::setMargin(int margin) {
  if (margin == margin_) return;
  margin_ = margin;
  updateGeometry();
  update();
}

void TLiveButton::setGlyph(const QPixmap& normal, const QPixmap& disabled) {
  QIcon icon;
  if (!normal.isNull()) icon.addPixmap(normal, QIcon::Normal);
  if (!disabled.isNull()) icon.addPixmap(disabled, QIcon::Disabled);
  if (!normal.isNull()) setIconSize(normal.deviceIndependentSize().toSize());
  setIcon(icon);
}

QSize TLiveButton::sizeHint() const {
  QSize hint = QPushButton::sizeHint();
  if (margin_ > 0 && !icon().isNull()) hint.rwidth() += margin_;
  return hint;
}

void TLiveButton::enterEvent(QEnterEvent* event) {
  hovered_ = true;
  setCaptionColor(kHoverColor);
  update();
  QPushButton::enterEvent(event);
}

void TLiveButton::leaveEvent(QEvent* event) {
  hovered_ = false;
  update();
  setCaptionColor(kLeftColor);
  QPushButton::leaveEvent(event);
}

void TLiveButton::keyPressEvent(QKeyEvent* event) {
  // Enter on the focused button clicks it, in a dialog or not.
  if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
      event->modifiers() == Qt::NoModifier && isEnabled()) {
    event->accept();
    click();
    return;
  }
  QPushButton::keyPressEvent(event);
}

bool TLiveButton::event(QEvent* event) {
  // Qt's own handling of the accelerator animates the click and drops the
  // presses that come while the animation runs: here each press clicks.
  if (event->type() == QEvent::Shortcut) {
    auto* shortcut = static_cast<QShortcutEvent*>(event);
    if (!shortcut->isAmbiguous() && shortcut->key() == this->shortcut()) {
      if (isEnabled()) {
        if (focusPolicy() != Qt::NoFocus) setFocus(Qt::ShortcutFocusReason);
        pressed_look_.start(kPressedLookMs, this);
        update();
        click();
      }
      return true;
    }
  }
  return QPushButton::event(event);
}

void TLiveButton::timerEvent(QTimerEvent* event) {
  if (event->timerId() != pressed_look_.timerId()) return QPushButton::timerEvent(event);
  pressed_look_.stop();
  update();
}

void TLiveButton::paintEvent(QPaintEvent* /*event*/) {
  QStylePainter painter(this);
  QStyleOptionButton option;
  initStyleOption(&option);
  const bool pressed = isDown() || pressed_look_.isActive();
  if (pressed_look_.isActive()) {
    option.state |= QStyle::State_Sunken;
    option.state &= ~QStyle::State_Raised;
  }
  if (isEnabled() && hovered_) {
    option.palette.setColor(QPalette::Button, kHoverFace);
  }

  // The frame and face, as the style draws any push-button.
  painter.drawControl(QStyle::CE_PushButtonBevel, option);

  const QRect contents = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
  const bool enabled = isEnabled();
  const QIcon::Mode mode = enabled ? QIcon::Normal : QIcon::Disabled;
  const QPixmap glyph =
      icon().isNull() ? QPixmap() : icon().pixmap(iconSize(), devicePixelRatio(), mode);
  const QSize glyph_size = glyph.isNull() ? QSize() : glyph.deviceIndependentSize().toSize();

  const int text_flags =
      Qt::AlignCenter | Qt::TextShowMnemonic |
      (style()->styleHint(QStyle::SH_UnderlineShortcut, &option, this) ? 0 : Qt::TextHideMnemonic);
  const QString caption = text();
  const QRect text_bounds =
      caption.isEmpty() ? QRect() : fontMetrics().boundingRect(contents, text_flags, caption);

  // Pressed buttons draw their content shifted, as the style does.
  QRect area = contents;
  if (pressed || isChecked()) {
    area.translate(style()->pixelMetric(QStyle::PM_ButtonShiftHorizontal, &option, this),
                   style()->pixelMetric(QStyle::PM_ButtonShiftVertical, &option, this));
  }

  QRect caption_area = area;
  if (!glyph.isNull()) {
    int glyph_x;
    if (margin_ >= 0) {
      glyph_x = rect().left() + margin_ + (area.left() - contents.left());
      caption_area.setLeft(glyph_x + glyph_size.width() + kSpacing);
      // The caption may use the whole width up to the frame, as far from the
      // right edge as the glyph is from the left.
      caption_area.setRight(std::max(caption_area.right(), rect().right() - margin_));
    } else {
      const int total =
          glyph_size.width() + (caption.isEmpty() ? 0 : kSpacing + text_bounds.width());
      glyph_x = area.left() + (area.width() - total) / 2;
      caption_area.setLeft(glyph_x + glyph_size.width() + kSpacing);
      caption_area.setWidth(text_bounds.width());
    }
    const int glyph_y = area.top() + (area.height() - glyph_size.height()) / 2;
    painter.drawPixmap(glyph_x, glyph_y, glyph);
  }

  if (!caption.isEmpty()) {
    QPalette palette = option.palette;
    if (enabled) palette.setColor(QPalette::ButtonText, caption_color_);
    painter.drawItemText(caption_area, text_flags, palette, enabled, caption, QPalette::ButtonText);
  }

  // The focus in the frame the other controls of the panels show, which
  // stands out on a light face and a dark hovered one alike.
  if (showsFocus(*this)) drawFocusFrame(painter, rect(), palette());
}

}  // namespace orben
