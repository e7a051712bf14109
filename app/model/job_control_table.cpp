#include "app/model/job_control_table.h"

#include "common/errors.h"
#include "app/model/settings_document.h"
#include "common/text.h"

namespace kvx {

namespace {

using C = TJobControls;

TJobControl Text(const char* name, std::string C::*member) {
  return {name, ckText, "Text", member, nullptr, nullptr, nullptr, nullptr, 0, false, false};
}
TJobControl Flag(const char* name, bool C::*member, const char* property = "Checked", bool inverted = false) {
  return {name, ckFlag, property, nullptr, member, nullptr, nullptr, nullptr, 0, false, inverted};
}
TJobControl Index(const char* name, int C::*member, const char* const* items, int count, bool noneAllowed) {
  return {name, ckIndex, "ItemIndex", nullptr, nullptr, member, nullptr, items, count, noneAllowed, false};
}
TJobControl Number(const char* name, int64_t C::*member) {
  return {name, ckNumber, "Value", nullptr, nullptr, nullptr, member, nullptr, 0, false, false};
}
TJobControl Special(const char* name, TControlKind kind, const char* property) {
  return {name, kind, property, nullptr, nullptr, nullptr, nullptr, nullptr, 0, false, false};
}

std::vector<TJobControl> MakeTable() {
  return {
      Text("fich", &C::fich),
      Text("destdir", &C::destdir),
      Index("cdecide", &C::cdecide, nullptr, 3, false),
      Text("tsize", &C::tsize),
      Index("cselunit", &C::cselunit, kSizeUnits, 4, true),
      Text("nomp", &C::nomp),
      Flag("cnoheader", &C::cnoheader),
      Number("firstdisk", &C::firstdisk),
      Number("resspace", &C::resspace),
      Text("GTit", &C::GTit),
      Text("createur", &C::createur),
      Text("tdesc", &C::tdesc),
      Text("tuniqid", &C::tuniqid),
      Index("cpriority", &C::cpriority, kPriorities, 5, true),
      Flag("csfufonc", &C::csfufonc),
      Flag("cchangenom", &C::cchangenom),
      Text("tnomsfu", &C::tnomsfu),
      Flag("cmerge", &C::cmerge),
      Text("ico", &C::ico),
      Flag("cnoaccount", &C::cnoaccount),
      Special("memwelc", ckLines, "Lines"),
      Text("sprompt", &C::sprompt),
      Text("eprompt", &C::eprompt),
      Text("tabout", &C::tabout),
      Flag("cecd", &C::cecd),
      Index("rep", &C::rep, kDestinationKinds, 6, false),
      Text("tcustfold", &C::tcustfold),
      Flag("cover", &C::cover),
      Flag("copen", &C::copen),
      Flag("cwaitforend", &C::cwaitforend),
      Flag("cdelete", &C::cdelete),
      Text("param", &C::param),
      Flag("cautof", &C::cautof),
      Flag("cautoexec", &C::cautoexec),
      Flag("csilent", &C::csilent),
      Text("header", &C::header),
      Text("tlang", &C::tlang),
      Text("texec", &C::texec),
      Flag("bblocs", &C::blocked, nullptr),
      Flag("bspan", &C::blocked, nullptr, true),
      Special("lvpieces", ckPieceList, nullptr),
  };
}

[[noreturn]] void Refuse(const TJobControl& control, const std::string& text) {
  throw EKarvexError(Format("Invalid value for %s: %s", control.Name, text.c_str()));
}

int IndexOf(const TJobControl& control, const std::string& text) {
  if (const auto number = ParseInt64(text)) {
    if ((*number >= 0 && *number < control.ItemCount) || (*number == -1 && control.NoneAllowed))
      return static_cast<int>(*number);
    Refuse(control, text);
  }
  for (int i = 0; control.Items && i < control.ItemCount; ++i)
    if (SameTextAscii(control.Items[i], text)) return i;
  Refuse(control, text);
}

std::vector<std::string> WelcomeLines(std::string text) {
  ReplaceAllExact(text, "\\n", "\n");
  ReplaceAllExact(text, "\r\n", "\n");
  return SplitText(text, '\n');
}

std::vector<TCustomPiece> PieceRows(const TJobControl& control, const std::string& text) {
  std::vector<TCustomPiece> rows;
  if (text.empty()) return rows;
  for (const std::string& size : SplitText(text, ',')) {
    if (!ParseInt64(size)) Refuse(control, text);
    rows.push_back({Format("Piece %u", static_cast<unsigned>(rows.size() + 1)), size});
  }
  return rows;
}

}  // namespace

const std::vector<TJobControl>& JobControls() {
  static const std::vector<TJobControl> table = MakeTable();
  return table;
}

const TJobControl* FindJobControl(const std::string& name) {
  for (const TJobControl& control : JobControls())
    if (SameTextAscii(control.Name, name)) return &control;
  return nullptr;
}

void SetControlFromText(TSplitJob& job, const TJobControl& control, const std::string& text) {
  switch (control.Kind) {
    case ckText:
      job.SetText(control.Text, text);
      return;
    case ckFlag: {
      bool value = false;
      if (!ParseSettingsBool(text, value)) Refuse(control, text);
      job.SetFlag(control.Flag, value != control.Inverted);
      return;
    }
    case ckIndex:
      job.SetIndex(control.Index, IndexOf(control, text));
      return;
    case ckNumber: {
      const auto number = ParseInt64(text);
      if (!number) Refuse(control, text);
      job.SetNumber(control.Number, *number);
      return;
    }
    case ckLines:
      job.EditWelcomeText(WelcomeLines(text));
      return;
    case ckPieceList:
      job.SetCustomPieces(PieceRows(control, text));
      return;
  }
}

}  // namespace kvx
