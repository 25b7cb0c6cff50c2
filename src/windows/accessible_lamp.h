#pragma once

namespace orben {

// A lamp to assistive technology: its name and description are the ones
// its window gives it ("Z", "Panel frontal de TUKA-2"), its checked state
// is whether it is lit; a clickable lamp is a check box that toggles as a
// click does, any other an indicator. Installed once, by the first lamp.
void installAccessibleLamps();

}  // namespace orben
