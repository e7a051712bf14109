#pragma once
// The handler object that Explorer creates for a selection: COM by hand, with two static
// interface tables and a plain record.
#include <cstddef>

#include "shellext/shell_win32.h"

namespace kvx::shell {

struct TContextMenu;

// Slots of IUnknown and IContextMenu, in the order the shell calls them.
struct TContextMenuTable {
  HRESULT(STDMETHODCALLTYPE* QueryInterface)(TContextMenu* self, REFIID riid, void** ppv);
  ULONG(STDMETHODCALLTYPE* AddRef)(TContextMenu* self);
  ULONG(STDMETHODCALLTYPE* Release)(TContextMenu* self);
  HRESULT(STDMETHODCALLTYPE* QueryContextMenu)(TContextMenu* self, HMENU menu, UINT index, UINT firstCommand,
                                               UINT lastCommand, UINT flags);
  HRESULT(STDMETHODCALLTYPE* InvokeCommand)(TContextMenu* self, CMINVOKECOMMANDINFO* info);
  HRESULT(STDMETHODCALLTYPE* GetCommandString)(TContextMenu* self, UINT_PTR command, UINT type, UINT* reserved,
                                               LPSTR buffer, UINT bufferSize);
};

// The IShellExtInit pointer is the address of the record's init table field.
struct TInitTable;
using TInitPointer = const TInitTable**;

// Slots of IShellExtInit.
struct TInitTable {
  HRESULT(STDMETHODCALLTYPE* QueryInterface)(TInitPointer self, REFIID riid, void** ppv);
  ULONG(STDMETHODCALLTYPE* AddRef)(TInitPointer self);
  ULONG(STDMETHODCALLTYPE* Release)(TInitPointer self);
  HRESULT(STDMETHODCALLTYPE* Initialize)(TInitPointer self, PCIDLIST_ABSOLUTE folder, IDataObject* data,
                                         HKEY programKey);
};

// The object's own address is its IUnknown and IContextMenu pointer.
struct TContextMenu {
  const TContextMenuTable* contextMenuTable;
  const TInitTable* initTable;
  volatile LONG referenceCount;
  char* fileName;  // the selected file's full path (ANSI) once initialised; owned
};
static_assert(sizeof(TContextMenu) == 4 * sizeof(void*), "the handler record is four machine words");

// Creates a handler and asks it for `riid`. On success the object holds one count on the module.
HRESULT CreateContextMenu(REFIID riid, void** ppv);

// The handler's methods beyond IUnknown.
HRESULT STDMETHODCALLTYPE Initialize(TInitPointer self, PCIDLIST_ABSOLUTE folder, IDataObject* data,
                                     HKEY programKey);
HRESULT STDMETHODCALLTYPE QueryContextMenu(TContextMenu* self, HMENU menu, UINT index, UINT firstCommand,
                                           UINT lastCommand, UINT flags);
HRESULT STDMETHODCALLTYPE InvokeCommand(TContextMenu* self, CMINVOKECOMMANDINFO* info);
HRESULT STDMETHODCALLTYPE GetCommandString(TContextMenu* self, UINT_PTR command, UINT type, UINT* reserved,
                                           LPSTR buffer, UINT bufferSize);

// The record behind an IShellExtInit pointer.
inline TContextMenu* ObjectOf(TInitPointer init) {
  return reinterpret_cast<TContextMenu*>(reinterpret_cast<char*>(init) - offsetof(TContextMenu, initTable));
}

}  // namespace kvx::shell
