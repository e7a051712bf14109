#include "shellext/pure_context_menu.h"

#include "shellext/heap_text.h"
#include "shellext/identities.h"
#include "shellext/module.h"

namespace kvx::shell {

namespace {

HRESULT STDMETHODCALLTYPE QueryInterface(TContextMenu* self, REFIID riid, void** ppv);

ULONG STDMETHODCALLTYPE AddRef(TContextMenu* self) {
  return static_cast<ULONG>(InterlockedIncrement(&self->referenceCount));
}

ULONG STDMETHODCALLTYPE Release(TContextMenu* self) {
  const LONG count = InterlockedDecrement(&self->referenceCount);
  if (count == 0) {
    FreeText(self->fileName);
    HeapFree(GetProcessHeap(), 0, self);
    UnlockModule();
  }
  return static_cast<ULONG>(count);
}

// IShellExtInit's IUnknown slots step back to the record and use the context-menu ones.
HRESULT STDMETHODCALLTYPE InitQueryInterface(TInitPointer self, REFIID riid, void** ppv) {
  return QueryInterface(ObjectOf(self), riid, ppv);
}
ULONG STDMETHODCALLTYPE InitAddRef(TInitPointer self) { return AddRef(ObjectOf(self)); }
ULONG STDMETHODCALLTYPE InitRelease(TInitPointer self) { return Release(ObjectOf(self)); }

constexpr TContextMenuTable kContextMenuTable = {QueryInterface,   AddRef,        Release,
                                                 QueryContextMenu, InvokeCommand, GetCommandString};
constexpr TInitTable kInitTable = {InitQueryInterface, InitAddRef, InitRelease, Initialize};

HRESULT STDMETHODCALLTYPE QueryInterface(TContextMenu* self, REFIID riid, void** ppv) {
  if (!ppv) return E_POINTER;
  *ppv = nullptr;
  if (riid == kIUnknownId || riid == kIContextMenuId) {
    *ppv = self;
  } else if (riid == kIShellExtInitId) {
    *ppv = &self->initTable;
  } else {
    return E_NOINTERFACE;
  }
  // Through the pointer handed out, as COM wants; both paths reach the same count.
  static_cast<IUnknown*>(*ppv)->AddRef();
  return S_OK;
}

}  // namespace

HRESULT CreateContextMenu(REFIID riid, void** ppv) {
  auto* object = static_cast<TContextMenu*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof(TContextMenu)));
  if (!object) return E_OUTOFMEMORY;
  object->contextMenuTable = &kContextMenuTable;
  object->initTable = &kInitTable;
  const HRESULT result = QueryInterface(object, riid, ppv);
  if (FAILED(result)) {
    HeapFree(GetProcessHeap(), 0, object);
    return result;
  }
  LockModule();
  return result;
}

}  // namespace kvx::shell
