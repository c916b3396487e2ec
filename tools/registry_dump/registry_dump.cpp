// usage: registry_dump KEY...
// Prints each KEY (HKLM\... or HKCU\...) that is there, with every value of it and of all its
// subkeys, as 32-bit programs see them, in UTF-8: a line "PATH" for each key, then a line
// "PATH\NAME=TEXT" for each of its values that is a string (as it is) or a number (in decimal).
// One process reads what would take reg one for each value. Exits 0 when every KEY was read or
// is not there, 2 when one cannot be read.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

std::string Utf8(const std::wstring& text)
{
    std::string bytes(4 * text.size(), '\0');
    bytes.resize(WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                     &bytes[0], static_cast<int>(bytes.size()), NULL, NULL));
    return bytes;
}

void PrintValues(HKEY key, const std::wstring& path)
{
    wchar_t name[16384];
    BYTE data[65536];
    for (DWORD index = 0;; index++) {
        DWORD nameLength = sizeof name / sizeof *name;
        DWORD size = sizeof data - sizeof(wchar_t);
        DWORD type = 0;
        if (RegEnumValueW(key, index, name, &nameLength, NULL, &type, data, &size) !=
            ERROR_SUCCESS)
            return;
        std::wstring text;
        if (type == REG_SZ || type == REG_EXPAND_SZ) {
            data[size] = data[size + 1] = 0;
            text = reinterpret_cast<wchar_t*>(data);
        } else if (type == REG_DWORD && size == sizeof(DWORD)) {
            text = std::to_wstring(*reinterpret_cast<DWORD*>(data));
        } else {
            continue;
        }
        std::printf("%s\\%s=%s\n", Utf8(path).c_str(), Utf8(name).c_str(), Utf8(text).c_str());
    }
}

bool Dump(HKEY root, const std::wstring& subkey, const std::wstring& path)
{
    HKEY key;
    LONG result = RegOpenKeyExW(root, subkey.c_str(), 0, KEY_READ, &key);
    if (result == ERROR_FILE_NOT_FOUND)
        return true;
    if (result != ERROR_SUCCESS)
        return false;
    std::printf("%s\n", Utf8(path).c_str());
    PrintValues(key, path);
    bool read = true;
    wchar_t name[256];
    for (DWORD index = 0; read; index++) {
        DWORD length = sizeof name / sizeof *name;
        if (RegEnumKeyExW(key, index, name, &length, NULL, NULL, NULL, NULL) != ERROR_SUCCESS)
            break;
        read = Dump(key, name, path + L"\\" + name);
    }
    RegCloseKey(key);
    return read;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: registry_dump KEY...\n");
        return 2;
    }
    bool read = true;
    for (int i = 1; i < argc; i++) {
        const std::wstring key = argv[i];
        const size_t slash = key.find(L'\\');
        const std::wstring hive = key.substr(0, slash);
        HKEY root = hive == L"HKLM" ? HKEY_LOCAL_MACHINE : hive == L"HKCU" ? HKEY_CURRENT_USER : NULL;
        read = root && slash != std::wstring::npos && Dump(root, key.substr(slash + 1), key) && read;
    }
    std::fflush(stdout);
    return read ? 0 : 2;
}
