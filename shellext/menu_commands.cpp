// IContextMenu: the one menu item, its help text and its command.
#include "shellext/error_text.h"
#include "shellext/karvex_launch.h"
#include "shellext/pure_context_menu.h"

namespace kvx::shell {

namespace {

constexpr char kMenuItem[] = "Split with Karvex";
constexpr char kHelpText[] = "Split the selected file into smaller pieces with Karvex.";
constexpr char kErrorCaption[] = "Karvex Shell Extension - Error";

// The menu kinds the item belongs to: a plain right click (no kind flag) or Explorer's tree view.
bool OffersItems(UINT flags) {
  const UINT kind = flags & (CMF_DEFAULTONLY | CMF_VERBSONLY | CMF_EXPLORE | CMF_NOVERBS);
  return kind == 0 || (kind & CMF_EXPLORE) != 0;
}

// A verb given as a number (the offset of the item), not as a text; 0xFFFE and 0xFFFF are
// not offsets of any item.
bool IsCommandNumber(LPCSTR verb) {
  const auto value = reinterpret_cast<ULONG_PTR>(verb);
  const ULONG_PTR low = value & 0xFFFF;
  return (value >> 16) == 0 && low != 0xFFFE && low != 0xFFFF;
}

void CopyCut(const char* text, char* buffer, UINT bufferSize) {
  if (bufferSize > 0) lstrcpynA(buffer, text, static_cast<int>(bufferSize));
}

// The help text is ASCII, so widening is a copy of each character.
void CopyCutWide(const char* text, wchar_t* buffer, UINT bufferSize) {
  if (bufferSize == 0) return;
  UINT i = 0;
  for (; i + 1 < bufferSize && text[i] != '\0'; ++i) buffer[i] = static_cast<unsigned char>(text[i]);
  buffer[i] = L'\0';
}

}  // namespace

HRESULT STDMETHODCALLTYPE QueryContextMenu(TContextMenu*, HMENU menu, UINT index, UINT firstCommand, UINT,
                                           UINT flags) {
  if (!OffersItems(flags)) return 0;
  InsertMenuA(menu, index, MF_BYPOSITION | MF_SEPARATOR, 0, nullptr);
  InsertMenuA(menu, index + 1, MF_BYPOSITION | MF_STRING, firstCommand, kMenuItem);
  return 2;
}

HRESULT STDMETHODCALLTYPE InvokeCommand(TContextMenu* self, CMINVOKECOMMANDINFO* info) {
  if (!info || !IsCommandNumber(info->lpVerb)) return E_INVALIDARG;
  TErrorText error;
  if (!StartKarvex(self->fileName ? self->fileName : "", error)) {
    MessageBoxA(info->hwnd, error.text, kErrorCaption, MB_ICONERROR);
    return E_FAIL;
  }
  return S_OK;
}

// Only the help text is offered, in the caller's choice of ANSI or UTF-16; there is no verb.
HRESULT STDMETHODCALLTYPE GetCommandString(TContextMenu*, UINT_PTR, UINT type, UINT*, LPSTR buffer,
                                           UINT bufferSize) {
  switch (type) {
    case GCS_HELPTEXTA:
      CopyCut(kHelpText, buffer, bufferSize);
      return S_OK;
    case GCS_HELPTEXTW:
      CopyCutWide(kHelpText, reinterpret_cast<wchar_t*>(buffer), bufferSize);
      return S_OK;
    case GCS_VALIDATEA:
    case GCS_VALIDATEW:
      return S_OK;
    default:
      return E_NOTIMPL;
  }
}

}  // namespace kvx::shell
