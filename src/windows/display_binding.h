#pragma once

class QWidget;

namespace orben {

class MachineAdapter;

// Binds every display of `window` that shows a machine cell (by its name:
// "R5", "PPC", "Teclado", "PIN_2A", ...) to that cell: it shows the cell's
// text now and after every change.
void bindDisplays(MachineAdapter& adapter, QWidget* window);

}  // namespace orben
