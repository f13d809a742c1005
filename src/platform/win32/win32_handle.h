// Conversions between the seam's opaque handles and the kernel's HANDLE values. The seam uses 0
// for "none"; the kernel reports failure as NULL for most objects and INVALID_HANDLE_VALUE for
// files, so every creator maps its own failure value to kNoHandle.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include "common/platform.h"

namespace quvex::plat::win32 {

inline HANDLE to_os(Handle h) { return reinterpret_cast<HANDLE>(h); }

inline Handle from_os(HANDLE h) {
    if (h == nullptr || h == INVALID_HANDLE_VALUE) return kNoHandle;
    return reinterpret_cast<Handle>(h);
}

}  // namespace quvex::plat::win32
