#pragma once
// Every owner of a Win32 resource in the program, and every scope that holds
// a state of the system for as long as it lives. Each owner closes its
// resource exactly once, cannot be copied and can be moved; an empty owner
// holds nothing. Windows hands out "no handle" both as null and as
// INVALID_HANDLE_VALUE depending on the call, so the kernel handle owner
// treats the two alike.

#include <ole2.h>
#include <shlobj.h>
#include <windows.h>

#include <utility>

#include "platform/win32/com.h"

namespace quillon {

template <typename Traits>
class UniqueResource {
 public:
  using Type = typename Traits::Type;

  UniqueResource() = default;
  explicit UniqueResource(Type value) : value_(value) {}
  UniqueResource(UniqueResource&& other) noexcept : value_(other.Release()) {}
  UniqueResource& operator=(UniqueResource&& other) noexcept {
    if (this != &other) Reset(other.Release());
    return *this;
  }
  UniqueResource(const UniqueResource&) = delete;
  UniqueResource& operator=(const UniqueResource&) = delete;
  ~UniqueResource() { Reset(); }

  Type Get() const { return value_; }
  bool Valid() const { return Traits::IsValid(value_); }
  explicit operator bool() const { return Valid(); }

  // Gives up ownership without closing.
  Type Release() { return std::exchange(value_, Traits::Empty()); }
  void Reset(Type value = Traits::Empty()) {
    Type old = std::exchange(value_, value);
    if (Traits::IsValid(old)) Traits::Close(old);
  }
  // For calls that hand the resource out through a pointer argument.
  Type* Put() {
    Reset();
    return &value_;
  }

 private:
  Type value_ = Traits::Empty();
};

// A resource whose "no resource" is null (or zero).
template <typename T>
struct NullIsEmpty {
  using Type = T;
  static Type Empty() { return T{}; }
  static bool IsValid(Type h) { return h != T{}; }
};

struct KernelHandleTraits {
  using Type = HANDLE;
  static Type Empty() { return nullptr; }
  static bool IsValid(Type h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
  static void Close(Type h) { ::CloseHandle(h); }
};
// Processes, threads, files, waitable timers, events.
using UniqueHandle = UniqueResource<KernelHandleTraits>;

struct WinEventHookTraits : NullIsEmpty<HWINEVENTHOOK> {
  static void Close(HWINEVENTHOOK h) { ::UnhookWinEvent(h); }
};
using UniqueWinEventHook = UniqueResource<WinEventHookTraits>;

struct FindHandleTraits {
  using Type = HANDLE;
  static Type Empty() { return INVALID_HANDLE_VALUE; }
  static bool IsValid(Type h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
  static void Close(Type h) { ::FindClose(h); }
};
// A directory search from FindFirstFileW.
using UniqueFindHandle = UniqueResource<FindHandleTraits>;

struct RegKeyTraits : NullIsEmpty<HKEY> {
  static void Close(HKEY h) { ::RegCloseKey(h); }
};
using UniqueRegKey = UniqueResource<RegKeyTraits>;

struct PidlTraits : NullIsEmpty<LPITEMIDLIST> {
  // The shell allocates item identifier lists with the COM task allocator.
  static void Close(LPITEMIDLIST p) { ComFree(p); }
};
using UniquePidl = UniqueResource<PidlTraits>;

struct ModuleTraits : NullIsEmpty<HMODULE> {
  static void Close(HMODULE m) { ::FreeLibrary(m); }
};
using UniqueModule = UniqueResource<ModuleTraits>;

struct WindowTraits : NullIsEmpty<HWND> {
  static void Close(HWND h) { ::DestroyWindow(h); }
};
// A window this thread created and must destroy; other programs' windows are
// plain HWND views and are never owned.
using UniqueWindow = UniqueResource<WindowTraits>;

struct HookTraits : NullIsEmpty<HHOOK> {
  static void Close(HHOOK h) { ::UnhookWindowsHookEx(h); }
};
// A hook this thread set with SetWindowsHookExW.
using UniqueHook = UniqueResource<HookTraits>;

struct ThreadTimerTraits : NullIsEmpty<UINT_PTR> {
  static void Close(UINT_PTR id) { ::KillTimer(nullptr, id); }
};
// A timer of this thread (no window), from SetTimer(nullptr, 0, ...).
using UniqueThreadTimer = UniqueResource<ThreadTimerTraits>;

// Holds one reference to a COM object and releases it.
template <typename Interface>
struct ComReleaseTraits : NullIsEmpty<Interface*> {
  static void Close(Interface* p) { p->Release(); }
};
template <typename Interface>
using UniqueCom = UniqueResource<ComReleaseTraits<Interface>>;

struct FontTraits : NullIsEmpty<HFONT> {
  static void Close(HFONT h) { ::DeleteObject(h); }
};
// A GDI font this program made.
using UniqueFont = UniqueResource<FontTraits>;

struct DesktopTraits : NullIsEmpty<HDESK> {
  static void Close(HDESK h) { ::CloseDesktop(h); }
};
// A desktop this program opened (OpenInputDesktop); never the one
// GetThreadDesktop hands out, which must not be closed.
using UniqueDesktop = UniqueResource<DesktopTraits>;

// ---- scopes: a state of the system held for as long as an object lives ----

// The screen's device context, for reading the system DPI.
class ScreenDc {
 public:
  ScreenDc() : dc_(::GetDC(nullptr)) {}
  ScreenDc(const ScreenDc&) = delete;
  ScreenDc& operator=(const ScreenDc&) = delete;
  ~ScreenDc() {
    if (dc_ != nullptr) ::ReleaseDC(nullptr, dc_);
  }
  HDC Get() const { return dc_; }

