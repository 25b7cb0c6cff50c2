// orben_guide_pictures FOLDER: starts ORBEN as a user does and plays the
// user guide's sessions on its real controls, saving each of the guide's
// pictures into FOLDER as the guide describes it:
//
//   tour.png               the main window as it starts, its parts numbered
//   menus.png              the toolbar's three drop-down menus
//   switched_on.png        the main window after On/Off
//   keyed_in.png           suma keyed in at 0000 with Dirección and Cargar
//   file_dialog.png        DAbrir, about to open suma_1_a_n.ehc
//   loaded.png             suma_1_a_n.ehc loaded: the listing
//   step_by_step.png       Ejecutar at 0000 and three Continuar
//   speed_dialog.png       the speed dialog, "Rápida" chosen
//   halt_message.png       the end of a timed run at "Rápida"
//   value_dialog.png       R5 clicked, 7 and F typed
//   port_windows.png       doble_entrada.ehc run with 0015 in input port 02
//   disassembler_question.png  the question of the disassembler mode
//   disassembler_mode.png  suma typed into the memory grid in that mode
//   docking_floating.png   the front panel floating in a window of its own
//   docking_home.png       the front panel dragged back over its home
//   ide.png, ide_error.png the source editor (ide_pictures.h)
//
// Any other PNG file in FOLDER is removed once every picture is made. Each
// step checks that the program did what the guide says it does (the
// lamps, the displays, the listing, the dialogs' captions) before its
// picture is taken. Exits with 1 when a check fails, a control is missing,
// a window does not come up, an unexpected box or dialog opens or a picture
// cannot be saved.

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QRadioButton>
#include <QTimer>
#include <QToolButton>
#include <QVariant>

#include <string>
#include <utility>
#include <vector>

#include "ide_pictures.h"
#include "session.h"

#ifndef ORBEN_EXAMPLES
#error "ORBEN_EXAMPLES must name the repository's examples folder"
#endif

namespace orben {
namespace {

constexpr int kGap = Session::kStrip + 12;

QString example(const char* file) {
  return QString::fromUtf8(ORBEN_EXAMPLES "/") + QString::fromUtf8(file);
}

// A numbered mark of the tour: a control, the point of its rectangle the
// mark is put at (0..1 of its width and height) and a shift from there.
struct Mark {
  int number;
  const char* control;
  QPointF at;
  QPoint shift;
};

class GuidePictures : public Session {
 public:
  explicit GuidePictures(const QString& folder) : Session("orben_guide_pictures", folder) {}

  // tour.png: the main window as it starts, TUKA-2 off, with numbered marks
  // on its parts in the order the guide's tour names them.
  bool tour() {
    expect(!tuka().machine.powerOn(), "TUKA-2 starts switched off");
    expectValue("R0", "****");
    expectValue("Teclado", "****");
    expect(tuka().listing.count() == 0, "the listing starts empty");
    static const Mark marks[] = {
        {1, "ToolButton2", {1.0, 0.5}, {14, 0}},
        {2, "Listado", {0.5, 0.5}, {0, 0}},
        {3, "LOff", {1.0, 0.5}, {16, 0}},
        {4, "LPP_Off", {1.0, 0.5}, {16, 0}},
        {5, "PZ_OFF", {0.0, 0.0}, {-12, -22}},
        {6, "Teclado", {0.0, 0.5}, {-18, 0}},
        {7, "POP1", {1.0, 1.0}, {18, 2}},
        {8, "BDireccion", {1.0, 0.5}, {18, 0}},
        {9, "Panel_Registros", {0.0, 0.0}, {200, 14}},
        {10, "Panel_Memoria", {0.0, 0.0}, {90, 14}},
        {11, "Panel_Puertos", {0.0, 0.0}, {180, 14}},
        {12, "Barra_Estado", {0.0, 0.5}, {96, 0}},
    };
    std::vector<std::pair<int, QPoint>> places;
    for (const Mark& mark : marks) {
      auto* control = findNamed<QWidget>(QString::fromLatin1(mark.control));
      if (control == nullptr || !control->isVisible()) {
        return fail(QStringLiteral("no part ") + QString::fromLatin1(mark.control));
      }
      const QRect box = control->rect();
      const QPoint at(box.left() + qRound(mark.at.x() * box.width()),
                      box.top() + qRound(mark.at.y() * box.height()));
      places.emplace_back(mark.number, control->mapToGlobal(at) + mark.shift);
    }
    save(compose({window()},
                 [&places](QPainter& painter) {
                   for (const auto& [number, place] : places) drawMark(painter, place, number);
                 }),
         "tour.png");
    return ok();
  }

