#include "cli/unite_command.h"

#include <getopt.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "cli/console_unite_view.h"
#include "cli/usage_error.h"
#include "common/file.h"
#include "common/os/os.h"
#include "common/paths.h"
#include "sfu/runtime/output_name.h"
#include "sfu/runtime/text_args.h"
#include "sfu/runtime/unite_engine.h"

namespace kvx::cli {

namespace {

struct UniteOptions {
  std::string firstPiece;
  std::string output;
  bool force = false;
};

UniteOptions ParseUniteOptions(int argc, char** argv, bool withOutput) {
  static const option kLong[] = {{"output", required_argument, nullptr, 'o'},
                                 {"force", no_argument, nullptr, 'f'},
                                 {nullptr, 0, nullptr, 0}};
  UniteOptions options;
  optind = 1;
  opterr = 0;
  for (int c; (c = getopt_long(argc, argv, withOutput ? ":o:" : ":", withOutput ? kLong : kLong + 2, nullptr)) != -1;) {
    switch (c) {
      case 'o': options.output = optarg; break;
      case 'f': options.force = true; break;
      case ':': throw UsageError(std::string("option needs a value: ") + argv[optind - 1]);
      default: throw UsageError(std::string("unknown option: ") + argv[optind - 1]);
    }
  }
  if (optind != argc - 1) throw UsageError("expected one first piece file");
  options.firstPiece = argv[optind];
  return options;
}

std::string CurrentFolder() {
  std::vector<char> buffer(4096);
  return getcwd(buffer.data(), buffer.size()) ? std::string(buffer.data()) : std::string(".");
}

// OUTPUT as typed when it names a file; a folder (or no OUTPUT) gets the original's name from
// the record, reduced to a plain name so that the file stays in that folder.
std::string OutputPath(const std::string& output, const TFirstPieceTrailer& first) {
  if (output.empty()) return RestoredFilePath(CurrentFolder(), first.FileName);
  if (os::DirectoryExists(output)) return RestoredFilePath(output, first.FileName);
  return output;
}

// Data before the record and its PieceSize bytes is an SFU program merged into piece 1.
bool HasProgramInFront(const std::string& path, const TFirstPieceTrailer& first) {
  TFile file(path, cmOpenExisting, amRead, smExclusive);
  return static_cast<uint64_t>(file.Size()) > first.PieceSize + TFirstPieceTrailer::kSize;
}

int Run(const UniteOptions& o, bool verifyOnly) {
  TUniteInputs in;
  in.FirstPiecePath = o.firstPiece;
  in.VerifyOnly = verifyOnly;
  try {
    in.FirstRecord = ReadFirstRecord(o.firstPiece);
    const TFirstPieceTrailer first = TFirstPieceTrailer::Parse(in.FirstRecord);
    in.MergedFirstPiece = HasProgramInFront(o.firstPiece, first);
    if (!verifyOnly) {
      in.OutputPath = OutputPath(o.output, first);
      if (os::FileExists(in.OutputPath) && !o.force) {
        std::fprintf(stderr, "karvex: %s already exists (--force replaces it)\n", in.OutputPath.c_str());
        return 1;
      }
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "karvex: %s\n", e.what());
    return 1;
  }
  const TSfuLanguage texts = EnglishTexts();
  ConsoleUniteView view(!verifyOnly);
  TUniteEngine engine(in, texts, view);
  const bool intact = engine.Unite();
  if (verifyOnly) std::printf("%s\n", intact ? "Result: the set is intact." : "Result: the set is NOT intact.");
  return intact ? 0 : 1;
}

}  // namespace

int RunUnite(int argc, char** argv) { return Run(ParseUniteOptions(argc, argv, true), false); }

int RunVerify(int argc, char** argv) { return Run(ParseUniteOptions(argc, argv, false), true); }

}  // namespace kvx::cli
