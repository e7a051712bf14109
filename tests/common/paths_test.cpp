#include <gtest/gtest.h>

#include "common/paths.h"
#include "support/temp_dir.h"

namespace kvx {
namespace {

using test::NativePath;

TEST(AddBackslash, AppendsOneSeparator) {
  EXPECT_EQ(AddBackslash(""), NativePath("/"));
  EXPECT_EQ(AddBackslash(NativePath("pieces")), NativePath("pieces/"));
  EXPECT_EQ(AddBackslash(NativePath("pieces/")), NativePath("pieces/"));
}

TEST(FileNameParts, NameExtensionAndFolder) {
  EXPECT_EQ(ExtractFileName(NativePath("/video/holiday.avi")), "holiday.avi");
  EXPECT_EQ(ExtractFileExt(NativePath("/video/holiday.avi")), ".avi");
  EXPECT_EQ(ExtractFileExt(NativePath("/v.d/README")), "");
  EXPECT_EQ(ExtractFileDir(NativePath("/video/holiday.avi")), NativePath("/video"));
  EXPECT_EQ(ExtractFileDir("holiday.avi"), "");
  EXPECT_EQ(ChangeFileExt("report.pdf.001", ".EXE"), "report.pdf.EXE");
  EXPECT_EQ(ChangeFileExt("README", ".EXE"), "README.EXE");
}

TEST(FileNameWithoutExt, RemovesFourCharactersAtTheExtension) {
  const struct {
    const char* path;
    const char* name;
  } kCases[] = {
      {"movie.avi", "movie"},     {"archive.tar.gz", "archive.tar"}, {"photo.jpeg", "photog"},
      {"main.c", "main"},         {"README", "README"},              {"a.b.a", "a.b"},
  };
  for (const auto& c : kCases) EXPECT_EQ(FileNameWithoutExt(NativePath(std::string("/x/") + c.path)), c.name) << c.path;
}

}  // namespace
}  // namespace kvx