  // menus.png: the toolbar with each button's menu dropped down below it,
  // side by side.
  bool menus() {
    QWidget* bar = findNamed<QWidget>(QStringLiteral("Menu_Botones"));
    if (bar == nullptr) return fail(QStringLiteral("no toolbar Menu_Botones"));
    const char* const buttons[] = {"Menu_Archivo", "ToolButton1", "ToolButton2"};
    std::vector<std::pair<QPoint, QImage>> pictures;
    const QImage toolbar = bar->grab().toImage();
    int right = 0;
    for (const char* name : buttons) {
      auto* button = findNamed<QToolButton>(QString::fromLatin1(name));
      if (button == nullptr || button->menu() == nullptr) {
        return fail(QStringLiteral("no drop-down button ") + QString::fromLatin1(name));
      }
      QMenu* menu = button->menu();
      menu->popup(button->mapToGlobal(QPoint(0, button->height())));
      if (!waitFor([menu] { return exposed(menu); })) {
        return fail(QStringLiteral("the menu ") + menu->objectName() +
                    QStringLiteral(" did not drop down"));
      }
      settle();
      const QImage picture = menu->grab().toImage();
      menu->hide();
      const int x = std::max(button->mapTo(bar, QPoint(0, 0)).x(), right + (right ? 12 : 0));
      pictures.emplace_back(QPoint(x, toolbar.height()), picture);
      right = x + picture.width();
    }
    expectCaption("MApagar_TUKA2", "Encender TUKA-2");
    expectCaption("Mododesensamblador1", "Activar Modo desensamblador");
    int bottom = toolbar.height();
    for (const auto& [place, picture] : pictures)
      bottom = std::max(bottom, place.y() + picture.height());
    QImage canvas(std::max(right, toolbar.width()) + 2 * kMargin, bottom + 2 * kMargin,
                  QImage::Format_RGB32);
    canvas.fill(QColor(96, 112, 128));
    QPainter painter(&canvas);
    painter.translate(kMargin, kMargin);
    painter.drawImage(0, 0, toolbar);
    for (const auto& [place, picture] : pictures) {
      painter.drawImage(place, picture);
      painter.setPen(QColor(40, 44, 52));
      painter.drawRect(QRect(place, picture.size()).adjusted(-1, -1, 0, 0));
    }
    painter.end();
    save(canvas, "menus.png");
    return ok();
  }

  // switched_on.png: On/Off pressed.
  bool switchOn() {
    if (!click(QStringLiteral("BOnOff"))) return false;
    expect(tuka().machine.powerOn(), "TUKA-2 is on");
    expectLit("LOn", true);
    expectLit("LPP", true);
    expectValue("R0", "0000");
    expectValue("RD", "000D");
    expectValue("RE", "F000");
    expectValue("RF", "000F");
    expectCaption("MApagar_TUKA2", "Apagar TUKA-2");
    save(compose({window()}), "switched_on.png");
    return ok();
  }

  // keyed_in.png: the five words of suma keyed in from 0000 with Dirección
  // and Cargar.
  bool keyIn() {
    if (!key(QStringLiteral("0000")) || !click(QStringLiteral("BDireccion"))) return false;
    expectValue("POP1", "0000");
    const char* const words[] = {"2105", "2203", "6312", "5301", "F000"};
    for (const char* word : words) {
      if (!key(QString::fromLatin1(word)) || !click(QStringLiteral("BCargar"))) return false;
    }
    for (int address = 0; address < 5; ++address) {
      expect(tuka().machine.ReadMemoryWord(address).view() == words[address],
             "each keyed word is in memory");
    }
    expectValue("POP1", "0005");
    expectValue("Teclado", "F000");
    expect(tuka().listing.count() == 0, "keying in lists nothing");
    save(compose({window()}), "keyed_in.png");
    return ok();
  }

