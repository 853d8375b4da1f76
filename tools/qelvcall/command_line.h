// What the user asked qelvcall for, read from the command line.
#pragma once

#include <cstdint>
#include <cstdio>

#include "frame/export_table.h"

namespace qelvcall {

enum class Action { call, batch, font_check, font_install, font_uninstall, dry_run, list, help, version };

struct Request {
    Action action = Action::call;
    const char* dll_path = nullptr;   // nullptr: the DLL next to qelvcall.exe
    const char* font_path = nullptr;  // loaded privately before the call
    const char* batch_path = nullptr; // --batch: one call per line of this file
    const char* install_font = nullptr;  // --font-install: the kit's font file
    const qelv::ExportEntry* target = nullptr;
    const char* texts[qelv::kMaxExportParams] = {};  // nullptr where the user wrote NULL
    std::int32_t ints[qelv::kMaxExportParams] = {};
    char error[200] = {};
};

// The word that stands for a null pointer in place of a text.
constexpr const char* kNullWord = "NULL";

// False, with request.error set, when the command line is not usable.
bool parse_command_line(int argc, const char* const* argv, Request& request);

// One call, "EXPORT ARG...", into request's target and arguments; false,
// with request.error set, when it is not usable.
bool parse_call(int count, const char* const* words, Request& request);

void print_usage(std::FILE* out);
void print_export_list(std::FILE* out);

}  // namespace qelvcall
