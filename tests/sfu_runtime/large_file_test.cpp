// An original past 4 GiB, made sparse, split and restored: offsets and sizes stay 64-bit all
// the way. Native only (the Wine run would take minutes); skipped where no volume has room.
#include <gtest/gtest.h>

#include <filesystem>

#include "common/disk.h"
#include "common/file.h"
#include "common/os/os.h"
#include "common/paths.h"
#include "common/text.h"
#include "engine/karvex_thread.h"
#include "sfu/runtime/unite_engine.h"
#include "support/fake_split_view.h"
#include "support/temp_dir.h"

namespace kvx {
namespace {

namespace fs = std::filesystem;

constexpr int64_t kSize = (int64_t{4} << 30) + 3 * 65536 + 123;
// Marks written into the sparse original: the start, across the 4 GiB line, the end.
constexpr int64_t kMarks[] = {0, (int64_t{4} << 30) - 1000, kSize - 5000};

class NullUniteView : public IUniteView {
 public:
  void Log(const std::string&) override {}
  void SetProgress(int) override {}
  std::string AskPiece(const std::string&, const std::string&, const std::string&) override { return {}; }
  TBoxResult ShowBox(const std::string& text, const std::string&, TBoxIcon, TBoxButtons) override {
    boxes.push_back(text);
    return brNo;
  }
  std::vector<std::string> boxes;
};

// A folder on a volume with room for the pieces and the restored file, or none.
std::string RoomyFolder() {
  for (const char* base : {"/dev/shm", "/tmp"})
    if (os::DirectoryExists(base) && FolderFreeSpace(base) > 2 * kSize + (int64_t{1} << 30))
      return AddBackslash(base) + "kvx-large-" + std::to_string(::getpid());
  return {};
}

std::vector<uint8_t> ReadAt(const std::string& path, int64_t offset, uint32_t count) {
  TFile file(path, cmOpenExisting, amRead, smShareRead);
  file.Seek(0, offset);
  std::vector<uint8_t> bytes(count);
  file.ReadExact(bytes.data(), count);
  return bytes;
}

TEST(LargeFileTest, SplitAndUnitePast4GiB) {
#ifdef _WIN32
  GTEST_SKIP() << "native suite only";
#else
  const std::string root = RoomyFolder();
  if (root.empty()) GTEST_SKIP() << "no volume with room for two copies of 4 GiB";
  fs::create_directories(root);
  struct Cleanup {
    std::string path;
    ~Cleanup() { fs::remove_all(path); }
  } cleanup{root};
  const std::string original = AddBackslash(root) + "big.bin";
  {
    TFile file(original, cmCreateAlways, amWrite, smExclusive);
    for (int64_t at : kMarks) {
      file.Seek(0, at);
      const auto mark = test::PatternBytes(4096, static_cast<uint32_t>(at));
      file.Write(mark.data(), 4096);
    }
    file.Seek(0, kSize);
    file.Truncate();
  }

  test::FakeSplitView view;
  TKarvexThread thread(&view);
  thread.Engine.SourceFile = original;
  thread.Engine.DestFolder = AddBackslash(root) + "set";
  thread.Engine.PieceSize = int64_t{1} << 30;
  thread.Execute();
  ASSERT_EQ(thread.Outcome, "Successful");
  ASSERT_EQ(thread.Engine.PiecesWritten, 5);

  const std::string restored = AddBackslash(root) + "restored.bin";
  TUniteInputs in;
  in.FirstPiecePath = AddBackslash(thread.Engine.DestFolder) + "disk1.kxd";
  in.FirstRecord = ReadFirstRecord(in.FirstPiecePath);
  in.OutputPath = restored;
  TSfuLanguage texts;
  NullUniteView unite;
  EXPECT_TRUE(TUniteEngine(in, texts, unite).Unite());  // size and CRC of the whole file
  EXPECT_TRUE(unite.boxes.empty());
  EXPECT_EQ(fs::file_size(restored), static_cast<uintmax_t>(kSize));
  for (int64_t at : kMarks) EXPECT_EQ(ReadAt(restored, at, 4096), ReadAt(original, at, 4096)) << at;
#endif
}

}  // namespace
}  // namespace kvx