  // file_dialog.png and loaded.png: Archivo, "Cargar programa objeto (.HEX,
  // EHC)", suma_1_a_n.ehc chosen in DAbrir.
  bool load() {
    const QString program = example("suma_1_a_n.ehc");
    if (!QFileInfo::exists(program)) return fail(QStringLiteral("no file ") + program);
    boxesAreFaults(true);
    then([this, program](QWidget* modal) {
      auto* files = qobject_cast<QFileDialog*>(modal);
      if (files == nullptr || files->objectName() != QStringLiteral("DAbrir")) {
        fail(QStringLiteral("DAbrir expected"));
        return reject(modal);
      }
      expect(files->windowTitle() == QStringLiteral("Cargar fichero objeto en ORBEN"),
             "DAbrir's title");
      nameFile(files, program);
      settleOpen(files);
      save(compose({files}), "file_dialog.png");
      QMetaObject::invokeMethod(files, "accept", Qt::QueuedConnection);
    });
    if (!trigger(QStringLiteral("Cargarprogramaobjeto1"))) return false;
    if (!answered()) return fail(QStringLiteral("DAbrir did not open"));
    settle();
    expect(tuka().listing.count() == 13, "suma_1_a_n.ehc lists 13 lines");
    expect(tuka().listing.line(3) == "[0003]: ADDS R2, R2, R1", "line 4 is the ADDS");
    expect(tuka().listing.selected() < 0, "a load marks no line");
    save(compose({window()}), "loaded.png");
    return ok();
  }

  // step_by_step.png: 0000 keyed, Ejecutar, then Continuar three times.
  bool stepByStep() {
    if (!key(QStringLiteral("0000")) || !click(QStringLiteral("BEjecutar"))) return false;
    for (int i = 0; i < 3; ++i) {
      if (!click(QStringLiteral("BContinuar"))) return false;
    }
    settle();
    expectValue("PC", "0004");
    expectValue("PPC", "0004");
    expectValue("R1", "000A");
    expectValue("R2", "000A");
    expect(tuka().listing.selected() == 4, "the line of PC 0004 is marked");
    save(compose({window()}), "step_by_step.png");
    return ok();
  }

  // speed_dialog.png: Entorno, "Velocidad de ejecución en modo Paso a
  // Paso"; it opens at "1.0 segundo cada paso"; "Rápida" is chosen.
  bool speed() {
    then([this](QWidget* modal) {
      if (modal->objectName() != QStringLiteral("TForm4")) {
        fail(QStringLiteral("TForm4 expected, not ") + modal->objectName());
        return reject(modal);
      }
      auto* normal = modal->findChild<QRadioButton*>(QStringLiteral("RadioGroup1_3"));
      auto* fast = modal->findChild<QRadioButton*>(QStringLiteral("RadioGroup1_0"));
      if (normal == nullptr || fast == nullptr) {
        fail(QStringLiteral("no RadioGroup1 items"));
        return reject(modal);
      }
      expect(normal->isChecked(), "the dialog opens at 1.0 segundo cada paso");
      expect(fast->text() == QStringLiteral("Rápida"), "item 0 is Rápida");
      fast->setChecked(true);
      settleOpen(modal);
      save(compose({modal}), "speed_dialog.png");
      press(modal, "LiveButton1");
    });
    if (!trigger(QStringLiteral("VelocidaddeejecucinenmodoPP1"))) return false;
    if (!answered()) return fail(QStringLiteral("TForm4 did not open"));
    auto* reloj = findNamed<QTimer>(QStringLiteral("Reloj"));
    expect(reloj != nullptr && reloj->interval() == 1, "Reloj ticks every millisecond");
    return ok();
  }

