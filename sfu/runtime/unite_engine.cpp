#include "sfu/runtime/unite_engine.h"

#include <algorithm>
#include <cstring>
#include <exception>

#include "common/checked_copy.h"
#include "common/crc32.h"
#include "common/disk.h"
#include "common/errors.h"
#include "common/os/os.h"
#include "common/paths.h"
#include "common/piece_names.h"
#include "common/text.h"
#include "sfu/runtime/text_args.h"

namespace kvx {

namespace {

constexpr uint32_t kBlockSize = 65536;

template <size_t N>
std::array<uint8_t, N> ReadRecordAtEnd(TFile& file) {
  std::array<uint8_t, N> record{};
  file.Seek(0, std::max<int64_t>(0, file.Size() - static_cast<int64_t>(N)));
  uint32_t got = 0;
  while (got < N) {
    const uint32_t n = file.Read(record.data() + got, static_cast<uint32_t>(N) - got);
    if (n == 0) break;
    got += n;
  }
  return record;
}

bool HasMagicIgnoringCase(const TFirstPieceTrailer::Bytes& record) {
  return record[0] == 6 && SameTextAscii(std::string(record.begin() + 1, record.begin() + 7), "KARVEX");
}

// The drive of a path as a person names it (C:, \\server\share), else its folder.
std::string DriveOf(const std::string& path) {
  if (path.size() >= 2 && path[1] == ':') return path.substr(0, 2);
  const std::string folder = ExtractFileDir(path);
  return folder.empty() ? std::string(".") : folder;
}

std::string FolderOf(const std::string& path) {
  const std::string folder = ExtractFileDir(path);
  return folder.empty() ? std::string(".") : folder;
}

// Pieces are read while others may read them too: a merged first piece is the running SFU
// program, which the system keeps open; writers stay out.
TFile OpenPiece(const std::string& path) { return TFile(path, cmOpenExisting, amRead, smShareRead); }

}  // namespace

TFirstPieceTrailer::Bytes ReadFirstRecord(const std::string& path) {
  TFile file = OpenPiece(path);
  return ReadRecordAtEnd<TFirstPieceTrailer::kSize>(file);
}

TPieceTrailer::Bytes ReadPieceRecord(const std::string& path) {
  TFile file = OpenPiece(path);
  return ReadRecordAtEnd<TPieceTrailer::kSize>(file);
}

TUniteEngine::TUniteEngine(const TUniteInputs& inputs, const TSfuLanguage& texts, IUniteView& view)
    : in_(inputs), first_(TFirstPieceTrailer::Parse(inputs.FirstRecord)), texts_(texts), view_(view) {}

TUniteEngine::~TUniteEngine() = default;

std::string TUniteEngine::T(int index) const { return texts_.Text(static_cast<size_t>(index)); }

void TUniteEngine::Log(const std::string& line) {
  view_.Log(line);
  view_.ProcessMessages();
}

void TUniteEngine::ShowProgress() {
  if (total_ == 0) return;
  const int percent = static_cast<int>(std::min<uint64_t>(done_, total_) * 100 / total_);
  if (percent == lastPercent_) return;
  lastPercent_ = percent;
  view_.SetProgress(percent);
}

void TUniteEngine::Raise(const std::string& message) const { throw EKarvexError(message); }

bool TUniteEngine::Unite() {
  try {
    Start();
    for (uint32_t i = 1; i <= first_.PieceCount; ++i) UnitePiece(i);
    return Finish();
  } catch (const std::exception& e) {
    return Abort(e.what());
  }
}

void TUniteEngine::Start() {
  Log(T(18));
  total_ = first_.FileSize;
  done_ = 0;
  warningsDisabled_ = false;
  firstNotePending_ = true;
  view_.ProcessMessages();
  if (!HasMagicIgnoringCase(in_.FirstRecord)) Raise(T(19));
  if (!in_.VerifyOnly) {
    if (os::FileExists(in_.OutputPath)) {
      os::RemoveFile(in_.OutputPath);
      if (os::FileExists(in_.OutputPath)) Raise(T(20));
    }
    const int64_t free = FolderFreeSpace(FolderOf(in_.OutputPath));
    if (static_cast<uint64_t>(std::max<int64_t>(free, 0)) < first_.FileSize) {
      const uint64_t missing = first_.FileSize - static_cast<uint64_t>(std::max<int64_t>(free, 0));
      Raise(FillText(T(21), {DriveOf(in_.OutputPath), SizeToText(3, static_cast<int64_t>(missing)),
                             Decimal(missing)}));
    }
  }
  pieceFolder_ = FolderOf(in_.FirstPiecePath);
  crc_ = CrcInit;
  position_ = 0;
  buffer_.reset(new uint8_t[kBlockSize]);
  if (in_.VerifyOnly) return;
  output_ = std::make_unique<TFile>(in_.OutputPath, cmCreateAlways, amWrite, smExclusive);
  outputCreated_ = true;
  output_->Seek(0, static_cast<int64_t>(first_.FileSize));
  output_->Truncate();
  output_->SeekStart(0);
}

void TUniteEngine::UnitePiece(uint32_t i) {
  ShowProgress();
  const std::string name =
      i == 1 ? ExtractFileName(in_.FirstPiecePath) : ExpandPieceName(first_.NameMask, i, first_.FileName);
  Log(FillText(T(22), {Decimal(i)}));
  Log(name);
  std::string candidate = AddBackslash(pieceFolder_) + name;
  if (!os::FileExists(candidate) && !in_.ProgramFolder.empty()) {
    const std::string beside = AddBackslash(in_.ProgramFolder) + name;
    if (os::FileExists(beside)) candidate = beside;
  }
  report_ = TPieceReport();
  report_.Number = i;
  if (LocatePiece(i, candidate) == Located::Skipped) {
    report_.Path = candidate;
    report_.Skipped = true;
    view_.PieceFinished(report_);
    return;
  }
  report_.Path = candidate;
  CheckPiece(i, candidate);
  view_.PieceFinished(report_);
}

TUniteEngine::Located TUniteEngine::LocatePiece(uint32_t i, std::string& candidate) {
  bool forcePrompt = false;
  for (;;) {
    if (!os::FileExists(candidate) || forcePrompt) {
      const std::string answer = view_.AskPiece(
          FillText(T(23), {Decimal(i)}),
          FillText(T(24), {Decimal(i), Decimal(first_.PieceCount), ExtractFileName(candidate)}), candidate);
      if (answer.empty()) Raise(T(64));
      candidate = answer;
      view_.ProcessMessages();
    }
    forcePrompt = false;
    if (!os::FileExists(candidate)) {
      Log(T(33));
      if (view_.ShowBox(T(34), T(32), biWarning, bbOkCancel) == brCancel) Raise(T(64));
      continue;
    }
    if (i == 1 || Recognised(i, candidate)) {
      if (i != 1) Log(T(25));
      return Located::Accepted;
    }
    Log(FillText(T(26), {Decimal(i)}));
    Log(candidate);
    switch (view_.ShowBox(FillText(T(27), {Decimal(i), candidate}), T(28), biWarning, bbAbortRetryIgnore)) {
      case brRetry: forcePrompt = true; continue;
      case brIgnore:
        Log(FillText(T(29), {Decimal(i)}));
        Log(T(30));
        if (view_.ShowBox(FillText(T(31), {Decimal(i)}), T(32), biQuestion, bbYesNo) == brYes)
          warningsDisabled_ = true;
        return Located::Skipped;
      default: Raise(T(64));
    }
  }
}

bool TUniteEngine::Recognised(uint32_t i, const std::string& path) const {
  const TPieceTrailer piece = TPieceTrailer::Parse(ReadPieceRecord(path));
  return SameTextAscii(piece.SetTitle, first_.SetTitle) && piece.PieceNumber == i &&
         SameTextAscii(piece.UniqueId, first_.UniqueId);
}

void TUniteEngine::CheckPiece(uint32_t i, const std::string& path) {
  pieceFolder_ = FolderOf(path);
  Log(T(35));
  TFile piece = OpenPiece(path);

  int64_t expectedOffset = 0;
  int64_t expectedSize = static_cast<int64_t>(first_.PieceSize);
  uint32_t expectedCrc = first_.LastCrc;
  if (i != 1) {
    const TPieceTrailer record = TPieceTrailer::Parse(ReadRecordAtEnd<TPieceTrailer::kSize>(piece));
    piece.SeekStart(0);
    expectedSize = static_cast<int64_t>(record.PieceSize);
    expectedOffset = static_cast<int64_t>(record.Offset);
    expectedCrc = record.LastCrc;
  }
  bool ok = true;

  Log(T(36));
  if (position_ != expectedOffset) {
    ok = false;
    Problem(FillText(T(37), {Decimal(static_cast<uint64_t>(position_)), Decimal(static_cast<uint64_t>(expectedOffset))}));
    Warn(FillText(T(38), {Decimal(i), Decimal(static_cast<uint64_t>(position_)),
                          Decimal(static_cast<uint64_t>(expectedOffset))}));
  }

  Log(T(40));
  const int64_t copied = CopyPiece(i, piece, expectedSize);

  Log(T(41));
  if (copied < expectedSize) {
    ok = false;
    Problem(T(42));
    Warn(FillText(T(43), {Decimal(i)}));
  }
  Log(T(44));
  if (crc_ != expectedCrc) {
    ok = false;
    Problem(T(45));
    Warn(FillText(T(46), {Decimal(i)}));
  }
  if (ok) {
    Log(T(47));
    return;
  }
  Log(T(48));
  if (firstNotePending_) {
    Log(FillText(T(49), {Decimal(i)}));
    Log(T(50));
    firstNotePending_ = false;
  }
}

// Copies the piece's data into the output through the running CRC; returns the bytes copied.
int64_t TUniteEngine::CopyPiece(uint32_t i, TFile& piece, int64_t expected) {
  const int64_t fileSize = piece.Size();
  int64_t count = std::min(fileSize, std::max<int64_t>(expected, 0));
  if (i == 1 && in_.MergedFirstPiece) {
    // The SFU program comes first: the data is what precedes the record.
    const int64_t room = std::max<int64_t>(fileSize - static_cast<int64_t>(TFirstPieceTrailer::kSize), 0);
    count = std::min(std::max<int64_t>(expected, 0), room);
    piece.Seek(0, room - count);
  }
  const auto afterBlock = [this](uint32_t block) {
    position_ += block;
    done_ += block;
    ShowProgress();
    view_.ProcessMessages();
    return true;
  };
  if (output_) return CopyWithCrc(piece, *output_, count, crc_, afterBlock);
  // Verifying: the bytes are only checksummed.
  for (int64_t left = count; left > 0;) {
    const auto block = static_cast<uint32_t>(std::min<int64_t>(left, kBlockSize));
    piece.ReadExact(buffer_.get(), block);
    crc_ = UpdateCrcLong(buffer_.get(), block, crc_);
    left -= block;
    afterBlock(block);
  }
  return count;
}

void TUniteEngine::Problem(const std::string& logText) {
  Log(logText);
  report_.Problems.push_back(logText);
}

void TUniteEngine::Warn(const std::string& question) {
  if (warningsDisabled_) return;
  switch (view_.ShowBox(question, T(39), biWarning, bbYesNoCancel)) {
    case brYes: warningsDisabled_ = true; break;
    case brNo: warningsDisabled_ = false; break;
    default: Raise(T(64));
  }
}

bool TUniteEngine::Finish() {
  Log("");
  Log(T(51));
  int64_t length = std::max<int64_t>(static_cast<int64_t>(first_.FileSize), position_);
  if (output_) {
    os::SetFileDosDates(output_->Handle(), first_.FileDate, first_.CreationDate);
    length = output_->Size();
    output_.reset();
  }
  Log(T(52));
  const bool success = static_cast<uint64_t>(length) == first_.FileSize && (first_.FileCrc == 0 || crc_ == first_.FileCrc);
  if (success) {
    Log(T(56));
  } else {
    view_.ShowBox(T(53), T(54), biWarning, bbOk);
    Log(T(55));
  }
  // 0xFFFFFFFF says the attributes could not be read when the set was made.
  if (!in_.VerifyOnly && first_.FileAttributes != 0xFFFFFFFF) os::SetAttributesOf(in_.OutputPath, first_.FileAttributes);
  Log("");
  Log(success ? T(58) : T(57));
  view_.ProcessMessages();
  return success;
}

bool TUniteEngine::Abort(const std::string& message) {
  Log("");
  Log(T(59));
  Log(T(60));
  Log(message);
  Log(T(61));
  view_.ShowBox(message, T(62), biError, bbOk);
  output_.reset();
  // Only a file this run created is offered for removal: an existing file of that name is the
  // user's until the unite has replaced it.
  if (outputCreated_ && os::FileExists(in_.OutputPath) &&
      view_.ShowBox(T(63), T(62), biQuestion, bbYesNo) == brYes)
    os::RemoveFile(in_.OutputPath);
  done_ = 0;
  lastPercent_ = -1;
  if (total_ != 0) view_.SetProgress(0);
  return false;
}

}  // namespace kvx
