// orben_screens FOLDER: starts ORBEN as a user does, plays the README's
// first session on its real controls and saves the README's two pictures
// in FOLDER: orben.png, the main window switched on with suma.ehc loaded
// and run to its third instruction, and orben_windows.png, the main window
// with both port windows open and the memory panel floating, every window
// drawn at its place under a title strip. Exits with 1 when a control is
// missing, a window does not come up, an unexpected box or dialog opens or
// a picture cannot be saved.

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFileInfo>
#include <QMainWindow>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QTimer>
#include <QWindow>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <utility>
#include <vector>

#include "panel/tuka2.h"
#include "picture_book.h"
#include "windows/machine_adapter.h"
#include "windows/main.h"
#include "windows/main_window.h"

#ifndef ORBEN_EXAMPLES
#error "ORBEN_EXAMPLES must name the repository's examples folder"
#endif

namespace orben {
namespace {

// The title strip drawn above each window in the composed picture, and the
// room kept between windows and around them.
constexpr int kStrip = 20;
constexpr int kGap = kStrip + 12;
constexpr int kMargin = 16;

// Lets timers, layouts and paints catch up.
void settle(int ms = 50) {
  QElapsedTimer timer;
  timer.start();
  while (!timer.hasExpired(ms)) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

bool exposed(const QWidget* window) {
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
void mouse(QWidget* widget, QEvent::Type type, const QPoint& global) {
  const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
  const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
  QMouseEvent event(type, QPointF(widget->mapFromGlobal(global)), QPointF(global), button, held,
                    Qt::NoModifier);
  QApplication::sendEvent(widget, &event);
}

class Screens : public PictureBook {
 public:
  explicit Screens(const QString& folder) : PictureBook("orben_screens", folder) {
    answerer_.setInterval(5);
    QObject::connect(&answerer_, &QTimer::timeout, [this] { answerModal(); });
    answerer_.start();
  }
  ~Screens() {
    if (window_) window_->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }

  // StartOrben, as the program orben does; the main window must come up.
  bool start() {
    window_ = StartOrben();
    if (!waitFor([this] { return exposed(window_); })) {
      return fail(QStringLiteral("the main window did not come up"));
    }
    order_.push_back(window_.data());
    settle();
    return ok();
  }

  // The README's first session: On/Off, suma.ehc chosen in DAbrir, 0000
  // keyed, Ejecutar and Continuar twice, so that the listing marks the
  // executing line and the displays hold the program's values.
  bool firstSession() {
    if (!click(QStringLiteral("BOnOff"))) return false;
    const QString program = QString::fromUtf8(ORBEN_EXAMPLES "/suma.ehc");
    if (!QFileInfo::exists(program)) return fail(QStringLiteral("no file ") + program);
    // suma.ehc is a valid program: from here on a message box is a fault.
    boxes_are_faults_ = true;
    file_to_open_ = program;
    if (!trigger(QStringLiteral("Cargarprogramaobjeto1"))) return false;
    if (!file_to_open_.isEmpty()) return fail(QStringLiteral("DAbrir did not open"));
    for (int i = 0; i < 4; ++i) {
      if (!click(QStringLiteral("T0"))) return false;
    }
    if (!click(QStringLiteral("BEjecutar"))) return false;
    for (int i = 0; i < 2; ++i) {
      if (!click(QStringLiteral("BContinuar"))) return false;
    }
    settle();
    const Tuka2& tuka = static_cast<MainWindow*>(window_.data())->adapter().tuka();
    if (!tuka.machine.powerOn()) return fail(QStringLiteral("TUKA-2 is not switched on"));
    if (tuka.listing.count() == 0) return fail(QStringLiteral("the listing is empty"));
    if (tuka.listing.selected() < 0) return fail(QStringLiteral("no line of the listing marked"));
    return ok();
  }

  // orben.png: the main window alone.
  void saveMainWindow() { save(window_->grab().toImage(), "orben.png"); }

  // orben_windows.png: Entorno opens both port windows, the memory panel
  // is dragged by its grip out of the main window; the port windows go to
  // the right of the main window, one above the other, the memory beside
  // the upper one, and all are drawn together.
  bool saveWindows() {
    QWidget* input = openPortWindow(QStringLiteral("MEsconderMostrarlosregistrosdeentrada1"),
                                    QStringLiteral("TForm2"));
    if (input == nullptr) return false;
    QWidget* output =
        openPortWindow(QStringLiteral("EsconderMostrarpuertosdesalida1"), QStringLiteral("TForm3"));
    if (output == nullptr) return false;
    QWidget* memory = floatMemory();
    if (memory == nullptr) return false;

    const QRect home = window_->frameGeometry();
    input->move(home.right() + 1 + kGap, home.top());
    settle();
    output->move(input->frameGeometry().left(), input->frameGeometry().bottom() + 1 + kGap);
    memory->move(input->frameGeometry().right() + 1 + kGap, input->frameGeometry().top());
    settle();

    // Any other window of the program that is showing goes on top.
    for (QWidget* top : QApplication::topLevelWidgets()) {
      const Qt::WindowType type = top->windowType();
      if (!top->isVisible() || type == Qt::ToolTip || type == Qt::Popup) continue;
      if (std::find(order_.begin(), order_.end(), top) == order_.end()) order_.push_back(top);
    }
    save(compose(), "orben_windows.png");
    return ok();
  }

 private:
  // Clicks a push-button with the mouse, at its middle; a missing, hidden
  // or disabled one is a fault.
  bool click(const QString& name) {
    auto* button = findNamed<QAbstractButton>(name);
    if (button == nullptr || !button->isVisible() || !button->isEnabled()) {
      return fail(QStringLiteral("no button ") + name + QStringLiteral(" to click"));
    }
    const QPoint middle = button->mapToGlobal(button->rect().center());
    mouse(button, QEvent::MouseButtonPress, middle);
    mouse(button, QEvent::MouseButtonRelease, middle);
    QCoreApplication::processEvents();
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
    order_.push_back(window);
    return window;
  }

  // Holds the memory panel by the middle of its grip, moves it in steps
  // past the drag distance and lets it go below and right of the main
  // window, where no bar takes it: it floats in a tool window of its own,
  // which is returned.
  QWidget* floatMemory() {
    QWidget* grip = findNamed<QWidget>(QStringLiteral("PContenedor_Memoria_Asa"));
    if (grip == nullptr || !grip->isVisible()) {
      fail(QStringLiteral("no grip PContenedor_Memoria_Asa"));
      return nullptr;
    }
    const QPoint from = grip->mapToGlobal(grip->rect().center());
    const QPoint to = window_->frameGeometry().bottomRight() + QPoint(120, 120);
    mouse(grip, QEvent::MouseButtonPress, from);
    for (int step = 1; step <= 4; ++step) {
      mouse(grip, QEvent::MouseMove, from + (to - from) * step / 4);
    }
    mouse(grip, QEvent::MouseButtonRelease, to);
    QWidget* floating = grip->window();
    if (floating == window_ || !waitFor([floating] { return exposed(floating); })) {
      fail(QStringLiteral("the memory panel did not float"));
      return nullptr;
    }
    order_.push_back(floating);
    return floating;
  }

  // Every window in `order_` at its place on a desktop-grey canvas that
  // holds them all, each under a dark strip with its title and in a thin
  // outline, since no window manager draws frames offscreen.
  QImage compose() {
    QRect all;
    for (const QWidget* window : order_) {
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
    for (QWidget* window : order_) {
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
    return canvas;
  }

  // Answers the modal boxes and dialogs as they open, from inside their
  // own event loops: DAbrir chooses the file to open; a message box is
  // answered OK, and is a fault once the program is being loaded; any other
  // dialog, or one that stays open two seconds, is a fault and is rejected.
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
    auto* files = qobject_cast<QFileDialog*>(modal);
    if (files && files->objectName() == QStringLiteral("DAbrir") && !file_to_open_.isEmpty()) {
      files->selectFile(std::exchange(file_to_open_, QString()));
      // Queued, so that a box the dialog opens on ¡Abrir! is answered too.
      QMetaObject::invokeMethod(files, "accept", Qt::QueuedConnection);
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
  std::vector<QWidget*> order_;  // the windows to draw, bottom first

  QTimer answerer_;
  QPointer<QWidget> answered_;
  QElapsedTimer since_answered_;
  QString file_to_open_;
  bool boxes_are_faults_ = false;
};

}  // namespace
}  // namespace orben

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QString folder;
  if (const int status = orben::PictureBook::folderOf(argc, argv, "orben_screens", folder)) {
    return status;
  }
  orben::Screens screens(folder);
  if (!screens.start() || !screens.firstSession()) return 1;
  screens.saveMainWindow();
  screens.saveWindows();
  return screens.ok() ? 0 : 1;
}
