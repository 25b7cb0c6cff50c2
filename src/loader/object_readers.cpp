#include "loader/object_readers.h"

#include <optional>

#include "disasm/listing_commands.h"
#include "loader/line_reader.h"
#include "loader/line_scanner.h"
#include "machine/machine.h"
#include "machine/user_interface.h"

namespace orben {

namespace {

// The reader is done with its source either way; the file is let go before
// any message box, so it is not held open while the user reads it.
ReadResult finish(LineReader& lines, ReadOutcome outcome) {
  ReadResult result{outcome, {}};
  if (outcome == ReadOutcome::ReadError) result.error = lines.error();
  lines.close();
  return result;
}

// How reading ended when no further line came: stopped by the user, cut by
// a read error, or at the end of the bytes.
ReadOutcome stopOf(const LineReader& lines) {
  if (lines.cancelled()) return ReadOutcome::Stopped;
  return lines.failed() ? ReadOutcome::ReadError : ReadOutcome::Completed;
}

// After a line: the end of the file, a read error or a stop on the way to
// the next line, or nothing (reading goes on).
std::optional<ReadResult> endOfLines(LineReader& lines) {
  if (!lines.atEnd()) return std::nullopt;
  return finish(lines, stopOf(lines));
}

// The longest prepared EHC line: two words of four digits and a space.
constexpr std::uint64_t kLongestEhcLine = 9;

// ":02" + address + "00" + content + "EF": the one-word data record an EHC
// line stands for. Nothing when either word has more than four characters.
std::optional<std::string> ehcRecord(std::string_view prepared) {
  const auto address = PadLeft(GetWord(prepared, 1), 4, '0');
  if (!address) return std::nullopt;
  const auto content = PadLeft(GetWord(prepared, 2), 4, '0');
  if (!content) return std::nullopt;
  return ":02" + *address + "00" + *content + "EF";
}

}  // namespace

std::string formatErrorMessage(std::uint64_t line_number) {
  return "Error: Formato incorrecto en la línea " + std::to_string(line_number) +
         ". Cada línea debe contener Dirección y Contenido";
}

std::string corruptRecordMessage(std::string_view text) {
  constexpr std::string_view kHead = "ERROR: Archivo HEX corrupto\rMire la línea: (";
  constexpr std::string_view kCut = "…";
  // A box holding megabytes of one line would freeze the desktop: a long
  // line is quoted by its beginning.
  const bool cut = text.size() > kQuotedLineLimit;
  if (cut) text = text.substr(0, kQuotedLineLimit);
  std::string message;
  message.reserve(kHead.size() + text.size() + kCut.size() + 1);
  message += kHead;
  message += text;
  if (cut) message += kCut;
  message += ')';
  return message;
}

void StoreRecord(Machine& machine, Listing& listing, std::string_view record) {
  if (record.empty()) return;
  const int address = WordTextToValue(record.substr(3, 4));
  const std::string_view content = record.substr(9, 4);
  listing.add(static_cast<std::uint16_t>(address),
              static_cast<std::uint16_t>(WordTextToValue(content)), Listing::Form::Raw);
  machine.WriteMemoryWord(address, WordText(content));
}

void CorruptLineNotices::report(Machine& machine, Listing& listing, std::string_view text) {
  const std::string message = corruptRecordMessage(text);
  if (shown_ < kPlainBoxes) {
    ++shown_;
    machine.showMessage(message);
  } else if (!skipping_) {
    skipping_ = machine.ui().showMessageOrSkipRest(message);
  }
  ClearListing(listing);
}

ReadResult ReadEhcFile(Machine& machine, Listing& listing, LineReader& lines,
                       CorruptLineNotices& notices) {
  std::uint64_t line_number = 1;
  PreparedLine line;
  for (;;) {
    if (!lines.readLine(line, kLongestEhcLine)) return finish(lines, stopOf(lines));
    const auto record =
        line.complete() && line.words == 2 ? ehcRecord(line.text) : std::optional<std::string>();
    if (!record) {
      const ReadResult result = finish(lines, ReadOutcome::FormatError);
      machine.showMessage(formatErrorMessage(line_number));
      return result;
    }
    ++line_number;
    if (IsHexRecord(*record)) {
      StoreRecord(machine, listing, *record);
    } else {
      notices.report(machine, listing, *record);
    }
    if (auto end = endOfLines(lines)) return *end;
  }
}

ReadResult ReadHexFile(Machine& machine, Listing& listing, LineReader& lines,
                       CorruptLineNotices& notices) {
  PreparedLine line;
  for (;;) {
    if (!lines.readLine(line)) return finish(lines, stopOf(lines));
    // A line longer than what is kept is neither a record nor the end
    // record; its quote needs only its beginning.
    const bool complete = line.complete();
    if (complete && IsHexRecord(line.text)) {
      StoreRecord(machine, listing, line.text);
    } else if (complete && line.text == kHexEndRecord) {
      return finish(lines, ReadOutcome::Completed);  // nothing after it is read
    } else {
      notices.report(machine, listing, line.text);
    }
    if (auto end = endOfLines(lines)) return *end;
  }
}

}  // namespace orben
