#include "tools/qelvcall/font_install.h"

#include <windows.h>
#include <shlobj.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tools/qelvcall/font_face.h"

namespace qelvcall {

namespace {

constexpr char kFace[] = "code 128";
constexpr wchar_t kOwnFile[] = L"qelv_code128.ttf";
constexpr wchar_t kOwnValue[] = L"code 128 qelv_dorevivi (TrueType)";
constexpr wchar_t kFontsKey[] = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";
// Fonts are far smaller; a larger file is read no further.
constexpr DWORD kFontBytesMax = 64u << 20;

std::string narrow(const std::wstring& text) {
    const int size = WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(size > 0 ? static_cast<std::size_t>(size) : 1, '\0');
    WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, &out[0], size, nullptr, nullptr);
    out.resize(out.size() - 1);
    return out;
}

std::vector<unsigned char> read_file(const std::wstring& path) {
    std::vector<unsigned char> bytes;
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return bytes;
    LARGE_INTEGER size = {};
    DWORD read = 0;
    if (GetFileSizeEx(file, &size) && size.QuadPart <= kFontBytesMax) {
        bytes.resize(static_cast<std::size_t>(size.QuadPart));
        if (!bytes.empty() &&
            (!ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) ||
             read != bytes.size())) {
            bytes.clear();
        }
    }
    CloseHandle(file);
    return bytes;
}

std::wstring fonts_folder() {
    wchar_t folder[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_FONTS, nullptr, 0, folder))) return {};
    return folder;
}

// A registered font file: a bare name lies in the Fonts folder.
std::wstring registered_path(const std::wstring& fonts, const std::wstring& data) {
    return data.find_first_of(L"\\/:") == std::wstring::npos ? fonts + L"\\" + data : data;
}

bool is_own_file(const std::wstring& path) {
    const std::size_t slash = path.find_last_of(L"\\/");
    const std::wstring name = slash == std::wstring::npos ? path : path.substr(slash + 1);
    return lstrcmpiW(name.c_str(), kOwnFile) == 0;
}

struct FontValue {
    std::wstring name, path;
};

// Every string value of the Fonts key, with the file it points at.
std::vector<FontValue> font_values(HKEY key, const std::wstring& fonts) {
    std::vector<FontValue> values;
    for (DWORD index = 0;; ++index) {
        wchar_t name[16384];
        wchar_t data[MAX_PATH * 2] = {};
        DWORD name_size = sizeof name / sizeof name[0], data_size = sizeof data - sizeof data[0];
        DWORD type = 0;
        const LONG status = RegEnumValueW(key, index, name, &name_size, nullptr, &type,
                                          reinterpret_cast<BYTE*>(data), &data_size);
        if (status == ERROR_NO_MORE_ITEMS) break;
        if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) continue;
        values.push_back({name, registered_path(fonts, data)});
    }
    return values;
}

// Another product's "code 128": a registered value or a file of the Fonts
// folder that names the face and is not byte for byte ours. Empty if none.
std::wstring other_code128(const std::vector<FontValue>& values, const std::wstring& fonts,
                           const std::vector<unsigned char>& ours) {
    const auto differs = [&](const std::wstring& path, bool named) {
        const std::vector<unsigned char> bytes = read_file(path);
        const bool face = named || font_has_family(bytes.data(), bytes.size(), kFace);
        return face && bytes != ours;
    };
    for (const FontValue& value : values) {
        if (is_own_file(value.path)) continue;
        if (differs(value.path, value_names_face(value.name.c_str(), kFace))) {
            return L"\"" + value.name + L"\" (" + value.path + L")";
        }
    }
    WIN32_FIND_DATAW found = {};
    const HANDLE search = FindFirstFileW((fonts + L"\\*").c_str(), &found);
    std::wstring other;
    for (BOOL more = search != INVALID_HANDLE_VALUE; more && other.empty();
         more = FindNextFileW(search, &found)) {
        const std::wstring path = fonts + L"\\" + found.cFileName;
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 && !is_own_file(path) &&
            differs(path, false)) {
            other = path;
        }
    }
    if (search != INVALID_HANDLE_VALUE) FindClose(search);
    return other;
}

