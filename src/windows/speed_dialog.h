#pragma once

#include <optional>

namespace orben {

// The step-speed dialog TForm4, created anew and shown modally with item
// `selected` of RadioGroup1 marked. The item marked when ¡Vale! is pressed
// (-1 when none is); nothing after Cancelar or the close button.
std::optional<int> runSpeedDialog(int selected);

}  // namespace orben
