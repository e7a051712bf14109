#include "cli/split_command.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <iostream>
#include <vector>

#include "app/model/launch_checks.h"
#include "app/model/piece_sizes.h"
#include "app/model/unique_id.h"
#include "cli/console.h"
#include "cli/split_options.h"
#include "common/errors.h"
#include "common/os/os.h"
#include "common/paths.h"
#include "common/text.h"
#include "engine/custom_sizes.h"
#include "engine/split_engine.h"

namespace kvx::cli {

namespace {

int64_t SourceSize(const std::string& path) {
  TFile file(path, cmOpenExisting, amRead, smShareReadWrite);
  return file.Size();
}

std::string CurrentFolder() {
  std::vector<char> buffer(4096);
  return getcwd(buffer.data(), buffer.size()) ? std::string(buffer.data()) : std::string(".");
}

// The piece size the job asks for, after the checks that apply to its method.
void SetPieceSize(const SplitOptions& o, int64_t sourceSize, TMoteurKarvex& engine) {
  uint64_t size = 0;
  switch (o.method) {
    case SizeMethod::Proposed:
    case SizeMethod::Fixed: {
      const SizeProposal proposal = ProposePieceSize(sourceSize);
      size = o.method == SizeMethod::Fixed ? FixedPieceSize(o.sizeText, o.unit)
                                           : FixedPieceSize(proposal.sizeText, proposal.unit);
      CheckFixedPieceSize(size);
      if (static_cast<uint64_t>(sourceSize) < size && !AskYesNo(kLargerThanOriginalQuestion, true))
        RefuseLargerThanOriginal();
      CheckHeaderRoom(size, !o.noHeader);
      break;
    }
    case SizeMethod::Count:
      size = AveragePieceSize(sourceSize, *ParseInt64(o.sizeText), !o.noHeader, false);
      CheckComputedPieceSize(size);
      break;
    case SizeMethod::Listed:
    case SizeMethod::Spanned:
      return;
  }
  engine.PieceSize = static_cast<int64_t>(size);
}

// A disk or folder question on the terminal; an empty answer gives up.
void AskForFolder(int n, TPromptKind kind, int64_t size, std::string& folder) {
  std::string question;
  switch (kind) {
    case pkNextDisk: question = Format("Disk %d is required.", n); break;
    case pkFirstDisk: question = Format("Disk %d is required: the first piece is written now.", n); break;
    default:
      question = Format("Not enough free disk space or invalid piece size for piece %d (%lld byte(s)).", n,
                        static_cast<long long>(size));
  }
  const auto answer = AskLine(question + "\nFolder [" + folder + "] (Enter to go on, q to abort): ");
  if (!answer || *answer == "q") folder.clear();
  else if (!answer->empty()) folder = *answer;
}

void Configure(const SplitOptions& o, TMoteurKarvex& engine, std::vector<std::string>& listed) {
  CheckSourceExists(o.source);
  const int64_t sourceSize = SourceSize(o.source);
  engine.DestFolder = ResolveDestination(o.destination.empty() ? CurrentFolder() : o.destination, o.source);
  engine.Blocked = o.method != SizeMethod::Spanned;
  SetPieceSize(o, sourceSize, engine);
  CheckNameMask(o.mask);
  if (o.method == SizeMethod::Listed) {
    CheckCustomSizes(o.listedSizes);
    listed = o.listedSizes;
    engine.OnPieceBegin = [&listed, &engine](int n, std::string&, int64_t& size) {
      size = ListedPieceSize(listed, n, engine.Remaining, size);
    };
  }
  engine.SourceFile = o.source;
  engine.NameMask = o.mask;
  engine.NoHeader = o.noHeader;
  engine.SetTitle = o.title.empty() ? "Karvex Archive" : o.title;
  engine.Author = o.author.empty() ? "Karvex 2.0.0" : o.author;
  engine.Description = o.description;
  engine.UniqueId = o.uniqueId.empty() ? NewUniqueId() : o.uniqueId;
  engine.FirstDiskReserve = o.firstReserve;
  engine.OtherDiskReserve = o.otherReserve;
  engine.SplitDateTime = os::NowAsDateTime();
  engine.OnPrompt = AskForFolder;
}

struct PieceLine {
  int number;
  int64_t size;
  std::string path;
};

}  // namespace

int RunSplit(int argc, char** argv) {
  const SplitOptions options = ParseSplitOptions(argc, argv);
  TMoteurKarvex engine;
  std::vector<std::string> listed;
  std::vector<PieceLine> pieces;
  try {
    Configure(options, engine, listed);
    engine.OnPieceDone = [&](int n) { pieces.push_back({n, engine.CurrentPieceSize, engine.PiecePath}); };
    if (!engine.Split()) {
      std::cerr << "karvex: Splitting process aborted by user\n";
      return 1;
    }
  } catch (const std::exception& e) {
    std::cerr << "karvex: " << e.what() << "\n";
    return 1;
  }
  if (!options.quiet) {
    // Piece 1 is written last; list the set in piece order.
    std::rotate(pieces.begin(), pieces.end() - 1, pieces.end());
    std::printf("%d piece(s) written to %s\n", engine.PiecesWritten, engine.DestFolder.c_str());
    for (const auto& p : pieces)
      std::printf("  %s  (%lld bytes of the original)\n", p.path.c_str(), static_cast<long long>(p.size));
  }
  return 0;
}

}  // namespace kvx::cli
