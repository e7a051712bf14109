#include "app/model/settings_element.h"

#include "common/text.h"

namespace kvx {

TSettingsElement* TSettingsElement::Find(const std::string& name) {
  for (TSettingsElement& child : Children)
    if (SameTextAscii(child.Name, name)) return &child;
  return nullptr;
}

const TSettingsElement* TSettingsElement::Find(const std::string& name) const {
  return const_cast<TSettingsElement*>(this)->Find(name);
}

TSettingsElement& TSettingsElement::Add(const std::string& name, bool atFront) {
  TSettingsElement child;
  child.Name = name;
  if (atFront) return *Children.insert(Children.begin(), std::move(child));
  Children.push_back(std::move(child));
  return Children.back();
}

bool TSettingsElement::Remove(const std::string& name) {
  for (auto it = Children.begin(); it != Children.end(); ++it) {
    if (SameTextAscii(it->Name, name)) {
      Children.erase(it);
      return true;
    }
  }
  return false;
}

}  // namespace kvx
