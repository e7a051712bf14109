#include "app/model/environment_options.h"

#include "app/model/settings_document.h"

namespace kvx {

namespace {

const char kSection[] = "EnvironOptions\\";

struct TTextOption {
  const char* key;
  std::string TEnvironmentOptions::*value;
};
struct TSwitchOption {
  const char* key;
  bool TEnvironmentOptions::*value;
};

// The stored order: deflang, config, pbloc, four switches, customskin, cskineffects.
const TTextOption kTextsBefore[] = {{"deflang_Text", &TEnvironmentOptions::deflang},
                                    {"config_Text", &TEnvironmentOptions::config},
                                    {"pbloc_Text", &TEnvironmentOptions::pbloc}};
const TSwitchOption kSwitches[] = {{"cmulprompt_Checked", &TEnvironmentOptions::cmulprompt},
                                   {"cautoaddfolder_Checked", &TEnvironmentOptions::cautoaddfolder},
                                   {"cautosaveprof_Checked", &TEnvironmentOptions::cautosaveprof},
                                   {"caddMRUentries_Checked", &TEnvironmentOptions::caddMRUentries}};
const TTextOption kSkin = {"customskin_Text", &TEnvironmentOptions::customskin};
const TSwitchOption kSkinEffects = {"cskineffects_Checked", &TEnvironmentOptions::cskineffects};

std::string Key(const char* name) { return std::string(kSection) + name; }

}  // namespace

void ReadEnvironmentOptions(const TSettingsDocument& preferences, TEnvironmentOptions& options) {
  for (const TTextOption& o : kTextsBefore) preferences.ReadString(Key(o.key), options.*o.value);
  for (const TSwitchOption& o : kSwitches) preferences.ReadBool(Key(o.key), options.*o.value);
  preferences.ReadString(Key(kSkin.key), options.*kSkin.value);
  preferences.ReadBool(Key(kSkinEffects.key), options.*kSkinEffects.value);
}

void WriteEnvironmentOptions(TSettingsDocument& preferences, const TEnvironmentOptions& options) {
  preferences.WriteInteger(Key("FormVersion"), 1);
  for (const TTextOption& o : kTextsBefore) preferences.WriteString(Key(o.key), options.*o.value);
  for (const TSwitchOption& o : kSwitches) preferences.WriteBool(Key(o.key), options.*o.value);
  preferences.WriteString(Key(kSkin.key), options.*kSkin.value);
  preferences.WriteBool(Key(kSkinEffects.key), options.*kSkinEffects.value);
}

}  // namespace kvx
