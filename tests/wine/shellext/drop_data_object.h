#pragma once
// The smallest data object Explorer could hand a context-menu handler: the selected files as
// CF_HDROP in global memory. It records what it was asked for and whether the medium came back.
#include <string>
#include <vector>

#include "common/os/win32.h"

#include <objidl.h>

namespace kvx::test {

class TDropDataObject : public IDataObject {
 public:
  // `files`: full paths; `failGetData` makes every GetData fail as a data object without files would.
  explicit TDropDataObject(std::vector<std::string> files, bool failGetData = false);

  const std::vector<FORMATETC>& Requests() const { return requests_; }
  // How many media the handler released (each one exactly once is right).
  int ReleasedMedia() const { return releaser_.released; }

  // Lives on the test's stack: references are not counted.
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }

  HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override;
  HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override { return E_NOTIMPL; }

 private:
  // Handed out as the medium's pUnkForRelease: ReleaseStgMedium calls it instead of freeing the
  // memory itself, so the release is seen, and the memory is freed here.
  struct TMediumReleaser : IUnknown {
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override;
    HGLOBAL memory = nullptr;
    int released = 0;
  };

  std::vector<std::string> files_;
  bool failGetData_;
  std::vector<FORMATETC> requests_;
  TMediumReleaser releaser_;
};

}  // namespace kvx::test
