/* usage: registry_edit link KEY TARGET | lock KEY | unlock KEY | unterminated KEY NAME TEXT
   Changes HKEY_LOCAL_MACHINE\KEY, as 32-bit programs see it, in ways that neither regedit nor
   reg can, for the tests:
     link    makes KEY a registry link to TARGET, a key's native path (\Registry\Machine\...),
             which need not be there: what a program that opens keys by name follows unless
             it asks not to
     lock    gives KEY an empty DACL: no one may open it, but its owner may change that
     unlock  gives KEY a null DACL: everyone may do everything with it
     unterminated  sets the value NAME of KEY to the string TEXT without its NUL, as a writer
             with a length off by one stores it (regedit and reg count the NUL, and
             RegSetValueEx adds one where the character after the data is zero)
   Exits 0 when it is done, 1 when it cannot be, 2 on a wrong command line. */
#include <windows.h>

#include <wchar.h>

static int Link(const wchar_t* keyName, const wchar_t* target)
{
    HKEY link;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, keyName, 0, NULL, REG_OPTION_CREATE_LINK,
                        KEY_ALL_ACCESS, NULL, &link, NULL) != ERROR_SUCCESS)
        return 1;
    /* The target's characters without a NUL, as the registry keeps a link's. */
    LONG set = RegSetValueExW(link, L"SymbolicLinkValue", 0, REG_LINK, (const BYTE*)target,
                              (DWORD)(wcslen(target) * sizeof(WCHAR)));
    RegCloseKey(link);
    return set == ERROR_SUCCESS ? 0 : 1;
}

static int SetAccess(const wchar_t* keyName, BOOL open)
{
    HKEY key;
    ACL empty;
    SECURITY_DESCRIPTOR descriptor;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyName, 0, WRITE_DAC, &key) != ERROR_SUCCESS)
        return 1;
    BOOL set = InitializeAcl(&empty, sizeof empty, ACL_REVISION) &&
               InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION) &&
               SetSecurityDescriptorDacl(&descriptor, TRUE, open ? NULL : &empty, FALSE) &&
               RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, &descriptor) == ERROR_SUCCESS;
    RegCloseKey(key);
    return set ? 0 : 1;
}

static int SetUnterminated(const wchar_t* keyName, const wchar_t* name, const wchar_t* text)
{
    HKEY key;
    size_t length = wcslen(text);
    WCHAR* data = (WCHAR*)LocalAlloc(LMEM_FIXED, (length + 1) * sizeof(WCHAR));
    if (!data)
        return 1;
    memcpy(data, text, length * sizeof(WCHAR));
    data[length] = 0xFFFF;
    LONG set = RegCreateKeyExW(HKEY_LOCAL_MACHINE, keyName, 0, NULL, 0, KEY_SET_VALUE, NULL, &key,
                               NULL);
    if (set == ERROR_SUCCESS) {
        set = RegSetValueExW(key, name, 0, REG_SZ, (const BYTE*)data,
                             (DWORD)(length * sizeof(WCHAR)));
        RegCloseKey(key);
    }
    LocalFree(data);
    return set == ERROR_SUCCESS ? 0 : 1;
}

int wmain(int argc, wchar_t** argv)
{
    if (argc == 5 && wcscmp(argv[1], L"unterminated") == 0)
        return SetUnterminated(argv[2], argv[3], argv[4]);
    if (argc == 4 && wcscmp(argv[1], L"link") == 0)
        return Link(argv[2], argv[3]);
    if (argc == 3 && (wcscmp(argv[1], L"lock") == 0 || wcscmp(argv[1], L"unlock") == 0))
        return SetAccess(argv[2], argv[1][0] == L'u');
    return 2;
}
