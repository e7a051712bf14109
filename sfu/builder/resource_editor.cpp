#include "sfu/builder/resource_editor.h"

#include <algorithm>

#include "common/errors.h"
#include "sfu/builder/icon_group.h"

namespace kvx {

namespace {
bool SameNameIgnoringCase(const TResId& id, const std::string& name) {
  const TResId wanted = TResId::Text(name);
  if (!id.IsName() || id.Name.size() != wanted.Name.size()) return false;
  for (size_t i = 0; i < id.Name.size(); ++i) {
    char16_t c = id.Name[i];
    if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
    if (c != wanted.Name[i]) return false;
  }
  return true;
}
}  // namespace

TResourceEditor::TResourceEditor(std::vector<uint8_t> image) : image_(std::move(image)) {
  resources_ = ReadResourceTree(
      image_.ResourceSectionBytes(), [this](uint32_t rva, uint32_t size) { return image_.ReadRva(rva, size); },
      image_.Bytes().size());
}

const TResource* TResourceEditor::FindFirst(uint16_t type, const std::string& name) const {
  for (const TResource& r : resources_)
    if (r.Type == TResId::Number(type) && SameNameIgnoringCase(r.Name, name)) return &r;
  return nullptr;
}

const TResource* TResourceEditor::FindFirstOfType(uint16_t type) const {
  for (const TResource& r : resources_)
    if (r.Type == TResId::Number(type)) return &r;
  return nullptr;
}

std::vector<TResource>::iterator TResourceEditor::Find(const TResource& key) {
  const auto it = std::find_if(resources_.begin(), resources_.end(), [&](const TResource& r) { return r.SameKey(key); });
  if (it == resources_.end())
    throw EKarvexError("The resource " + key.Type.ToString() + "/" + key.Name.ToString() + " does not exist");
  return it;
}

void TResourceEditor::Put(TResource resource) {
  const auto it = std::find_if(resources_.begin(), resources_.end(),
                               [&](const TResource& r) { return r.SameKey(resource); });
  if (it != resources_.end()) {
    *it = std::move(resource);
  } else {
    resources_.push_back(std::move(resource));
  }
}

void TResourceEditor::AddRcData(const std::string& name, std::vector<uint8_t> data) {
  TResource r;
  r.Type = TResId::Number(rtRcData);
  r.Name = TResId::Text(name);
  r.Data = std::move(data);
  Put(std::move(r));
}

void TResourceEditor::ReplaceData(const TResource& which, std::vector<uint8_t> data) {
  Find(which)->Data = std::move(data);
}

void TResourceEditor::Delete(const TResource& which) {
  const auto it = Find(which);
  const TResId groupType = TResId::Number(rtGroupIcon);
  std::vector<uint16_t> icons;  // the images that go with the group
  if (it->Type == groupType) {
    icons = GroupIconIds(it->Data);
    for (const TResource& r : resources_) {
      if (r.Type != groupType || r.Language != it->Language || r.SameKey(*it)) continue;
      for (uint16_t listed : GroupIconIds(r.Data)) icons.erase(std::remove(icons.begin(), icons.end(), listed), icons.end());
    }
  }
  const uint16_t language = it->Language;
  resources_.erase(it);
  resources_.erase(std::remove_if(resources_.begin(), resources_.end(),
                                  [&](const TResource& r) {
                                    return r.Type == TResId::Number(rtIcon) && !r.Name.IsName() &&
                                           r.Language == language &&
                                           std::find(icons.begin(), icons.end(), r.Name.Id) != icons.end();
                                  }),
                   resources_.end());
}

void TResourceEditor::AddGroupIcon(const TResId& name, uint16_t language, const std::vector<uint8_t>& icoFile) {
  const std::vector<TIconImage> images = ParseIcoFile(icoFile);
  uint32_t highest = 0;
  for (const TResource& r : resources_)
    if (r.Type == TResId::Number(rtIcon) && !r.Name.IsName()) highest = std::max<uint32_t>(highest, r.Name.Id);
  if (highest + images.size() > 0xFFFF) throw EKarvexError("The image has no free icon resource ids");
  const uint16_t firstId = static_cast<uint16_t>(highest + 1);
  for (size_t i = 0; i < images.size(); ++i) {
    TResource icon;
    icon.Type = TResId::Number(rtIcon);
    icon.Name = TResId::Number(static_cast<uint16_t>(firstId + i));
    icon.Language = language;
    icon.Data = images[i].Data;
    Put(std::move(icon));
  }
  TResource group;
  group.Type = TResId::Number(rtGroupIcon);
  group.Name = name;
  group.Language = language;
  group.Data = GroupIconDirectory(images, firstId);
  Put(std::move(group));
}

std::vector<uint8_t> TResourceEditor::Save() const {
  return image_.WithResourceSection(WriteResourceTree(resources_, image_.ResourceSection().VirtualAddress));
}

}  // namespace kvx
