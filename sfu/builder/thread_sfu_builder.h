#pragma once
// The SFU program builder as the split thread calls it: the request is filled from the thread's
// SFU inputs and its engine, and the builder's summary lines go to the thread's log.
#include "common/memory_stream.h"
#include "engine/karvex_thread.h"
#include "sfu/builder/sfu_payloads.h"
#include "sfu/builder/sfu_program_builder.h"

namespace kvx {

class TThreadSfuBuilder : public ISfuProgramBuilder {
 public:
  // payloads must outlive the builder.
  explicit TThreadSfuBuilder(const TSfuPayloads& payloads) : payloads_(payloads) {}

  // Replaces out's contents with the SFU program and rewinds it.
  void Build(TKarvexThread& thread, TMemoryStream& out) override;

  // The request for the thread's current state.
  static TSfuBuildRequest RequestFor(TKarvexThread& thread);

 private:
  const TSfuPayloads& payloads_;
};

}  // namespace kvx
