#pragma once
// Owners of Win32 resources. Each owner closes its resource exactly once,
// cannot be copied and can be moved; an empty owner holds nothing. Windows
// hands out "no handle" both as null and as INVALID_HANDLE_VALUE depending on
// the call, so the kernel handle owner treats the two alike.

#include <shlobj.h>
#include <windows.h>

#include <utility>

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

struct KernelHandleTraits {
  using Type = HANDLE;
  static Type Empty() { return nullptr; }
  static bool IsValid(Type h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
  static void Close(Type h) { ::CloseHandle(h); }
};
// Processes, threads, files, waitable timers, events.
using UniqueHandle = UniqueResource<KernelHandleTraits>;

struct FindHandleTraits {
  using Type = HANDLE;
  static Type Empty() { return INVALID_HANDLE_VALUE; }
  static bool IsValid(Type h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
  static void Close(Type h) { ::FindClose(h); }
};
// A directory search from FindFirstFileW.
using UniqueFindHandle = UniqueResource<FindHandleTraits>;

struct RegKeyTraits {
  using Type = HKEY;
  static Type Empty() { return nullptr; }
  static bool IsValid(Type h) { return h != nullptr; }
  static void Close(Type h) { ::RegCloseKey(h); }
};
using UniqueRegKey = UniqueResource<RegKeyTraits>;

struct PidlTraits {
  using Type = LPITEMIDLIST;
  static Type Empty() { return nullptr; }
  static bool IsValid(Type p) { return p != nullptr; }
  // The shell allocates item identifier lists with the COM task allocator.
  static void Close(Type p) { ::CoTaskMemFree(p); }
};
using UniquePidl = UniqueResource<PidlTraits>;

struct ModuleTraits {
  using Type = HMODULE;
  static Type Empty() { return nullptr; }
  static bool IsValid(Type m) { return m != nullptr; }
  static void Close(Type m) { ::FreeLibrary(m); }
};
using UniqueModule = UniqueResource<ModuleTraits>;

struct WindowTraits {
  using Type = HWND;
  static Type Empty() { return nullptr; }
  static bool IsValid(Type h) { return h != nullptr; }
  static void Close(Type h) { ::DestroyWindow(h); }
};
// A window this thread created and must destroy; other programs' windows are
// plain HWND views and are never owned.
using UniqueWindow = UniqueResource<WindowTraits>;

struct HookTraits {
  using Type = HHOOK;
  static Type Empty() { return nullptr; }
  static bool IsValid(Type h) { return h != nullptr; }
  static void Close(Type h) { ::UnhookWindowsHookEx(h); }
};
// A hook this thread set with SetWindowsHookExW.
using UniqueHook = UniqueResource<HookTraits>;

struct ThreadTimerTraits {
  using Type = UINT_PTR;
  static Type Empty() { return 0; }
  static bool IsValid(Type id) { return id != 0; }
  static void Close(Type id) { ::KillTimer(nullptr, id); }
};
// A timer of this thread (no window), from SetTimer(nullptr, 0, ...).
using UniqueThreadTimer = UniqueResource<ThreadTimerTraits>;

// Keeps COM initialised on this thread for the shell calls that need it, and
// balances the initialisation when it succeeded (also when COM was already on).
class ComScope {
 public:
  ComScope()
      : initialised_(SUCCEEDED(
            ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) {}
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;
  ~ComScope() {
    if (initialised_) ::CoUninitialize();
  }

 private:
  bool initialised_;
};

}  // namespace quillon
