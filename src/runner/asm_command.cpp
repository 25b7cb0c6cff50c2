#include "runner/asm_command.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <vector>

#include "assembler/assembler.h"
#include "assembler/object_name.h"
#include "assembler/object_writers.h"
#include "assembler/source_file.h"
#include "session/diagnostic_printer.h"
#include "text/catalog.h"

namespace orben::runner {

namespace {

namespace fs = std::filesystem;
using namespace orben::assembler;
using session::DiagnosticPrinter;

// A file written under a temporary name beside `path` and renamed over it
// by commit(); removed when it goes without a commit. error() is the
// system's reason or one of ours, kept in English: it is shown through tr.
class ReplacingFile {
 public:
  explicit ReplacingFile(const std::string& path) : path_(path) {
    std::string pattern = path + ".XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const int fd = ::mkstemp(name.data());
    if (fd < 0) {
      error_ = std::strerror(errno);
      return;
    }
    temporary_ = name.data();
    ::fchmod(fd, modeFor(path));
    ::close(fd);
    stream_.open(temporary_, std::ios::binary | std::ios::trunc);
    if (!stream_) error_ = N_("cannot open a temporary file beside it");
  }
  ReplacingFile(const ReplacingFile&) = delete;
  ReplacingFile& operator=(const ReplacingFile&) = delete;
  ~ReplacingFile() {
    if (!temporary_.empty()) ::unlink(temporary_.c_str());
  }

  bool good() const { return error_.empty(); }
  const std::string& error() const { return error_; }
  std::ostream& stream() { return stream_; }

  bool commit() {
    stream_.flush();
    if (!stream_) error_ = std::strerror(errno != 0 ? errno : EIO);
    stream_.close();
    if (error_.empty() && std::rename(temporary_.c_str(), path_.c_str()) != 0) {
      error_ = std::strerror(errno);
    }
    if (error_.empty()) temporary_.clear();
    return error_.empty();
  }

 private:
  // An existing file keeps its permissions; a new one gets what the
  // process's umask allows.
  static mode_t modeFor(const std::string& path) {
    struct stat existing {};
    if (::stat(path.c_str(), &existing) == 0) return existing.st_mode & 07777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
  }

  std::string path_;
  std::string temporary_;
  std::ofstream stream_;
  std::string error_;
};

bool SameFile(const std::string& a, const std::string& b) {
  std::error_code ignored;
  if (fs::equivalent(a, b, ignored)) return true;
  return fs::weakly_canonical(a, ignored) == fs::weakly_canonical(b, ignored);
}

// tuka2's line for a file it could not write, in the current language; the
// reason is the system's or one of ours.
std::string CannotWrite(const std::string& file, const std::string& reason) {
  return "tuka2: " + trf("cannot write {0}: {1}", file, tr(reason));
}

// What an assembly without errors wrote, in the current language: its
// words and where, and its warnings when there were any.
std::string WrittenLine(const std::string& source, const std::string& object,
                        const AssemblyResult& result) {
  const bool one_word = result.words == 1;
  std::string_view pattern;
  switch (result.warnings) {
    case 0:
      pattern = one_word ? N_("{0}: {1} word to {2}") : N_("{0}: {1} words to {2}");
      break;
    case 1:
      pattern = one_word ? N_("{0}: {1} word to {2}, {3} warning")
                         : N_("{0}: {1} words to {2}, {3} warning");
      break;
    default:
      pattern = one_word ? N_("{0}: {1} word to {2}, {3} warnings")
                         : N_("{0}: {1} words to {2}, {3} warnings");
      break;
  }
  return trf(pattern, source, result.words, object, result.warnings);
}

}  // namespace

int asmCommand(const Options& options, std::ostream& out, std::ostream& err) {
  const std::string& source = options.file;
  const std::string output = options.output.empty() ? DefaultObjectName(source) : options.output;
  for (const std::string* target : {&output, &options.listing}) {
    if (target->empty()) continue;
    if (SameFile(*target, source)) {
      err << "tuka2: " << trf("{0} would replace the source; name another file", *target) << '\n';
      return 2;
    }
  }
  if (!options.listing.empty() && SameFile(options.listing, output)) {
    err << "tuka2: " << trf("the listing and the object file cannot both be {0}", output) << '\n';
    return 2;
  }
  const auto format = objectFormatOfName(output);
  if (!format) {
    err << "tuka2: " << trf("{0}: object files must end in .EHC or .HEX", output) << '\n';
    return 2;
  }
  std::string reason;
  const auto text = ReadSourceFile(source, reason);
  if (!text) {
    err << "tuka2: " << trf("cannot read {0}: {1}", source, tr(reason)) << '\n';
    return 2;
  }
  ReplacingFile object(output);
  std::optional<ReplacingFile> listing;
  if (!options.listing.empty()) listing.emplace(options.listing);
  for (const auto* file : {&object, listing ? &*listing : nullptr}) {
    if (file != nullptr && !file->good()) {
      err << CannotWrite(file == &object ? output : options.listing, file->error()) << '\n';
      return 2;
    }
  }
  DiagnosticPrinter printer(source, err);
  ObjectWriter writer(*format, object.stream());
  std::optional<ListingWriter> listing_writer;
  std::vector<AssemblyOutput*> outputs{&printer, &writer};
  if (listing) outputs.push_back(&listing_writer.emplace(listing->stream()));
  OutputFan fan(outputs);
  const AssemblyResult result = Assemble(*text, fan);
  if (!result.ok()) {
    err << (result.errors == 1 ? trf("{0}: {1} error, nothing written", source, result.errors)
                               : trf("{0}: {1} errors, nothing written", source, result.errors))
        << '\n';
    return 1;
  }
  writer.finish();
  if (listing_writer) listing_writer->names(result.names);
  if (!object.commit()) {
    err << CannotWrite(output, object.error()) << '\n';
    return 2;
  }
  if (listing && !listing->commit()) {
    err << CannotWrite(options.listing, listing->error()) << '\n';
    return 2;
  }
  if (options.output.empty()) {
    for (const std::string& other : OtherSpellings(output))
      err << trf("{0} is also here and was not changed", other) << '\n';
  }
  out << WrittenLine(source, output, result) << '\n';
  return 0;
}

}  // namespace orben::runner
