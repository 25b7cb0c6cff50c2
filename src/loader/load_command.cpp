#include "loader/load_command.h"

#include <algorithm>

#include "disasm/listing_commands.h"
#include "loader/line_reader.h"
#include "loader/line_scanner.h"
#include "loader/object_readers.h"
#include "machine/machine.h"
#include "machine/user_interface.h"

namespace orben {

std::optional<ObjectFormat> objectFormatOfName(std::string_view name) {
  const std::string extension =
      UpperCaseText(std::string(name.size() > 4 ? name.substr(name.size() - 4) : name));
  if (extension == ".HEX") return ObjectFormat::Hex;
  if (extension == ".EHC") return ObjectFormat::Ehc;
  return std::nullopt;
}

FileRequest objectFileRequest() {
  return FileRequest{"EHC", std::string(kObjectFileFilter), std::string(kObjectFileTitle)};
}

std::string fileErrorMessage(std::string_view file_name, std::string_view reason) {
  std::string text = "Error de entrada/salida: ";
  text.append(file_name).append("\r").append(tr(reason, Language::Spanish));
  return text;
}

LoadOutcome LoadCommand::chooseAndLoad() {
  const FileRequest request = objectFileRequest();
  ClearListing(listing_);
  const auto name = m_.ui().askObjectFile(request);
  if (!name) return LoadOutcome::Cancelled;
  return loadFile(*name);
}

LoadOutcome LoadCommand::loadNamed(const std::string& path) {
  ClearListing(listing_);
  return loadFile(path);
}

LoadOutcome LoadCommand::loadFile(const std::string& path) {
  const auto format = objectFormatOfName(path);
  if (!format) {
    m_.showMessage(kBadExtensionMessage);
    return LoadOutcome::BadExtension;
  }
  FileSource file;
  if (!file.open(path)) {
    m_.ui().reportFileError(path, file.error());
    return LoadOutcome::FileError;
  }
  last_file_ = path;
  return loadSource(*format, path, file, file.sizeHint());
}

LoadOutcome LoadCommand::loadBytes(const std::string& name, std::string_view bytes) {
  const auto format = objectFormatOfName(name);
  if (!format) {
    m_.showMessage(kBadExtensionMessage);
    return LoadOutcome::BadExtension;
  }
  if (bytes.size() > kLargestObjectInMemory) {
    m_.ui().reportFileError(name, kObjectTooLarge);
    return LoadOutcome::FileError;
  }
  MemorySource source(bytes);
  return loadSource(*format, name, source, bytes.size());
}

LoadOutcome LoadCommand::loadSource(ObjectFormat format, const std::string& name,
                                    ByteSource& source, std::uint64_t size_hint) {
  // A block no larger than the file needs (at least a page), so that a
  // short program does not clear a whole megabyte to be read.
  constexpr std::uint64_t kSmallestBlock = 4096;
  const std::uint64_t block =
      size_hint == 0 ? LineReader::kBlockSize
                     : std::min<std::uint64_t>(LineReader::kBlockSize,
                                               std::max(kSmallestBlock, size_hint + 1));
  LineReader lines(source, static_cast<std::size_t>(block));
  UserInterface& ui = m_.ui();
  lines.onProgress(
      [&ui, size_hint](std::uint64_t done) { return ui.showLoadProgress(done, size_hint); });
  CorruptLineNotices notices;
  const ReadResult result = format == ObjectFormat::Hex ? ReadHexFile(m_, listing_, lines, notices)
                                                        : ReadEhcFile(m_, listing_, lines, notices);
  ui.endLoadProgress();
  switch (result.outcome) {
    case ReadOutcome::ReadError:
      // The words read before the failure stay, with their raw lines.
      m_.ui().reportFileError(name, result.error);
      return LoadOutcome::FileError;
    case ReadOutcome::FormatError:
      // The raw lines stay as they are: no disassembly after a format error.
      return LoadOutcome::FormatError;
    case ReadOutcome::Stopped:
    case ReadOutcome::Completed:
      break;
  }
  if (listing_.count() > 0) RebuildListing(listing_);
  return result.outcome == ReadOutcome::Stopped ? LoadOutcome::Stopped : LoadOutcome::Loaded;
}

}  // namespace orben