 private:
  HDC dc_;
};

// Selects an object into a device context for the life of a scope.
class SelectedObject {
 public:
  SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), old_(::SelectObject(dc, object)) {}
  SelectedObject(const SelectedObject&) = delete;
  SelectedObject& operator=(const SelectedObject&) = delete;
  ~SelectedObject() {
    if (old_ != nullptr && old_ != HGDI_ERROR) ::SelectObject(dc_, old_);
  }

 private:
  HDC dc_;
  HGDIOBJ old_;
};

// Shares input state between two threads for as long as it lives, which lets
// one thread move the focus and the foreground on behalf of the other.
class ThreadInputLink {
 public:
  ThreadInputLink(DWORD from, DWORD to)
      : from_(from),
        to_(to),
        attached_(from != to && to != 0 && ::AttachThreadInput(from, to, TRUE) != FALSE) {}
  ThreadInputLink(const ThreadInputLink&) = delete;
  ThreadInputLink& operator=(const ThreadInputLink&) = delete;
  ~ThreadInputLink() {
    if (attached_) ::AttachThreadInput(from_, to_, FALSE);
  }

 private:
  DWORD from_;
  DWORD to_;
  bool attached_;
};

// Keeps the computer from going to sleep on its own while this thread holds
// it; the display may still turn off. The state is the thread's, so the
// scope must end on the thread that began it.
class StayAwake {
 public:
  StayAwake() : held_(::SetThreadExecutionState(ES_CONTINUOUS | ES_SYSTEM_REQUIRED) != 0) {}
  StayAwake(const StayAwake&) = delete;
  StayAwake& operator=(const StayAwake&) = delete;
  ~StayAwake() {
    if (held_) ::SetThreadExecutionState(ES_CONTINUOUS);
  }

 private:
  bool held_;
};

// Keeps COM initialised on this thread for the shell calls and objects that
// need it, and balances the initialisation when it succeeded (also when COM
// was already on). Made only where they are used: COM is not started for a
// run that never needs it.
class ComScope {
 public:
  ComScope() : initialised_(SUCCEEDED(ComInitialize())) {}
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;
  ~ComScope() {
    if (initialised_) ComUninitialize();
  }

 private:
  bool initialised_;
};

}  // namespace quillon
