#pragma once
// The unite engine: rebuilds the original file from its pieces 1..N, finding each piece (asking
// when it is missing), recognising it by its record, copying its data and checking offset, size
// and running CRC, then checking the whole file against the first piece's record and restoring
// its dates and attributes. Every text it shows comes from the language table by index.
//
// With VerifyOnly the same walk runs without an output file: nothing is written or deleted,
// and the free-space check is left out.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "common/file.h"
#include "common/trailers.h"
#include "sfu/runtime/unite_view.h"
#include "sfu/shared/sfu_language.h"

namespace kvx {

struct TUniteInputs {
  std::string OutputPath;
  std::string FirstPiecePath;
  TFirstPieceTrailer::Bytes FirstRecord{};  // the first piece's record as read, magic included
  bool MergedFirstPiece = false;             // the SFU program comes before piece 1's data
  std::string ProgramFolder;                 // the second place to look for a piece; empty: none
  bool VerifyOnly = false;
};

// The last `Size` bytes of a file (a shorter file gives what it holds, the rest zero).
TFirstPieceTrailer::Bytes ReadFirstRecord(const std::string& path);
TPieceTrailer::Bytes ReadPieceRecord(const std::string& path);

class TUniteEngine {
 public:
  TUniteEngine(const TUniteInputs& inputs, const TSfuLanguage& texts, IUniteView& view);
  ~TUniteEngine();

  // True when the restored file is identical to the original by size and CRC; false after any
  // failure, abort or failed final check (each shown through the view).
  bool Unite();

 private:
  enum class Located { Accepted, Skipped };

  void Start();
  void UnitePiece(uint32_t i);
  Located LocatePiece(uint32_t i, std::string& candidate);
  bool Recognised(uint32_t i, const std::string& path) const;
  void CheckPiece(uint32_t i, const std::string& path);
  int64_t CopyPiece(uint32_t i, TFile& piece, int64_t expected);
  void Warn(const std::string& question);
  void Problem(const std::string& logText);
  bool Finish();
  bool Abort(const std::string& message);

  std::string T(int index) const;
  void Log(const std::string& line);
  void ShowProgress();
  [[noreturn]] void Raise(const std::string& message) const;

  const TUniteInputs& in_;
  TFirstPieceTrailer first_;
  const TSfuLanguage& texts_;
  IUniteView& view_;

  bool warningsDisabled_ = false;
  bool firstNotePending_ = true;
  uint32_t crc_ = 0;
  uint64_t total_ = 0;
  uint64_t done_ = 0;
  int64_t position_ = 0;  // where the next byte of the output goes
  int lastPercent_ = -1;
  std::string pieceFolder_;
  std::unique_ptr<TFile> output_;
  bool outputCreated_ = false;
  TPieceReport report_;
  std::unique_ptr<uint8_t[]> buffer_;
};

}  // namespace kvx
