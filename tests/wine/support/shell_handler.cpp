#include "support/shell_handler.h"

#include "support/dll.h"
#include "test_files.h"

#include <iterator>
#include <sstream>

namespace qelvtest {

namespace {

const char* const kCommandKeys[2] = {"http\\shell\\open\\command", "https\\shell\\open\\command"};

bool read_default(const char* key, std::string& out) {
    char value[2048] = {};
    DWORD size = sizeof value;
    if (RegGetValueA(HKEY_CLASSES_ROOT, key, nullptr, RRF_RT_REG_SZ, nullptr, value, &size) !=
        ERROR_SUCCESS)
        return false;
    out = value;
    return true;
}

bool write_default(const char* key, const std::string& value) {
    HKEY handle = nullptr;
    if (RegCreateKeyExA(HKEY_CLASSES_ROOT, key, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &handle,
                        nullptr) != ERROR_SUCCESS)
        return false;
    const LONG set = RegSetValueExA(handle, nullptr, 0, REG_SZ,
                                    reinterpret_cast<const BYTE*>(value.c_str()),
                                    static_cast<DWORD>(value.size() + 1));
    RegCloseKey(handle);
    return set == ERROR_SUCCESS;
}

void remove_default(const char* key) {
    HKEY handle = nullptr;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, key, 0, KEY_SET_VALUE, &handle) != ERROR_SUCCESS) return;
    RegDeleteValueA(handle, nullptr);
    RegCloseKey(handle);
}

}  // namespace

namespace {

bool parse_number(const std::string& line, const char* key, unsigned& out) {
    const std::string prefix = std::string(key) + "=";
    if (line.compare(0, prefix.size(), prefix) != 0) return false;
    out = static_cast<unsigned>(std::stoul(line.substr(prefix.size())));
    return true;
}

Record parse_record(const std::string& text) {
    Record r;
    std::istringstream in(text);
    std::string show, flags, dir;
    std::getline(in, show);
    std::getline(in, flags);
    std::getline(in, dir);
    const std::string rest((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::string cmd_key = "cmdline=", dir_key = "dir=";
    if (!parse_number(show, "show", r.show) || !parse_number(flags, "flags", r.flags) ||
        dir.compare(0, dir_key.size(), dir_key) != 0 ||
        rest.compare(0, cmd_key.size(), cmd_key) != 0)
        return r;
    r.dir = dir.substr(dir_key.size());
    r.command_line = rest.substr(cmd_key.size());
    r.present = true;
    return r;
}

}  // namespace

UrlHandler::UrlHandler(const std::string& command) {
    registered = true;
    for (int i = 0; i < 2; ++i) {
        had[i] = read_default(kCommandKeys[i], previous[i]);
        registered = write_default(kCommandKeys[i], command) && registered;
    }
}

UrlHandler::~UrlHandler() {
    for (int i = 0; i < 2; ++i) {
        if (had[i])
            write_default(kCommandKeys[i], previous[i]);
        else
            remove_default(kCommandKeys[i]);
    }
}

std::string handler_command(const char* exe) {
    return "\"" + program_folder() + exe + "\" \"%1\" %*";
}

std::string point_recorder_here() {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    const std::string path =
        std::string(temp) + "qelv_url_record_" + std::to_string(GetCurrentProcessId()) + ".txt";
    SetEnvironmentVariableA("QELV_URL_RECORD", path.c_str());
    clear_record(path);
    return path;
}

void clear_record(const std::string& path) { DeleteFileA(path.c_str()); }

// The recorder may have made the file and not yet written all of it, so
// the record is read until it parses whole.
Record wait_for_record(const std::string& path, DWORD timeout_ms) {
    const DWORD start = GetTickCount();
    for (;;) {
        const Record record = parse_record(read_file(path));
        if (record.present || GetTickCount() - start > timeout_ms) return record;
        Sleep(20);
    }
}

std::string utf8_from_ansi(const std::string& text) {
    if (text.empty()) return {};
    const int wide_size = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                                              nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(wide_size), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &wide[0], wide_size);
    const int size = WideCharToMultiByte(CP_UTF8, 0, wide.data(), wide_size, nullptr, 0, nullptr,
                                         nullptr);
    std::string out(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), wide_size, &out[0], size, nullptr, nullptr);
    return out;
}

}  // namespace qelvtest
