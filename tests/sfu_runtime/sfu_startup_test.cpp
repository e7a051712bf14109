// The start-up rules of the SFU program: where the first piece is looked for, how its record
// is read and matched against the program's settings, silent mode and the proposed output.
#include "sfu/runtime/sfu_startup.h"

#include <gtest/gtest.h>

#include "common/file.h"
#include "common/os/os.h"
#include "common/paths.h"
#include "support/temp_dir.h"

namespace kvx {
namespace {

TFirstPieceTrailer SetRecord() {
  TFirstPieceTrailer record;
  record.FileName = "movie.avi";
  record.SetTitle = "Holiday";
  record.UniqueId = "{set-1}";
  record.PieceCount = 5;
  return record;
}

TSfuSettings SettingsFor(const TFirstPieceTrailer& record) {
  TSfuSettings settings;
  settings.ArchiveTitle = record.SetTitle;
  settings.UniqueId = record.UniqueId;
  settings.PieceCount = record.PieceCount;
  return settings;
}

// A piece file: `data` bytes of payload followed by the record's bytes.
void WritePiece(const std::string& path, size_t data, const std::vector<uint8_t>& record) {
  std::vector<uint8_t> bytes = test::PatternBytes(data, 9);
  bytes.insert(bytes.end(), record.begin(), record.end());
  test::WriteAll(path, bytes);
}

std::vector<uint8_t> Bytes(const TFirstPieceTrailer::Bytes& record) { return {record.begin(), record.end()}; }

TEST(SfuStartup, LooksBesideTheProgramFirstThenInTheCurrentFolder) {
  const std::string program = AddBackslash("sets") + "movie.avi.EXE";
  const std::vector<std::string> candidates = FirstPieceCandidates(program, "work", "disk1.kxd");
  ASSERT_EQ(candidates.size(), 2u);
  EXPECT_EQ(candidates[0], AddBackslash("sets") + "disk1.kxd");
  EXPECT_EQ(candidates[1], AddBackslash("work") + "disk1.kxd");
}

TEST(SfuStartup, ReadsTheRecordOrZerosWhenThereIsNone) {
  test::TempDir dir;
  const TFirstPieceTrailer::Bytes record = SetRecord().Serialize();
  TFirstPieceTrailer::Bytes lowerMagic = record;
  lowerMagic[1] = 'k';
  const TFirstPieceTrailer::Bytes zero{};
  struct Case {
    const char* name;
    size_t data;
    std::vector<uint8_t> tail;
    TFirstPieceTrailer::Bytes expected;
  } cases[] = {
      {"piece", 5000, Bytes(record), record},
      {"record only", 0, Bytes(record), record},
      {"magic in other letter case", 5000, Bytes(lowerMagic), zero},
      {"shorter than a record", 0, std::vector<uint8_t>(record.begin(), record.end() - 1), zero},
      {"no record", 5000, test::PatternBytes(2000, 4), zero},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WritePiece(dir / "disk1.kxd", c.data, c.tail);
    EXPECT_EQ(ReadStartRecord(dir / "disk1.kxd"), c.expected);
  }
  EXPECT_EQ(ReadStartRecord(dir / "missing.kxd"), zero);
}

TEST(SfuStartup, ReadsTheRecordOfAFileOthersHaveOpen) {
  test::TempDir dir;
  WritePiece(dir / "program.exe", 3000, Bytes(SetRecord().Serialize()));
  // A merged first piece is the running program, which the system keeps open.
  TFile running(dir / "program.exe", cmOpenExisting, amRead, smShareRead);
  EXPECT_EQ(ReadStartRecord(dir / "program.exe"), SetRecord().Serialize());
}

TEST(SfuStartup, AcceptsOnlyAFirstPieceOfItsOwnSet) {
  const TFirstPieceTrailer record = SetRecord();
  struct Case {
    const char* name;
    void (*change)(TSfuSettings&);
    bool belongs;
  } cases[] = {
      {"same set", [](TSfuSettings&) {}, true},
      {"title in other letter case", [](TSfuSettings& s) { s.ArchiveTitle = "HOLIDAY"; }, false},
      {"other unique id", [](TSfuSettings& s) { s.UniqueId = "{set-2}"; }, false},
      {"other piece count", [](TSfuSettings& s) { s.PieceCount = 4; }, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TSfuSettings settings = SettingsFor(record);
    c.change(settings);
    EXPECT_EQ(BelongsToSet(settings, record.Serialize()), c.belongs);
  }
}

TEST(SfuStartup, AZeroedRecordNeverBelongsToASet) {
  // Even settings that are themselves empty do not match a piece without a record.
  EXPECT_FALSE(BelongsToSet(TSfuSettings(), TFirstPieceTrailer::Bytes{}));
  EXPECT_FALSE(BelongsToSet(SettingsFor(SetRecord()), TFirstPieceTrailer::Bytes{}));
}

TEST(SfuStartup, SilentModeStartsClosesAndNeverAsksToOverwrite) {
  TSfuSettings settings;
  ApplySilentMode(settings);
  EXPECT_FALSE(settings.AutoStart || settings.AutoClose || settings.NoOverwritePrompt);
  settings.Silent = true;
  ApplySilentMode(settings);
  EXPECT_TRUE(settings.AutoStart && settings.AutoClose && settings.NoOverwritePrompt);
}

TEST(SfuStartup, ProposesTheFolderOfTheDestinationKind) {
  TRestoreFolders folders;
  folders.Windows = "win";
  folders.System = "sys";
  folders.Temp = AddBackslash("tmp");  // the system gives it with a separator
  folders.Current = "cur";
  folders.Program = "sets";
  folders.Custom = "custom";
  const std::pair<uint16_t, std::string> cases[] = {
      {dkWindowsFolder, "win"}, {dkSystemFolder, "sys"}, {dkTempFolder, "tmp"}, {dkCurrentFolder, "cur"},
      {dkSfuFolder, "sets"},    {dkCustomFolder, "custom"}, {9, "sets"},
  };
  for (const auto& [kind, folder] : cases) {
    SCOPED_TRACE(kind);
    EXPECT_EQ(ProposedOutputPath(kind, folders, "movie.avi"), AddBackslash(folder) + "movie.avi");
  }
}

TEST(SfuStartup, TheProposedFileStaysInItsFolderWhateverTheRecordSays) {
  TRestoreFolders folders;
  folders.Program = "sets";
  for (const char* name : {"..\\..\\evil.exe", "C:\\Windows\\evil.exe", "../evil.exe", "d:evil.exe"}) {
    SCOPED_TRACE(name);
    EXPECT_EQ(ProposedOutputPath(dkSfuFolder, folders, name), AddBackslash("sets") + "evil.exe");
  }
}

TEST(SfuStartup, SlashDollarBreaksTheLine) {
  EXPECT_EQ(WithLineBreaks("Hello/$World/$/$!"), "Hello\r\nWorld\r\n\r\n!");
  EXPECT_EQ(WithLineBreaks("no break / $"), "no break / $");
}

}  // namespace
}  // namespace kvx
