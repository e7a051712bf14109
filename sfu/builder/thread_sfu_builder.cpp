#include "sfu/builder/thread_sfu_builder.h"

namespace kvx {

TSfuBuildRequest TThreadSfuBuilder::RequestFor(TKarvexThread& thread) {
  const TMoteurKarvex& engine = thread.Engine;
  TSfuBuildRequest request;
  request.Settings = &thread.SfuSettings;
  request.WelcomeText = thread.WelcomeText;
  request.LanguageText = thread.LanguageText;
  request.IconFile = thread.IconFile;
  request.HeaderBitmapFile = thread.HeaderBitmapFile;
  request.Merged = thread.SfuMerge;
  request.SourceFile = engine.SourceFile;
  request.TotalSize = engine.TotalSize;
  request.PiecesWritten = engine.PiecesWritten;
  request.FirstPieceName = engine.PieceFileName(1);
  request.UniqueId = engine.UniqueId;
  request.Author = engine.Author;
  request.Description = engine.Description;
  request.SetTitle = engine.SetTitle;
  return request;
}

void TThreadSfuBuilder::Build(TKarvexThread& thread, TMemoryStream& out) {
  out.Bytes() = BuildSfuProgram(RequestFor(thread), payloads_, thread.LogLines);
  out.Seek(0);
}

}  // namespace kvx
