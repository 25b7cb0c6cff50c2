#pragma once

// What the window picture programs orben_screens and orben_guide_pictures
// share: ORBEN started as a user starts it, its controls found by name and
// worked with the mouse, its modal boxes and dialogs answered from inside
// their own event loops, and windows drawn together as a desktop would
// show them. Every control that is missing, hidden or disabled, every
// window that does not come up and every box nobody expected is a fault,
// reported under the program's name.

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMainWindow>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QTimer>
#include <QWindow>

#include <deque>
#include <functional>
#include <utility>
#include <vector>

#include "panel/tuka2.h"
#include "picture_book.h"
#include "windows/machine_adapter.h"
#include "windows/main.h"
#include "windows/main_window.h"

namespace orben {

// Lets timers, layouts and paints catch up.
inline void settle(int ms = 50) {
  QElapsedTimer timer;
  timer.start();
  while (!timer.hasExpired(ms)) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

inline bool exposed(const QWidget* window) {
  return window->isVisible() && window->windowHandle() && window->windowHandle()->isExposed();
}

// A widget or action by name, in every top-level window.
template <typename T>
T* findNamed(const QString& name) {
  for (QWidget* top : QApplication::topLevelWidgets()) {
    if (top->objectName() == name) {
      if (auto* self = qobject_cast<T*>(top)) return self;
    }
    if (auto* found = top->findChild<T*>(name)) return found;
  }
  return nullptr;
}

// Sends the left button's press, move or release at `global` to `widget`.
inline void mouse(QWidget* widget, QEvent::Type type, const QPoint& global) {
  const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
  const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
  QMouseEvent event(type, QPointF(widget->mapFromGlobal(global)), QPointF(global), button, held,
                    Qt::NoModifier);
  QApplication::sendEvent(widget, &event);
}

// Presses and releases the key of one character, as typing it does.
inline void typeKey(QWidget* widget, QChar character) {
  const int key = character.toUpper().unicode();
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString(character));
  QApplication::sendEvent(widget, &press);
  QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, QString(character));
  QApplication::sendEvent(widget, &release);
}

class Session : public PictureBook {
 public:
  // An answer to the next modal box or dialog that opens, called from
  // inside its event loop with the box or dialog.
  using Answer = std::function<void(QWidget*)>;

  // The title strip drawn above each window in a composed picture, and the
  // room kept around the windows.
  static constexpr int kStrip = 20;
  static constexpr int kMargin = 16;

