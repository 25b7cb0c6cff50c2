#include "windows/display_binding.h"

#include <QWidget>

#include <array>
#include <vector>

#include "widgets/digital_display.h"
#include "widgets/focus_frame.h"
#include "windows/machine_adapter.h"

namespace orben {

void bindDisplays(MachineAdapter& adapter, QWidget* window) {
  using Shown = std::array<std::vector<TDigitalDisplay*>, kCellCount>;
  auto shown = std::make_shared<Shown>();
  for (auto* display : window->findChildren<TDigitalDisplay*>()) {
    const auto cell = cellOfDisplay(display->objectName().toStdString());
    if (!cell) continue;
    (*shown)[*cell].push_back(display);
    display->setValue(QString::fromLatin1(adapter.machine().cell(*cell).view()));
    setShowsChange(*display, false);
  }
  QObject::connect(&adapter, &MachineAdapter::cellTextChanged, window,
                   [shown](int cell, const QString& text) {
                     for (auto* display : (*shown)[static_cast<std::size_t>(cell)]) {
                       display->setValue(text);
                     }
                   });
  // Each step's changed cells are framed until the next step.
  QObject::connect(&adapter, &MachineAdapter::stepDone, window, [shown, &adapter] {
    std::array<bool, kCellCount> changed{};
    for (const CellId cell : adapter.debugging().lastChanges().cells) changed[cell] = true;
    for (std::size_t cell = 0; cell < kCellCount; ++cell) {
      for (auto* display : (*shown)[cell]) setShowsChange(*display, changed[cell]);
    }
  });
}

}  // namespace orben
