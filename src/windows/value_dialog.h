#pragma once

#include <optional>

#include "machine/word_text.h"

namespace orben {

// The value entry dialog TDiag_Editar_Registro, created anew for one edit
// (owned by the application, freed when it closes) and shown modally. Its
// Editor starts at "0000"; every hexadecimal key typed shifts the digits one
// place left and enters at the right. The four digits after ¡Vale!; nothing
// after Cancelar or the title bar's close button.
std::optional<WordText> runValueDialog();

}  // namespace orben
