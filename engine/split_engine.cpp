#include "engine/split_engine.h"

#include <algorithm>

#include "common/checked_copy.h"
#include "common/crc32.h"
#include "common/disk.h"
#include "common/errors.h"
#include "common/os/os.h"
#include "common/paths.h"
#include "common/piece_names.h"

namespace kvx {

TMoteurKarvex::TMoteurKarvex()
    : SplitDateTime(os::NowAsDateTime()), buffer_(new uint8_t[kBlockSize]) {}

TMoteurKarvex::~TMoteurKarvex() = default;

std::string TMoteurKarvex::PieceFileName(int64_t n) const { return ExpandPieceName(NameMask, n, SourceFile); }

bool TMoteurKarvex::Split() {
  source_.reset();
  source_ = std::make_unique<TFile>(SourceFile, cmOpenExisting, amRead, smExclusive);
  struct CloseSource {
    std::unique_ptr<TFile>& file;
    ~CloseSource() { file.reset(); }
  } closeSource{source_};

  Aborted = false;
  TotalSize = source_->Size();
  Remaining = TotalSize;
  DoneBytes = 0;
  PieceBytes = 0;
  FinalPiece = false;
  PieceNumber = 1;
  std::string savedPath;
  int64_t savedSize = 0;

  for (;;) {
    HandlePiece(PieceNumber);
    if (PieceNumber == 1) {
      savedPath = PiecePath;
      savedSize = CurrentPieceSize;
    }
    if (Aborted || Remaining <= 0) break;
    if (PieceNumber == 1 && !Blocked && !AskForDisk(2, pkNextDisk, "Next disk required")) break;
    ++PieceNumber;
  }
  if (Aborted) return false;
  if (!Blocked && !AskForDisk(1, pkFirstDisk, "First disk required")) return false;

  PieceNumber = 1;
  PiecePath = savedPath;
  CurrentPieceSize = savedSize;
  source_->Seek(0, 0);
  WritePiece(1, true);
  return !Aborted;
}

// Asks for a disk through OnPrompt; an empty answer gives up. The next-disk answer becomes
// the destination; the first-disk answer is not used (piece 1 keeps its saved path).
bool TMoteurKarvex::AskForDisk(int n, TPromptKind kind, const char* fallbackText) {
  if (!OnPrompt) {
    ShowFallbackMessage(fallbackText);
    return true;
  }
  std::string folder = DestFolder;
  OnPrompt(n, kind, 0, folder);
  if (folder.empty()) {
    Aborted = true;
    return false;
  }
  if (kind == pkNextDisk) DestFolder = folder;
  return true;
}

bool TMoteurKarvex::PreparePiece(int n) {
  for (;;) {
    if (!os::DirectoryExists(DestFolder)) {
      if (DestFolder.empty()) throw EKarvexError("Unable to create directory");
      os::ForceDirectories(DestFolder);  // a failure shows in the free-space query below
    }
    PiecePath = AddBackslash(DestFolder) + PieceFileName(n);
    int64_t size = Blocked ? PieceSize : FolderFreeSpace(DestFolder);
    if (OnPieceBegin) OnPieceBegin(n, PiecePath, size);
    size -= n == 1 ? FirstDiskReserve : OtherDiskReserve;
    if (!NoHeader) size -= n == 1 ? TFirstPieceTrailer::kSize : TPieceTrailer::kSize;
    if (n == 1 && OnSfuSize) {
      int64_t sfuSize = 0;
      OnSfuSize(sfuSize, size);
      size -= sfuSize;
    }
    if (size >= 1 && FolderFreeSpace(DestFolder) >= size) {
      FinalPiece = size > Remaining;
      CurrentPieceSize = std::min(size, Remaining);
      return true;
    }
    if (!OnPrompt) throw EKarvexError("Not enough space on the destination disk or invalid piece size");
    std::string folder = DestFolder;
    OnPrompt(n, Blocked ? pkNoSpace : pkNextDisk, Blocked ? size : 0, folder);
    if (folder.empty()) {
      Aborted = true;
      return false;
    }
    DestFolder = folder;
  }
}

void TMoteurKarvex::HandlePiece(int n) {
  if (!PreparePiece(n)) return;
  if (OnPieceCopy) OnPieceCopy(n, PiecePath, CurrentPieceSize);
  if (n == 1) {
    FillFirstTrailer();
    ChecksumFirstPiece();
  } else {
    FillPieceTrailer(n);
    WritePiece(n, false);
  }
}

void TMoteurKarvex::FillFirstTrailer() {
  const os::DosFileDates dates = os::GetFileDosDates(source_->Handle());
  FirstTrailer = TFirstPieceTrailer();
  FirstTrailer.FileName = ExtractFileName(SourceFile);
  FirstTrailer.FileDate = dates.lastWrite;
  FirstTrailer.FileSize = static_cast<uint64_t>(TotalSize.load());
  FirstTrailer.FileAttributes = os::FileAttributesOf(SourceFile);
  FirstTrailer.Spanned = Blocked ? 0 : 1;
  FirstTrailer.SetTitle = SetTitle;
  FirstTrailer.Author = Author;
  FirstTrailer.Description = Description;
  FirstTrailer.SplitDateTime = SplitDateTime;
  FirstTrailer.UniqueId = UniqueId;
  FirstTrailer.NameMask = NameMask;
  FirstTrailer.PieceSize = static_cast<uint64_t>(CurrentPieceSize);
  FirstTrailer.CreationDate = dates.creation;
}

void TMoteurKarvex::FillPieceTrailer(int n) {
  PieceTrailer = TPieceTrailer();
  PieceTrailer.FileName = ExtractFileName(SourceFile);
  PieceTrailer.SetTitle = SetTitle;
  PieceTrailer.UniqueId = UniqueId;
  PieceTrailer.PieceSize = static_cast<uint64_t>(CurrentPieceSize);
  PieceTrailer.Offset = static_cast<uint64_t>(source_->Position());
  PieceTrailer.PieceNumber = static_cast<uint32_t>(n);
  PieceTrailer.FinalPiece = FinalPiece ? 1 : 0;
}

// Piece 1 is not written now: its bytes only start the register, and the source is left
// where piece 2 begins.
void TMoteurKarvex::ChecksumFirstPiece() {
  RunningCrc = CrcInit;
  for (int64_t left = CurrentPieceSize; left > 0;) {
    const auto block = static_cast<uint32_t>(std::min<int64_t>(left, kBlockSize));
    source_->ReadExact(buffer_.get(), block);
    RunningCrc = UpdateCrcLong(buffer_.get(), block, RunningCrc);
    PieceBytes += block;
    left -= block;
    ReportProgress();
  }
  FirstTrailer.LastCrc = RunningCrc;
  Remaining -= CurrentPieceSize;
}

void TMoteurKarvex::WritePiece(int n, bool finalWriteOfFirst) {
  PieceBytes = 0;
  ReportProgress();
  TMemoryStream sfu;
  if (n == 1) {
    if (OnMergeSfu) OnMergeSfu(sfu, PiecePath);
    if (OnPieceCopy) OnPieceCopy(1, PiecePath, CurrentPieceSize);
  }
  auto file = std::make_unique<TFile>(PiecePath, cmCreateAlways, amWrite, smExclusive);
  TFile& piece = *file;
  // Claim the whole size at once, so that a full volume fails before the copy.
  piece.Seek(0, static_cast<int64_t>(sfu.Size()) + CurrentPieceSize);
  piece.Truncate();
  piece.SeekStart(0);
  if (sfu.Size() > 0) {
    for (size_t at = 0; at < sfu.Size();) {
      const auto block = static_cast<uint32_t>(std::min<size_t>(sfu.Size() - at, kBlockSize));
      piece.Write(sfu.Bytes().data() + at, block);
      at += block;
    }
    sfu.Clear();
  }

  const bool checksum = !NoHeader && !finalWriteOfFirst;
  const auto afterBlock = [this](uint32_t block) {
    PieceBytes += block;
    DoneBytes += block;
    if (Aborted) return false;
    ReportProgress();
    return true;
  };
  int64_t copied = 0;
  if (checksum) {
    copied = CopyWithCrc(*source_, piece, CurrentPieceSize, RunningCrc, afterBlock);
  } else {
    // Nothing to checksum: the bytes need not come through here.
    while (copied < CurrentPieceSize) {
      const auto block = static_cast<uint32_t>(std::min<int64_t>(CurrentPieceSize - copied, kBlockSize));
      source_->CopyTo(piece, block);
      copied += block;
      if (!afterBlock(block)) break;
    }
  }
  if (Aborted) return;  // the partial piece stays on disk, without a record

  if (copied < CurrentPieceSize) {
    if (!OnQuestion) throw EKarvexError("Piece not fully copied; the piece will be corrupted!");
    int answer = 0;
    OnQuestion(pkPieceNotCopied, answer, n);
    if (answer == 0) {
      Aborted = true;
      return;
    }
  }
  if (!NoHeader) {
    if (n == 1) {
      FirstTrailer.PieceCount = static_cast<uint32_t>(PiecesWritten + 1);
      FirstTrailer.FileCrc = RunningCrc;
      const auto record = FirstTrailer.Serialize();
      piece.Write(record.data(), record.size());
    } else {
      PieceTrailer.LastCrc = RunningCrc;
      const auto record = PieceTrailer.Serialize();
      piece.Write(record.data(), record.size());
    }
  }
  if (n != 1) Remaining -= copied;
  file.reset();
  ++PiecesWritten;
  if (OnPieceDone) OnPieceDone(n);
}

void TMoteurKarvex::ReportProgress() {
  if (!OnProgress) return;
  const int64_t total = TotalSize;
  const auto piecePercent = CurrentPieceSize > 0 ? PieceBytes * 100 / CurrentPieceSize : 0;
  const auto filePercent = total > 0 ? DoneBytes * 100 / total : 0;
  OnProgress(static_cast<uint16_t>(piecePercent), static_cast<uint16_t>(filePercent));
}

}  // namespace kvx
