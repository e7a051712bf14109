#include "engine/karvex_thread.h"

#include <chrono>
#include <exception>

#include "common/disk.h"
#include "common/errors.h"
#include "common/file.h"
#include "common/os/os.h"
#include "common/paths.h"
#include "common/piece_names.h"
#include "common/text.h"
#include "engine/custom_sizes.h"
#include "engine/split_prompts.h"

namespace kvx {

namespace {
unsigned long long U(int64_t value) { return static_cast<unsigned long long>(value); }
}  // namespace

TKarvexThread::TKarvexThread(ISplitView* view) : ProgressWindow(view) {
  Engine.OnProgress = [this](uint16_t p, uint16_t t) { HandleProgress(p, t); };
  Engine.OnPrompt = [this](int n, TPromptKind k, int64_t s, std::string& f) { HandlePrompt(n, k, s, f); };
  Engine.OnSfuSize = [this](int64_t& size, int64_t pieceSize) { HandleSfuSize(size, pieceSize); };
  Engine.OnPieceBegin = [this](int n, std::string& path, int64_t& size) { HandlePieceBegin(n, path, size); };
  Engine.OnPieceCopy = [this](int n, const std::string& path, int64_t size) { HandlePieceCopy(n, path, size); };
  Engine.OnPieceDone = [this](int n) { HandlePieceDone(n); };
  Engine.OnQuestion = [this](TPromptKind k, int& answer, int64_t n) { HandleQuestion(k, answer, n); };
}

TKarvexThread::~TKarvexThread() { Join(); }

void TKarvexThread::Start() {
  worker_ = std::thread([this] {
    Execute();
    if (OnEnd) OnEnd();
  });
}

void TKarvexThread::Join() {
  if (worker_.joinable()) worker_.join();
}

void TKarvexThread::Execute() {
  RowQueue.clear();
  LogLines.clear();
  PieceRecords.clear();
  try {
    Run();
    LogLines.emplace_back();
    Outcome = "Successful";
  } catch (const std::exception& e) {
    Outcome = e.what();
  }
}

void TKarvexThread::Run() {
  const bool sfu = SfuEnabled && SfuBuilder != nullptr;
  if (sfu && SfuMerge)
    Engine.OnMergeSfu = [this](TMemoryStream& stream, std::string& path) { HandleMergeSfu(stream, path); };
  if (!Engine.Split()) {
    LogLines.emplace_back("0|Splitting process is going to abort.");
    throw EKarvexError("Splitting process aborted by user");
  }
  if (sfu && !SfuMerge) WriteSeparateSfuProgram();
}

void TKarvexThread::WriteSeparateSfuProgram() {
  if (ProgressWindow) {
    RowQueue.emplace_back("1|1|SFU Program|Making SFU program...");
    StatusText = "Working on SFU program...";
    FlushRows();
  }
  TMemoryStream program;
  SfuBuilder->Build(*this, program);
  const std::string path = SfuProgramPath();
  LogLines.push_back(Format("0|Creating SFU executable file: %s", path.c_str()));
  TFile file(path, cmCreateAlways, amWrite, smExclusive);
  if (program.Size() > 0) file.Write(program.Bytes().data(), static_cast<uint32_t>(program.Size()));
  LogLines.push_back(Format("0|Size of SFU file: %llu byte(s)", U(static_cast<int64_t>(program.Size()))));
}

std::string TKarvexThread::SfuProgramPath() const {
  return AddBackslash(Engine.DestFolder) + SfuProgramName(SfuFileName, Engine.PieceFileName(1));
}

void TKarvexThread::AddRow(const std::string& row) {
  if (ProgressWindow) RowQueue.push_back(row);
}

void TKarvexThread::AddLog(const std::string& line) {
  if (ProgressWindow) LogLines.push_back(line);
}

void TKarvexThread::HandlePieceBegin(int n, std::string& path, int64_t& size) {
  if (CustomSizes) size = ListedPieceSize(CustomSizeList, n, Engine.Remaining, size);
  if (!ProgressWindow) return;
  AddRow(Format("%d|0|Piece %d|Preparing piece file %s", n, n, ExtractFileName(path).c_str()));
  AddLog(Format("1|Piece Number %d", n));
  AddLog("0|Piece filename: " + path);
  FlushRows();
}

void TKarvexThread::HandleSfuSize(int64_t& size, int64_t) {
  if (!SfuEnabled || SfuSizeIgnored || !SfuBuilder) return;
  TMemoryStream program;
  SfuBuilder->Build(*this, program);
  size = static_cast<int64_t>(program.Size());
}

void TKarvexThread::HandlePieceCopy(int n, const std::string& path, int64_t size) {
  if (n == 1 && !AwaitingShown) {
    AwaitingShown = true;
    AddRow("1|3|Piece 1|Awaiting other pieces...");
    AddLog("0|Awaiting other pieces...");
  } else {
    if (n == 1) AddLog("1|Back to Piece Number 1");
    AddRow(Format("%d|1|Piece %d|Being copied...", n, n));
    AddLog(Format("0|Piece size: %llu byte(s), %s", U(size), SizeToText(3, size).c_str()));
    AddLog("0|Being copied...");
    if (ProgressWindow) PieceRecords.push_back(Format("%d|%llu|%s", n, U(size), path.c_str()));
  }
  if (!ProgressWindow) return;
  StatusText = Format("Working on piece number %d...", n);
  FlushRows();
}

void TKarvexThread::HandlePieceDone(int n) {
  if (!ProgressWindow) return;
  AddRow(Format("%d|2|Piece %d|Done", n, n));
  AddLog(Format("0|Total file done: %u%%", static_cast<unsigned>(TotalPercent)));
  AddLog("0|Piece done.");
  FlushRows();
}

void TKarvexThread::HandleProgress(uint16_t piecePercent, uint16_t totalPercent) {
  PiecePercent = piecePercent;
  TotalPercent = totalPercent;
  WaitWhilePaused();  // between two blocks: the worker holds nothing the interface needs
  if (ProgressWindow) ShowGauges();
}

void TKarvexThread::HandlePrompt(int n, TPromptKind kind, int64_t size, std::string& folder) {
  PromptPiece = n;
  PromptKind = kind;
  PromptValue = size;
  PromptPath = folder;
  ShowPrompt();
  folder = PromptPath;
}

void TKarvexThread::HandleQuestion(TPromptKind kind, int& answer, int64_t pieceNumber) {
  PromptKind = kind;
  PromptValue = pieceNumber;
  PromptAnswer = answer;
  ShowPrompt();
  answer = PromptAnswer;
}

void TKarvexThread::HandleMergeSfu(TMemoryStream& stream, std::string& path) {
  TMemoryStream program;
  SfuBuilder->Build(*this, program);
  stream.Write(program.Bytes().data(), program.Size());
  path = SfuProgramPath();
}

void TKarvexThread::FlushRows() {
  WaitWhilePaused();
  ProgressWindow->FlushRows(RowQueue, StatusText);
}

void TKarvexThread::ShowGauges() { ProgressWindow->ShowGauges(PiecePercent, TotalPercent); }

void TKarvexThread::ShowPrompt() {
  TPromptInputs in;
  in.Kind = PromptKind;
  in.Piece = PromptPiece;
  in.Value = PromptValue;
  in.Path = PromptPath;
  in.Remaining = Engine.Remaining;
  in.Blocked = Engine.Blocked;
  in.PieceSize = Engine.PieceSize;
  if (PromptKind == pkNoSpace) in.FreeBytes = FolderFreeSpace(PromptPath);
  if (PromptKind == pkPieceNotCopied) {
    in.PieceFileName = Engine.PieceFileName(PromptValue);
    in.LastErrorText = os::SystemErrorText(0);
  }
  const auto text = DescribePrompt(in);
  if (!text) return;
  AddLog(text->LogLine);
  ISplitView* view = ProgressWindow ? ProgressWindow : PromptView;
  const TPromptAnswer answer = view ? view->ShowPrompt(text->Dialog) : TPromptAnswer{};
  if (PromptKind == pkPieceNotCopied) PromptAnswer = answer.Ok ? 1 : 0;
  else PromptPath = answer.Ok && text->Dialog.OkAllowed ? answer.Path : std::string();
}

void TKarvexThread::Pause() {
  std::lock_guard<std::mutex> lock(pauseMutex_);
  paused_ = true;
}

void TKarvexThread::Resume() {
  {
    std::lock_guard<std::mutex> lock(pauseMutex_);
    paused_ = false;
  }
  resumed_.notify_all();
}

bool TKarvexThread::Paused() const {
  std::lock_guard<std::mutex> lock(pauseMutex_);
  return paused_;
}

void TKarvexThread::WaitWhilePaused() {
  std::unique_lock<std::mutex> lock(pauseMutex_);
  // Aborted is set without a notification: look at it now and then.
  while (paused_ && !Engine.Aborted) resumed_.wait_for(lock, std::chrono::milliseconds(100));
}

}  // namespace kvx
