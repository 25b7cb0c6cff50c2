#pragma once

class QWidget;

namespace orben {

class MachineAdapter;

// Guardar memoria como programa objeto: the modal dialog
// TDiag_Guardar_Memoria asks for the first and the last address (Desde,
// Hasta: four hexadecimal digits each, at first the words the loaded source
// covers), then Guardar… names the file in DGuardar_Memoria and the core
// writes the words there. A refused range or a failed write is shown in a
// box and the dialog stays open; Cancelar writes nothing.
void runMemorySaveDialog(MachineAdapter& adapter, QWidget* parent);

}  // namespace orben
