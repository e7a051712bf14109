#pragma once
// The user's program-wide preferences (the environment options), as opposed to a split job.
// Kept in the preferences file under "EnvironOptions\", each key named after its control.
#include <string>

namespace kvx {

class TSettingsDocument;

struct TEnvironmentOptions {
  std::string config;      // start-up profile
  std::string deflang;     // default SFU language file
  std::string pbloc;       // folder of the packaging tool
  std::string customskin;  // skin file, empty for the built-in skin
  bool cmulprompt = true;      // prompt before each further file of a list on a removable drive
  bool cautosaveprof = true;   // save a profile after each split
  bool caddMRUentries = true;  // add the source and destination of each split to their histories
  bool cautoaddfolder = true;  // add the folder of each chosen source to the destination history
  bool cskineffects = true;
};

// Reads the stored options into options; a missing key keeps the value options has.
void ReadEnvironmentOptions(const TSettingsDocument& preferences, TEnvironmentOptions& options);
// Writes "EnvironOptions\FormVersion" (1) and every option, in their stored order.
void WriteEnvironmentOptions(TSettingsDocument& preferences, const TEnvironmentOptions& options);

}  // namespace kvx
