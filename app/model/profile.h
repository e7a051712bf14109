#pragma once
// Split profiles: the controls of a split job stored in a settings document whose root is
// "KarvexProfile", every key under "Settings". Storing writes "FormVersion" 0, the custom piece
// list ("CustomSizesCount", then "CustomSize%uS" and "CustomSize%uT" row by row),
// "KarvexVersion" 20001 and then every stored control in the table's order. The piece type is
// not part of a profile.
#include <string>

#include "app/model/settings_document.h"
#include "app/model/split_job.h"

namespace kvx {

constexpr const char* kProfileRoot = "KarvexProfile";

// Writes the job into the document: existing keys get their new values in place, missing ones
// are added; other elements (a "log", rows beyond the current count) stay as they were.
void StoreJob(const TSplitJob& job, TSettingsDocument& document);

// Puts the document's values into the controls, in the table's order, each with its change
// handling (a unit is selected without its question); a key that is missing or cannot be
// converted leaves its control alone. The custom piece list is then rebuilt from the document
// (a row's missing caption reads "Piece %u", a missing size "30000"). Returns false, restoring
// nothing, when "FormVersion" is negative.
bool RestoreJob(const TSettingsDocument& document, TSplitJob& job);

// The automatic profile of a source file: "Karvex\Profiles\" under the application-data
// folder, the source's file name and ".kxc".
std::string ProfilesFolder(const std::string& appDataFolder);
std::string AutomaticProfilePath(const std::string& appDataFolder, const std::string& sourceFile);

}  // namespace kvx
