#include "platform/win32/com.h"

#include "platform/win32/system_library.h"

namespace quillon {
namespace {

struct LoadedCom {
  UniqueModule library;
  decltype(&::CoInitializeEx) initialize = nullptr;
  decltype(&::CoUninitialize) uninitialize = nullptr;
  decltype(&::CoTaskMemFree) free = nullptr;
  decltype(&::CoCreateInstance) createInstance = nullptr;

  LoadedCom() : library(LoadFromSystemFolder(L"ole32.dll")) {
    if (!library) return;
    Resolve(library.Get(), "CoInitializeEx", initialize);
    Resolve(library.Get(), "CoUninitialize", uninitialize);
    Resolve(library.Get(), "CoTaskMemFree", free);
    Resolve(library.Get(), "CoCreateInstance", createInstance);
  }
};

// Loaded on the first call and kept for the life of the process. A missing
// function fails its call as COM itself would fail it.
const LoadedCom& Com() {
  static const LoadedCom com;
  return com;
}

constexpr HRESULT kNoCom = HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND);

}  // namespace

HRESULT ComInitialize() {
  const auto initialize = Com().initialize;
  return initialize != nullptr
             ? initialize(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE)
             : kNoCom;
}

void ComUninitialize() {
  if (const auto uninitialize = Com().uninitialize) uninitialize();
}

void ComFree(void* memory) {
  if (const auto free = Com().free) free(memory);
}

HRESULT ComCreateInstance(REFCLSID type, REFIID interfaceId, void** object) {
  *object = nullptr;
  const auto create = Com().createInstance;
  return create != nullptr ? create(type, nullptr, CLSCTX_INPROC_SERVER, interfaceId, object)
                           : kNoCom;
}

}  // namespace quillon
