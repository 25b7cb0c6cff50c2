#include "windows/machine_adapter.h"

#include <QApplication>
#include <QDialog>
#include <QTimer>

#include "session/editor_messages.h"
#include "text/language.h"
#include "windows/dialogs.h"
#include "windows/speed_dialog.h"
#include "windows/value_dialog.h"

namespace orben {

MachineAdapter::MachineAdapter(QObject* parent)
    : QObject(parent),
      tuka_(std::make_unique<Tuka2>(*this, random_)),
      debugging_(std::make_unique<session::SourceDebugging>(
          *tuka_, static_cast<session::SourceDebuggingListener*>(this))) {
  tuka_->machine.addObserver(this);
}

MachineAdapter::~MachineAdapter() {
  tuka_->machine.removeObserver(this);
}

void MachineAdapter::checkFound(const Check& check, std::size_t line) {
  const std::string text = session::checkMessage(check, line).text;
  emit checkReported(static_cast<int>(line), QString::fromStdString(text));
}

void MachineAdapter::attachStepTimer(QTimer* timer) {
  timer->setTimerType(Qt::PreciseTimer);
  timer->setInterval(machine().stepInterval());
  connect(timer, &QTimer::timeout, this, [this] { tuka_->run.tick(); });
  connect(this, &MachineAdapter::stepIntervalChanged, timer,
          [timer](int ms) { timer->setInterval(ms); });
  timer->start();
}

session::EditorLoad MachineAdapter::assembleAndLoad(
    std::string_view text, const std::string& name,
    const std::vector<std::size_t>& breakpoint_lines) {
  session::EditorLoad load = debugging_->assembleAndLoad(text, name, breakpoint_lines);
  if (load.loaded) last_program_ = LoadedProgram{ProgramKind::Source, name, std::string(text)};
  return load;
}

void MachineAdapter::chooseAndLoadObject() {
  if (fileWasRead(tuka_->load.chooseAndLoad())) {
    last_program_ = LoadedProgram{ProgramKind::ObjectFile, tuka_->load.lastFileOpened(), {}};
  }
}

void MachineAdapter::loadObjectNamed(const std::string& path) {
  if (fileWasRead(tuka_->load.loadNamed(path))) {
    last_program_ = LoadedProgram{ProgramKind::ObjectFile, tuka_->load.lastFileOpened(), {}};
  }
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

void MachineAdapter::leaveWhenDialogsEnd(QWidget* window) {
  leaving_ = true;
  leaving_window_ = window;
  progress_->cancel();
  if (auto* open = qobject_cast<QDialog*>(QApplication::activeModalWidget())) open->reject();
}

template <typename Open, typename Answer>
Answer MachineAdapter::dialog(Open open, Answer skipped) {
  if (leaving_) return skipped;
  ++open_dialogs_;
  Answer answer = open();
  if (--open_dialogs_ == 0 && leaving_window_) {
    // Posted here, it is carried out only when the machine's command has
    // returned to the event loop that started it.
    leaving_window_->deleteLater();
    leaving_window_ = nullptr;
  }
  return leaving_ ? skipped : answer;
}

void MachineAdapter::showMessage(std::string_view text) {
  dialog([&] { return (showMessageBox(dialog_parent_, text), true); }, true);
}

bool MachineAdapter::askYesNo(std::string_view title, std::string_view text) {
  return dialog([&] { return askYesNoBox(dialog_parent_, title, text); }, false);
}

std::optional<WordText> MachineAdapter::askValue() {
  return dialog([] { return runValueDialog(); }, std::optional<WordText>());
}

std::optional<std::string> MachineAdapter::askObjectFile(const FileRequest& request) {
  return dialog([&] { return runObjectFileDialog(dialog_parent_, request); },
                std::optional<std::string>());
}

std::optional<int> MachineAdapter::askSpeed(int selected) {
  return dialog([&] { return runSpeedDialog(selected); }, std::optional<int>());
}

void MachineAdapter::reportFileError(std::string_view file_name, std::string_view reason) {
  dialog([&] { return (showFileErrorBox(dialog_parent_, file_name, reason), true); }, true);
}

bool MachineAdapter::showMessageOrSkipRest(std::string_view text) {
  return dialog([&] { return showMessageOrSkipRestBox(dialog_parent_, text); }, true);
}

bool MachineAdapter::showLoadProgress(std::uint64_t done, std::uint64_t total) {
  return dialog([&] { return progress_->report(dialog_parent_, done, total); }, false);
}

void MachineAdapter::endLoadProgress() {
  progress_->end();
}

}  // namespace orben
