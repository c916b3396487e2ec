// Entry points bound by name: every platform library but the kernel's and the user library is
// loaded at run time, so that the image imports nothing more.
#ifndef VORNAKDSN_BIND_H
#define VORNAKDSN_BIND_H

#include <windows.h>

// Looks name up in module and stores it in *proc; false when it is missing.
template <typename Proc>
bool Resolve(HMODULE module, const char* name, Proc* proc)
{
    *proc = reinterpret_cast<Proc>(reinterpret_cast<void*>(GetProcAddress(module, name)));
    return *proc != NULL;
}

#endif
