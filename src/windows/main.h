#pragma once

#include <QString>

class QMainWindow;

namespace orben {

// The whole start-up of ORBEN: the application's title, the main window
// TForm1 with every control off (its creation fills memory with random
// bytes), then the input and output port windows, hidden. Returns the main
// window, shown; closing it closes every other window and deletes it.
// With an object file `file` (.EHC or .HEX: what a file manager does when it
// opens one with ORBEN), TUKA-2 is switched on first, as a press of On/Off does (step by
// step, memory initialised), and once the window is up the file is loaded
// as if the user had chosen it in DAbrir. Any other file is a source,
// opened in the source editor once the window is up.
QMainWindow* StartOrben(const QString& file = QString());

}  // namespace orben
