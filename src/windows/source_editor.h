#pragma once

#include <QString>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <vector>

#include "assembler/assembler.h"
#include "assembler/source_document.h"
#include "session/editor_messages.h"

class QLabel;
class QListWidget;
class QListWidgetItem;

namespace orben {

class MachineAdapter;
class SourceEdit;

// TEditorFuente, the source editor: a window of its own (it docks nowhere)
// with the source's text Texto_Fuente, the assembler's messages
// Mensajes_Fuente and the status line Estado_Fuente. The file's bytes,
// encoding and line ends are the core's SourceDocument; the assembly and
// the load are the core's, through the adapter.
class SourceEditor final : public QWidget {
  Q_OBJECT

 public:
  SourceEditor(MachineAdapter& adapter, QWidget* parent);

  // Nuevo programa fuente: an empty source without a name, once the
  // changes of the one open are settled.
  void newSource();
  // Abrir programa fuente: the file chosen in DAbrir_Fuente, once the
  // changes of the one open are settled.
  void chooseAndOpen();
  // Opens `path` (changes settled first); false when it is not opened.
  bool openFile(const QString& path);
  // Guardar programa fuente: into its file, or as Guardar como for a
  // source without a name. False when nothing was saved.
  bool save();
  bool saveAs();
  // Ensamblar y cargar, the editor's breakpoints with it.
  void assembleAndLoad();
  // Poner/Quitar punto de parada on the cursor's line.
  void toggleBreakpoint();
  // The same from the listing: the breakpoint at `address`.
  void toggleBreakpointAt(std::uint16_t address);
  // Ejecutar hasta el cursor.
  void runToCursor();
  // Esconder/Mostrar.
  void toggleShown();

  // Before the source is replaced or ORBEN closes: an unsaved source asks
  // whether to save it. False when the user chose Cancelar (or a save
  // failed): nothing goes on.
  bool settleChanges();

  // One item of a group shown below the assembler's messages.
  struct GroupItem {
    QString text;
    int key = -1;  // activating the item tells its key; none when negative
    bool failed = false;
  };
  // Shows `items` below the assembler's messages in place of the group
  // shown before, the editor shown; activating (double-click, Enter) an
  // item with a key calls `activated` with it.
  void showMessageGroup(const std::vector<GroupItem>& items, std::function<void(int)> activated);

  bool modified() const;
  // "sin nombre" until the source has a file, then the file's name.
  QString shownName() const;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  // Shows `document` as the open source, its file `path`.
  void present(const assembler::SourceDocument& document, const QString& path);
  bool writeTo(const QString& path);
  void showDiagnostics(const std::vector<assembler::Diagnostic>& diagnostics);
  // A message of Mensajes_Fuente, at its line and column.
  void addMessage(const session::EditorMessage& message, const QColor& colour);
  void toggleBreakpointAtLine(int line);
  // The text was edited (not only coloured): the source no longer
  // describes memory.
  void textEdited();
  void goToMessage(QListWidgetItem* item);
  void updateTitle();
  void updateSteps();

  MachineAdapter& adapter_;
  assembler::SourceDocument document_;
  QString path_;
  SourceEdit* text_;
  QListWidget* messages_;
  QLabel* steps_;
  QLabel* file_name_;
  // The document's revision when it was last assembled and loaded.
  int loaded_revision_ = -1;
  std::function<void(int)> group_activated_;
};

}  // namespace orben
