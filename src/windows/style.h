#pragma once

#include <QColor>
#include <QFont>
#include <QString>

class QLabel;
class QWidget;

namespace orben {

class TDigitalDisplay;

// Colours and fonts shared by the panels. Arial and MS Sans Serif are drawn
// with Liberation Sans, Courier and Courier New with Liberation Mono, named
// explicitly so that the look does not depend on the other fonts installed.
inline const QColor kTeal{0, 128, 128};
inline const QColor kNavy{0, 0, 128};
inline const QColor kBlue{0, 0, 255};
inline const QColor kPanelFace{240, 240, 240};
// Unlit segments of the port windows' and the value entry dialog's displays.
inline const QColor kUnlitSegments{0, 91, 0};

QFont sansFont(int pixels, bool bold = false);
// The front panel buttons' "MS Sans Serif" 15 pixels: a face narrower than
// Arial, drawn as Liberation Sans at nine tenths of its width, so that
// "Paso a paso" fits beside its glyph in a 108-pixel button.
QFont panelButtonFont();
QFont monoFont(int pixels, bool bold = false);

// A teal Arial title.
QLabel* titleLabel(const QString& text, QWidget* parent, int pixels = 13);
// A small blue Courier label for a register or port.
QLabel* registerLabel(const QString& name, const QString& text, QWidget* parent);
// A 67 by 26 display of the main window: black, lime, unlit segments black;
// `spoken` is its name to assistive technology, the label read beside it.
TDigitalDisplay* panelDisplay(const QString& name, QWidget* parent, const QString& spoken);

}  // namespace orben
