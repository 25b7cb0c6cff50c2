#include "loader/object_readers.h"

#include <optional>

#include "disasm/listing_commands.h"
#include "loader/line_reader.h"
#include "loader/line_scanner.h"
#include "machine/machine.h"

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

// After a line: the end of the file, a read error on the way to the next
// line, or nothing (reading goes on).
std::optional<ReadResult> endOfLines(LineReader& lines) {
  if (!lines.atEnd()) return std::nullopt;
  return finish(lines, lines.failed() ? ReadOutcome::ReadError : ReadOutcome::Completed);
}

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
  const std::string_view address = record.substr(3, 4);
  const std::string_view content = record.substr(9, 4);
  listing.add(RawListingLine(address, content));
  machine.WriteMemoryWord(WordTextToValue(address), WordText(content));
}

void reportCorruptRecord(Machine& machine, Listing& listing, std::string_view text) {
  machine.showMessage(corruptRecordMessage(text));
  ClearListing(listing);
}

ReadResult ReadEhcFile(Machine& machine, Listing& listing, LineReader& lines) {
  std::uint64_t line_number = 1;
  std::string line;
  for (;;) {
    if (!lines.readLine(line)) return finish(lines, ReadOutcome::ReadError);
    line = PrepareLine(std::move(line));
    const auto record = CountWords(line) == 2 ? ehcRecord(line) : std::optional<std::string>();
    if (!record) {
      const ReadResult result = finish(lines, ReadOutcome::FormatError);
      machine.showMessage(formatErrorMessage(line_number));
      return result;
    }
    ++line_number;
    if (IsHexRecord(*record)) {
      StoreRecord(machine, listing, *record);
    } else {
      reportCorruptRecord(machine, listing, *record);
    }
    if (auto end = endOfLines(lines)) return *end;
  }
}

ReadResult ReadHexFile(Machine& machine, Listing& listing, LineReader& lines) {
  std::string line;
  for (;;) {
    if (!lines.readLine(line)) return finish(lines, ReadOutcome::ReadError);
    line = PrepareLine(std::move(line));
    if (IsHexRecord(line)) {
      StoreRecord(machine, listing, line);
    } else if (line == kHexEndRecord) {
      return finish(lines, ReadOutcome::Completed);  // nothing after it is read
    } else {
      reportCorruptRecord(machine, listing, line);
    }
    if (auto end = endOfLines(lines)) return *end;
  }
}

}  // namespace orben
