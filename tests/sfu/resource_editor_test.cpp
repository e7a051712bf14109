#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "common/byte_io.h"
#include "common/errors.h"
#include "pe_test_support.h"
#include "sfu/builder/icon_group.h"
#include "sfu/builder/pe_image.h"
#include "sfu/builder/resource_editor.h"
#include "sfu/builder/version_info.h"
#include "support/temp_dir.h"
#include "test_images.h"

namespace kvx {
namespace {

using Bytes = std::vector<uint8_t>;

const TResource* Find(const TResourceEditor& editor, uint16_t type, const TResId& name) {
  for (const TResource& r : editor.Resources())
    if (r.Type == TResId::Number(type) && r.Name == name) return &r;
  return nullptr;
}

size_t CountOfType(const TResourceEditor& editor, uint16_t type) {
  return static_cast<size_t>(std::count_if(editor.Resources().begin(), editor.Resources().end(),
                                           [&](const TResource& r) { return r.Type == TResId::Number(type); }));
}

// Each loader stub of the build: the x86-64 test build's, and the shipped 32-bit one on the host.
class StubEditing : public ::testing::TestWithParam<std::string> {
 protected:
  Bytes Stub() const { return test::TestImage(GetParam()); }
};
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(StubEditing);
INSTANTIATE_TEST_SUITE_P(Stubs, StubEditing, ::testing::ValuesIn(test::StubImageNames()),
                         [](const ::testing::TestParamInfo<std::string>& info) { return info.param; });

TEST_P(StubEditing, StubStaysUnder64KiB) { EXPECT_LT(Stub().size(), 65536u); }

TEST_P(StubEditing, ListsTheStubsResources) {
  const Bytes stub = Stub();
  EXPECT_EQ(TPeImage(stub).IsPe32Plus(), GetParam() == "stub");
  const TResourceEditor editor(stub);
  const TResource* eng = editor.FindFirst(rtRcData, "eng");
  ASSERT_NE(eng, nullptr);
  EXPECT_EQ(eng->Language, 1033);
  EXPECT_EQ(eng->Data, Bytes(4, 0));
  const TResource* group = editor.FindFirstOfType(rtGroupIcon);
  ASSERT_NE(group, nullptr);
  EXPECT_EQ(group->Name.ToString(), "MAINICON");
  EXPECT_EQ(group->Language, 0);
  for (uint16_t id : GroupIconIds(group->Data)) EXPECT_NE(Find(editor, rtIcon, TResId::Number(id)), nullptr) << id;
  EXPECT_EQ(CountOfType(editor, rtIcon), 2u);
  const TResource* version = editor.FindFirstOfType(rtVersion);
  ASSERT_NE(version, nullptr);
  EXPECT_EQ(version->Name.ToString(), "#1");
  EXPECT_EQ(version->Language, 0);
  const TResource* manifest = editor.FindFirstOfType(rtManifest);
  ASSERT_NE(manifest, nullptr);
  EXPECT_EQ(manifest->Language, 1033);
  EXPECT_NE(std::string(manifest->Data.begin(), manifest->Data.end()).find("Karvex Self-Uniting"), std::string::npos);
}

TEST_P(StubEditing, SavingWithoutChangesKeepsEveryResource) {
  const TResourceEditor editor(Stub());
  const Bytes saved = editor.Save();
  test::ExpectSoundLayout(saved);
  const TResourceEditor again(saved);
  ASSERT_EQ(again.Resources().size(), editor.Resources().size());
  for (size_t i = 0; i < editor.Resources().size(); ++i) {
    EXPECT_TRUE(again.Resources()[i].SameKey(editor.Resources()[i])) << i;
    EXPECT_EQ(again.Resources()[i].Data, editor.Resources()[i].Data) << i;
  }
}

TEST_P(StubEditing, AddReplaceAndDeleteRoundTrip) {
  TResourceEditor editor(Stub());
  const Bytes core = test::PatternBytes(300000);
  const TResource eng = *editor.FindFirst(rtRcData, "ENG");
  editor.ReplaceData(eng, core);
  editor.AddRcData("sfx", Bytes(1972, 7));
  editor.AddRcData("WEL", Bytes{'h', 'i'});
  const Bytes saved = editor.Save();
  test::ExpectSoundLayout(saved);
  EXPECT_GT(saved.size(), Stub().size() + core.size());

  TResourceEditor reloaded(saved);
  const TResource* replaced = reloaded.FindFirst(rtRcData, "ENG");
  ASSERT_NE(replaced, nullptr);
  EXPECT_EQ(replaced->Language, 1033);
  EXPECT_EQ(replaced->Data, core);
  const TResource* sfx = reloaded.FindFirst(rtRcData, "SFX");
  ASSERT_NE(sfx, nullptr);
  EXPECT_EQ(sfx->Name.ToString(), "SFX");
  EXPECT_EQ(sfx->Language, 0);
  EXPECT_EQ(sfx->Data, Bytes(1972, 7));

  reloaded.Delete(*sfx);
  reloaded.AddRcData("wel", Bytes{'n', 'e', 'w'});  // replaces, does not duplicate
  const TResourceEditor last(reloaded.Save());
  EXPECT_EQ(last.FindFirst(rtRcData, "SFX"), nullptr);
  EXPECT_EQ(last.FindFirst(rtRcData, "WEL")->Data, (Bytes{'n', 'e', 'w'}));
  EXPECT_EQ(CountOfType(last, rtRcData), 2u);
  EXPECT_EQ(last.FindFirst(rtRcData, "ENG")->Data, core);
}

TEST_P(StubEditing, NamesAreWrittenInTheOrderTheLoaderSearches) {
  TResourceEditor editor(Stub());
  for (const char* name : {"zed", "B", "a", "SFX", "BMP", "LNG"}) editor.AddRcData(name, Bytes{1});
  const TResourceEditor reloaded(editor.Save());
  std::vector<std::string> names;
  for (const TResource& r : reloaded.Resources())
    if (r.Type == TResId::Number(rtRcData)) names.push_back(r.Name.ToString());
  EXPECT_EQ(names, (std::vector<std::string>{"A", "B", "BMP", "ENG", "LNG", "SFX", "ZED"}));
}

TEST_P(StubEditing, OverlayStaysAtTheEnd) {
  Bytes stub = Stub();
  const Bytes overlay{'t', 'r', 'a', 'i', 'l', 'e', 'r'};
  stub.insert(stub.end(), overlay.begin(), overlay.end());
  TResourceEditor editor(stub);
  editor.ReplaceData(*editor.FindFirst(rtRcData, "ENG"), test::PatternBytes(20000));
  const Bytes saved = editor.Save();
  ASSERT_GT(saved.size(), overlay.size());
  EXPECT_EQ(Bytes(saved.end() - overlay.size(), saved.end()), overlay);
  test::ExpectSoundLayout(saved);
}

TEST_P(StubEditing, VersionStringsAreChangedAndAdded) {
  TResourceEditor editor(Stub());
  const TResource version = *editor.FindFirstOfType(rtVersion);
  TVersionInfo info(version.Data);
  EXPECT_EQ(info.GetString("FileDescription"), "Karvex Self-Uniting");
  EXPECT_EQ(info.GetString("ProductName"), "Karvex");
  EXPECT_EQ(info.GetString("Comments"), "");
  info.SetString("FileDescription", "Karvex Self-Uniting for report.pdf");
  info.SetString("productname", "Annual report \xE2\x82\xAC");  // an existing key in other letter case
  info.SetString("Comments", "Split for the archive");
  editor.ReplaceData(version, info.Serialize());
  const TResourceEditor reloaded(editor.Save());
  const TResource* saved = reloaded.FindFirstOfType(rtVersion);
  ASSERT_NE(saved, nullptr);
  EXPECT_EQ(saved->Language, 0);
  const TVersionInfo back(saved->Data);
  EXPECT_EQ(back.GetString("FileDescription"), "Karvex Self-Uniting for report.pdf");
  EXPECT_EQ(back.GetString("ProductName"), "Annual report \xE2\x82\xAC");
  EXPECT_EQ(back.GetString("Comments"), "Split for the archive");
  EXPECT_EQ(back.GetString("FileVersion"), "2, 0, 0, 0");
  EXPECT_EQ(back.GetString("LegalCopyright"), info.GetString("LegalCopyright"));
  // The fixed version and the translation table come back byte for byte.
  const Bytes original = version.Data;
  EXPECT_TRUE(std::equal(original.begin() + 40, original.begin() + 92, saved->Data.begin() + 40));
  const Bytes translation{0, 0, 0xB0, 0x04};
  EXPECT_TRUE(std::search(saved->Data.begin(), saved->Data.end(), translation.begin(), translation.end()) !=
              saved->Data.end());
}

TEST_P(StubEditing, ReplacedGroupIconKeepsItsNameAndIsTheOnlyOne) {
  TResourceEditor editor(Stub());
  const TResource old = *editor.FindFirstOfType(rtGroupIcon);
  editor.Delete(old);
  EXPECT_EQ(CountOfType(editor, rtGroupIcon), 0u);
  EXPECT_EQ(CountOfType(editor, rtIcon), 0u);
  editor.AddGroupIcon(old.Name, 0, test::MakeIcoFile({16, 32, 48}, 0x00C000));
  const TResourceEditor reloaded(editor.Save());
  ASSERT_EQ(CountOfType(reloaded, rtGroupIcon), 1u);
  const TResource* group = reloaded.FindFirstOfType(rtGroupIcon);
  EXPECT_EQ(group->Name.ToString(), "MAINICON");
  EXPECT_EQ(group->Language, 0);
  const std::vector<uint16_t> ids = GroupIconIds(group->Data);
  ASSERT_EQ(ids.size(), 3u);
  EXPECT_EQ(CountOfType(reloaded, rtIcon), 3u);
  for (uint16_t id : ids) {
    const TResource* icon = Find(reloaded, rtIcon, TResId::Number(id));
    ASSERT_NE(icon, nullptr) << id;
    EXPECT_EQ(icon->Language, 0);
  }
  // Entries carry the image's size and bit count; planes are 1.
  EXPECT_EQ(group->Data[6 + 14 * 2], 48);
  EXPECT_EQ(GetU16(&group->Data[6 + 14 * 2 + 4]), 1);
  EXPECT_EQ(GetU16(&group->Data[6 + 14 * 2 + 6]), 32);
  EXPECT_EQ(GetU32(&group->Data[6 + 14 * 2 + 8]), Find(reloaded, rtIcon, TResId::Number(ids[2]))->Data.size());
}

TEST_P(StubEditing, AddedIconsTakeIdsAfterTheHighestInUse) {
  TResourceEditor editor(Stub());
  editor.AddGroupIcon(TResId::Text("second"), 0, test::MakeIcoFile({16}, 0xFF0000));
  const std::vector<uint16_t> ids = GroupIconIds(editor.FindFirst(rtGroupIcon, "SECOND")->Data);
  EXPECT_EQ(ids, std::vector<uint16_t>{3});
  // Deleting the stub's own group leaves the images the other group lists.
  editor.Delete(*editor.FindFirst(rtGroupIcon, "MAINICON"));
  EXPECT_EQ(CountOfType(editor, rtIcon), 1u);
  EXPECT_NE(Find(editor, rtIcon, TResId::Number(3)), nullptr);
}

TEST_P(StubEditing, SectionThatCannotMoveStopsTheGrowth) {
  Bytes stub = Stub();
  const TPeImage image(stub);
  const auto& sections = image.Sections();
  const auto reloc = std::find_if(sections.begin(), sections.end(), [](const TPeSection& s) { return s.Name == ".reloc"; });
  ASSERT_NE(reloc, sections.end());
  const size_t headerAt = GetU32(&stub[0x3C]) + 24 + GetU16(&stub[GetU32(&stub[0x3C]) + 20]) +
                          40 * static_cast<size_t>(reloc - sections.begin());
  PutU32(&stub[headerAt + 36], GetU32(&stub[headerAt + 36]) & ~0x02000000u);  // not discardable
  TResourceEditor editor(stub);
  EXPECT_EQ(editor.Save().size(), stub.size());  // what fits stays in place
  editor.ReplaceData(*editor.FindFirst(rtRcData, "ENG"), test::PatternBytes(100000));
  EXPECT_EQ(test::ErrorOf([&] { editor.Save(); }),
            "The resource section cannot grow: section \".reloc\" follows it and cannot move");
}

TEST_P(StubEditing, DamagedImagesAreRefusedWithClearErrors) {
  const Bytes stub = Stub();
  const uint32_t pe = GetU32(&stub[0x3C]);
  const size_t directoryCountAt = pe + 24 + (TPeImage(stub).IsPe32Plus() ? 108 : 92);
  const struct {
    const char* what;
    Bytes image;
    std::string error;
  } cases[] = {
      {"empty", {}, "The executable image is not a PE image"},
      {"no MZ", [&] { Bytes b = stub; b[0] = 'X'; return b; }(), "The executable image is not a PE image"},
      {"no PE signature", [&] { Bytes b = stub; b[pe] = 'X'; return b; }(), "The executable image is not a PE image"},
      {"cut in the headers", Bytes(stub.begin(), stub.begin() + pe + 30), "The executable image is truncated or damaged"},
      {"cut in the sections", Bytes(stub.begin(), stub.end() - 600), "The executable image is truncated or damaged"},
      {"e_lfanew far away", [&] { Bytes b = stub; PutU32(&b[0x3C], 0xFFFFFFF0u); return b; }(),
       "The executable image is not a PE image"},
      {"no resource directory", [&] { Bytes b = stub; PutU32(&b[directoryCountAt + 4 + 16], 0); return b; }(),
       "The executable image has no resource section"},
      {"too few directories", [&] { Bytes b = stub; PutU32(&b[directoryCountAt], 2); return b; }(),
       "The executable image has no resource section"},
      {"resource directory inside a section",
       [&] { Bytes b = stub; PutU32(&b[directoryCountAt + 4 + 16], GetU32(&b[directoryCountAt + 4 + 16]) + 8); return b; }(),
       "The executable image is damaged: the resource directory does not start a section"},
  };
  for (const auto& c : cases) EXPECT_EQ(test::ErrorOf([&] { TResourceEditor editor(c.image); }), c.error) << c.what;
}

TEST(ResourceEditor, ReportsTheMissingResourcesOfTheFixtures) {
  const Bytes noEng = test::TestImage("stub_no_eng");
  const Bytes noVersion = test::TestImage("stub_no_version");
  if (noEng.empty() || noVersion.empty()) GTEST_SKIP() << "fixture images not in this build";
  EXPECT_EQ(TResourceEditor(noEng).FindFirst(rtRcData, "ENG"), nullptr);
  EXPECT_NE(TResourceEditor(noEng).FindFirstOfType(rtVersion), nullptr);
  EXPECT_EQ(TResourceEditor(noVersion).FindFirstOfType(rtVersion), nullptr);
  EXPECT_NE(TResourceEditor(noVersion).FindFirst(rtRcData, "eNg"), nullptr);
}

TEST(ResourceEditor, EditsTheCoreLibraryAsWell) {
  const Bytes core = test::TestImage("test_core");
  if (core.empty()) GTEST_SKIP() << "test core not in this build";
  TResourceEditor editor(core);
  editor.AddRcData("LNG", Bytes(5000, 'x'));
  const Bytes saved = editor.Save();
  test::ExpectSoundLayout(saved);
  EXPECT_EQ(TResourceEditor(saved).FindFirst(rtRcData, "LNG")->Data, Bytes(5000, 'x'));
}

TEST(ResourceTree, DirectoriesSharingTheirEntriesAreRefused) {
  // 500 types that all lead to one name directory of 500 names, all leading to one empty
  // language directory: a quarter of a million visits in an 8 KB tree.
  const uint16_t n = 500;
  const uint32_t names = 16 + 8 * n, languages = names + 16 + 8 * n;
  Bytes section(languages + 16, 0);
  PutU16(&section[14], n);
  PutU16(&section[names + 14], n);
  for (uint32_t i = 0; i < n; ++i) {
    PutU32(&section[16 + 8 * i], i + 1);
    PutU32(&section[16 + 8 * i + 4], 0x80000000u | names);
    PutU32(&section[names + 16 + 8 * i], i + 1);
    PutU32(&section[names + 16 + 8 * i + 4], 0x80000000u | languages);
  }
  const auto noData = [](uint32_t, uint32_t) { return Bytes(); };
  EXPECT_EQ(test::ErrorOf([&] { ReadResourceTree(section, noData, 1 << 20); }),
            "The resource directory is damaged: too many entries");
}

TEST(ResourceTree, WrittenTreeReadsBack) {
  std::vector<TResource> resources(3);
  resources[0] = {TResId::Number(rtRcData), TResId::Text("b"), 0, 0, Bytes{1, 2, 3}};
  resources[1] = {TResId::Number(rtRcData), TResId::Text("A"), 1033, 1252, Bytes(9, 4)};
  resources[2] = {TResId::Text("custom"), TResId::Number(7), 0, 0, Bytes{}};
  const uint32_t sectionRva = 0x5000;
  const Bytes section = WriteResourceTree(resources, sectionRva);
  const auto readRva = [&](uint32_t rva, uint32_t size) {
    return Bytes(section.begin() + (rva - sectionRva), section.begin() + (rva - sectionRva) + size);
  };
  const std::vector<TResource> back = ReadResourceTree(section, readRva, section.size());
  ASSERT_EQ(back.size(), 3u);
  // Named types first, then numbers; names within a type sorted.
  EXPECT_TRUE(back[0].SameKey(resources[2]));
  EXPECT_TRUE(back[1].SameKey(resources[1]));
  EXPECT_EQ(back[1].CodePage, 1252u);
  EXPECT_EQ(back[1].Data, resources[1].Data);
  EXPECT_TRUE(back[2].SameKey(resources[0]));
  EXPECT_EQ(back[2].Data, resources[0].Data);
  resources.push_back(resources[0]);
  EXPECT_EQ(test::ErrorOf([&] { WriteResourceTree(resources, sectionRva); }),
            "Two resources have the same type, name and language: #10/B");
}

TEST(IconFile, DamagedIconFilesAreRefused) {
  const Bytes good = test::MakeIcoFile({16, 32}, 0);
  const struct {
    const char* what;
    Bytes ico;
    std::string error;
  } cases[] = {
      {"empty", {}, "The icon file is truncated or damaged"},
      {"cursor type", [&] { Bytes b = good; b[2] = 2; return b; }(), "The icon file is damaged: not an icon directory"},
      {"no images", [&] { Bytes b = good; b[4] = 0; return b; }(), "The icon file is damaged: no images"},
      {"entries cut", Bytes(good.begin(), good.begin() + 20), "The icon file is truncated or damaged"},
      {"image past the end", Bytes(good.begin(), good.end() - 1), "The icon file is truncated or damaged"},
      {"offset wraps", [&] { Bytes b = good; PutU32(&b[6 + 12], 0xFFFFFFF0u); return b; }(),
       "The icon file is truncated or damaged"},
  };
  for (const auto& c : cases) EXPECT_EQ(test::ErrorOf([&] { ParseIcoFile(c.ico); }), c.error) << c.what;
}

TEST(IconFile, GroupEntriesFillInPlanesAndBitCount) {
  TIconImage image;
  image.Width = 16;
  image.Height = 16;
  image.ColorCount = 16;
  image.Data = Bytes(10, 1);
  const Bytes group = GroupIconDirectory({image}, 7);
  ASSERT_EQ(group.size(), 20u);
  EXPECT_EQ(GetU16(&group[6 + 4]), 1);  // planes
  EXPECT_EQ(GetU16(&group[6 + 6]), 4);  // 16 colours: 4 bits
  EXPECT_EQ(GetU32(&group[6 + 8]), 10u);
  EXPECT_EQ(GetU16(&group[6 + 12]), 7);
  EXPECT_EQ(GroupIconIds(group), std::vector<uint16_t>{7});
}

TEST(VersionInfo, DamagedResourcesAreRefused) {
  const struct {
    const char* what;
    Bytes data;
    std::string error;
  } cases[] = {
      {"empty", {}, "The version information resource is truncated or damaged"},
      {"length past the end", {0x40, 0, 0, 0, 0, 0, 'V', 0}, "The version information resource is truncated or damaged"},
      {"too short a node", {4, 0, 0, 0}, "The version information resource is damaged: a node is too short"},
      {"other root", {10, 0, 0, 0, 0, 0, 'X', 0, 0, 0}, "The version information resource is damaged: the root is not VS_VERSION_INFO"},
  };
  for (const auto& c : cases) EXPECT_EQ(test::ErrorOf([&] { TVersionInfo info(c.data); }), c.error) << c.what;
}

}  // namespace
}  // namespace kvx
