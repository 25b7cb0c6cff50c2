#include "windows/internal_panel_view.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>

#include "panel/tuka2.h"
#include "widgets/digital_display.h"
#include "widgets/hex_char.h"
#include "widgets/hex_editor.h"
#include "windows/dock.h"
#include "windows/flag_lamps.h"
#include "windows/lamp.h"
#include "windows/machine_adapter.h"
#include "windows/pictures.h"
#include "windows/style.h"

namespace orben {

namespace {

constexpr int kPartHeight = 244;

QWidget* part(const QString& name, const QString& title, int width, QWidget* parent,
              int title_pixels = 13) {
  auto* widget = new QFrame(parent);
  widget->setObjectName(name);
  widget->setFixedSize(width, kPartHeight);
  widget->setAutoFillBackground(true);
  widget->setPalette(QPalette(kPanelFace));
  auto* label = titleLabel(title, widget, title_pixels);
  label->move(8, 3);
  return widget;
}

// A register display with its label at its left: "r5" beside R5. The
// label carries its text as its name ("rA"), or the display's with an "L"
// in front where the text would repeat the display's name ("LAR").
QWidget* labelled(const QString& name, const QString& label, QWidget* parent, int x, int y) {
  registerLabel(label == name ? QStringLiteral("L") + name : label, label, parent)->move(x, y + 6);
  auto* display = panelDisplay(name, parent, label);
  display->move(x + 24, y);
  return display;
}

}  // namespace

InternalPanelView::InternalPanelView(MachineAdapter& adapter, QWidget* parent)
    : QWidget(parent), adapter_(adapter) {
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(3, 3, 3, 3);
  layout->setSpacing(0);
  layout->addWidget(buildRegisters());
  layout->addWidget(buildMemory());
  layout->addWidget(buildPorts());
  // The keyboard visits the registers, flags and ports that can be edited
  // before the grid, whatever the order the parts stand in.
  setTabOrder(findChild<QWidget*>(QStringLiteral("IP2")), grid_);
  // Always its full width: where the window is narrower, the ports' right
  // end is cut off rather than the parts pushed over each other.
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

void InternalPanelView::makeEditable(QWidget* widget) {
  auto* display = static_cast<TDigitalDisplay*>(widget);
  display->setCursor(Qt::PointingHandCursor);
  display->setEditing(TDigitalDisplay::Editing::Activate);
  // Modifica_Registro: the mirrors of PC, IP1 and IP2 are the same cells.
  connect(display, &TDigitalDisplay::clicked, this, [this, display] {
    editCellByHand(adapter_.tuka().machine, *cellOfDisplay(display->objectName().toStdString()));
  });
}

QWidget* InternalPanelView::buildRegisters() {
  QWidget* registers =
      part(QStringLiteral("Panel_Registros"), QStringLiteral("Unidad de Procesamiento"), 544, this);
  for (int n = 0; n < 16; ++n) {
    const QString digit(hexDigit(n));
    makeEditable(labelled(QStringLiteral("R") + digit, QStringLiteral("r") + digit, registers,
                          8 + 96 * (n / 8), 24 + 27 * (n % 8)));
  }

  auto* alu = new QLabel(registers);
  alu->setPixmap(aluPicture());
  alu->adjustSize();
  alu->move(204, 24);
  labelled(QStringLiteral("AR"), QStringLiteral("AR"), registers, 208, 114);
  labelled(QStringLiteral("DR"), QStringLiteral("DR"), registers, 208, 145);

  auto* flags = new QGroupBox(QStringLiteral("FF"), registers);
  flags->setObjectName(QStringLiteral("GroupBox_FF"));
  flags->setFont(sansFont(11, true));
  flags->setGeometry(204, 178, 124, 58);
  for (Flag flag : {Flag::Z, Flag::S, Flag::C, Flag::V}) {
    const int i = static_cast<int>(flag);
    flagLamp(adapter_, flag, QString(), flags)->move(10 + 28 * i, 16);
    auto* letter = registerLabel(QStringLiteral("L") + flagCaption(flag), flagCaption(flag), flags);
    letter->move(17 + 28 * i, 38);
  }

  auto* instructions = titleLabel(QStringLiteral("Procesamiento de Instrucciones"), registers, 12);
  instructions->move(342, 24);
  auto* control = new QGroupBox(QStringLiteral("Unidad de Control"), registers);
  control->setObjectName(QStringLiteral("GroupBox_UC"));
  control->setFont(sansFont(11, true));
  control->setGeometry(342, 48, 190, 92);
  labelled(QStringLiteral("IR"), QStringLiteral("IR"), control, 40, 22);
  makeEditable(labelled(QStringLiteral("PC"), QStringLiteral("PC"), control, 40, 56));
  return registers;
}

QWidget* InternalPanelView::buildMemory() {
  QWidget* memory = part(QStringLiteral("Panel_Memoria"), QStringLiteral("Memoria"), 210, this);
  memory_bar_ = new DockBar(QStringLiteral("Contenedor_Memoria"), memory);
  memory_bar_->setGeometry(8, 24, 194, 208);
  // The grip runs along the top, leaving the grid its full width.
  memory_piece_ =
      new DockPiece(QStringLiteral("PContenedor_Memoria"), QStringLiteral("Memoria de TUKA-2"),
                    memory_bar_, DockPiece::GripSide::Top);
  grid_ = new THexEditor(memory_piece_);
  grid_->setObjectName(QStringLiteral("Memoria"));
  grid_->setAccessibleName(QStringLiteral("Memoria"));
  grid_->setMemoryStore(&adapter_.tuka().machine.memory());
  // The rows of the words each step changed, framed until the next step.
  connect(&adapter_, &MachineAdapter::stepDone, grid_, [this] {
    QList<int> rows;
    for (const std::uint16_t word : adapter_.debugging().lastChanges().words) {
      const int row = word * 2 / grid_->bytesPerLine();
      if (!rows.contains(row)) rows.push_back(row);
    }
    grid_->setChangedRows(rows);
  });
  memory_piece_->setContent(grid_);
  memory_piece_->setFixedSize(176, 204);
  memory_bar_->dock(memory_piece_);
  return memory;
}

QWidget* InternalPanelView::buildPorts() {
  // A smaller title: the window cuts off the right end of this part.
  QWidget* ports = part(QStringLiteral("Panel_Puertos"),
                        QStringLiteral("Puertos de Entrada y Salida"), 200, this, 12);
  makeEditable(labelled(QStringLiteral("IP1"), QStringLiteral("IP1"), ports, 12, 40));
  makeEditable(labelled(QStringLiteral("IP2"), QStringLiteral("IP2"), ports, 12, 76));
  labelled(QStringLiteral("OP1"), QStringLiteral("OP1"), ports, 12, 128);
  labelled(QStringLiteral("OP2"), QStringLiteral("OP2"), ports, 12, 164);
  return ports;
}

}  // namespace orben
