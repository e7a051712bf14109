#pragma once
// TKarvexThread runs one split in the background: it owns the engine, answers its hooks, turns
// the run into three line streams and asks the disk and error questions through its view.
//
// Line streams (fields separated by "|", read with GetField, so no field holds a "|"):
//   RowQueue      row|status|caption|text  row from 1 (the piece; 1 for the SFU program), status
//                                          0 preparing, 1 being copied, 2 done, 3 awaiting
//   LogLines      code|text                0 detail, 1 heading (a new piece), 2 problem
//   PieceRecords  number|size|path         in the order the piece files are written
//
// Threads: Execute, the engine and every hook handler run on the worker; the view's three calls
// are synchronous, so RowQueue and the prompt fields are used by one thread at a time, and
// LogLines and PieceRecords are read only after the end. Engine.Aborted is the one value the
// interface thread writes while the worker runs; pausing holds the worker at a safe point.
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "common/memory_stream.h"
#include "engine/split_engine.h"
#include "engine/split_view.h"
#include "sfu/shared/sfu_settings.h"

namespace kvx {

class TKarvexThread;

// Builds the SFU program of the thread's set (settings, texts and pieces written so far) into
// out. It adds its own log lines to the thread and raises on failure.
class ISfuProgramBuilder {
 public:
  virtual ~ISfuProgramBuilder() = default;
  virtual void Build(TKarvexThread& thread, TMemoryStream& out) = 0;
};

class TKarvexThread {
 public:
  // view: target of rows, gauges and status, or null (then only prompts are shown, through
  // promptView, and the hook handlers add no rows, log lines or piece records).
  explicit TKarvexThread(ISplitView* view);
  ~TKarvexThread();  // waits for the worker when it was started and not yet joined
  TKarvexThread(const TKarvexThread&) = delete;
  TKarvexThread& operator=(const TKarvexThread&) = delete;

  int32_t PromptPiece = 0;
  uint8_t PromptKind = 0;
  int64_t PromptValue = 0;
  std::string PromptPath;
  int32_t PromptAnswer = 0;
  TSfuSettings SfuSettings;
  TMoteurKarvex Engine;
  std::vector<std::string> WelcomeText;
  std::vector<std::string> LanguageText;
  std::deque<std::string> RowQueue;
  std::vector<std::string> LogLines;
  std::vector<std::string> CustomSizeList;
  std::vector<std::string> PieceRecords;
  ISplitView* ProgressWindow;
  std::string IconFile;
  uint16_t PiecePercent = 0;
  uint16_t TotalPercent = 0;
  TMemoryStream* CompressedStream = nullptr;  // the builder's, while it packs
  bool SfuEnabled = true;
  bool SfuMerge = false;
  bool AwaitingShown = false;
  bool SfuSizeIgnored = false;
  bool CustomSizes = false;
  std::string SfuFileName;
  std::string EncoderLibraryPath;
  std::string Outcome;
  std::string HeaderBitmapFile;
  std::string StatusText;

  // Asks the questions when ProgressWindow is null (a split without a progress window still
  // has its disk prompts). Ignored when ProgressWindow is set.
  ISplitView* PromptView = nullptr;
  // The SFU program builder; with none, no SFU program is measured, merged or written.
  ISfuProgramBuilder* SfuBuilder = nullptr;
  // Called on the worker after Execute; a window marshals it to its own thread.
  std::function<void()> OnEnd;

  // The run. Any error ends it with Outcome set to the error's message; nothing is retried.
  void Execute();
  // Runs Execute and then OnEnd on a new thread.
  void Start();
  void Join();

  // Hold the worker at its next safe point (a hook between two blocks) until Resume or until
  // Engine.Aborted is set. Called from the interface thread.
  void Pause();
  void Resume();
  bool Paused() const;

  // The SFU program's full path: the engine's DestFolder plus SfuFileName, else piece 1's name
  // with the extension ".EXE".
  std::string SfuProgramPath() const;

  // Hook handlers (public so that the engine's hooks and the tests reach them).
  void HandlePieceBegin(int n, std::string& path, int64_t& size);
  void HandleSfuSize(int64_t& size, int64_t pieceSize);
  void HandlePieceCopy(int n, const std::string& path, int64_t size);
  void HandlePieceDone(int n);
  void HandleProgress(uint16_t piecePercent, uint16_t totalPercent);
  void HandlePrompt(int n, TPromptKind kind, int64_t size, std::string& folder);
  void HandleQuestion(TPromptKind kind, int& answer, int64_t pieceNumber);
  void HandleMergeSfu(TMemoryStream& stream, std::string& path);

  // The three synchronous calls into the view.
  void FlushRows();
  void ShowGauges();
  void ShowPrompt();

 private:
  void Run();
  void WriteSeparateSfuProgram();
  void AddRow(const std::string& row);
  void AddLog(const std::string& line);
  void WaitWhilePaused();

  mutable std::mutex pauseMutex_;
  std::condition_variable resumed_;
  bool paused_ = false;
  std::thread worker_;
};

}  // namespace kvx
