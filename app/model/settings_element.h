#pragma once
// One element of a settings document: a name, a value (for an element without children) and
// child elements in document order.
#include <string>
#include <vector>

namespace kvx {

struct TSettingsElement {
  std::string Name;
  std::string Value;  // UTF-8
  std::vector<TSettingsElement> Children;

  // The first child named name (compared without regard to ASCII case), or null.
  TSettingsElement* Find(const std::string& name);
  const TSettingsElement* Find(const std::string& name) const;
  // A new child named name, at the end or at the front of the children.
  TSettingsElement& Add(const std::string& name, bool atFront = false);
  // Removes the first child named name with everything in it; false when there is none.
  bool Remove(const std::string& name);
};

}  // namespace kvx
