#pragma once

#include <QString>

class QMainWindow;

namespace orben {

// The whole start-up of ORBEN: the application's title, the main window
// TForm1 with every control off (its creation fills memory with random
// bytes), then the input and output port windows, hidden. Returns the main
// window, shown; closing it closes every other window and deletes it.
// With `file`, once the window is up the file is loaded as if the user had
// chosen it in DAbrir (TUKA-2 still off): what a file manager does when it
// opens an object file with ORBEN.
QMainWindow* StartOrben(const QString& file = QString());

}  // namespace orben
