// Writes font-drawn barcode files for the script tests:
//   font_make.exe FONT.ttf OUTDIR DIGITS...
// loads FONT privately, calls barcodeimage_create_font for each DIGITS
// (the word "empty" stands for the empty text) into OUTDIR\DIGITS.bmp and
// prints "acp N", then one line "DIGITS RESULT" per call.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

std::string program_dir() {
    char exe[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    std::string path(exe);
    return path.substr(0, path.find_last_of("\\/") + 1);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: font_make FONT.ttf OUTDIR DIGITS...\n");
        return 2;
    }
    const int added = AddFontResourceExA(argv[1], FR_PRIVATE, nullptr);
    HMODULE dll = LoadLibraryA((program_dir() + "qelv_dorevivi.dll").c_str());
    if (!added || !dll) {
        std::fprintf(stderr, "font added: %d, DLL loaded: %d\n", added, dll != nullptr);
        return 1;
    }
    using Export = int(__stdcall*)(const char*, const char*);
    auto create = reinterpret_cast<Export>(
        reinterpret_cast<void*>(GetProcAddress(dll, "barcodeimage_create_font")));
    std::printf("acp %u\n", GetACP());
    for (int i = 3; i < argc; ++i) {
        const char* digits = std::strcmp(argv[i], "empty") == 0 ? "" : argv[i];
        const std::string path = std::string(argv[2]) + "\\" + argv[i] + ".bmp";
        std::printf("%s %d\n", argv[i], create ? create(digits, path.c_str()) : -1);
    }
    FreeLibrary(dll);
    RemoveFontResourceExA(argv[1], FR_PRIVATE, nullptr);
    return 0;
}