  // halt_message.png: Paso a paso, 0000 keyed, Ejecutar: the timed run at
  // "Rápida" goes to the HALT, whose box is drawn over the main window.
  bool timedRun() {
    if (!click(QStringLiteral("BPasoPaso"))) return false;
    expectLit("LPP", false);
    then([this](QWidget* modal) {
      auto* box = qobject_cast<QMessageBox*>(modal);
      if (box == nullptr) {
        fail(QStringLiteral("the HALT's box expected"));
        return reject(modal);
      }
      expect(box->text() == QStringLiteral("Fin la ejecución :-)"), "the HALT's message");
      settleOpen(box);
      centreOver(box, window());
      expectValue("OP1", "0037");
      expectValue("POP1", "0037");
      expectLit("LPP", true);
      save(compose({window(), box}), "halt_message.png");
      box->button(QMessageBox::Ok)->click();
    });
    if (!key(QStringLiteral("0000")) || !click(QStringLiteral("BEjecutar"))) return false;
    if (!waitFor([this] { return answered(); }))
      return fail(QStringLiteral("the run did not halt"));
    settle();
    expectValue("PC", "000D");
    // Back in step-by-step mode, while the menu item still offers to
    // "activate" it, as the guide warns.
    expectLit("LPP", true);
    expectCaption("MModoPasoapaso", "Activar modo Paso a Paso");
    return ok();
  }

  // value_dialog.png: R5 clicked, 7 and F typed; ¡Vale! writes 007F.
  bool valueDialog() {
    then([this](QWidget* modal) {
      if (modal->objectName() != QStringLiteral("TDiag_Editar_Registro")) {
        fail(QStringLiteral("TDiag_Editar_Registro expected, not ") + modal->objectName());
        return reject(modal);
      }
      settleOpen(modal);
      expectValue("Editor", "0000");
      typeKey(modal, QLatin1Char('7'));
      typeKey(modal, QLatin1Char('f'));
      settle();
      expectValue("Editor", "007F");
      save(compose({modal}), "value_dialog.png");
      press(modal, "LiveButton1");
    });
    if (!click(QStringLiteral("R5"))) return false;
    if (!answered()) return fail(QStringLiteral("TDiag_Editar_Registro did not open"));
    expectValue("R5", "007F");
    return ok();
  }

  // port_windows.png: doble_entrada.ehc loaded, both port windows shown,
  // 0015 written into input port 02 by a click on PIN_02, then Ejecutar at
  // 0000 and two Continuar: IN, ADDS and OUT leave 002A in output port 01.
  bool portWindows() {
    then(chooseFile(example("doble_entrada.ehc")));
    if (!trigger(QStringLiteral("Cargarprogramaobjeto1"))) return false;
    if (!answered()) return fail(QStringLiteral("DAbrir did not open"));
    QWidget* input = openPortWindow(QStringLiteral("MEsconderMostrarlosregistrosdeentrada1"),
                                    QStringLiteral("TForm2"));
    QWidget* output =
        openPortWindow(QStringLiteral("EsconderMostrarpuertosdesalida1"), QStringLiteral("TForm3"));
    if (input == nullptr || output == nullptr) return false;
    input->move(0, 0);
    settle();
    output->move(input->frameGeometry().right() + 1 + kGap, 0);
    settle();
    then([this](QWidget* modal) {
      if (modal->objectName() != QStringLiteral("TDiag_Editar_Registro")) {
        fail(QStringLiteral("TDiag_Editar_Registro expected, not ") + modal->objectName());
        return reject(modal);
      }
      typeKey(modal, QLatin1Char('1'));
      typeKey(modal, QLatin1Char('5'));
      press(modal, "LiveButton1");
    });
    if (!click(QStringLiteral("PIN_02"))) return false;
    if (!answered()) return fail(QStringLiteral("TDiag_Editar_Registro did not open"));
    expectValue("PIN_02", "0015");
    expectValue("IP2", "0015");
    if (!key(QStringLiteral("0000")) || !click(QStringLiteral("BEjecutar"))) return false;
    for (int i = 0; i < 2; ++i) {
      if (!click(QStringLiteral("BContinuar"))) return false;
    }
    settle();
    expectValue("PO_01", "002A");
    expectValue("OP1", "002A");
    expectValue("PC", "0003");
    save(compose({input, output}), "port_windows.png");
    input->hide();
    output->hide();
    settle();
    return ok();
  }

