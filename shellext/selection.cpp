// IShellExtInit::Initialize: the handler learns which file the menu is for.
#include "shellext/heap_text.h"
#include "shellext/pure_context_menu.h"

namespace kvx::shell {

namespace {

// The first dropped file's name, or nullptr when memory runs out.
char* FirstFileName(HDROP drop) {
  const UINT length = DragQueryFileA(drop, 0, nullptr, 0);
  char* name = AllocText(length);
  if (name) DragQueryFileA(drop, 0, name, length + 1);
  return name;
}

}  // namespace

HRESULT STDMETHODCALLTYPE Initialize(TInitPointer self, PCIDLIST_ABSOLUTE, IDataObject* data, HKEY) {
  if (!data) return E_INVALIDARG;
  FORMATETC format = {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
  STGMEDIUM medium;
  if (FAILED(data->GetData(&format, &medium))) return E_FAIL;
  const auto drop = static_cast<HDROP>(medium.hGlobal);
  HRESULT result = E_FAIL;
  // The command splits one file: a selection of several gets no item.
  if (DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0) == 1) {
    char* name = FirstFileName(drop);
    if (name) {
      TContextMenu* object = ObjectOf(self);
      FreeText(object->fileName);
      object->fileName = name;
      result = S_OK;
    } else {
      result = E_OUTOFMEMORY;
    }
  }
  ReleaseStgMedium(&medium);
  return result;
}

}  // namespace kvx::shell
