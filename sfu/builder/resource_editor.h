#pragma once
// TResourceEditor: the resources of an executable image held in memory, with the operations
// the SFU program builder needs (list, add, replace, delete, group icons) and saving the
// edited image. Version resources are edited with TVersionInfo (version_info.h).
#include <cstdint>
#include <string>
#include <vector>

#include "sfu/builder/pe_image.h"
#include "sfu/builder/resource_tree.h"

namespace kvx {

class TResourceEditor {
 public:
  // Loads the image. Raises EKarvexError for a truncated or damaged image, one that is not a
  // PE image and one without a resource section.
  explicit TResourceEditor(std::vector<uint8_t> image);

  // Every resource, in the order of the image's tree.
  const std::vector<TResource>& Resources() const { return resources_; }

  // The first resource of the type whose name equals `name` without regard to ASCII case, or
  // null. The pointer is valid until the next change.
  const TResource* FindFirst(uint16_t type, const std::string& name) const;
  // The first resource of the type, or null; valid until the next change.
  const TResource* FindFirstOfType(uint16_t type) const;

  // Adds an RCDATA resource of language 0 (its name upper-cased); one of the same name and
  // language is replaced, as the system's own resource updates do.
  void AddRcData(const std::string& name, std::vector<uint8_t> data);
  // Replaces the bytes of the resource with the key of `which`; type, name and language stay.
  void ReplaceData(const TResource& which, std::vector<uint8_t> data);
  // Deletes the resource with the key of `which`; a group icon takes its icon images with it,
  // except those another group icon of its language lists.
  void Delete(const TResource& which);
  // Adds a group icon of the given name and language from the bytes of an ".ico" file: one
  // icon image resource per image, numbered after the highest icon id in the image, and the
  // group directory listing them. Raises when the icon file is damaged.
  void AddGroupIcon(const TResId& name, uint16_t language, const std::vector<uint8_t>& icoFile);

  // The edited image.
  std::vector<uint8_t> Save() const;

 private:
  std::vector<TResource>::iterator Find(const TResource& key);
  void Put(TResource resource);

  TPeImage image_;
  std::vector<TResource> resources_;
};

}  // namespace kvx
