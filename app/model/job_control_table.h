#pragma once
// The controls of a split job by name: their kind, the member that holds each, and the property
// under which profiles store it ("fich" + "_" + "Text"). Profiles, the console's --set and the
// views all go through this one table.
#include <string>
#include <vector>

#include "app/model/split_job.h"

namespace kvx {

enum TControlKind {
  ckText,       // an edit box: "Text"
  ckFlag,       // a check box or toggle button: "Checked"
  ckIndex,      // a list: "ItemIndex"
  ckNumber,     // a spin box: "Value", stored as a floating-point number
  ckLines,      // a multi-line text: "Lines"
  ckPieceList,  // the custom piece list, stored under keys of its own
};

struct TJobControl {
  const char* Name;
  TControlKind Kind;
  // Profiles store the control under Name + "_" + Property; null: not stored (the piece type
  // and the custom piece list).
  const char* Property;
  std::string TJobControls::*Text;
  bool TJobControls::*Flag;
  int TJobControls::*Index;
  int64_t TJobControls::*Number;
  // Lists: the entries; an index of -1 (no selection) is accepted only where NoneAllowed.
  const char* const* Items;
  int ItemCount;
  bool NoneAllowed;
  // bspan: down when the flag it shares with bblocs is off.
  bool Inverted;
};

// Every control: first the stored ones in the order profiles write them, then the others.
const std::vector<TJobControl>& JobControls();
// The control named name (compared without regard to case), or null.
const TJobControl* FindJobControl(const std::string& name);

// Puts text into the control as a user would type or choose it, with its change handling.
// Flags take TRUE/FALSE, YES/NO, Y/N or a whole number; lists an index or an entry's text;
// spin boxes a whole number; memwelc lines separated by line breaks or "\n"; lvpieces sizes
// separated by commas. Raises EKarvexError "Invalid value for <name>: <text>" otherwise.
void SetControlFromText(TSplitJob& job, const TJobControl& control, const std::string& text);

}  // namespace kvx
