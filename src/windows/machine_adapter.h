#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "machine/machine.h"
#include "machine/random_source.h"
#include "machine/user_interface.h"
#include "panel/tuka2.h"
#include "session/program_file.h"
#include "session/source_debugging.h"
#include "session/source_map.h"
#include "windows/load_progress.h"

class QTimer;
class QWidget;

namespace orben {

// The one seam between the machine and the windows. It owns the whole
// TUKA-2, is its user interface (real message boxes and dialogs) and its
// observer, and turns every change into a Qt signal that displays, lamps,
// buttons and menu items follow. Windows call into tuka() for every action
// and keep no machine state of their own.
class MachineAdapter final : public QObject,
                             private MachineObserver,
                             private session::SourceDebuggingListener,
                             public UserInterface {
  Q_OBJECT

 public:
  explicit MachineAdapter(QObject* parent = nullptr);
  ~MachineAdapter() override;

  Tuka2& tuka() { return *tuka_; }
  const Machine& machine() const { return tuka_->machine; }

  // The step timer: a precise QTimer whose interval follows StepInterval
  // and whose every tick is one RunControl::tick.
  void attachStepTimer(QTimer* timer);

  // The window that message boxes and the file dialog belong to.
  void setDialogParent(QWidget* parent) { dialog_parent_ = parent; }

  // True while the machine waits on a box or dialog of its own (its event
  // loop runs under the machine's call).
  bool waitingOnDialog() const { return open_dialogs_ > 0; }
  // The main window is closing while the machine waits on a dialog: the
  // open one is answered as cancelled, every later one of the same command
  // is skipped the same way, and `window` is deleted once the machine's
  // command has returned, never under it.
  void leaveWhenDialogsEnd(QWidget* window);
  // The source editor's debugging: Ensamblar y cargar, the line at PC,
  // line breakpoints, Paso atrás, the changes of each step, the checks.
  session::SourceDebugging& debugging() { return *debugging_; }
  const session::SourceMap& sourceMap() const { return debugging_->sourceMap(); }
  // Ensamblar y cargar of the editor's `text`, named `name`, with its
  // breakpoint lines (SourceDebugging::assembleAndLoad); a loaded source
  // becomes the program last loaded.
  session::EditorLoad assembleAndLoad(std::string_view text, const std::string& name,
                                      const std::vector<std::size_t>& breakpoint_lines);

  // Cargar programa objeto, through DAbrir or of a file already named.
  void chooseAndLoadObject();
  void loadObjectNamed(const std::string& path);

  // The program last loaded, as Comprobar con casos grades it: the
  // editor's source as its last Ensamblar y cargar assembled it, or the
  // object file Cargar programa objeto last read.
  enum class ProgramKind : std::uint8_t { Source, ObjectFile };
  struct LoadedProgram {
    ProgramKind kind = ProgramKind::Source;
    std::string name;  // the file's name ("sin nombre.asm" for a source without one)
    std::string text;  // a source's text; an object file is read again
  };
  const std::optional<LoadedProgram>& lastProgram() const { return last_program_; }

  // How long a load runs before its progress shows (tests shorten it).
  void setLoadProgressDelay(int ms) { progress_ = std::make_unique<LoadProgress>(ms); }

  // UserInterface
  void showMessage(std::string_view text) override;
  bool askYesNo(std::string_view title, std::string_view text) override;
  std::optional<WordText> askValue() override;
  std::optional<std::string> askObjectFile(const FileRequest& request) override;
  std::optional<int> askSpeed(int selected) override;
  void reportFileError(std::string_view file_name, std::string_view reason) override;
  bool showMessageOrSkipRest(std::string_view text) override;
  bool showLoadProgress(std::uint64_t done, std::uint64_t total) override;
  void endLoadProgress() override;

 signals:
  // A machine cell took a new text; every display of the cell shows it.
  void cellTextChanged(int cell, const QString& text);
  void flagStateChanged(int flag, bool on);
  // TUKA-2 switched on or off: LOn, the keys and buttons, BPasoPaso and
  // MModoPasoapaso follow it.
  void powerChanged(bool on);
  void stepLampChanged(bool lit);
  void stepIntervalChanged(int ms);
  void initMemoryAtPowerOnChanged(bool on);
  // A menu item's caption (MenuItem) changed.
  void menuCaptionChanged(int item, const QString& caption);
  // The source line of the instruction at PC (0 for none).
  void sourceLineAtPC(int line);
  // A step forward or back is over; debugging().lastChanges() has what it
  // changed.
  void stepDone();
  void stepBackAvailable(bool can);
  // A classic mistake found by the checks, at source line `line` (0: none).
  void checkReported(int line, const QString& text);

 private:
  // MachineObserver
  void cellChanged(CellId cell) override;
  void flagChanged(Flag flag) override;
  void controlChanged(Control control) override;
  void captionChanged(MenuItem item) override;
  // SourceDebuggingListener
  void lineAtPCChanged(std::size_t line) override { emit sourceLineAtPC(static_cast<int>(line)); }
  void stepped(const StepChanges&) override { emit stepDone(); }
  void canStepBackChanged(bool can) override { emit stepBackAvailable(can); }
  void checkFound(const Check& check, std::size_t line) override;

  // Runs `open` as one of the machine's dialogs, or gives `skipped` at
  // once while the program is leaving.
  template <typename Open, typename Answer>
  Answer dialog(Open open, Answer skipped);

  SeededRandom random_;  // seeded from the clock, once per run
  std::unique_ptr<Tuka2> tuka_;
  QWidget* dialog_parent_ = nullptr;
  std::unique_ptr<LoadProgress> progress_ = std::make_unique<LoadProgress>();
  int open_dialogs_ = 0;
  bool leaving_ = false;
  QPointer<QWidget> leaving_window_;
  std::unique_ptr<session::SourceDebugging> debugging_;
  std::optional<LoadedProgram> last_program_;
};

}  // namespace orben
