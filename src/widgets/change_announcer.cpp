#include "widgets/change_announcer.h"

#include <QTimerEvent>
#include <QWidget>

#include <utility>

namespace orben {

ChangeAnnouncer::ChangeAnnouncer(QWidget* control, std::function<QVariant()> state,
                                 std::function<void()> announce)
    : QObject(control),
      control_(control),
      state_(std::move(state)),
      announce_(std::move(announce)),
      announced_(state_()) {}

void ChangeAnnouncer::changed() {
  if (quiet_.isActive()) {
    pending_ = true;
    return;
  }
  announceIfNew();
}

void ChangeAnnouncer::announceIfNew() {
  const QVariant now = state_();
  if (now == announced_) return;
  announced_ = now;
  // Hidden, the control is only noted: nothing is said, and the next
  // change after it shows is said at once.
  if (!control_->isVisible()) return;
  announce_();
  quiet_.start(kIntervalMs, this);
}

void ChangeAnnouncer::timerEvent(QTimerEvent* event) {
  if (event->timerId() != quiet_.timerId()) return QObject::timerEvent(event);
  quiet_.stop();
  if (std::exchange(pending_, false)) announceIfNew();
}

}  // namespace orben
