#include "windows/front_panel_view.h"

#include <QHBoxLayout>
#include <QLabel>

#include "panel/tuka2.h"
#include "widgets/digital_display.h"
#include "widgets/hex_char.h"
#include "widgets/live_button.h"
#include "windows/flag_lamps.h"
#include "windows/lamp.h"
#include "windows/machine_adapter.h"
#include "windows/pictures.h"
#include "windows/style.h"

namespace orben {

namespace {

constexpr int kPartHeight = 262;

QWidget* part(const QString& name, int width, QWidget* parent) {
  auto* widget = new QWidget(parent);
  widget->setObjectName(name);
  widget->setFixedSize(width, kPartHeight);
  return widget;
}

// A display's teal caption: "IR", "PC", "D/OP1", "C/OP2".
QLabel* displayLabel(const QString& text, QWidget* parent, int x, int y) {
  QLabel* label = titleLabel(text, parent, 12);
  label->move(x, y);
  return label;
}

}  // namespace

FrontPanelView::FrontPanelView(MachineAdapter& adapter, QWidget* parent)
    : QWidget(parent), adapter_(adapter) {
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->setSpacing(4);
  layout->addWidget(buildLeft());
  layout->addWidget(buildCentre());
  layout->addWidget(buildRight());

  showPower(adapter_.machine().powerOn());
  step_lamp_->setLit(adapter_.machine().stepLamp());
  connect(&adapter_, &MachineAdapter::powerChanged, this, &FrontPanelView::showPower);
  connect(&adapter_, &MachineAdapter::stepLampChanged, step_lamp_, &Lamp::setLit);
}

TLiveButton* FrontPanelView::panelButton(const QString& name, const QString& caption,
                                         QWidget* parent) {
  auto* button = new TLiveButton(parent);
  button->setObjectName(name);
  button->setText(caption);
  button->setFont(panelButtonFont());
  button->setCaptionColor(kTeal);
  button->setCursor(Qt::PointingHandCursor);
  button->setFocusPolicy(Qt::StrongFocus);  // a click takes the focus, as Tab does
  return button;
}

QWidget* FrontPanelView::buildLeft() {
  QWidget* left = part(QStringLiteral("Contenedor_PF_Izquierda"), 150, this);

  auto* on_off = panelButton(QStringLiteral("BOnOff"), QStringLiteral("On/Off"), left);
  on_off->setGeometry(4, 6, 108, 31);
  on_off->setGlyph(glyph(Glyph::Power));
  on_off->setMargin(3);
  on_off->setToolTip(QStringLiteral("Pulse aquí para Apagar/Encender TUKA-2."));
  connect(on_off, &TLiveButton::clicked, this, &FrontPanelView::BOnOffClick);
  power_lamp_ =
      new Lamp(QStringLiteral("LOff"), QStringLiteral("LOn"), lampPicture(LampColour::Green, false),
               lampPicture(LampColour::Green, true), left);
  power_lamp_->setObjectName(QStringLiteral("Lampara_On"));
  power_lamp_->setAccessibleName(QStringLiteral("Encendido"));
  power_lamp_->move(120, 11);

  step_button_ = panelButton(QStringLiteral("BPasoPaso"), QStringLiteral("&Paso a paso"), left);
  step_button_->setGeometry(4, 43, 108, 31);
  step_button_->setGlyph(glyph(Glyph::Step));
  step_button_->setMargin(3);
  connect(step_button_, &TLiveButton::clicked, this, &FrontPanelView::BPasoPasoClick);
  step_lamp_ =
      new Lamp(QStringLiteral("LPP_Off"), QStringLiteral("LPP"),
               lampPicture(LampColour::Amber, false), lampPicture(LampColour::Amber, true), left);
  step_lamp_->setObjectName(QStringLiteral("Lampara_PP"));
  step_lamp_->setAccessibleName(QStringLiteral("Paso a paso"));
  step_lamp_->move(120, 48);

  auto* chip = new QLabel(left);
  chip->setPixmap(chipPicture());
  chip->adjustSize();
  chip->move((150 - chip->width()) / 2, 80);

  auto* processor = new QLabel(left);
  processor->setPixmap(processorPicture());
  processor->adjustSize();
  processor->move((150 - processor->width()) / 2, 126);
  for (Flag flag : {Flag::Z, Flag::S, Flag::C, Flag::V}) {
    const int i = static_cast<int>(flag);
    Lamp* lamp = flagLamp(adapter_, flag, QStringLiteral("P"), left);
    const int x = processor->x() + (processor->width() - 4 * 30) / 2 + 30 * i + 4;
    lamp->move(x, processor->y() + 12);
    auto* letter = displayLabel(flagCaption(flag), left, x + 6, processor->y() + 36);
    QPalette white = letter->palette();
    white.setColor(QPalette::WindowText, Qt::white);
    letter->setPalette(white);
    flag_lamps_[static_cast<std::size_t>(i)] = lamp;
  }

  displayLabel(QStringLiteral("IR"), left, 14, 201);
  panelDisplay(QStringLiteral("PIR"), left, QStringLiteral("IR"))->move(46, 196);
  displayLabel(QStringLiteral("PC"), left, 14, 233);
  auto* pc = panelDisplay(QStringLiteral("PPC"), left, QStringLiteral("PC"));
  pc->move(46, 228);
  pc->setCursor(Qt::PointingHandCursor);
  pc->setEditing(TDigitalDisplay::Editing::Activate);
  connect(pc, &TDigitalDisplay::clicked, this,
          [this] { editCellByHand(adapter_.tuka().machine, kCellPC); });
  return left;
}

QWidget* FrontPanelView::buildCentre() {
  QWidget* centre = part(QStringLiteral("Contenedor_PF_Centro"), 148, this);
  auto* title = titleLabel(QStringLiteral("TUKA-2"), centre, 24);
  title->setObjectName(QStringLiteral("LTUKA2"));
  title->setAlignment(Qt::AlignCenter);
  title->setGeometry(0, 8, 148, 32);

  auto* keypad = panelDisplay(QStringLiteral("Teclado"), centre, QStringLiteral("Teclado"));
  keypad->move((148 - 67) / 2, 98);
  keypad->setToolTip(QStringLiteral("Teclado y puerto IP01"));
  keypad->setCursor(Qt::PointingHandCursor);
  keypad->setEditing(TDigitalDisplay::Editing::Activate);
  connect(keypad, &TDigitalDisplay::clicked, this, &FrontPanelView::Modifica_Teclado);

  for (int digit = 0; digit < 16; ++digit) {
    const QString hex(hexDigit(digit));
    auto* key = panelButton(QStringLiteral("T") + hex, QStringLiteral("&") + hex, centre);
    key->setGeometry(7 + 34 * (digit % 4), 132 + 31 * (digit / 4), 32, digit / 4 == 3 ? 30 : 29);
    connect(key, &TLiveButton::clicked, this, &FrontPanelView::Pulsacion_Teclado);
    keys_[static_cast<std::size_t>(digit)] = key;
  }
  return centre;
}

QWidget* FrontPanelView::buildRight() {
  QWidget* right = part(QStringLiteral("Contenedor_PF_Derecha"), 126, this);
  displayLabel(QStringLiteral("D/OP1"), right, 4, 11);
  panelDisplay(QStringLiteral("POP1"), right, QStringLiteral("D/OP1"))->move(54, 6);
  displayLabel(QStringLiteral("C/OP2"), right, 4, 43);
  panelDisplay(QStringLiteral("POP2"), right, QStringLiteral("C/OP2"))->move(54, 38);

  struct ButtonRow {
    const char* name;
    const char* caption;
    Glyph glyph;
    int height;
    void (FrontPanelView::*click)();
  };
  const ButtonRow rows[] = {
      {"BDireccion", "D&irección", Glyph::Address, 29, &FrontPanelView::BDireccionClick},
      {"BRegistros", "&Registros", Glyph::Registers, 28, &FrontPanelView::BRegistrosClick},
      {"BCargar", "Car&gar", Glyph::Load, 28, &FrontPanelView::BCargarClick},
      {"BEjecutar", "E&jecutar", Glyph::Execute, 29, &FrontPanelView::BEjecutarClick},
      {"BContinuar", "Co&ntinuar", Glyph::Continue, 29, &FrontPanelView::BContinuarClick},
  };
  int y = 100;
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    const ButtonRow& row = rows[i];
    auto* button =
        panelButton(QString::fromLatin1(row.name), QString::fromUtf8(row.caption), right);
    button->setGeometry(8, y, 110, row.height);
    // Dirección and Cargar have a glyph of two images, normal and disabled.
    const bool two_images = row.glyph == Glyph::Address || row.glyph == Glyph::Load;
    button->setGlyph(glyph(row.glyph), two_images ? glyph(row.glyph, true) : QPixmap());
    button->setMargin(3);
    connect(button, &TLiveButton::clicked, this, row.click);
    buttons_[i] = button;
    y += row.height + 3;
  }
  return right;
}

