#pragma once

#include <QBasicTimer>
#include <QObject>
#include <QVariant>

#include <functional>

class QWidget;

namespace orben {

// Tells assistive technology that what a control shows has changed, without
// flooding it: a timed run at full speed changes a register a thousand
// times a second, and a screen reader must not try to speak them all.
//
// The first change after a quiet spell is announced at once; later changes
// within kIntervalMs of an announcement are folded into one announcement of
// the state at the end of that interval, and none at all when the state is
// back to the one last announced. A hidden control is never announced: a
// screen reader reads it afresh when it shows.
class ChangeAnnouncer : public QObject {
 public:
  static constexpr int kIntervalMs = 250;  // at most four announcements a second

  // `state` gives what the control shows now; `announce` raises the event.
  ChangeAnnouncer(QWidget* control, std::function<QVariant()> state,
                  std::function<void()> announce);

  // Call after every change of the control's state.
  void changed();

 protected:
  void timerEvent(QTimerEvent* event) override;

 private:
  void announceIfNew();

  QWidget* control_;
  std::function<QVariant()> state_;
  std::function<void()> announce_;
  QVariant announced_;
  QBasicTimer quiet_;     // runs for an interval after each announcement
  bool pending_ = false;  // a change came while it ran
};

}  // namespace orben