  // disassembler_question.png and disassembler_mode.png: Entorno, "Activar
  // Modo desensamblador", Sí; then suma typed into the memory grid from
  // word 0000 on, each word listed as it is typed.
  bool disassemblerMode() {
    then([this](QWidget* modal) {
      auto* box = qobject_cast<QMessageBox*>(modal);
      if (box == nullptr || box->windowTitle() != QStringLiteral("Modo Desensamblador")) {
        fail(QStringLiteral("the question Modo Desensamblador expected"));
        return reject(modal);
      }
      settleOpen(box);
      save(compose({box}), "disassembler_question.png");
      box->button(QMessageBox::Yes)->click();
    });
    if (!trigger(QStringLiteral("Mododesensamblador1"))) return false;
    if (!answered()) return fail(QStringLiteral("the question did not open"));
    expectCaption("Mododesensamblador1", "Desactivar Modo Desensamblador");
    expect(tuka().listing.count() == 0, "the mode starts with an empty listing");

    auto* grid = findNamed<QWidget>(QStringLiteral("Memoria"));
    if (grid == nullptr) return fail(QStringLiteral("no memory grid Memoria"));
    // Ctrl+Home: the caret to the first digit of word 0000.
    QKeyEvent home(QEvent::KeyPress, Qt::Key_Home, Qt::ControlModifier);
    QApplication::sendEvent(grid, &home);
    QKeyEvent home_up(QEvent::KeyRelease, Qt::Key_Home, Qt::ControlModifier);
    QApplication::sendEvent(grid, &home_up);
    for (QChar digit : QStringLiteral("2105220363125301F000")) typeKey(grid, digit);
    settle();
    const char* const lines[] = {"[0000]: LLI R1, H'05", "[0001]: LLI R2, H'03",
                                 "[0002]: ADDS R3, R1, R2", "[0003]: OUT H'01, R3", "[0004]: HALT"};
    expect(tuka().listing.count() == 5, "five words typed give five lines");
    for (int i = 0; i < 5 && i < tuka().listing.count(); ++i) {
      expect(tuka().listing.line(i) == lines[i], "each typed word is listed in address order");
    }
    save(compose({window()}), "disassembler_mode.png");
    return ok();
  }

  // docking_floating.png: the front panel dragged by its grip to the right
  // of the main window, where it floats in a window of its own;
  // docking_home.png: dragged back over its home, which is framed, and let
  // go there, where it docks again.
  bool docking() {
    QWidget* piece = findNamed<QWidget>(QStringLiteral("PPanel_Frontal"));
    QWidget* home = findNamed<QWidget>(QStringLiteral("Contenedor_PF"));
    if (piece == nullptr || home == nullptr) return fail(QStringLiteral("no PPanel_Frontal"));
    const QRect main = window()->frameGeometry();
    QWidget* floating = floatPiece(QStringLiteral("PPanel_Frontal_Asa"),
                                   QPoint(main.right() + 60, main.top() + 80));
    if (floating == nullptr) return false;
    expect(!home->isAncestorOf(piece), "the front panel left its home");
    expect(floating->windowTitle() == QStringLiteral("Panel frontal de TUKA-2"),
           "the floating window's title is the front panel's caption");
    save(compose({window(), floating}), "docking_floating.png");

    const QPoint over = home->mapToGlobal(QPoint(home->width() / 2, home->height() / 3));
    if (!holdGripTo(QStringLiteral("PPanel_Frontal_Asa"), over)) return false;
    QWidget* frame = findNamed<QWidget>(QStringLiteral("PPanel_Frontal_Destino"));
    if (frame == nullptr || !frame->isVisible()) {
      releaseGrip();
      return fail(QStringLiteral("the home is not framed"));
    }
    const QRect framed = frame->geometry();
    const QImage frame_picture = frame->grab().toImage();
    const QRegion frame_mask = frame->mask();
    save(compose({window(), floating},
                 [&](QPainter& painter) {
                   painter.setClipRegion(frame_mask.translated(framed.topLeft()));
                   painter.drawImage(framed.topLeft(), frame_picture);
                 }),
         "docking_home.png");
    if (releaseGrip() != window()) fail(QStringLiteral("the front panel did not dock"));
    expect(home->isAncestorOf(piece), "the front panel is home again");
    return ok();
  }

