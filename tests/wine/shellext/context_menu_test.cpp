// What Explorer sees of the handler before the command runs: initialisation with the selection,
// the menu items and their help text.
#include <cstring>

#include "drop_data_object.h"
#include "harness.h"

namespace kvx::test {
namespace {

constexpr char kHelpText[] = "Split the selected file into smaller pieces with Karvex.";

using InitializeTest = ShellExtensionTest;

TEST_F(InitializeTest, AcceptsExactlyOneFileAndReleasesTheMedium) {
  struct Case {
    const char* what;
    std::vector<std::string> files;
    bool failGetData;
    HRESULT expected;
  };
  const Case cases[] = {
      {"one file", {"C:\\data\\movie.avi"}, false, S_OK},
      {"two files", {"C:\\data\\a.avi", "C:\\data\\b.avi"}, false, E_FAIL},
      {"three files", {"C:\\a", "C:\\b", "C:\\c"}, false, E_FAIL},
      {"no CF_HDROP data", {"C:\\data\\movie.avi"}, true, E_FAIL},
  };
  for (const Case& c : cases) {
    TComRef<IShellExtInit> init = NewHandler<IShellExtInit>(IID_IShellExtInit);
    TDropDataObject data(c.files, c.failGetData);
    EXPECT_EQ(init->Initialize(nullptr, &data, nullptr), c.expected) << c.what;

    ASSERT_EQ(data.Requests().size(), 1u) << c.what;
    const FORMATETC& asked = data.Requests()[0];
    EXPECT_EQ(asked.cfFormat, CF_HDROP);
    EXPECT_EQ(asked.ptd, nullptr);
    EXPECT_EQ(asked.dwAspect, static_cast<DWORD>(DVASPECT_CONTENT));
    EXPECT_EQ(asked.lindex, -1);
    EXPECT_EQ(asked.tymed, static_cast<DWORD>(TYMED_HGLOBAL));
    EXPECT_EQ(data.ReleasedMedia(), c.failGetData ? 0 : 1) << c.what;
  }
}

TEST_F(InitializeTest, NeedsADataObject) {
  TComRef<IShellExtInit> init = NewHandler<IShellExtInit>(IID_IShellExtInit);
  EXPECT_EQ(init->Initialize(nullptr, nullptr, nullptr), E_INVALIDARG);
}

// A menu such as Explorer builds, with the handler's items asked for at position 1.
struct TBuiltMenu {
  HRESULT result;
  std::vector<std::string> items;  // "-" for a separator, "text=id" for an item
};

TBuiltMenu BuildMenu(IContextMenu* handler, UINT flags) {
  HMENU menu = CreatePopupMenu();
  AppendMenuA(menu, MF_STRING, 1, "Open");
  AppendMenuA(menu, MF_STRING, 2, "Print");
  TBuiltMenu built{handler->QueryContextMenu(menu, 1, 100, 200, flags), {}};
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    char text[64] = {};
    MENUITEMINFOA item = {};
    item.cbSize = sizeof item;
    item.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STRING;
    item.dwTypeData = text;
    item.cch = sizeof text;
    GetMenuItemInfoA(menu, i, TRUE, &item);
    built.items.push_back((item.fType & MFT_SEPARATOR) ? "-" : std::string(text) + "=" + std::to_string(item.wID));
  }
  DestroyMenu(menu);
  return built;
}

using QueryContextMenuTest = ShellExtensionTest;

TEST_F(QueryContextMenuTest, AddsSeparatorAndItemForPlainAndExploreMenusOnly) {
  const std::vector<std::string> withItems = {"Open=1", "-", "Split with Karvex=100", "Print=2"};
  const std::vector<std::string> without = {"Open=1", "Print=2"};
  struct Case {
    UINT flags;
    bool addsItems;
  };
  const Case cases[] = {
      {CMF_NORMAL, true},
      {CMF_DEFAULTONLY, false},
      {CMF_VERBSONLY, false},
      {CMF_NOVERBS, false},
      {CMF_DEFAULTONLY | CMF_VERBSONLY, false},
      {CMF_EXPLORE, true},
      {CMF_EXPLORE | CMF_DEFAULTONLY, true},
      {CMF_EXPLORE | CMF_NOVERBS | CMF_VERBSONLY, true},
      {CMF_CANRENAME, true},  // flags above the low four do not matter
      {CMF_CANRENAME | CMF_EXTENDEDVERBS | CMF_VERBSONLY, false},
  };
  TComRef<IShellExtInit> init = NewHandler<IShellExtInit>(IID_IShellExtInit);
  TDropDataObject data({"C:\\data\\movie.avi"});
  ASSERT_EQ(init->Initialize(nullptr, &data, nullptr), S_OK);
  IContextMenu* handler = nullptr;
  ASSERT_EQ(init->QueryInterface(IID_IContextMenu, reinterpret_cast<void**>(&handler)), S_OK);
  TComRef<IContextMenu> menu(handler);

  for (const Case& c : cases) {
    const TBuiltMenu built = BuildMenu(menu.get(), c.flags);
    EXPECT_EQ(built.result, c.addsItems ? 2 : 0) << "flags " << c.flags;
    EXPECT_EQ(built.items, c.addsItems ? withItems : without) << "flags " << c.flags;
  }
}

using GetCommandStringTest = ShellExtensionTest;

TEST_F(GetCommandStringTest, OffersTheHelpTextCutToTheBufferAndNoVerb) {
  struct Case {
    UINT type;
    UINT_PTR command;
    UINT bufferSize;
    HRESULT expected;
    std::string text;  // what the buffer holds afterwards; "#": left untouched
  };
  const Case cases[] = {
      {GCS_HELPTEXTA, 0, 260, S_OK, kHelpText},
      {GCS_HELPTEXTA, 0, 6, S_OK, "Split"},
      {GCS_HELPTEXTA, 0, 1, S_OK, ""},
      {GCS_HELPTEXTA, 0, 0, S_OK, "#"},
      {GCS_HELPTEXTA, 1, 260, S_OK, kHelpText},
      {GCS_HELPTEXTW, 0, 260, S_OK, kHelpText},
      {GCS_HELPTEXTW, 0, 6, S_OK, "Split"},
      {GCS_VALIDATEA, 0, 260, S_OK, "#"},
      {GCS_VALIDATEW, 0, 260, S_OK, "#"},
      {GCS_VERBA, 0, 260, E_NOTIMPL, "#"},
      {GCS_VERBW, 0, 260, E_NOTIMPL, "#"},
  };
  TComRef<IContextMenu> menu = NewHandler<IContextMenu>(IID_IContextMenu);
  for (const Case& c : cases) {
    alignas(wchar_t) char bytes[600];
    std::memset(bytes, '#', sizeof bytes - 2);
    bytes[598] = bytes[599] = '\0';
    EXPECT_EQ(menu->GetCommandString(c.command, c.type, nullptr, bytes, c.bufferSize), c.expected)
        << "type " << c.type;
    if (c.text == "#") {
      EXPECT_EQ(std::string(bytes, 2), "##") << "type " << c.type << " wrote into the buffer";
    } else if (c.type & GCS_UNICODE) {
      const auto* wide = reinterpret_cast<const wchar_t*>(bytes);
      EXPECT_EQ(win32::Narrow(std::wstring(wide, wcsnlen(wide, 300))), c.text) << "size " << c.bufferSize;
    } else {
      EXPECT_EQ(std::string(bytes, strnlen(bytes, 600)), c.text) << "size " << c.bufferSize;
    }
  }
}

}  // namespace
}  // namespace kvx::test
