#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "machine/user_interface.h"
#include "text/catalog.h"

namespace orben {

class ByteSource;
class Listing;
class Machine;

inline constexpr std::string_view kObjectFileFilter =
    "Easy Hexadecimal Code (*.EHC)|*.EHC|Intel Standard HEX (*.hex)|*.HEX";
inline constexpr std::string_view kObjectFileTitle = "Cargar fichero objeto en ORBEN";
inline constexpr std::string_view kBadExtensionMessage =
    "ERROR: Los archivos objeto deben tener extensión \r.HEX o .EHC";

// The largest object file held whole in memory to be loaded (the browser
// edition reads a chosen file that way); a larger one is refused unread.
inline constexpr std::uint64_t kLargestObjectInMemory = std::uint64_t{64} << 20;
inline constexpr std::string_view kObjectTooLarge =
    N_("larger than 64 MiB: no TUKA-2 object file needs that much");

enum class ObjectFormat : std::uint8_t { Ehc, Hex };

// How a load ended, for the command-line runner.
enum class LoadOutcome : std::uint8_t {
  Loaded,        // read to its end (corrupt lines and refused words included)
  Cancelled,     // the file dialog was cancelled
  BadExtension,  // the name ends neither in .HEX nor in .EHC
  FormatError,   // an EHC line without its address and content pair
  FileError,     // the file could not be opened or read
  Stopped,       // the user stopped reading; what was read stays, listed
};

// Whether memory holds (some of) the file a load opened: the program a
// check of cases grades from then on.
inline bool fileWasRead(LoadOutcome outcome) {
  return outcome == LoadOutcome::Loaded || outcome == LoadOutcome::Stopped ||
         outcome == LoadOutcome::FormatError;
}

// The format a file name asks for: its last four characters, upper-cased,
// must be ".HEX" or ".EHC". The filter chosen in the dialog plays no part.
std::optional<ObjectFormat> objectFormatOfName(std::string_view name);
// What the file-open dialog is set to each time the command runs.
FileRequest objectFileRequest();
// The box of a file that cannot be opened or read, in Spanish as the
// windows speak: "Error de entrada/salida: NAME", then the reason ('\r' a
// line break).
std::string fileErrorMessage(std::string_view file_name, std::string_view reason);

// "Cargar programa objeto (.HEX, EHC)": puts an object program from a file
// into memory and shows it in the listing. It leaves power, run state,
// registers, flags and ports alone, apart from the stop a refused word
// makes.
class LoadCommand {
 public:
  LoadCommand(Machine& machine, Listing& listing) : m_(machine), listing_(listing) {}

  // The menu command: the listing is emptied before the dialog opens, so a
  // cancelled or failed load still leaves it empty.
  LoadOutcome chooseAndLoad();
  // Everything after the dialog: the extension rule, opening the file,
  // reading it and turning the raw listing lines into instructions.
  LoadOutcome loadFile(const std::string& path);
  // The load of a file named without the dialog (ORBEN started with a
  // file, as a file manager starts it): exactly what follows the choice of
  // `path` in the dialog, the listing cleared first.
  LoadOutcome loadNamed(const std::string& path);
  // Everything after the dialog for a file already read whole into memory
  // under the name `name`: the extension rule, the size limit, reading and
  // listing, as loadFile does for a file on disk.
  LoadOutcome loadBytes(const std::string& name, std::string_view bytes);
  // Reading an already opened source in the given format and finishing the
  // listing; `name` is the file name a read error is reported with.
  LoadOutcome loadSource(ObjectFormat format, const std::string& name, ByteSource& source,
                         std::uint64_t size_hint = 0);

  // The file loadFile last opened, whatever its reading came to (what
  // memory now holds of it); empty until a file is opened.
  const std::string& lastFileOpened() const { return last_file_; }

 private:
  Machine& m_;
  Listing& listing_;
  std::string last_file_;
};

}  // namespace orben