// Programs started from now on see the change without a new logon.
void announce_font_change() {
    SendMessageTimeoutW(HWND_BROADCAST, WM_FONTCHANGE, 0, 0, SMTO_ABORTIFHUNG, 2000, nullptr);
}

HKEY open_fonts_key() {
    HKEY key = nullptr;
    return RegOpenKeyExW(HKEY_LOCAL_MACHINE, kFontsKey, 0, KEY_QUERY_VALUE | KEY_SET_VALUE,
                         &key) == ERROR_SUCCESS
               ? key
               : nullptr;
}

int install_into(HKEY key, const std::wstring& fonts, const std::vector<unsigned char>& ours,
                 const std::wstring& source) {
    const std::wstring other = other_code128(font_values(key, fonts), fonts, ours);
    if (!other.empty()) {
        std::printf("font: another \"code 128\" font is installed: %s; nothing changed\n",
                    narrow(other).c_str());
        return kFontOtherFace;
    }
    const std::wstring target = fonts + L"\\" + kOwnFile;
    if (read_file(target) != ours && !CopyFileW(source.c_str(), target.c_str(), FALSE)) {
        std::printf("font: cannot copy into %s (error %lu)\n", narrow(fonts).c_str(),
                    GetLastError());
        return kFontFailed;
    }
    const DWORD size = static_cast<DWORD>(sizeof kOwnFile);
    if (RegSetValueExW(key, kOwnValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(kOwnFile), size) !=
        ERROR_SUCCESS) {
        std::printf("font: cannot register %s\n", narrow(target).c_str());
        return kFontFailed;
    }
    AddFontResourceW(target.c_str());
    announce_font_change();
    std::printf("font: \"code 128\" installed for all users as %s\n", narrow(target).c_str());
    return kFontDone;
}

int uninstall_from(HKEY key, const std::wstring& fonts) {
    const std::wstring target = fonts + L"\\" + kOwnFile;
    bool found = GetFileAttributesW(target.c_str()) != INVALID_FILE_ATTRIBUTES;
    for (const FontValue& value : font_values(key, fonts)) {
        if (!is_own_file(value.path)) continue;
        found = true;
        if (RegDeleteValueW(key, value.name.c_str()) != ERROR_SUCCESS) {
            std::printf("font: cannot unregister \"%s\"\n", narrow(value.name).c_str());
            return kFontFailed;
        }
    }
    if (!found) {
        std::printf("font: not installed\n");
        return kFontDone;
    }
    RemoveFontResourceW(target.c_str());
    announce_font_change();
    if (DeleteFileW(target.c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND) {
        std::printf("font: \"code 128\" removed\n");
        return kFontDone;
    }
    if (MoveFileExW(target.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT)) {
        std::printf("font: %s is in use; it is deleted at the next restart\n",
                    narrow(target).c_str());
        return kFontAtRestart;
    }
    std::printf("font: cannot delete %s (error %lu)\n", narrow(target).c_str(), GetLastError());
    return kFontFailed;
}

}  // namespace

int font_install(const char* source) {
    wchar_t wide[MAX_PATH] = {};
    if (MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, source, -1, wide, MAX_PATH) == 0) {
        return kFontMissing;
    }
    const std::vector<unsigned char> ours = read_file(wide);
    if (ours.empty() || !font_has_family(ours.data(), ours.size(), kFace)) {
        std::printf("font: %s is not there or is no \"code 128\" font\n", source);
        return kFontMissing;
    }
    const std::wstring fonts = fonts_folder();
    const HKEY key = open_fonts_key();
    if (fonts.empty() || key == nullptr) {
        std::printf("font: the Fonts registry key cannot be changed: run as administrator\n");
        return kFontFailed;
    }
    const int status = install_into(key, fonts, ours, wide);
    RegCloseKey(key);
    return status;
}

int font_uninstall() {
    const std::wstring fonts = fonts_folder();
    const HKEY key = open_fonts_key();
    if (fonts.empty() || key == nullptr) {
        std::printf("font: the Fonts registry key cannot be changed: run as administrator\n");
        return kFontFailed;
    }
    const int status = uninstall_from(key, fonts);
    RegCloseKey(key);
    return status;
}

}  // namespace qelvcall
