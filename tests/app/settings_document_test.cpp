// Settings documents: the exact text written, the value kinds, and what the reader tolerates.
#include <gtest/gtest.h>

#include <string>

#include "app/model/settings_document.h"
#include "app/model/text_file.h"
#include "common/errors.h"
#include "common/os/os.h"
#include "support/temp_dir.h"

namespace kvx {
namespace {

const char kProlog[] = "<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n";

TEST(SettingsDocument, WritesTheExactText) {
  TSettingsDocument doc("KarvexProfile");
  EXPECT_EQ(doc.Text(), std::string(kProlog) + "<KarvexProfile/>\r\n");
  doc.WriteInteger("Settings\\FormVersion", 0);
  doc.WriteString("Settings\\fich_Text", "C:\\data\\report.pdf");
  doc.WriteString("Settings\\GTit_Text", "");
  doc.WriteBool("Settings\\cnoheader_Checked", false);
  doc.WriteInteger("Other\\Negative", -12);
  EXPECT_EQ(doc.Text(), std::string(kProlog) +
                            "<KarvexProfile>\r\n"
                            "  <Settings>\r\n"
                            "    <FormVersion>0</FormVersion>\r\n"
                            "    <fich_Text>C:\\data\\report.pdf</fich_Text>\r\n"
                            "    <GTit_Text/>\r\n"
                            "    <cnoheader_Checked>FALSE</cnoheader_Checked>\r\n"
                            "  </Settings>\r\n"
                            "  <Other>\r\n"
                            "    <Negative>-12</Negative>\r\n"
                            "  </Other>\r\n"
                            "</KarvexProfile>\r\n");
}

TEST(SettingsDocument, ExistingKeysKeepTheirPlaceAndKeysIgnoreCase) {
  TSettingsDocument doc("R");
  doc.WriteString("S\\a", "1");
  doc.WriteString("S\\b", "2");
  doc.WriteString("s\\A", "3");  // the same key
  doc.WriteString("S\\c", "4");
  EXPECT_EQ(doc.Text(), std::string(kProlog) + "<R>\r\n  <S>\r\n    <a>3</a>\r\n    <b>2</b>\r\n    <c>4</c>\r\n  </S>\r\n</R>\r\n");
  std::string value;
  EXPECT_TRUE(doc.ReadString("S\\C", value));
  EXPECT_EQ(value, "4");
}

TEST(SettingsDocument, BooleansReadEveryWrittenForm) {
  const struct {
    const char* text;
    bool read;
    bool value;
  } kCases[] = {{"TRUE", true, true}, {"true", true, true}, {"yes", true, true}, {"Y", true, true},
                {"y", true, true},    {"FALSE", true, false}, {"No", true, false}, {"n", true, false},
                {"0", true, false},   {"7", true, true},     {"-1", true, true},  {"maybe", false, false},
                {"", false, false},   {" 1", false, false}};
  for (const auto& c : kCases) {
    TSettingsDocument doc("R");
    doc.WriteString("k", c.text);
    bool value = !c.value;
    const bool unchanged = value;
    EXPECT_EQ(doc.ReadBool("k", value), c.read) << c.text;
    EXPECT_EQ(value, c.read ? c.value : unchanged) << c.text;
  }
}

TEST(SettingsDocument, FloatsAreTwentyHexDigitsOfAnExtendedNumber) {
  const struct {
    double value;
    const char* text;
  } kCases[] = {
      {1000, "00000000000000FA0840"}, {0, "00000000000000000000"}, {1, "0000000000000080FF3F"},
      {-2, "000000000000008000C0"},   {0.5, "0000000000000080FE3F"}, {1.5, "00000000000000C0FF3F"},
      {4294967296.0, "00000000000000801F40"},
  };
  for (const auto& c : kCases) {
    TSettingsDocument doc("R");
    doc.WriteFloat("S\\firstdisk_Value", c.value);
    std::string text;
    doc.ReadString("S\\firstdisk_Value", text);
    EXPECT_EQ(text, c.text) << c.value;
    double back = -99;
    EXPECT_TRUE(doc.ReadFloat("S\\firstdisk_Value", back));
    EXPECT_EQ(back, c.value);
  }
  for (double value : {123456789.125, -0.1, 1e-300, 1e300, 5e-324}) {
    double back = 0;
    EXPECT_TRUE(ParseExtendedHex(ExtendedHex(value), back));
    EXPECT_EQ(back, value);
  }
  // Lower-case digits are read; anything that does not give exactly 10 bytes is not.
  for (const char* bad : {"00000000000000FA084", "00000000000000FA08400", "0000000000000GFA0840", "1000", ""}) {
    double value = 7;
    EXPECT_FALSE(ParseExtendedHex(bad, value)) << bad;
    EXPECT_EQ(value, 7);
  }
  double value = 0;
  EXPECT_TRUE(ParseExtendedHex("00000000000000fa0840", value));
  EXPECT_EQ(value, 1000);
}

TEST(SettingsDocument, ListsAreRewrittenWhole) {
  TSettingsDocument doc("R");
  doc.WriteString("S\\before", "x");
  doc.WriteLines("S\\memwelc_Lines", {"one", "", "three"});
  doc.WriteString("S\\after", "y");
  EXPECT_EQ(doc.Text(), std::string(kProlog) +
                            "<R>\r\n  <S>\r\n    <before>x</before>\r\n    <memwelc_Lines>\r\n"
                            "      <Count>3</Count>\r\n      <Item0>one</Item0>\r\n      <Item1/>\r\n"
                            "      <Item2>three</Item2>\r\n    </memwelc_Lines>\r\n    <after>y</after>\r\n"
                            "  </S>\r\n</R>\r\n");
  doc.WriteLines("S\\memwelc_Lines", {"only"});
  EXPECT_EQ(doc.Text(), std::string(kProlog) +
                            "<R>\r\n  <S>\r\n    <before>x</before>\r\n    <after>y</after>\r\n"
                            "    <memwelc_Lines>\r\n      <Count>1</Count>\r\n      <Item0>only</Item0>\r\n"
                            "    </memwelc_Lines>\r\n  </S>\r\n</R>\r\n");
  std::vector<std::string> lines{"old"};
  EXPECT_TRUE(doc.ReadLines("s\\MEMWELC_LINES", lines));
  EXPECT_EQ(lines, std::vector<std::string>{"only"});
  EXPECT_FALSE(doc.ReadLines("S\\missing", lines));
  EXPECT_EQ(lines, std::vector<std::string>{"only"});
}

TEST(SettingsDocument, MissingOrUnconvertibleKeysLeaveTheSetting) {
  TSettingsDocument doc("R");
  doc.WriteString("S\\n", "12a");
  int64_t number = 5;
  EXPECT_FALSE(doc.ReadInteger("S\\n", number));
  EXPECT_FALSE(doc.ReadInteger("S\\missing", number));
  EXPECT_EQ(number, 5);
  std::string text = "kept";
  EXPECT_FALSE(doc.ReadString("missing\\deeper", text));
  EXPECT_EQ(text, "kept");
  // A list whose count is damaged gives no more lines than the element holds.
  ASSERT_NO_THROW(doc.Parse("<R><L><Count>2000000000</Count><Item0>a</Item0></L></R>", "test"));
  std::vector<std::string> lines;
  EXPECT_TRUE(doc.ReadLines("L", lines));
  EXPECT_LE(lines.size(), 2u);
  EXPECT_EQ(lines.at(0), "a");
}

TEST(SettingsDocument, ValuesWithMarkupCharactersComeBack) {
  const std::string value = "a<b & c>d &amp; <!-- x --> ]]>";
  TSettingsDocument doc("R");
  doc.WriteString("S\\texec_Text", value);
  EXPECT_NE(doc.Text().find("<texec_Text>a&lt;b &amp; c>d &amp;amp; &lt;!-- x --> ]]></texec_Text>"),
            std::string::npos);
  TSettingsDocument back("R");
  back.Parse(doc.Text(), "test");
  std::string read;
  EXPECT_TRUE(back.ReadString("S\\texec_Text", read));
  EXPECT_EQ(read, value);
}

TEST(SettingsDocument, TextIsWindows1252AndBlanksAreKept) {
  TSettingsDocument doc("R");
  doc.WriteString("k", " caf\xC3\xA9\r\n ");
  EXPECT_NE(doc.Text().find("<k> caf\xE9\r\n </k>"), std::string::npos);
  TSettingsDocument back("R");
  back.Parse(doc.Text(), "test");
  std::string read;
  back.ReadString("k", read);
  EXPECT_EQ(read, " caf\xC3\xA9\r\n ");
}

TEST(SettingsDocument, ReadsDocumentsOfOtherWriters) {
  const std::string text =
      "\xEF\xBB\xBF<?xml version='1.0' encoding='UTF-8'?>\n<!-- written by hand -->\n"
      "<!DOCTYPE x>\n<Whatever version=\"2\">\n"
      "  <Settings a='1' b=\"2\">\n"
      "    <tdesc_Text>Tom &amp; Jerry &lt;3 &quot;&apos;&gt; &#65;&#x42;&#x1F600; &#xD800; &unknown; & alone</tdesc_Text>\n"
      "    <GTit_Text><![CDATA[<raw> & text]]></GTit_Text>\n"
      "    <tnomsfu_Text>caf\xC3\xA9</tnomsfu_Text>\n"
      "    <empty></empty>\n"
      "    <?pi ignored?>\n"
      "  </Settings>\n"
      "</Whatever>\n<!-- trailing -->\n";
  TSettingsDocument doc("KarvexProfile");
  doc.Parse(text, "test");
  std::string value;
  doc.ReadString("Settings\\tdesc_Text", value);
  EXPECT_EQ(value, "Tom & Jerry <3 \"'> AB\xF0\x9F\x98\x80 &#xD800; &unknown; & alone");
  doc.ReadString("Settings\\GTit_Text", value);
  EXPECT_EQ(value, "<raw> & text");
  doc.ReadString("Settings\\tnomsfu_Text", value);
  EXPECT_EQ(value, "caf\xC3\xA9");
  EXPECT_TRUE(doc.ReadString("Settings\\empty", value));
  EXPECT_EQ(value, "");
  // The root keeps the document's own name.
  EXPECT_EQ(doc.Root().Name, "KarvexProfile");
}

TEST(SettingsDocument, BrokenDocumentsAreRefusedAndChangeNothing) {
  const struct {
    const char* text;
    const char* message;
  } kCases[] = {
      {"", "the root element is missing at line 1"},
      {"<?xml version=\"1.0\"?>\r\n", "the root element is missing at line 2"},
      {"<R>\r\n  <a>1</b>\r\n</R>", "the closing tag does not match \"a\" at line 2"},
      {"<R>\r\n  <a>1</a>\r\n", "the element \"R\" is not closed at line 3"},
      {"<R></R><S/>", "text follows the root element at line 1"},
      {"<R><a x=1/></R>", "an attribute value without quotes at line 1"},
      {"<R><!-- open</R>", "an unterminated comment at line 1"},
      {"<R><a", "an unterminated tag at line 1"},
      {"just text", "the root element is missing at line 1"},
      {"<R>< a/></R>", "an element name is missing at line 1"},
  };
  for (const auto& c : kCases) {
    TSettingsDocument doc("R");
    doc.WriteString("kept", "yes");
    const std::string before = doc.Text();
    try {
      doc.Parse(c.text, "p.kxc");
      ADD_FAILURE() << c.text;
    } catch (const EKarvexError& e) {
      EXPECT_EQ(std::string(e.what()), std::string("\"p.kxc\" is not a valid settings document: ") + c.message + ".");
    }
    EXPECT_EQ(doc.Text(), before) << c.text;
  }
}

TEST(SettingsDocument, OpenAndSaveGoThroughFiles) {
  test::TempDir dir;
  const std::string path = dir / "p.kxc";
  TSettingsDocument doc("KarvexProfile");
  doc.WriteString("Settings\\fich_Text", "x");
  doc.Save(path);
  EXPECT_EQ(ReadWholeFile(path), doc.Text());
  doc.WriteString("Settings\\fich_Text", "y");
  doc.Save(path);
  TSettingsDocument back("KarvexProfile");
  back.Open(path);
  EXPECT_EQ(back.Text(), doc.Text());
  // Nothing is left beside the file.
  EXPECT_FALSE(os::FileExists(path + ".1.tmp"));

  TSettingsDocument untouched("KarvexProfile");
  untouched.WriteString("a", "b");
  try {
    untouched.Open(dir / "missing.kxc");
    ADD_FAILURE();
  } catch (const EOSError& e) {
    EXPECT_EQ(e.Code(), kErrorFileNotFound);
  }
  EXPECT_TRUE(untouched.HasKey("a"));
}

TEST(SettingsDocument, AFailedSaveLeavesThePreviousFileWhole) {
  test::TempDir dir;
  const std::string path = dir / "karvexpref.xml";
  TSettingsDocument doc("KarvexPreferences");
  doc.WriteString("fsplit\\fich_Text", "first");
  doc.Save(path);
  const std::string before = ReadWholeFile(path);
  // Every name the new file could take is held by a folder, so it cannot be created.
  for (int i = 1; i <= 100; ++i) ASSERT_TRUE(os::ForceDirectories(path + "." + std::to_string(i) + ".tmp"));
  doc.WriteString("fsplit\\fich_Text", "second");
  EXPECT_THROW(doc.Save(path), EOSError);
  EXPECT_EQ(ReadWholeFile(path), before);
  // A folder that does not exist: nothing is created.
  EXPECT_THROW(doc.Save(dir / "no/such/folder/p.kxc"), EOSError);
  EXPECT_FALSE(os::DirectoryExists(dir / "no"));
}

}  // namespace
}  // namespace kvx
