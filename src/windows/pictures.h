#pragma once

#include <QPixmap>
#include <QString>

#include <functional>

class QPainter;

namespace orben {

// Every picture of the windows, drawn here with QPainter on a transparent
// background and kept in the application's pixmap cache. Sizes are in
// device-independent pixels; on a high-density screen the pictures are
// drawn at the screen's density.

// Lamps: an LED in a dark bezel, 21 by 21. The flag lamps are red, the power
// lamp (LOn, LOff) green, the step-mode lamp (LPP, LPP_Off) amber.
enum class LampColour { Red, Green, Amber };
inline constexpr int kLampSize = 21;
QPixmap lampPicture(LampColour colour, bool lit);

// The toolbar's icons, 20 by 20: 0 a folder (Archivo), 1 a gear (Entorno),
// 2 a chip (TUKA-2), 3 a sheet of source text (Programa). Any other index
// gives a null pixmap.
inline constexpr int kToolbarIconCount = 4;
inline constexpr int kToolbarIconSize = 20;
QPixmap toolbarIcon(int index);

// Button glyphs, 20 by 20: Power (BOnOff), Step (BPasoPaso, two footprints),
// Address (BDireccion, an arrow at a memory cell), Registers (BRegistros),
// Load (BCargar, a word going down into memory), Execute (BEjecutar, play),
// Continue (BContinuar, play to the next), Ok (¡Vale!), Cancel (Cancelar).
// The disabled look is the glyph's shape embossed in grey.
enum class Glyph { Power, Step, Address, Registers, Load, Execute, Continue, Ok, Cancel };
inline constexpr int kGlyphSize = 20;
QPixmap glyph(Glyph which, bool disabled = false);

// A chip in a dual in-line package, 60 by 40, lettered "TUKA-2".
QPixmap chipPicture();
// The processor, 150 by 60: a dark body with pins along the top and bottom
// edges. The body (x 8..141, y 7..52) is dark enough for lamps and white
// letters to sit on.
QPixmap processorPicture();
// The arithmetic-logic unit, 120 by 80: the usual notched trapezium with two
// inputs at the top and the result at the bottom, lettered "ALU".
QPixmap aluPicture();

// A bus cable `length` pixels long and 11 thick, ending in an arrowhead that
// points the given way (the picture is length by 11 for Left and Right,
// 11 by length for Up and Down). Lengths below 12 are drawn as 12.
enum class Pointing { Left, Right, Up, Down };
inline constexpr int kCableThickness = 11;
QPixmap cablePicture(Pointing pointing, int length);

// A transparent picture of `size` drawn once by `draw` (antialiased, in
// device-independent pixels) and then taken from the cache under `key`.
QPixmap drawnPicture(const QString& key, QSize size, const std::function<void(QPainter&)>& draw);

}  // namespace orben
