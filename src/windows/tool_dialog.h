#pragma once

#include <QString>

#include "windows/pictures.h"

class QDialog;

namespace orben {

class TLiveButton;

// What the value entry dialog and the step-speed dialog share: a tool window
// (a thin title bar with the close button only) of fixed client size, owned
// by the application, in the dialogs' default font (MS Sans Serif, drawn
// with Liberation Sans). Closing it never ends the program.
void makeToolDialog(QDialog& dialog, const QString& name, const QString& caption, QSize size);

// A dialog push-button: caption in the dialog's font, black until the
// pointer first passes over it, with the glyph centred beside the caption.
TLiveButton* dialogButton(const QString& name, const QString& caption, Glyph glyph,
                          const QRect& geometry, QDialog& dialog);

}  // namespace orben
