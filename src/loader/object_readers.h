#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace orben {

class LineReader;
class Listing;
class Machine;

inline constexpr std::string_view kHexEndRecord = ":00000001FF";

// How a reader ended. Reading stops early only on an EHC line without its
// address and content pair, when the file cannot be read further, or when
// the user stops a long load.
enum class ReadOutcome : std::uint8_t {
  Completed,    // end of the file, or the HEX end record
  FormatError,  // an EHC line without exactly an address and a content
  ReadError,    // the bytes could not be read; `error` gives the reason
  Stopped,      // the user stopped reading; what was read stays
};

struct ReadResult {
  ReadOutcome outcome = ReadOutcome::Completed;
  std::string error;
};

// "Error: Formato incorrecto en la línea <n>. Cada línea debe contener
// Dirección y Contenido", n counted from 1.
std::string formatErrorMessage(std::uint64_t line_number);
// The most characters of a corrupt line that its message quotes.
inline constexpr std::size_t kQuotedLineLimit = 200;
// "ERROR: Archivo HEX corrupto\rMire la línea: (<text>)"; a text longer than
// 200 characters is quoted as its first 200 followed by "…".
std::string corruptRecordMessage(std::string_view text);

// Stores one record that passed IsHexRecord: the empty text does nothing;
// otherwise the raw listing line "[aaaa]: cccc" is added first and the word
// written second, so a word refused in the monitor's area keeps its line.
void StoreRecord(Machine& machine, Listing& listing, std::string_view record);
// The lines of one load that are not records: each its message, then the
// listing is emptied; words already written stay and reading goes on. The
// first ten messages are plain boxes; from the eleventh on the box offers
// "Omitir los demás avisos", after which the rest of the load shows none,
// with memory and listing just as if every box had been closed.
class CorruptLineNotices {
 public:
  static constexpr int kPlainBoxes = 10;
  void report(Machine& machine, Listing& listing, std::string_view text);

 private:
  int shown_ = 0;
  bool skipping_ = false;
};

// An EHC file: every line one address and one content word of one to four
// hex digits. Stops at the first line without exactly that pair, with its
// number in the message. The source is let go before returning.
ReadResult ReadEhcFile(Machine& machine, Listing& listing, LineReader& lines,
                       CorruptLineNotices& notices);
// An Intel HEX file of one-word records: blank and comment lines are
// skipped, other bad lines reported and passed over, and the end record
// stops reading. The source is let go before returning.
ReadResult ReadHexFile(Machine& machine, Listing& listing, LineReader& lines,
                       CorruptLineNotices& notices);

}  // namespace orben
