#include "app/model/settings_xml.h"

#include <cstdlib>

#include "common/codepage.h"
#include "common/errors.h"
#include "common/text.h"

namespace kvx {

namespace {

const char kProlog[] = "<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>";

std::string Escaped(const std::string& value) {
  std::string out;
  for (char c : value) {
    if (c == '&') out += "&amp;";
    else if (c == '<') out += "&lt;";
    else out += c;
  }
  return out;
}

void WriteElement(const TSettingsElement& e, size_t depth, std::string& out) {
  const std::string indent(depth * 2, ' ');
  if (!e.Children.empty()) {
    out += indent + "<" + e.Name + ">\r\n";
    for (const TSettingsElement& child : e.Children) WriteElement(child, depth + 1, out);
    out += indent + "</" + e.Name + ">\r\n";
  } else if (e.Value.empty()) {
    out += indent + "<" + e.Name + "/>\r\n";
  } else {
    out += indent + "<" + e.Name + ">" + Escaped(e.Value) + "</" + e.Name + ">\r\n";
  }
}

// A recursive-descent reader over text that is already UTF-8.
class TReader {
 public:
  explicit TReader(const std::string& text) : text_(text) {}

  TSettingsElement Document() {
    SkipMisc();
    if (!At("<")) Fail("the root element is missing");
    TSettingsElement root = Element();
    SkipMisc();
    if (pos_ < text_.size()) Fail("text follows the root element");
    return root;
  }

 private:
  [[noreturn]] void Fail(const std::string& what) const {
    unsigned line = 1;
    for (size_t i = 0; i < pos_ && i < text_.size(); ++i)
      if (text_[i] == '\n') ++line;
    throw EKarvexError(Format("%s at line %u", what.c_str(), line));
  }

  bool At(const char* token) const { return text_.compare(pos_, std::char_traits<char>::length(token), token) == 0; }
  static bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
  static bool IsNameChar(char c) {
    return !IsBlank(c) && c != '<' && c != '>' && c != '/' && c != '=' && c != '"' && c != '\'' && c != '\0';
  }

  // Moves past the next occurrence of token.
  void SkipPast(const char* token, const char* what) {
    const size_t end = text_.find(token, pos_);
    if (end == std::string::npos) Fail(what);
    pos_ = end + std::char_traits<char>::length(token);
  }

  // Blanks, comments, processing instructions and a document type.
  void SkipMisc() {
    for (;;) {
      while (pos_ < text_.size() && IsBlank(text_[pos_])) ++pos_;
      if (At("<?")) SkipPast("?>", "an unterminated processing instruction");
      else if (At("<!--")) SkipPast("-->", "an unterminated comment");
      else if (At("<!")) SkipPast(">", "an unterminated declaration");
      else return;
    }
  }

  std::string Name() {
    const size_t start = pos_;
    while (pos_ < text_.size() && IsNameChar(text_[pos_])) ++pos_;
    if (pos_ == start) Fail("an element name is missing");
    return text_.substr(start, pos_ - start);
  }

  // Skips the attributes; true for an empty-element tag "/>".
  bool EndOfStartTag() {
    for (;;) {
      while (pos_ < text_.size() && IsBlank(text_[pos_])) ++pos_;
      if (pos_ >= text_.size()) Fail("an unterminated tag");
      if (At("/>")) {
        pos_ += 2;
        return true;
      }
      if (At(">")) {
        ++pos_;
        return false;
      }
      Name();
      while (pos_ < text_.size() && IsBlank(text_[pos_])) ++pos_;
      if (!At("=")) Fail("an attribute without a value");
      ++pos_;
      while (pos_ < text_.size() && IsBlank(text_[pos_])) ++pos_;
      const char quote = pos_ < text_.size() ? text_[pos_] : '\0';
      if (quote != '"' && quote != '\'') Fail("an attribute value without quotes");
      const size_t end = text_.find(quote, pos_ + 1);
      if (end == std::string::npos) Fail("an unterminated attribute value");
      pos_ = end + 1;
    }
  }

  TSettingsElement Element() {
    ++pos_;  // "<"
    TSettingsElement e;
    e.Name = Name();
    if (EndOfStartTag()) return e;
    std::string value;
    for (;;) {
      if (pos_ >= text_.size()) Fail("the element \"" + e.Name + "\" is not closed");
      if (At("</")) {
        pos_ += 2;
        if (Name() != e.Name) Fail("the closing tag does not match \"" + e.Name + "\"");
        while (pos_ < text_.size() && IsBlank(text_[pos_])) ++pos_;
        if (!At(">")) Fail("an unterminated closing tag");
        ++pos_;
        break;
      }
      if (At("<!--")) SkipPast("-->", "an unterminated comment");
      else if (At("<![CDATA[")) CData(value);
      else if (At("<?")) SkipPast("?>", "an unterminated processing instruction");
      else if (At("<")) e.Children.push_back(Element());
      else if (At("&")) Reference(value);
      else value += text_[pos_++];
    }
    if (e.Children.empty()) e.Value = value;
    return e;
  }

  void CData(std::string& value) {
    pos_ += 9;
    const size_t end = text_.find("]]>", pos_);
    if (end == std::string::npos) Fail("an unterminated CDATA section");
    value += text_.substr(pos_, end - pos_);
    pos_ = end + 3;
  }

  // An entity or character reference; an "&" that starts none stands for itself.
  void Reference(std::string& value) {
    static const struct { const char* name; char c; } kNamed[] = {
        {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}};
    for (const auto& entity : kNamed) {
      if (At(entity.name)) {
        value += entity.c;
        pos_ += std::char_traits<char>::length(entity.name);
        return;
      }
    }
    const size_t semicolon = text_.find(';', pos_);
    if (At("&#") && semicolon != std::string::npos && semicolon - pos_ <= 10) {
      const bool hex = text_.compare(pos_ + 2, 1, "x") == 0 || text_.compare(pos_ + 2, 1, "X") == 0;
      const std::string digits = text_.substr(pos_ + (hex ? 3 : 2), semicolon - pos_ - (hex ? 3 : 2));
      char* end = nullptr;
      const unsigned long code = std::strtoul(digits.c_str(), &end, hex ? 16 : 10);
      const bool surrogate = code >= 0xD800 && code < 0xE000;
      if (!digits.empty() && *end == '\0' && digits.find_first_of("+- ") == std::string::npos && code > 0 &&
          code <= 0x10FFFF && !surrogate) {
        AppendUtf8(value, static_cast<uint32_t>(code));
        pos_ = semicolon + 1;
        return;
      }
    }
    value += text_[pos_++];
  }

  const std::string& text_;
  size_t pos_ = 0;
};

bool DeclaresUtf8(const std::string& bytes) {
  if (bytes.compare(0, 5, "<?xml") != 0) return false;
  const std::string prolog = UpperCaseAscii(bytes.substr(0, bytes.find("?>")));
  return prolog.find("UTF-8") != std::string::npos;
}

}  // namespace

std::string WriteSettingsXml(const TSettingsElement& root) {
  std::string out = std::string(kProlog) + "\r\n";
  WriteElement(root, 0, out);
  return Utf8ToAnsi(out);
}

TSettingsElement ParseSettingsXml(const std::string& bytes) {
  static const char kBom[] = "\xEF\xBB\xBF";
  std::string text;
  if (bytes.compare(0, 3, kBom) == 0) text = bytes.substr(3);
  else if (DeclaresUtf8(bytes)) text = bytes;
  else text = AnsiToUtf8(bytes);
  return TReader(text).Document();
}

}  // namespace kvx
