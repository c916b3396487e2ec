#include "wide.h"

WCHAR* Widen(const char* text)
{
    int length = MultiByteToWideChar(CP_ACP, 0, text, -1, NULL, 0);
    if (length == 0)
        return NULL;
    // Fixed memory: the handle is the address.
    WCHAR* wide = static_cast<WCHAR*>(LocalAlloc(LMEM_FIXED, length * sizeof(WCHAR)));
    if (wide && MultiByteToWideChar(CP_ACP, 0, text, -1, wide, length) != length) {
        LocalFree(wide);
        return NULL;
    }
    return wide;
}
