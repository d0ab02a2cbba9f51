#pragma once
// COM, from the system's ole32 library loaded on first use: importing it
// would load it, and the libraries it brings, into every start of the
// program, although most runs never touch COM.

#include <windows.h>

#include <objbase.h>

namespace quillon {

// CoInitializeEx for a single-threaded apartment without OLE 1 DDE.
HRESULT ComInitialize();
void ComUninitialize();
// CoTaskMemFree.
void ComFree(void* memory);
// CoCreateInstance of an in-process server.
HRESULT ComCreateInstance(REFCLSID type, REFIID interfaceId, void** object);

}  // namespace quillon
