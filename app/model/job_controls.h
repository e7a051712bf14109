#pragma once
// The controls of a split job with their values when the main window is created. Members keep
// the controls' names: profiles, preferences and the console's --set name them so.
#include <cstdint>
#include <string>
#include <vector>

#include "app/model/piece_sizes.h"
#include "sfu/shared/sfu_settings.h"

namespace kvx {

// Size methods of cdecide.
enum TSizeMethod { smFixedSize = 0, smPieceCount = 1, smListedSizes = 2 };
// Entries of cpriority, lowest first.
enum TPriority { tpLowest, tpLower, tpNormal, tpHigher, tpHighest };

// One row of the custom piece list lvpieces.
struct TCustomPiece {
  std::string Caption;  // "Piece %u"
  std::string Size;     // decimal bytes, as typed
  bool operator==(const TCustomPiece& other) const { return Caption == other.Caption && Size == other.Size; }
};

// The maker's web site, named by the default about message and the web commands.
constexpr const char* kMakerSite = "https://karvex.example/";
constexpr const char* kDefaultAboutMessage =
    "This file was split with Karvex freely available at https://karvex.example/";

struct TJobControls {
  // Page 0 and 1.
  std::string fich;
  std::string destdir;
  // Page 2: bblocs down (true) or bspan down (false).
  bool blocked = true;
  int cdecide = smFixedSize;
  std::string tsize = "100000";
  int cselunit = suBytes;  // -1: no unit selected, which counts as bytes
  std::vector<TCustomPiece> lvpieces;
  // Page 3 and 4.
  std::string nomp = "disk{num}.kxd";
  int64_t firstdisk = 0;
  int64_t resspace = 0;
  std::string GTit;
  std::string createur;
  std::string tdesc;
  std::string tuniqid;
  bool cnoheader = false;
  // Page 5.
  int cpriority = tpNormal;  // -1: none selected, which runs at normal priority
  std::string texec;
  // Page 6.
  bool csfufonc = true;
  bool cchangenom = false;
  std::string tnomsfu;
  std::string ico;
  bool cmerge = false;
  bool cnoaccount = false;
  // Page 7.
  std::vector<std::string> memwelc;
  std::string sprompt;
  std::string eprompt;
  std::string tabout = kDefaultAboutMessage;
  int rep = dkCurrentFolder;
  std::string tcustfold;
  bool cecd = false;
  bool cover = true;
  bool copen = false;
  bool cwaitforend = false;
  bool cdelete = false;
  std::string param;
  bool cautof = false;
  bool cautoexec = false;
  bool csilent = false;
  std::string header;
  // Page 9.
  std::string tlang;
};

}  // namespace kvx
