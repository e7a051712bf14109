#include <gtest/gtest.h>

#include "common/os/os.h"
#include "common/paths.h"

namespace kvx {
namespace {

std::string Native(std::string path) {
  for (char& c : path)
    if (c == '/') c = os::PathSeparator();
  return path;
}

TEST(AddBackslash, AppendsOneSeparator) {
  EXPECT_EQ(AddBackslash(""), Native("/"));
  EXPECT_EQ(AddBackslash(Native("pieces")), Native("pieces/"));
  EXPECT_EQ(AddBackslash(Native("pieces/")), Native("pieces/"));
}

TEST(FileNameParts, NameExtensionAndFolder) {
  EXPECT_EQ(ExtractFileName(Native("/video/holiday.avi")), "holiday.avi");
  EXPECT_EQ(ExtractFileExt(Native("/video/holiday.avi")), ".avi");
  EXPECT_EQ(ExtractFileExt(Native("/v.d/README")), "");
  EXPECT_EQ(ExtractFileDir(Native("/video/holiday.avi")), Native("/video"));
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
  for (const auto& c : kCases) EXPECT_EQ(FileNameWithoutExt(Native(std::string("/x/") + c.path)), c.name) << c.path;
}

}  // namespace
}  // namespace kvx
