#pragma once

class QMainWindow;

namespace orben {

// The whole start-up of ORBEN: the application's title, the main window
// TForm1 with every control off (its creation fills memory with random
// bytes), then the input and output port windows, hidden. Returns the main
// window, shown; closing it closes every other window and deletes it.
QMainWindow* StartOrben();

}  // namespace orben
