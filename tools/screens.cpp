// orben_screens FOLDER: starts ORBEN as a user does, plays the README's
// first session on its real controls and saves the README's two pictures
// in FOLDER: orben.png, the main window switched on with suma.ehc loaded
// and run to its third instruction, and orben_windows.png, the main window
// with both port windows open and the memory panel floating, every window
// drawn at its place under a title strip. Exits with 1 when a control is
// missing, a window does not come up, an unexpected box or dialog opens or
// a picture cannot be saved.

#include <QApplication>
#include <QFileInfo>
#include <QWidget>

#include <algorithm>
#include <vector>

#include "session.h"

#ifndef ORBEN_EXAMPLES
#error "ORBEN_EXAMPLES must name the repository's examples folder"
#endif

namespace orben {
namespace {

// The room kept between windows.
constexpr int kGap = Session::kStrip + 12;

class Screens : public Session {
 public:
  explicit Screens(const QString& folder) : Session("orben_screens", folder) {}

  bool startUp() {
    if (!start()) return false;
    order_.push_back(window());
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
    boxesAreFaults(true);
    then(chooseFile(program));
    if (!trigger(QStringLiteral("Cargarprogramaobjeto1"))) return false;
    if (!answered()) return fail(QStringLiteral("DAbrir did not open"));
    if (!key(QStringLiteral("0000"))) return false;
    if (!click(QStringLiteral("BEjecutar"))) return false;
    for (int i = 0; i < 2; ++i) {
      if (!click(QStringLiteral("BContinuar"))) return false;
    }
    settle();
    const Tuka2& tuka = this->tuka();
    if (!tuka.machine.powerOn()) return fail(QStringLiteral("TUKA-2 is not switched on"));
    if (tuka.listing.count() == 0) return fail(QStringLiteral("the listing is empty"));
    if (tuka.listing.selected() < 0) return fail(QStringLiteral("no line of the listing marked"));
    return ok();
  }

  // orben.png: the main window alone.
  void saveMainWindow() { save(window()->grab().toImage(), "orben.png"); }

  // orben_windows.png: Entorno opens both port windows, the memory panel
  // is dragged by its grip out of the main window; the port windows go to
  // the right of the main window, one above the other, the memory beside
  // the upper one, and all are drawn together.
  bool saveWindows() {
    QWidget* input = openPortWindow(QStringLiteral("MEsconderMostrarlosregistrosdeentrada1"),
                                    QStringLiteral("TForm2"));
    if (input == nullptr) return false;
    order_.push_back(input);
    QWidget* output =
        openPortWindow(QStringLiteral("EsconderMostrarpuertosdesalida1"), QStringLiteral("TForm3"));
    if (output == nullptr) return false;
    order_.push_back(output);
    // Let go below and right of the main window, where no bar takes it.
    QWidget* memory = floatPiece(QStringLiteral("PContenedor_Memoria_Asa"),
                                 window()->frameGeometry().bottomRight() + QPoint(120, 120));
    if (memory == nullptr) return false;
    order_.push_back(memory);

    const QRect home = window()->frameGeometry();
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
    save(compose(order_), "orben_windows.png");
    return ok();
  }

 private:
  std::vector<QWidget*> order_;  // the windows to draw, bottom first
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
  if (!screens.startUp() || !screens.firstSession()) return 1;
  screens.saveMainWindow();
  screens.saveWindows();
  return screens.ok() ? 0 : 1;
}
