// qelvcall: calls one export of qelv_dorevivi.dll from the command line, the
// way a host binds it (by name, stdcall on x86). The W exports get the
// command line's own UTF-16 words, so any file name can be tried.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>

#include "frame/export_call_win.h"
#include "qelv_dorevivi.h"
#include "tools/qelvcall/command_line.h"
#include "tools/qelvcall/dry_run.h"
#include "tools/qelvcall/font_install.h"
#include "tools/qelvcall/reason.h"

namespace {

using qelvcall::Request;

constexpr int kExitNothingHappened = 1;
constexpr int kExitUsage = 2;
constexpr int kExitNotLoaded = 3;

std::string dll_next_to_exe() {
    char exe[MAX_PATH] = {};
    const DWORD n = GetModuleFileNameA(nullptr, exe, MAX_PATH);
    std::string path(exe, n);
    path.resize(path.find_last_of("\\/") + 1);
    return path + "qelv_dorevivi.dll";
}

// A page export succeeded when the shell accepted the address; a barcode
// export when it wrote its file.
bool succeeded(const qelv::ExportEntry& target, std::int32_t result) {
    return target.kind == qelv::ExportKind::page ? result > 32 : result != 0;
}

// The command line as the program got it: the ANSI words, and the UTF-16
// words they were made from, which keep what the code page cannot hold.
struct CommandLine {
    int argc;
    char** argv;
    wchar_t** wide;  // null when Windows splits the line otherwise
};

// A text for a W export: the command line's own UTF-16 word where the text
// is one, else (a batch line) the text read in the ANSI code page.
std::wstring wide_text(const char* text, const CommandLine& line) {
    for (int i = 0; line.wide && i < line.argc; ++i) {
        if (line.argv[i] == text) return line.wide[i];
    }
    std::wstring wide(std::strlen(text) + 1, L'\0');
    const int n = MultiByteToWideChar(CP_ACP, 0, text, -1, wide.data(), static_cast<int>(wide.size()));
    wide.resize(n > 0 ? static_cast<std::size_t>(n - 1) : 0);
    return wide;
}

int call_export(HMODULE dll, const Request& request, const CommandLine& line) {
    const qelv::ExportEntry& target = *request.target;
    const FARPROC fn = GetProcAddress(dll, target.name);
    if (!fn) {
        std::fprintf(stderr, "qelvcall: the DLL has no export %s\n", target.name);
        return kExitNotLoaded;
    }
    std::uintptr_t args[qelv::kMaxExportParams] = {};
    std::wstring wide[qelv::kMaxExportParams];
    for (int p = 0; p < target.param_count; ++p) {
        const char* text = request.texts[p];
        if (text && target.kind == qelv::ExportKind::wide_barcode) {
            wide[p] = wide_text(text, line);
            args[p] = reinterpret_cast<std::uintptr_t>(wide[p].c_str());
        } else {
            args[p] = target.params[p].is_int ? static_cast<std::uint32_t>(request.ints[p])
                                              : reinterpret_cast<std::uintptr_t>(text);
        }
    }
    const std::int32_t result = qelv::call_export(fn, args, target.param_count);
    const DWORD error = GetLastError();
    std::printf("%s returned %d\n", target.name, static_cast<int>(result));
    if (succeeded(target, result)) return 0;
    // Only a 0 is the DLL's own; a shell error value is the shell's.
    if (result == 0) {
        char words[256];
        qelvcall::reason_words(error, words, sizeof words);
        char code[16];
        qelvcall::reason_code(error, code, sizeof code);
        std::printf("why: %s (error %s)\n", words, code);
    }
    return kExitNothingHappened;
}

// A line's words, split at blanks in place. A word in double quotes runs to
// the next quote, blanks and all (a path with blanks); "" is the empty text.
// -1 for a quote that is not closed.
int split_words(char* line, const char* (&words)[qelv::kMaxExportParams + 2]) {
    int count = 0;
    char* at = line;
    for (;;) {
        at += std::strspn(at, " \t\r\n");
        if (*at == '\0' || count == qelv::kMaxExportParams + 2) return count;
        char* end = nullptr;
        if (*at == '"') {
            end = std::strchr(++at, '"');
            if (end == nullptr) return -1;
        } else {
            end = at + std::strcspn(at, " \t\r\n");
        }
        words[count++] = at;
        const bool last = *end == '\0';
        *end = '\0';
        if (last) return count;
        at = end + 1;
    }
}

int call_batch(HMODULE dll, const Request& options, const CommandLine& command_line) {
    std::FILE* in = std::fopen(options.batch_path, "r");
    if (!in) {
        std::fprintf(stderr, "qelvcall: cannot read %s\n", options.batch_path);
        return kExitUsage;
    }
    int status = 0;
    char line[16384];
    for (int number = 1; status != kExitUsage && std::fgets(line, sizeof line, in); ++number) {
        const char* words[qelv::kMaxExportParams + 2] = {};
        if (line[std::strspn(line, " \t")] == '#') continue;
        const int count = split_words(line, words);
        if (count == 0) continue;
        Request call = options;
        call.action = qelvcall::Action::call;
        if (count < 0) {
            std::fprintf(stderr, "qelvcall: %s line %d: a quote is not closed\n",
                         options.batch_path, number);
            status = kExitUsage;
        } else if (!qelvcall::parse_call(count, words, call)) {
            std::fprintf(stderr, "qelvcall: %s line %d: %s\n", options.batch_path, number, call.error);
            status = kExitUsage;
        } else if (call_export(dll, call, command_line) != 0) {
            status = kExitNothingHappened;
        }
    }
    std::fclose(in);
    return status;
}

// The version that the file's own resource states, or nothing.
std::string file_version(const std::string& path) {
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
    std::string info(size, '\0');
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (size == 0 || !GetFileVersionInfoA(path.c_str(), 0, size, info.data()) ||
        !VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &length) ||
        length < sizeof *fixed) {
        return {};
    }
    char text[64];
    std::snprintf(text, sizeof text, "%lu.%lu.%lu.%lu", fixed->dwFileVersionMS >> 16,
                  fixed->dwFileVersionMS & 0xFFFF, fixed->dwFileVersionLS >> 16,
                  fixed->dwFileVersionLS & 0xFFFF);
    return text;
}

