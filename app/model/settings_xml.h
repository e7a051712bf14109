#pragma once
// The text form of a settings document.
//
// Written: the line <?xml version="1.0" encoding="iso-8859-1"?>, then the root; every element
// on a line of its own, indented by two spaces per level below the root, every line ended by
// CR LF; an element with children as opening tag, children, closing tag; one without children
// as <name>value</name>, or <name/> when the value is empty. No attributes. The text is
// Windows-1252. In values "&" is written as "&amp;" and "<" as "&lt;", so that every value
// comes back as it was; all other characters are written as they stand.
//
// Read: any prologue, comments, processing instructions and a document type are skipped,
// attributes are ignored, CDATA sections are text, the five named entity references and
// numeric character references are decoded, and an "&" that starts none of them is taken as it
// stands (so documents of writers that did not escape still read). A document whose prologue
// names UTF-8, or that starts with the UTF-8 byte-order mark, is read as UTF-8, any other as
// Windows-1252. The text of an element with children is ignored; the text of an element
// without children is its value, blanks included.
#include <string>

#include "app/model/settings_element.h"

namespace kvx {

std::string WriteSettingsXml(const TSettingsElement& root);

// Raises EKarvexError "<what is wrong> at line <n>" for text that is not one well-formed
// element tree.
TSettingsElement ParseSettingsXml(const std::string& bytes);

}  // namespace kvx