  Session(const char* program, const QString& folder) : PictureBook(program, folder) {
    answerer_.setInterval(5);
    QObject::connect(&answerer_, &QTimer::timeout, [this] { answerModal(); });
    answerer_.start();
  }
  ~Session() {
    if (window_) window_->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  // StartOrben, as the program orben does; the main window must come up.
  bool start() {
    window_ = StartOrben();
    if (!waitFor([this] { return exposed(window_); })) {
      return fail(QStringLiteral("the main window did not come up"));
    }
    settle();
    return ok();
  }

  QMainWindow* window() const { return window_; }
  // The machine behind the windows, to check what the pictures must show.
  Tuka2& tuka() const { return static_cast<MainWindow*>(window_.data())->adapter().tuka(); }

  // From here on a message box that no answer was queued for is a fault.
  void boxesAreFaults(bool faults) { boxes_are_faults_ = faults; }
  void then(Answer answer) { answers_.push_back(std::move(answer)); }
  // Whether every queued answer has been given.
  bool answered() const { return answers_.empty(); }

  // Clicks a control with the mouse, at its middle; a missing, hidden or
  // disabled one is a fault.
  bool click(const QString& name) {
    auto* widget = findNamed<QWidget>(name);
    if (widget == nullptr || !widget->isVisible() || !widget->isEnabled()) {
      return fail(QStringLiteral("no control ") + name + QStringLiteral(" to click"));
    }
    const QPoint middle = widget->mapToGlobal(widget->rect().center());
    mouse(widget, QEvent::MouseButtonPress, middle);
    mouse(widget, QEvent::MouseButtonRelease, middle);
    QCoreApplication::processEvents();
    return ok();
  }

  // Clicks the keypad's keys T0..TF, one per digit.
  bool key(const QString& digits) {
    for (QChar digit : digits) {
      if (!click(QStringLiteral("T") + digit.toUpper())) return false;
    }
    return ok();
  }

  bool trigger(const QString& name) {
    auto* action = findNamed<QAction>(name);
    if (action == nullptr || !action->isEnabled()) {
      return fail(QStringLiteral("no menu item ") + name);
    }
    action->trigger();
    return ok();
  }

  // Shows a port window through its Entorno item and waits for it.
  QWidget* openPortWindow(const QString& item, const QString& name) {
    if (!trigger(item)) return nullptr;
    QWidget* window = findNamed<QWidget>(name);
    if (window == nullptr || !window->isWindow() ||
        !waitFor([window] { return exposed(window); })) {
      fail(QStringLiteral("the port window ") + name + QStringLiteral(" did not come up"));
      return nullptr;
    }
    return window;
  }

  // Holds a dockable piece by the middle of its grip (named after the piece
  // with "_Asa") and moves it in steps past the drag distance to `to`.
  // The mouse stays down until releaseGrip.
  bool holdGripTo(const QString& grip_name, const QPoint& to) {
    grip_ = findNamed<QWidget>(grip_name);
    if (grip_ == nullptr || !grip_->isVisible()) {
      return fail(QStringLiteral("no grip ") + grip_name);
    }
    const QPoint from = grip_->mapToGlobal(grip_->rect().center());
    mouse(grip_, QEvent::MouseButtonPress, from);
    for (int step = 1; step <= 4; ++step) {
      mouse(grip_, QEvent::MouseMove, from + (to - from) * step / 4);
    }
    held_at_ = to;
    settle();
    return ok();
  }
  // Lets the held grip go where it was moved to; the window the piece is
  // in afterwards (its own floating window, or the main window when it
  // docked).
  QWidget* releaseGrip() {
    if (grip_ == nullptr) {
      fail(QStringLiteral("no grip held"));
      return nullptr;
    }
    QPointer<QWidget> grip = std::exchange(grip_, nullptr);
    mouse(grip, QEvent::MouseButtonRelease, held_at_);
    settle();
    return grip ? grip->window() : nullptr;
  }
  // Drags a piece by its grip to `to`, where no bar takes it, so that it
  // floats in a tool window of its own, which is returned once it shows.
  QWidget* floatPiece(const QString& grip_name, const QPoint& to) {
    if (!holdGripTo(grip_name, to)) return nullptr;
    QWidget* floating = releaseGrip();
    if (floating == nullptr || floating == window_ ||
        !waitFor([floating] { return exposed(floating); })) {
      fail(QStringLiteral("the piece of ") + grip_name + QStringLiteral(" did not float"));
      return nullptr;
    }
    return floating;
  }

  // The windows drawn at their places on a desktop-grey canvas that holds
  // them all, bottom first, each under a dark strip with its title and in
  // a thin outline, since no window manager draws frames offscreen. `over`
  // then draws on top, in screen coordinates.
  QImage compose(const std::vector<QWidget*>& windows,
                 const std::function<void(QPainter&)>& over = {}) {
    QRect all;
    for (const QWidget* window : windows) {
      all |= window->frameGeometry() | window->geometry().adjusted(0, -kStrip, 0, 0);
    }
    all.adjust(-kMargin, -kMargin, kMargin, kMargin);
    QImage canvas(all.size(), QImage::Format_RGB32);
    canvas.fill(QColor(96, 112, 128));
    QPainter painter(&canvas);
    QFont font = QApplication::font();
    font.setPixelSize(13);
    font.setBold(true);
    painter.setFont(font);
    const QColor strip(40, 44, 52);
    for (QWidget* window : windows) {
      const QPixmap picture = window->grab();
      if (picture.isNull()) {
        fail(QStringLiteral("cannot grab ") + window->objectName());
        continue;
      }
      const QRect client = window->geometry().translated(-all.topLeft());
      const QRect title(client.left(), client.top() - kStrip, client.width(), kStrip);
      painter.drawPixmap(client.topLeft(), picture);
      painter.fillRect(title, strip);
      painter.setPen(Qt::white);
      const QRect text = title.adjusted(8, 0, -8, 0);
      painter.drawText(
          text, Qt::AlignLeft | Qt::AlignVCenter,
          painter.fontMetrics().elidedText(window->windowTitle(), Qt::ElideRight, text.width()));
      painter.setPen(strip);
      painter.drawRect(title.united(client).adjusted(-1, 0, 0, 0));
    }
    if (over) {
      painter.save();
      painter.translate(-all.topLeft());
      over(painter);
      painter.restore();
    }
    return canvas;
  }

  // Puts `path` in the file dialog: its folder, and its name written into
  // the name field. selectFile leaves that field alone once the dialog is
  // active and the field has the focus, which depends on when the
  // activation came in; writing the field works whatever the focus.
  void nameFile(QFileDialog* files, const QString& path) {
    files->setDirectory(QFileInfo(path).absolutePath());
    if (auto* name = files->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))) {
      name->setText(QFileInfo(path).fileName());
    } else {
      fail(QStringLiteral("the file dialog has no name field"));
    }
  }

  // An answer for DAbrir: chooses the file `path`.
  Answer chooseFile(const QString& path) {
    return [this, path](QWidget* modal) {
      auto* files = qobject_cast<QFileDialog*>(modal);
      if (files == nullptr || files->objectName() != QStringLiteral("DAbrir")) {
        fail(QStringLiteral("DAbrir expected, not ") + modal->objectName());
        if (auto* dialog = qobject_cast<QDialog*>(modal)) dialog->reject();
        return;
      }
      nameFile(files, path);
      // Queued, so that a box the dialog opens on ¡Abrir! is answered too.
      QMetaObject::invokeMethod(files, "accept", Qt::QueuedConnection);
    };
  }

 private:
  // Answers the modal boxes and dialogs as they open: with the next queued
  // answer; without one, a message box is answered OK (and is a fault once
  // boxes are), anything else is a fault and is rejected. One that stays
  // open two seconds is a fault and is rejected.
  void answerModal() {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr) return;
    if (modal == answered_) {
      if (since_answered_.hasExpired(2000)) {
        fail(modal->objectName() + QStringLiteral(" stayed open"));
        if (auto* dialog = qobject_cast<QDialog*>(modal)) dialog->reject();
      }
      return;
    }
    answered_ = modal;
    since_answered_.start();
    if (!answers_.empty()) {
      Answer answer = std::move(answers_.front());
      answers_.pop_front();
      answer(modal);
      return;
    }
    if (auto* box = qobject_cast<QMessageBox*>(modal)) {
      if (boxes_are_faults_) fail(QStringLiteral("unexpected message: ") + box->text());
      if (QAbstractButton* ok = box->button(QMessageBox::Ok)) {
        ok->click();
      } else {
        box->reject();
      }
      return;
    }
    fail(QStringLiteral("unexpected dialog ") + modal->objectName());
    if (auto* dialog = qobject_cast<QDialog*>(modal)) dialog->reject();
  }

  QPointer<QMainWindow> window_;
  QPointer<QWidget> grip_;
  QPoint held_at_;

  QTimer answerer_;
  std::deque<Answer> answers_;
  QPointer<QWidget> answered_;
  QElapsedTimer since_answered_;
  bool boxes_are_faults_ = false;
};

}  // namespace orben