int print_version(const Request& request) {
    const std::string path = request.dll_path ? request.dll_path : dll_next_to_exe();
    const std::string dll = file_version(path);
    std::printf("qelvcall %s\n", QELV_VERSION);
    std::printf("qelv_dorevivi.dll %s (%s)\n", dll.empty() ? "not found" : dll.c_str(), path.c_str());
    std::printf("ANSI code page %u\n", GetACP());
    std::printf("support: %s (%s)\n", QELV_SUPPORT, QELV_COMPANY);
    return dll.empty() ? kExitNotLoaded : 0;
}

// The widest label the font export takes, drawn into the temp folder: the
// export itself reads it back, so 1 means the font is fit for labels.
int font_check(HMODULE dll) {
    char path[MAX_PATH] = {};
    const DWORD folder = GetTempPathA(MAX_PATH - 24, path);
    if (folder == 0 || folder >= MAX_PATH - 24) return kExitNotLoaded;
    std::strcat(path, "qelv_font_check.bmp");
    const auto create = reinterpret_cast<decltype(&barcodeimage_create_font)>(
        reinterpret_cast<void*>(GetProcAddress(dll, "barcodeimage_create_font")));
    if (!create) return kExitNotLoaded;
    const int result = create("202601050012", path);
    const DWORD error = GetLastError();
    DeleteFileA(path);
    if (result != 0) {
        std::printf("ok: the \"code 128\" font draws labels that read back\n");
        return 0;
    }
    char words[256];
    qelvcall::reason_words(error, words, sizeof words);
    char code[16];
    qelvcall::reason_code(error, code, sizeof code);
    std::printf("not usable: %s (error %s)\n", words, code);
    return kExitNothingHappened;
}

int load_and_call(const Request& request, const CommandLine& line) {
    const std::string path = request.dll_path ? request.dll_path : dll_next_to_exe();
    const HMODULE dll = LoadLibraryA(path.c_str());
    if (!dll) {
        std::fprintf(stderr, "qelvcall: cannot load %s (error %lu)\n", path.c_str(),
                     static_cast<unsigned long>(GetLastError()));
        return kExitNotLoaded;
    }
    int status = kExitNotLoaded;
    const char* font = request.font_path;
    if (font && AddFontResourceExA(font, FR_PRIVATE, nullptr) == 0) {
        std::fprintf(stderr, "qelvcall: cannot load the font %s\n", font);
    } else {
        switch (request.action) {
        case qelvcall::Action::batch:
            status = call_batch(dll, request, line);
            break;
        case qelvcall::Action::font_check:
            status = font_check(dll);
            break;
        default:
            status = call_export(dll, request, line);
        }
        if (font) RemoveFontResourceExA(font, FR_PRIVATE, nullptr);
    }
    FreeLibrary(dll);
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    Request request;
    if (!qelvcall::parse_command_line(argc, argv, request)) {
        std::fprintf(stderr, "qelvcall: %s\n", request.error);
        qelvcall::print_usage(stderr);
        return kExitUsage;
    }
    switch (request.action) {
    case qelvcall::Action::help:
        qelvcall::print_usage(stdout);
        return 0;
    case qelvcall::Action::list:
        qelvcall::print_export_list(stdout);
        return 0;
    case qelvcall::Action::version:
        return print_version(request);
    case qelvcall::Action::dry_run:
        return qelvcall::dry_run(request, stdout);
    case qelvcall::Action::font_install:
        return qelvcall::font_install(request.install_font);
    case qelvcall::Action::font_uninstall:
        return qelvcall::font_uninstall();
    case qelvcall::Action::call:
    case qelvcall::Action::batch:
    case qelvcall::Action::font_check:
        break;
    }
    int wide_count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &wide_count);
    const CommandLine line = {argc, argv, wide_count == argc ? wide : nullptr};
    const int status = load_and_call(request, line);
    LocalFree(wide);
    return status;
}
