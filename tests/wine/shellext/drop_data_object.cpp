#include "drop_data_object.h"

#include <cstring>

#include <shlobj.h>

namespace kvx::test {

namespace {

// DROPFILES followed by the names in UTF-16, each ending with a zero, and one more zero: the
// form Explorer hands out.
HGLOBAL DropFiles(const std::vector<std::string>& files) {
  std::wstring names;
  for (const std::string& file : files) names += win32::Widen(file) + L'\0';
  names += L'\0';
  const size_t namesSize = names.size() * sizeof(wchar_t);
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + namesSize);
  auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
  drop->pFiles = sizeof(DROPFILES);
  drop->fWide = TRUE;
  std::memcpy(reinterpret_cast<char*>(drop) + sizeof(DROPFILES), names.data(), namesSize);
  GlobalUnlock(memory);
  return memory;
}

}  // namespace

TDropDataObject::TDropDataObject(std::vector<std::string> files, bool failGetData)
    : files_(std::move(files)), failGetData_(failGetData) {}

HRESULT STDMETHODCALLTYPE TDropDataObject::QueryInterface(REFIID riid, void** ppv) {
  *ppv = nullptr;
  if (riid != IID_IUnknown && riid != IID_IDataObject) return E_NOINTERFACE;
  *ppv = static_cast<IDataObject*>(this);
  return S_OK;
}

HRESULT STDMETHODCALLTYPE TDropDataObject::GetData(FORMATETC* format, STGMEDIUM* medium) {
  requests_.push_back(*format);
  if (failGetData_) return DV_E_FORMATETC;
  releaser_.memory = DropFiles(files_);
  medium->tymed = TYMED_HGLOBAL;
  medium->hGlobal = releaser_.memory;
  medium->pUnkForRelease = &releaser_;
  return S_OK;
}

ULONG STDMETHODCALLTYPE TDropDataObject::TMediumReleaser::Release() {
  GlobalFree(memory);
  memory = nullptr;
  ++released;
  return 1;
}

}  // namespace kvx::test
