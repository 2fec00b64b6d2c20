// albaindex: writes ALBUMS.INF, the index of the album folders of a compilation folder.
#include <csignal>
#include <cstdio>
#include <exception>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "albums_inf/index_record.h"
#include "tools/albaindex/album_scan.h"
#include "tools/albaindex/decoder_copy.h"
#include "tools/albaindex/staged_file.h"

namespace {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

constexpr const char* kUsage =
    "Usage: albaindex [--title TEXT] [--with-decoder [--force]] [FOLDER]\n"
    "Writes FOLDER/ALBUMS.INF, the index of the album folders of FOLDER (default: the\n"
    "current folder), replacing an index that is already there.\n"
    "\n"
    "  --title TEXT    compilation title, shown as the window caption (at most 255 bytes)\n"
    "  --with-decoder  also copy the installed decoder library MPEGDLL.DLL into FOLDER, so\n"
    "                  that the compilation plays where it lies (on a burnt disc, too)\n"
    "  --force         with --with-decoder: replace a different MPEGDLL.DLL already in FOLDER\n"
    "  --help          show this help and exit\n"
    "\n"
    "Every sub-folder of FOLDER whose name does not begin with '.' is an album, and so is a\n"
    "symbolic link to a folder. An album holding a folder CD1, CD2, CD3 or CD4 (any letter\n"
    "case) spans several discs. Albums are recorded sorted by name, as the bytes on disk.\n";

struct Options {
  std::optional<std::string> title;
  std::string folder = ".";
  bool withDecoder = false;
  bool force = false;
  bool help = false;
};

int UsageError(const std::string& message) {
  std::fprintf(stderr, "albaindex: %s\n%s", message.c_str(), kUsage);
  return kExitUsage;
}

int Failure(const std::string& message) {
  std::fprintf(stderr, "albaindex: %s\n", message.c_str());
  return kExitFailure;
}

// Fills `options`; returns an error text for a command line that makes no sense.
std::string ParseArguments(const std::vector<std::string_view>& args, Options& options) {
  bool folderGiven = false;
  bool optionsEnded = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string_view arg = args[i];
    if (!optionsEnded && (arg == "--help" || arg == "-h")) {
      options.help = true;
    } else if (!optionsEnded && (arg == "--title" || arg.starts_with("--title="))) {
      if (options.title) return "--title given twice";
      if (arg == "--title") {
        if (i + 1 == args.size()) return "--title needs a text";
        options.title = std::string(args[++i]);
      } else {
        options.title = std::string(arg.substr(8));
      }
    } else if (!optionsEnded && arg == "--with-decoder") {
      options.withDecoder = true;
    } else if (!optionsEnded && arg == "--force") {
      options.force = true;
    } else if (!optionsEnded && arg == "--") {
      optionsEnded = true;
    } else if (!optionsEnded && arg.size() > 1 && arg.front() == '-') {
      return "unknown option '" + std::string(arg) + "'";
    } else {
      if (folderGiven) return "only one FOLDER may be given";
      options.folder = std::string(arg);
      folderGiven = true;
    }
  }
  if (options.folder.empty()) return "FOLDER is empty";
  if (options.force && !options.withDecoder) return "--force only goes with --with-decoder";
  return {};
}

// True when the program would skip the name: nothing is left after trimming bytes <= 32.
bool BlankName(std::string_view name) {
  for (char c : name)
    if (static_cast<unsigned char>(c) > 32) return false;
  return true;
}

// Writes the index and, when `decoderPlan` says so, the decoder library: both are written to
// temporary files first and put in place together, or neither is. Returns why it failed, or "".
std::string WriteFiles(const Options& options, const std::vector<std::uint8_t>& index, const std::string& decoder,
                       const albaindex::DecoderPlan& decoderPlan) {
  albaindex::StagedFile indexFile(options.folder, options.folder + "/" + albaindex::kIndexName);
  std::string error = indexFile.Write(index, albaindex::NewFileMode());
  if (!error.empty()) return error;
  std::vector<albaindex::StagedFile*> files;
  std::optional<albaindex::StagedFile> decoderFile;
  if (options.withDecoder && decoderPlan.copy) {
    const auto library = albaindex::ReadDecoder(decoder, error);
    if (!library) return error;
    decoderFile.emplace(options.folder, decoderPlan.target);
    error = decoderFile->Write(*library, albaindex::kLibraryMode);
    if (!error.empty()) return error;
    // The library first: the program never finds the new index without it.
    files.push_back(&*decoderFile);
  }
  files.push_back(&indexFile);
  return albaindex::CommitTogether(files, options.folder);
}

int Run(const Options& options) {
  // The decoder library is checked before anything is written, so a refusal leaves FOLDER as it was.
  std::string decoder;
  albaindex::DecoderPlan decoderPlan;
  if (options.withDecoder) {
    decoder = albaindex::InstalledDecoder();
    if (decoder.empty())
      return Failure("no installed decoder library MPEGDLL.DLL found beside albaindex or in its installation");
    decoderPlan = albaindex::PlanDecoderCopy(options.folder, decoder, options.force);
    if (!decoderPlan.error.empty()) return Failure(decoderPlan.error);
  }

  std::vector<std::uint8_t> index;
  // An empty title would leave the window without a caption: it is written as "no title".
  const bool titled = options.title && !options.title->empty();
  if (!albums_inf::AppendRecord(index, titled ? *options.title : "", titled ? albums_inf::kTitleFlag : 0))
    return Failure("the title is longer than 255 bytes (" + std::to_string(options.title->size()) + " bytes)");

  const albaindex::AlbumScan scan = albaindex::ScanAlbums(options.folder);
  if (!scan.error.empty()) return Failure(scan.error);
  for (const albaindex::Album& album : scan.albums) {
    if (!albums_inf::AppendRecord(index, album.name,
                                  album.multiDisc ? albums_inf::kMultiDisc : albums_inf::kSingleDisc))
      return Failure("album folder name longer than 255 bytes: '" + album.name + "'");
    if (BlankName(album.name))
      std::fprintf(stderr, "albaindex: warning: album folder '%s' has a blank name; the program does not list it\n",
                   album.name.c_str());
  }

  const std::string writeError = WriteFiles(options, index, decoder, decoderPlan);
  if (!writeError.empty()) return Failure(writeError);

  if (scan.albums.empty())
    std::fprintf(stderr,
                 "albaindex: warning: no album folders in '%s'; the index holds only its header, and the "
                 "program needs at least one album record to load it\n",
                 options.folder.c_str());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string_view> args(argv + (argc > 0 ? 1 : 0), argv + argc);
  Options options;
  const std::string usageError = ParseArguments(args, options);
  if (options.help) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  if (!usageError.empty()) return UsageError(usageError);
  // A file larger than the process may write is a write error, not the end of the program.
  std::signal(SIGXFSZ, SIG_IGN);
  try {
    return Run(options);
  } catch (const std::exception& error) {
    return Failure(error.what());
  }
}
