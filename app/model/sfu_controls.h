#pragma once
// The self-uniting part of a split job: what the launch checks and copies from the controls of
// the SFU pages (properties, settings, language) into the split thread: its SFU inputs and the
// settings record the SFU program carries.
#include <string>

#include "app/model/job_controls.h"
#include "engine/karvex_thread.h"

namespace kvx {

// "Custom Folder" chosen for the restored file with no folder given is refused, whether or not
// the job writes an SFU program.
void CheckSfuCustomFolder(const TJobControls& controls);

// The thread's SFU inputs and its settings record, as the launch fills them. The title goes
// into the record twice, cut there to 50 and 100 characters. The language file's lines are
// taken when it exists; otherwise the default ones, and languageWarning receives the line the
// summary shows (empty when the file exists).
void FillSfuInputs(const TJobControls& controls, TKarvexThread& thread, std::string& languageWarning);

}  // namespace kvx
