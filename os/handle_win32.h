// The Win32 HANDLE inside an OsHandle, for the Win32 files of this folder.
#pragma once
#include "os/process.h"

#include <windows.h>

inline HANDLE as_handle(OsHandle handle) {
    return reinterpret_cast<HANDLE>(handle);
}

inline OsHandle from_handle(HANDLE handle) {
    return reinterpret_cast<OsHandle>(handle);
}
