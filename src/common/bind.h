// Entry points bound by name: every platform library but the kernel's and the user library is
// loaded at run time, so that the image imports nothing more.
#ifndef VORNAKDSN_BIND_H
#define VORNAKDSN_BIND_H

#include <windows.h>

#include <stddef.h>

// Looks name up in module and stores it in *proc, as the function it is (GetProcAddress gives
// every one as a FARPROC); false when it is missing.
template <typename Proc>
bool Resolve(HMODULE module, const char* name, Proc* proc)
{
    *proc = reinterpret_cast<Proc>(reinterpret_cast<void*>(GetProcAddress(module, name)));
    return *proc != NULL;
}

// Looks each of names up in module into *procs, a record of nothing but entry points, one for
// each name in the same order; false when any is missing.
template <typename Record, size_t Count>
bool ResolveAll(HMODULE module, const char* const (&names)[Count], Record* procs)
{
    static_assert(sizeof(Record) == Count * sizeof(FARPROC), "one name for each entry point");
    FARPROC* proc = reinterpret_cast<FARPROC*>(procs);
    bool found = true;
    for (size_t i = 0; i < Count; i++)
        found = (proc[i] = GetProcAddress(module, names[i])) != NULL && found;
    return found;
}

#endif