void FrontPanelView::showPower(bool on) {
  power_lamp_->setLit(on);
  step_button_->setEnabled(on);
  for (auto* key : keys_) key->setEnabled(on);
  for (auto* button : buttons_) button->setEnabled(on);
}

void FrontPanelView::BOnOffClick() {
  adapter_.tuka().power.TogglePower();
}

void FrontPanelView::BPasoPasoClick() {
  adapter_.tuka().run.toggleStepMode();
}

void FrontPanelView::Pulsacion_Teclado() {
  // The digit after the '&' of the key's caption.
  adapter_.tuka().panel.pressKey(qobject_cast<TLiveButton*>(sender())->text().at(1).toLatin1());
}

void FrontPanelView::Modifica_Teclado() {
  adapter_.tuka().panel.editKeypad();
}

void FrontPanelView::BDireccionClick() {
  adapter_.tuka().panel.selectAddress();
}

void FrontPanelView::BRegistrosClick() {
  adapter_.tuka().panel.selectRegisters();
}

void FrontPanelView::BCargarClick() {
  adapter_.tuka().panel.storeKeypadValue();
}

void FrontPanelView::BEjecutarClick() {
  adapter_.tuka().run.executeFromKeypad();
}

void FrontPanelView::BContinuarClick() {
  adapter_.tuka().run.continueExecution();
}

}  // namespace orben
