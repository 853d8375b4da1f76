#include "tools/qelvcall/command_line.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace qelvcall {

namespace {

bool fail(Request& request, const char* what, const char* detail) {
    std::snprintf(request.error, sizeof request.error, "%s%s", what, detail ? detail : "");
    return false;
}

bool parse_int(const char* text, std::int32_t& value) {
    if (!*text) return false;
    char* end = nullptr;
    errno = 0;
    const long long v = std::strtoll(text, &end, 10);
    if (errno != 0 || *end != '\0' || v < INT32_MIN || v > INT32_MAX) return false;
    value = static_cast<std::int32_t>(v);
    return true;
}

// Options come first; everything after the export's name is its arguments,
// so an argument may itself start with "--".
int parse_options(int argc, const char* const* argv, Request& request) {
    int i = 1;
    for (; i < argc && std::strncmp(argv[i], "--", 2) == 0; ++i) {
        const char* option = argv[i];
        if (std::strcmp(option, "--list") == 0) {
            request.action = Action::list;
        } else if (std::strcmp(option, "--font-check") == 0) {
            request.action = Action::font_check;
        } else if (std::strcmp(option, "--font-install") == 0 && i + 1 < argc) {
            request.action = Action::font_install;
            request.install_font = argv[++i];
        } else if (std::strcmp(option, "--font-uninstall") == 0) {
            request.action = Action::font_uninstall;
        } else if (std::strcmp(option, "--version") == 0) {
            request.action = Action::version;
        } else if (std::strcmp(option, "--help") == 0) {
            request.action = Action::help;
        } else if (std::strcmp(option, "--dry-run") == 0) {
            request.action = Action::dry_run;
        } else if (std::strcmp(option, "--dll") == 0 && i + 1 < argc) {
            request.dll_path = argv[++i];
        } else if (std::strcmp(option, "--font") == 0 && i + 1 < argc) {
            request.font_path = argv[++i];
        } else if (std::strcmp(option, "--batch") == 0 && i + 1 < argc) {
            request.action = Action::batch;
            request.batch_path = argv[++i];
        } else {
            fail(request, "unknown option or missing value: ", option);
            return -1;
        }
    }
    return i;
}

bool parse_arguments(int first, int argc, const char* const* argv, Request& request) {
    const qelv::ExportEntry& target = *request.target;
    if (argc - first != target.param_count) {
        char detail[64];
        std::snprintf(detail, sizeof detail, "%s takes %d, got %d", target.name,
                      target.param_count, argc - first);
        return fail(request, "wrong number of arguments: ", detail);
    }
    for (int p = 0; p < target.param_count; ++p) {
        const char* arg = argv[first + p];
        if (!target.params[p].is_int) {
            request.texts[p] = std::strcmp(arg, kNullWord) == 0 ? nullptr : arg;
        } else if (!parse_int(arg, request.ints[p])) {
            return fail(request, "not a 32-bit integer: ", arg);
        }
    }
    return true;
}

}  // namespace

bool parse_command_line(int argc, const char* const* argv, Request& request) {
    const int first = parse_options(argc, argv, request);
    if (first < 0) return false;
    if (request.action != Action::call && request.action != Action::dry_run) {
        return first == argc || fail(request, "unexpected argument: ", argv[first]);
    }
    return parse_call(argc - first, argv + first, request);
}

bool parse_call(int count, const char* const* words, Request& request) {
    if (count == 0) return fail(request, "no export named", nullptr);
    request.target = qelv::export_named(words[0]);
    if (!request.target || request.target->kind == qelv::ExportKind::sample) {
        return fail(request, "no such export: ", words[0]);
    }
    if (request.action == Action::dry_run && request.target->kind != qelv::ExportKind::page) {
        return fail(request, "--dry-run needs a page export, not ", request.target->name);
    }
    return parse_arguments(1, count, words, request);
}

void print_usage(std::FILE* out) {
    std::fputs(
        "usage: qelvcall [--dll PATH] [--font PATH] EXPORT ARG...\n"
        "       qelvcall [--dll PATH] [--font PATH] --batch FILE\n"
        "       qelvcall --dry-run EXPORT ARG...\n"
        "       qelvcall --list\n"
        "       qelvcall [--dll PATH] --version\n"
        "       qelvcall [--dll PATH] [--font PATH] --font-check\n"
        "       qelvcall --font-install FILE | --font-uninstall\n"
        "Calls one export of qelv_dorevivi.dll and prints its result.\n"
        "  --dll PATH   the DLL to load (default: qelv_dorevivi.dll next to qelvcall.exe)\n"
        "  --font PATH  load this font file for this process only before the call\n"
        "  --batch FILE one call per line, \"EXPORT ARG...\" split at blanks; a word in\n"
        "               double quotes keeps its blanks (\"\" is the empty text); all in\n"
        "               one process; exit 1 when any call gave nothing\n"
        "  --dry-run    page exports: print the address instead of opening it\n"
        "  --list       list the exports and their parameters\n"
        "  --version    this program's version, the DLL's, and the ANSI code page\n"
        "  --font-check whether the installed \"code 128\" font draws labels that read back\n"
        "  --font-install, --font-uninstall  what fonts\\install-font.cmd and\n"
        "               uninstall-font.cmd do (administrator): exit 3 when another\n"
        "               \"code 128\" font is installed, 3010 when a restart ends it\n"
        "Texts are passed as given; the word NULL passes a null pointer. The W\n"
        "exports (wtext) get the command line's own Unicode text, any file name.\n"
        "Exit: 0 the call succeeded (page opened, file written, address printed);\n"
        "      1 the export reported that nothing happened; 2 bad command line;\n"
        "      3 the DLL, the export or the font could not be loaded.\n",
        out);
}

void print_export_list(std::FILE* out) {
    for (const qelv::ExportEntry& e : qelv::kExportTable) {
        if (e.kind == qelv::ExportKind::sample) continue;
        std::fprintf(out, "%2d %s(", e.ordinal, e.name);
        for (int p = 0; p < e.param_count; ++p) {
            const bool wide = e.kind == qelv::ExportKind::wide_barcode;
            std::fprintf(out, "%s%s %s", p ? ", " : "",
                         e.params[p].is_int ? "int" : wide ? "wtext" : "text", e.params[p].name);
        }
        std::fputs(")\n", out);
    }
}

}  // namespace qelvcall
