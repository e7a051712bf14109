// The class factory (one static object per process) and the export that hands it out.
#include "shellext/identities.h"
#include "shellext/module.h"
#include "shellext/pure_context_menu.h"

namespace kvx::shell {

namespace {

struct TClassFactory;

// Slots of IUnknown and IClassFactory, in the order the caller uses them.
struct TClassFactoryTable {
  HRESULT(STDMETHODCALLTYPE* QueryInterface)(TClassFactory* self, REFIID riid, void** ppv);
  ULONG(STDMETHODCALLTYPE* AddRef)(TClassFactory* self);
  ULONG(STDMETHODCALLTYPE* Release)(TClassFactory* self);
  HRESULT(STDMETHODCALLTYPE* CreateInstance)(TClassFactory* self, IUnknown* outer, REFIID riid, void** ppv);
  HRESULT(STDMETHODCALLTYPE* LockServer)(TClassFactory* self, BOOL lock);
};

struct TClassFactory {
  const TClassFactoryTable* table;
};

// The factory is never freed, so its reference answers are fixed; the references still keep
// the module loaded.
ULONG STDMETHODCALLTYPE AddRef(TClassFactory*) {
  LockModule();
  return 2;
}

ULONG STDMETHODCALLTYPE Release(TClassFactory*) {
  UnlockModule();
  return 1;
}

HRESULT STDMETHODCALLTYPE QueryInterface(TClassFactory* self, REFIID riid, void** ppv) {
  if (!ppv) return E_POINTER;
  *ppv = nullptr;
  if (riid != kIUnknownId && riid != kIClassFactoryId) return E_NOINTERFACE;
  AddRef(self);
  *ppv = self;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE CreateInstance(TClassFactory*, IUnknown* outer, REFIID riid, void** ppv) {
  if (!ppv) return E_POINTER;
  *ppv = nullptr;
  if (outer) return CLASS_E_NOAGGREGATION;
  return CreateContextMenu(riid, ppv);
}

HRESULT STDMETHODCALLTYPE LockServer(TClassFactory*, BOOL lock) {
  if (lock) {
    LockModule();
  } else {
    UnlockModule();
  }
  return S_OK;
}

constexpr TClassFactoryTable kClassFactoryTable = {QueryInterface, AddRef, Release, CreateInstance, LockServer};
TClassFactory gClassFactory = {&kClassFactoryTable};

}  // namespace

}  // namespace kvx::shell

STDAPI DllGetClassObject(REFCLSID rclsid, REFIID riid, LPVOID* ppv) {
  using namespace kvx::shell;
  if (!ppv) return E_POINTER;
  *ppv = nullptr;
  if (rclsid != kHandlerClassId) return CLASS_E_CLASSNOTAVAILABLE;
  return QueryInterface(&gClassFactory, riid, ppv);
}
