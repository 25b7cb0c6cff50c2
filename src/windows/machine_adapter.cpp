#include "windows/machine_adapter.h"

#include <QTimer>

#include "windows/dialogs.h"
#include "windows/speed_dialog.h"
#include "windows/value_dialog.h"

namespace orben {

MachineAdapter::MachineAdapter(QObject* parent)
    : QObject(parent), tuka_(std::make_unique<Tuka2>(*this, random_)) {
  tuka_->machine.addObserver(this);
}

MachineAdapter::~MachineAdapter() {
  tuka_->machine.removeObserver(this);
}

void MachineAdapter::attachStepTimer(QTimer* timer) {
  timer->setTimerType(Qt::PreciseTimer);
  timer->setInterval(machine().stepInterval());
  connect(timer, &QTimer::timeout, this, [this] { tuka_->run.tick(); });
  connect(this, &MachineAdapter::stepIntervalChanged, timer,
          [timer](int ms) { timer->setInterval(ms); });
  timer->start();
}

void MachineAdapter::cellChanged(CellId cell) {
  emit cellTextChanged(cell, QString::fromLatin1(machine().cell(cell).view()));
}

void MachineAdapter::flagChanged(Flag flag) {
  emit flagStateChanged(static_cast<int>(flag), machine().flag(flag));
}

void MachineAdapter::controlChanged(Control control) {
  switch (control) {
    case Control::PowerOn:
      emit powerChanged(machine().powerOn());
      break;
    case Control::StepMode:
      emit stepLampChanged(machine().stepLamp());
      break;
    case Control::StepInterval:
      emit stepIntervalChanged(machine().stepInterval());
      break;
    case Control::InitMemoryAtPowerOn:
      emit initMemoryAtPowerOnChanged(machine().initMemoryAtPowerOn());
      break;
    case Control::PanelState:
    case Control::DisassemblerMode:
    case Control::MemoryGridCursor:
      break;  // nothing on the windows shows them
  }
}

void MachineAdapter::captionChanged(MenuItem item) {
  emit menuCaptionChanged(static_cast<int>(item), QString::fromStdString(machine().caption(item)));
}

void MachineAdapter::showMessage(std::string_view text) {
  showMessageBox(dialog_parent_, text);
}

bool MachineAdapter::askYesNo(std::string_view title, std::string_view text) {
  return askYesNoBox(dialog_parent_, title, text);
}

std::optional<WordText> MachineAdapter::askValue() {
  return runValueDialog();
}

std::optional<std::string> MachineAdapter::askObjectFile(const FileRequest& request) {
  return runObjectFileDialog(dialog_parent_, request);
}

std::optional<int> MachineAdapter::askSpeed(int selected) {
  return runSpeedDialog(selected);
}

void MachineAdapter::reportFileError(std::string_view file_name, std::string_view reason) {
  showFileErrorBox(dialog_parent_, file_name, reason);
}

}  // namespace orben
