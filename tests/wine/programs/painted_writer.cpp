// Writes barcode files through the DLL next to this program, one per line
// of the job file named on the command line, into the current directory:
//   c128 <digits> <file>
//   itf <ratio> <height> <digits> <file>
// Prints "<file> <result>" per job; exits 1 on a malformed line or when the
// DLL or an export cannot be found.
#include <windows.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

namespace {

using Code128Create = int(__stdcall*)(const char*, const char*);
using ItfCreate = int(__stdcall*)(int, int, const char*, const char*);

std::string dll_path() {
    char exe[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    std::string path(exe);
    path.resize(path.find_last_of("\\/") + 1);
    return path + "qelv_dorevivi.dll";
}

template <typename Fn>
Fn bind(HMODULE module, const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

bool run_job(const std::string& line, Code128Create code128, ItfCreate itf) {
    std::istringstream words(line);
    std::string kind, digits, file;
    int ratio = 0, height = 0, result = 0;
    words >> kind;
    if (kind == "c128" && words >> digits >> file) {
        result = code128(digits.c_str(), file.c_str());
    } else if (kind == "itf" && words >> ratio >> height >> digits >> file) {
        result = itf(ratio, height, digits.c_str(), file.c_str());
    } else {
        return false;
    }
    std::printf("%s %d\n", file.c_str(), result);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) return 1;
    HMODULE module = LoadLibraryA(dll_path().c_str());
    if (!module) return 1;
    const auto code128 = bind<Code128Create>(module, "barcodeimage_create");
    const auto itf = bind<ItfCreate>(module, "itf125barimage_create");
    int status = code128 && itf ? 0 : 1;
    std::ifstream jobs(argv[1]);
    std::string line;
    while (status == 0 && std::getline(jobs, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty() && !run_job(line, code128, itf)) status = 1;
    }
    FreeLibrary(module);
    return status;
}
