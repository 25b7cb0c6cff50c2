#pragma once

#include <QString>
#include <QStringList>

#include <optional>
#include <string>
#include <string_view>

#include "machine/user_interface.h"

class QWidget;

namespace orben {

// A machine text for the screen: UTF-8, each '\r' a line break.
QString screenText(std::string_view text);

// The message box: modal, the application's title, the text, one OK button.
void showMessageBox(QWidget* parent, std::string_view text);
// The message box with a second button, "Omitir los demás avisos"
// (object name OmitirAvisos); true when that one was pressed.
bool showMessageOrSkipRestBox(QWidget* parent, std::string_view text);
// The question box with Yes and No and no icon; true for Yes.
bool askYesNoBox(QWidget* parent, std::string_view title, std::string_view text);
// The file-open dialog DAbrir (Qt's own dialog, the same everywhere): the
// chosen file's full name, or nothing when cancelled.
std::optional<std::string> runObjectFileDialog(QWidget* parent, const FileRequest& request);
// "description|pattern|description|pattern" as the dialog's name filters:
// a description that already ends with its pattern in parentheses (letter
// case aside) stands alone, any other gets " (pattern)" behind it.
QStringList nameFiltersOf(std::string_view filter);
// The answers to "¿Guardar los cambios de NAME?".
enum class UnsavedChanges { Save, Discard, Cancel };
// The question of an unsaved source, buttons Sí, No and Cancelar.
UnsavedChanges askSaveChanges(QWidget* parent, const QString& name);
// The dialogs of a source's file: DAbrir_Fuente chooses one to open,
// DGuardar_Fuente names one to save into (starting at `suggested`); the
// chosen file's full name, or an empty one when cancelled.
QString runOpenSourceDialog(QWidget* parent);
QString runSaveSourceDialog(QWidget* parent, const QString& suggested);
// DGuardar_Memoria names the object file a range of memory is saved into,
// with the filters of DAbrir; the extension EHC is added to a name without
// one (HEX while the HEX filter is chosen). An empty name when cancelled.
QString runSaveMemoryDialog(QWidget* parent);
// DAbrir_Casos: the cases file (TOML) Comprobar con casos runs; its full
// name, or an empty one when cancelled.
QString runOpenCasesDialog(QWidget* parent);
// The report of a file that cannot be opened or read.
void showFileErrorBox(QWidget* parent, std::string_view file_name, std::string_view reason);

}  // namespace orben
