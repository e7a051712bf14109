#include "cli/split_command.h"

#include <iostream>

#include "app/model/job_control_table.h"
#include "cli/console_session.h"
#include "cli/split_options.h"
#include "common/text.h"

namespace kvx::cli {

namespace {

// The size method of the options, as the user would choose it on the pieces page. Without one
// the new job's proposal stands, for blocked pieces.
void ApplyMethod(const SplitOptions& o, TSplitJob& job) {
  job.SetFlag(&TJobControls::blocked, o.method != SizeMethod::Spanned);
  switch (o.method) {
    case SizeMethod::Fixed:
      job.SetIndex(&TJobControls::cdecide, smFixedSize);
      job.SetText(&TJobControls::tsize, o.sizeText);
      job.SetIndex(&TJobControls::cselunit, o.unit);
      break;
    case SizeMethod::Count:
      job.SetIndex(&TJobControls::cdecide, smPieceCount);
      job.SetText(&TJobControls::tsize, o.sizeText);
      break;
    case SizeMethod::Listed: {
      job.SetIndex(&TJobControls::cdecide, smListedSizes);
      std::vector<TCustomPiece> rows;
      for (const std::string& size : o.listedSizes)
        rows.push_back({Format("Piece %u", static_cast<unsigned>(rows.size() + 1)), size});
      job.SetCustomPieces(rows);
      break;
    }
    case SizeMethod::Proposed:
    case SizeMethod::Spanned:
      break;
  }
}

// The SFU pages as the options set them.
void ApplySfu(const SplitOptions& o, TSplitJob& job) {
  if (o.noSfu) job.SetFlag(&TJobControls::csfufonc, false);
  if (o.sfuIgnoreSize) job.SetFlag(&TJobControls::cnoaccount, true);
  if (o.sfuMerge) job.SetFlag(&TJobControls::cmerge, true);
  if (o.sfuName) {
    job.SetFlag(&TJobControls::cchangenom, true);
    job.SetText(&TJobControls::tnomsfu, *o.sfuName);
  }
}

// The job as the options describe it: the source, then the profile (which keeps a source named
// beside it), then every other option, the --set ones last.
void ApplyOptions(const SplitOptions& o, TMainModel& model) {
  TSplitJob& job = model.Job();
  if (o.source) job.SetText(&TJobControls::fich, AbsolutePath(*o.source));
  if (o.profile) model.OpenProfile(*o.profile, o.source.has_value());
  if (o.destination) job.SetText(&TJobControls::destdir, AbsolutePath(*o.destination));
  ApplyMethod(o, job);
  if (o.mask) job.SetText(&TJobControls::nomp, *o.mask);
  if (o.noHeader) job.SetFlag(&TJobControls::cnoheader, true);
  if (o.title) job.SetText(&TJobControls::GTit, *o.title);
  if (o.author) job.SetText(&TJobControls::createur, *o.author);
  if (o.description) job.SetText(&TJobControls::tdesc, *o.description);
  if (o.uniqueId) job.SetText(&TJobControls::tuniqid, *o.uniqueId);
  if (o.firstReserve) job.SetNumber(&TJobControls::firstdisk, *o.firstReserve);
  if (o.otherReserve) job.SetNumber(&TJobControls::resspace, *o.otherReserve);
  ApplySfu(o, job);
  for (const auto& [name, value] : o.controls) SetControlFromText(job, *FindJobControl(name), value);
}

}  // namespace

int RunSplit(int argc, char** argv) {
  const SplitOptions options = ParseSplitOptions(argc, argv);
  TConsoleSession session(options.quiet, options.assumeAnswers);
  try {
    ApplyOptions(options, session.Model());
    if (options.saveProfile) session.Model().SaveProfileAs(*options.saveProfile);
  } catch (const std::exception& e) {
    std::cerr << "karvex: " << e.what() << "\n";
    return 1;
  }
  return options.dryRun ? session.DryRun() : session.Split();
}

}  // namespace kvx::cli
