#pragma once

#include <QString>

#include "machine/cells.h"

class QWidget;

namespace orben {

class Lamp;
class MachineAdapter;

// The lamp of a flag on one panel: images `prefix` + "Z_OFF" / "Z_ON" (the
// front panel's prefix is "P"). It follows the flag, and a click on either
// image (or Space while it has the focus) inverts the flag, refused while
// TUKA-2 is off. The lamp itself is named "Lampara_" + prefix + "Z".
Lamp* flagLamp(MachineAdapter& adapter, Flag flag, const QString& prefix, QWidget* parent);

// The flag's letter as the panels caption it: "Z", "S", "C", "V".
QString flagCaption(Flag flag);

}  // namespace orben
