#pragma once
// TMoteurKarvex cuts one original file into a set of piece files with their trailer records.
// Everything that needs a person or shows progress goes out through hooks; the engine itself
// never touches a window. Piece 1 is written last: its record carries the piece count and
// the checksum of the whole file.
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "common/file.h"
#include "common/memory_stream.h"
#include "common/trailers.h"

namespace kvx {

// Kind codes of OnPrompt and OnQuestion.
enum TPromptKind : uint8_t {
  pkNextDisk = 1,        // a new disk is needed for the piece named
  pkFirstDisk = 2,       // the first disk is needed again, to write piece 1
  pkNoSpace = 4,         // a blocked piece does not fit or its size came out below 1
  pkPieceNotCopied = 5,  // a piece holds fewer bytes than it should
};

class TMoteurKarvex {
 public:
  // Hooks: called only when set, all on the thread that runs Split.
  // The size (and path) to use for piece n; a size set here goes through the usual deductions.
  using PieceBeginHook = std::function<void(int n, std::string& path, int64_t& size)>;
  // Bytes the SFU program will take on the first volume (out, starts at 0).
  using SfuSizeHook = std::function<void(int64_t& size, int64_t pieceSize)>;
  // Give up (0) or go on (anything else) after a piece came out short.
  using QuestionHook = std::function<void(TPromptKind kind, int& answer, int64_t pieceNumber)>;
  using ProgressHook = std::function<void(uint16_t piecePercent, uint16_t filePercent)>;
  // folder: in, the current destination; out, the folder to go on with, empty to give up.
  using PromptHook = std::function<void(int n, TPromptKind kind, int64_t size, std::string& folder)>;
  using PieceDoneHook = std::function<void(int n)>;
  using PieceCopyHook = std::function<void(int n, const std::string& path, int64_t size)>;
  // Fills the stream with the SFU program and may give piece 1 another path.
  using MergeSfuHook = std::function<void(TMemoryStream& stream, std::string& path)>;

  TMoteurKarvex();
  ~TMoteurKarvex();

  // Runs the whole split of SourceFile into DestFolder. True when every piece was written;
  // false when the run was given up (Aborted is then set). Failures are raised as exceptions;
  // the source and any open piece file are closed on every way out, and no piece is deleted.
  bool Split();
  // The file name (no folder) of piece n from NameMask and SourceFile.
  std::string PieceFileName(int64_t n) const;

  // Run state, reset by Split.
  int32_t PiecesWritten = 0;
  int64_t CurrentPieceSize = 0;
  int32_t PieceNumber = 0;
  int64_t Remaining = 0;
  std::atomic<int64_t> TotalSize{0};  // read by the interface thread for the time estimate
  int64_t PieceBytes = 0;
  std::atomic<int64_t> DoneBytes{0};  // likewise
  std::atomic<bool> Aborted{false};   // set by any thread to stop the run
  std::string PiecePath;
  bool FinalPiece = false;
  uint32_t RunningCrc = 0;
  TPieceTrailer PieceTrailer;
  TFirstPieceTrailer FirstTrailer;

  // Settings.
  std::string SourceFile;
  std::string DestFolder;
  std::string UniqueId = "none";
  std::string NameMask = "disk{num}.kxd";
  std::string SetTitle;
  std::string Author;
  std::string Description;
  bool Blocked = true;
  bool NoHeader = false;
  int64_t PieceSize = 500000;
  int64_t FirstDiskReserve = 0;
  int64_t OtherDiskReserve = 0;
  double SplitDateTime;

  SfuSizeHook OnSfuSize;
  PieceBeginHook OnPieceBegin;
  QuestionHook OnQuestion;
  ProgressHook OnProgress;
  PromptHook OnPrompt;
  PieceDoneHook OnPieceDone;
  PieceCopyHook OnPieceCopy;
  MergeSfuHook OnMergeSfu;

 private:
  static constexpr uint32_t kBlockSize = 65536;

  bool PreparePiece(int n);
  void HandlePiece(int n);
  void ChecksumFirstPiece();
  void FillFirstTrailer();
  void FillPieceTrailer(int n);
  void WritePiece(int n, bool finalWriteOfFirst);
  bool AskForDisk(int n, TPromptKind kind, const char* fallbackText);
  void ReportProgress();

  std::unique_ptr<TFile> source_;
  std::unique_ptr<uint8_t[]> buffer_;
};

// The message boxes the engine shows when its prompt hook is not set ("Next disk required",
// "First disk required"). Replaceable: the Windows program shows a box, others print.
using FallbackMessageFn = std::function<void(const std::string& text)>;
void SetFallbackMessage(FallbackMessageFn fn);
void ShowFallbackMessage(const std::string& text);

}  // namespace kvx
