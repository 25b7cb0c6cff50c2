#pragma once

#include <QWidget>

#include <array>

namespace orben {

class Lamp;
class MachineAdapter;
class TLiveButton;

// The front panel's controls, in three parts: power and step buttons with
// their lamps, the flag lamps and IR and PC on the left; the keypad display
// and the sixteen keys in the centre; output ports 01 and 02 and the five
// panel buttons on the right. Every click is one call into the machine;
// lamps and enabled states follow the adapter's signals.
class FrontPanelView : public QWidget {
  Q_OBJECT

 public:
  explicit FrontPanelView(MachineAdapter& adapter, QWidget* parent = nullptr);

 public slots:
  // On/Off pressed; ORBEN started with a file presses it the same way.
  void BOnOffClick();

 private slots:
  void BPasoPasoClick();
  void Pulsacion_Teclado();
  void Modifica_Teclado();
  void BDireccionClick();
  void BRegistrosClick();
  void BCargarClick();
  void BEjecutarClick();
  void BContinuarClick();

 private:
  QWidget* buildLeft();
  QWidget* buildCentre();
  QWidget* buildRight();
  TLiveButton* panelButton(const QString& name, const QString& caption, QWidget* parent);
  void showPower(bool on);

  MachineAdapter& adapter_;
  Lamp* power_lamp_ = nullptr;
  Lamp* step_lamp_ = nullptr;
  std::array<Lamp*, 4> flag_lamps_{};
  TLiveButton* step_button_ = nullptr;
  std::array<TLiveButton*, 16> keys_{};
  std::array<TLiveButton*, 5> buttons_{};  // Dirección .. Continuar
};

}  // namespace orben
