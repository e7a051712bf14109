// The default English table, apart from FillText: the SFU core fills texts but loads its
// own table, so it does not carry this one.
#include "sfu/runtime/text_args.h"

namespace kvx {

TSfuLanguage EnglishTexts() {
  std::vector<std::string> lines = SplitAnsiLines(DefaultLanguageFile());
  RemoveCommentLines(lines);
  const std::string resource = LanguageResource(lines);
  TSfuLanguage texts;
  texts.Load(resource.data(), resource.size());
  return texts;
}

}  // namespace kvx