 private:
  // Lets an open modal dialog lay itself out and paint.
  void settleOpen(QWidget* modal) {
    if (!waitFor([modal] { return exposed(modal); })) {
      fail(modal->objectName() + QStringLiteral(" did not show"));
    }
    settle();
  }

  void reject(QWidget* modal) {
    if (auto* dialog = qobject_cast<QDialog*>(modal)) dialog->reject();
  }

  void press(QWidget* dialog, const char* button) {
    auto* found = dialog->findChild<QAbstractButton*>(QString::fromLatin1(button));
    if (found == nullptr) {
      fail(QStringLiteral("no button ") + QString::fromLatin1(button));
      return reject(dialog);
    }
    found->click();
  }

  // A box opens where the platform puts it; in the picture it stands in
  // the middle of the window it belongs to.
  static void centreOver(QWidget* box, const QWidget* window) {
    QRect place = box->geometry();
    place.moveCenter(window->geometry().center());
    box->move(place.topLeft());
    settle();
  }

  void expect(bool holds, const char* what) {
    if (!holds) fail(QStringLiteral("not so: ") + QString::fromUtf8(what));
  }
  void expectValue(const char* display, const char* value) {
    auto* widget = findNamed<QWidget>(QString::fromLatin1(display));
    const QString shown = widget ? widget->property("Value").toString() : QStringLiteral("(none)");
    if (shown != QString::fromLatin1(value)) {
      fail(QStringLiteral("%1 shows %2, not %3")
               .arg(QString::fromLatin1(display), shown, QString::fromLatin1(value)));
    }
  }
  void expectLit(const char* on_image, bool lit) {
    auto* widget = findNamed<QWidget>(QString::fromLatin1(on_image));
    if (widget == nullptr || widget->isHidden() == lit) {
      fail(QStringLiteral("%1 is not %2")
               .arg(QString::fromLatin1(on_image),
                    lit ? QStringLiteral("lit") : QStringLiteral("dark")));
    }
  }
  void expectCaption(const char* item, const char* caption) {
    auto* action = findNamed<QAction>(QString::fromLatin1(item));
    const QString shown = action ? action->text() : QStringLiteral("(none)");
    if (shown != QString::fromUtf8(caption)) {
      fail(QStringLiteral("%1 reads \"%2\", not \"%3\"")
               .arg(QString::fromLatin1(item), shown, QString::fromUtf8(caption)));
    }
  }

  // A round mark with its number, in the colour of a highlighter pen.
  static void drawMark(QPainter& painter, const QPoint& centre, int number) {
    constexpr int kRadius = 11;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::white, 2));
    painter.setBrush(QColor(214, 48, 49));
    painter.drawEllipse(centre, kRadius, kRadius);
    QFont font = QApplication::font();
    font.setPixelSize(13);
    font.setBold(true);
    painter.setFont(font);
    painter.drawText(QRect(centre - QPoint(kRadius, kRadius), QSize(2 * kRadius, 2 * kRadius)),
                     Qt::AlignCenter, QString::number(number));
    painter.restore();
  }
};

}  // namespace
}  // namespace orben

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QString folder;
  if (const int status = orben::PictureBook::folderOf(argc, argv, "orben_guide_pictures", folder)) {
    return status;
  }
  orben::GuidePictures guide(folder);
  if (!guide.start()) return 1;
  const bool played = guide.tour() && guide.menus() && guide.switchOn() && guide.keyIn() &&
                      guide.load() && guide.stepByStep() && guide.speed() && guide.timedRun() &&
                      guide.valueDialog() && guide.portWindows() && guide.disassemblerMode() &&
                      guide.docking() && playIde(guide, QString::fromUtf8(ORBEN_EXAMPLES));
  if (!played || !guide.ok()) return 1;
  // The folder is the guide's alone: a picture the guide no longer has goes.
  guide.removeOthers();
  return guide.ok() ? 0 : 1;
}
