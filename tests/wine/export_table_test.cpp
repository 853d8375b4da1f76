// What a host's loader and linker see in qelv_dorevivi.dll: the export and
// import directories read from the file's own bytes, the version resource,
// and the exports bound through the real loader by name and by ordinal.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cctype>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "frame/export_table.h"
#include "qelv_version.h"
#include "support/dll.h"
#include "test_files.h"

namespace {

using qelvtest::Dll;

using qelv::ExportEntry;
using qelv::kExportCount;
using qelv::kExportTable;

// --- A by-hand reader of the PE file: no loader, no image help library. ---

struct Section {
    std::uint32_t rva, size, file_offset;
};

struct PeFile {
    std::vector<std::uint8_t> bytes;
    std::uint16_t machine = 0;
    std::uint16_t characteristics = 0;
    std::uint16_t magic = 0;
    std::uint32_t dir_rva[16] = {};
    std::uint32_t dir_size[16] = {};
    std::vector<Section> sections;
    bool valid = false;

    std::uint32_t u32(std::size_t at) const {
        if (at + 4 > bytes.size()) return 0;
        std::uint32_t v = 0;
        std::memcpy(&v, &bytes[at], 4);
        return v;
    }
    std::uint16_t u16(std::size_t at) const {
        if (at + 2 > bytes.size()) return 0;
        std::uint16_t v = 0;
        std::memcpy(&v, &bytes[at], 2);
        return v;
    }
    // File offset of an RVA, or 0 when no section holds it.
    std::size_t offset(std::uint32_t rva) const {
        for (const Section& s : sections) {
            if (rva >= s.rva && rva < s.rva + s.size) return s.file_offset + (rva - s.rva);
        }
        return 0;
    }
    std::string text_at(std::uint32_t rva) const {
        std::size_t at = offset(rva);
        std::string out;
        while (at != 0 && at < bytes.size() && bytes[at] != 0 && out.size() < 512) {
            out += static_cast<char>(bytes[at++]);
        }
        return out;
    }
};

PeFile read_pe(const std::string& path) {
    PeFile pe;
    pe.bytes = qelvtest::file_bytes(path);
    if (pe.u16(0) != 0x5A4D) return pe;  // "MZ"
    const std::size_t nt = pe.u32(0x3C);
    if (pe.u32(nt) != 0x00004550) return pe;  // "PE\0\0"
    const std::size_t coff = nt + 4;
    pe.machine = pe.u16(coff);
    const std::uint16_t section_count = pe.u16(coff + 2);
    const std::uint16_t optional_size = pe.u16(coff + 16);
    pe.characteristics = pe.u16(coff + 18);
    const std::size_t opt = coff + 20;
    pe.magic = pe.u16(opt);
    // PE32+ (x64) has an 8-byte image base and stack sizes: 16 bytes more.
    const std::size_t dirs = opt + (pe.magic == 0x20B ? 112 : 96);
    const std::uint32_t dir_count = std::min<std::uint32_t>(pe.u32(dirs - 4), 16);
    for (std::uint32_t i = 0; i < dir_count; ++i) {
        pe.dir_rva[i] = pe.u32(dirs + 8 * i);
        pe.dir_size[i] = pe.u32(dirs + 4 + 8 * i);
    }
    const std::size_t table = opt + optional_size;
    for (std::uint16_t i = 0; i < section_count; ++i) {
        const std::size_t s = table + 40 * i;
        const std::uint32_t virtual_size = pe.u32(s + 8);
        const std::uint32_t raw_size = pe.u32(s + 16);
        pe.sections.push_back({pe.u32(s + 12), std::max(virtual_size, raw_size), pe.u32(s + 20)});
    }
    pe.valid = true;
    return pe;
}

struct ExportDirectory {
    std::string module_name;
    std::uint32_t ordinal_base = 0;
    std::uint32_t function_count = 0;
    std::uint32_t name_count = 0;
    std::map<std::string, std::uint32_t> ordinal_of;  // name -> ordinal
    std::vector<std::uint32_t> function_rvas;         // by ordinal - base
};

ExportDirectory read_exports(const PeFile& pe) {
    ExportDirectory d;
    const std::size_t at = pe.offset(pe.dir_rva[0]);
    if (at == 0) return d;
    d.module_name = pe.text_at(pe.u32(at + 12));
    d.ordinal_base = pe.u32(at + 16);
    d.function_count = pe.u32(at + 20);
    d.name_count = pe.u32(at + 24);
    const std::size_t functions = pe.offset(pe.u32(at + 28));
    const std::size_t names = pe.offset(pe.u32(at + 32));
    const std::size_t ordinals = pe.offset(pe.u32(at + 36));
    for (std::uint32_t i = 0; i < d.function_count && i < 4096; ++i) {
        d.function_rvas.push_back(pe.u32(functions + 4 * i));
    }
    for (std::uint32_t i = 0; i < d.name_count && i < 4096; ++i) {
        d.ordinal_of[pe.text_at(pe.u32(names + 4 * i))] = d.ordinal_base + pe.u16(ordinals + 2 * i);
    }
    return d;
}

// "DLL function" for each function imported by name, the DLL in capitals.
std::set<std::string> read_imports(const PeFile& pe) {
    const bool wide = pe.magic == 0x20B;
    const std::size_t thunk_size = wide ? 8 : 4;
    std::set<std::string> imports;
    std::size_t at = pe.offset(pe.dir_rva[1]);
    // One 20-byte descriptor per DLL, ended by an all-zero descriptor.
    for (int dlls = 0; at != 0 && pe.u32(at + 12) != 0 && dlls < 256; at += 20, ++dlls) {
        std::string dll = pe.text_at(pe.u32(at + 12));
        std::transform(dll.begin(), dll.end(), dll.begin(),
                       [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
        std::size_t thunk = pe.offset(pe.u32(at) != 0 ? pe.u32(at) : pe.u32(at + 16));
        for (int n = 0; thunk != 0 && n < 4096; ++n, thunk += thunk_size) {
            const std::uint32_t low = pe.u32(thunk);
            const std::uint32_t high = wide ? pe.u32(thunk + 4) : 0;
            if (low == 0 && high == 0) break;
            const bool by_ordinal = wide ? (high & 0x80000000u) != 0 : (low & 0x80000000u) != 0;
            imports.insert(dll + " " + (by_ordinal ? "#" + std::to_string(low & 0xFFFF)
                                                   : pe.text_at(low + 2)));
        }
    }
    return imports;
}

// The rows of the documented import list that this architecture's DLL has.
std::set<std::string> listed_imports() {
    const std::string own = sizeof(void*) == 8 ? "dll64" : "dll32";
    std::set<std::string> listed;
    std::ifstream in(QELV_IMPORTS_FILE);
    for (std::string line; std::getline(in, line);) {
        std::istringstream row(line);
        std::string dll, function, version, binaries;
        if (line.empty() || line[0] == '#' || !(row >> dll >> function >> version >> binaries)) {
            continue;
        }
        std::istringstream tags(binaries);
        for (std::string tag; std::getline(tags, tag, ',');) {
            if (tag == "dll" || tag == own) listed.insert(dll + " " + function);
        }
    }
    return listed;
}

class ExportTable : public ::testing::Test {
protected:
    static void SetUpTestSuite() { pe_ = new PeFile(read_pe(qelvtest::dll_path())); }
    static void TearDownTestSuite() {
        delete pe_;
        pe_ = nullptr;
    }
    static const PeFile& pe() { return *pe_; }

private:
    static PeFile* pe_;
};
PeFile* ExportTable::pe_ = nullptr;

// x86: IMAGE_FILE_MACHINE_I386 and a PE32 optional header; x64:
// IMAGE_FILE_MACHINE_AMD64 and PE32+.
#if defined(_WIN64)
constexpr std::uint16_t kMachine = 0x8664, kMagic = 0x20B;
#else
constexpr std::uint16_t kMachine = 0x14C, kMagic = 0x10B;
#endif

TEST_F(ExportTable, IsADllOfThisBuildsArchitecture) {
    ASSERT_TRUE(pe().valid) << qelvtest::dll_path();
    EXPECT_EQ(pe().machine, kMachine);
    EXPECT_EQ(pe().magic, kMagic);
    EXPECT_NE(pe().characteristics & 0x2000, 0);  // IMAGE_FILE_DLL
}

TEST_F(ExportTable, NamesTheModuleWithOrdinalBaseOneAndNoGaps) {
    const ExportDirectory d = read_exports(pe());
    EXPECT_EQ(d.module_name, "qelv_dorevivi.dll");
    EXPECT_EQ(d.ordinal_base, 1u);
    EXPECT_EQ(d.function_count, kExportCount);
    EXPECT_EQ(d.name_count, kExportCount);
    const std::uint32_t dir_end = pe().dir_rva[0] + pe().dir_size[0];
    for (std::size_t i = 0; i < d.function_rvas.size(); ++i) {
        const std::uint32_t rva = d.function_rvas[i];
        EXPECT_NE(rva, 0u) << "ordinal " << i + 1 << " is a gap";
        // An RVA inside the export directory would be a forwarder text.
        EXPECT_FALSE(rva >= pe().dir_rva[0] && rva < dir_end) << "ordinal " << i + 1;
    }
}

TEST_F(ExportTable, EachNameSitsOnItsOrdinal) {
    const ExportDirectory d = read_exports(pe());
    for (const ExportEntry& row : kExportTable) {
        SCOPED_TRACE(row.name);
        const auto it = d.ordinal_of.find(row.name);
        ASSERT_NE(it, d.ordinal_of.end()) << "not exported";
        EXPECT_EQ(it->second, static_cast<unsigned>(row.ordinal));
    }
    for (const auto& [name, ordinal] : d.ordinal_of) {
        EXPECT_NE(qelv::export_named(name.c_str()), nullptr) << "unexpected export " << name
                                                            << " @" << ordinal;
    }
}

// The module-definition file the linker reads says what the table says: a
// line "name = internal @ordinal", where a stdcall export's internal name
// carries @ and the bytes it removes, 4 per parameter (x86; x64 names carry
// no decoration).
TEST(DefFile, MatchesTheExportTable) {
    std::ifstream in(QELV_DEF_FILE);
    ASSERT_TRUE(in) << QELV_DEF_FILE;
    std::size_t entries = 0;
    for (std::string line; std::getline(in, line);) {
        char name[128] = {}, internal[128] = {};
        unsigned ordinal = 0;
        if (std::sscanf(line.c_str(), " %127s = %127s @%u", name, internal, &ordinal) != 3) continue;
        SCOPED_TRACE(line);
        ++entries;
        const ExportEntry* entry = qelv::export_named(name);
        ASSERT_NE(entry, nullptr) << "not in the table";
        EXPECT_EQ(ordinal, static_cast<unsigned>(entry->ordinal));
        if (entry->kind == qelv::ExportKind::sample) continue;
        const std::string bytes = "@" + std::to_string(4 * entry->param_count);
        EXPECT_EQ(std::string(internal), std::string(name) + (kMachine == 0x14C ? bytes : ""));
    }
    EXPECT_EQ(entries, kExportCount);
}

// A host machine has no MinGW runtime DLLs, and no thread library or crypto
// provider comes in with the runtime: the DLL imports exactly the functions
// listed for it, the system DLLs' alone.
TEST_F(ExportTable, ImportsExactlyItsListedFunctions) {
    const std::set<std::string> listed = listed_imports();
    ASSERT_GT(listed.size(), 50u) << QELV_IMPORTS_FILE;
    const std::set<std::string> imports = read_imports(pe());
    for (const std::string& import : imports) EXPECT_EQ(listed.count(import), 1u) << import;
    for (const std::string& row : listed) EXPECT_EQ(imports.count(row), 1u) << "not imported: " << row;
}

// Loading runs nothing that loads a library: in a fresh process, with the
// DLLs of its import table loaded first, the load adds the DLL alone.
TEST(LoadedExports, LoadingBringsNoModuleTheImportTableDoesNotName) {
    const HANDLE probe = qelvtest::start_program("load_probe.exe", "", qelvtest::program_folder());
    ASSERT_NE(probe, nullptr);
    WaitForSingleObject(probe, INFINITE);
    DWORD others = 100;
    GetExitCodeProcess(probe, &others);
    CloseHandle(probe);
    EXPECT_EQ(others, 0u) << "modules the load brought (its output names them)";
}

std::string version_string(const std::vector<char>& info, const char* key) {
    struct Translation {
        WORD language, code_page;
    };
    Translation* t = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(info.data(), "\\VarFileInfo\\Translation",
                        reinterpret_cast<void**>(&t), &length) ||
        length < sizeof(Translation)) {
        return {};
    }
    char path[128];
    std::snprintf(path, sizeof path, "\\StringFileInfo\\%04x%04x\\%s", t->language,
                  t->code_page, key);
    char* value = nullptr;
    if (!VerQueryValueA(info.data(), path, reinterpret_cast<void**>(&value), &length)) return {};
    return std::string(value, value + std::strlen(value));
}

TEST(VersionResource, CarriesFileVersionProductNameAndDescription) {
    const std::string path = qelvtest::dll_path();
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &handle);
    ASSERT_GT(size, 0u) << "no version resource";
    std::vector<char> info(size);
    ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), 0, size, info.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    ASSERT_GE(length, sizeof(VS_FIXEDFILEINFO));
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    EXPECT_NE(fixed->dwFileVersionMS | fixed->dwFileVersionLS, 0u);
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_DLL));

    EXPECT_EQ(version_string(info, "ProductName"), "qelv_dorevivi");
    EXPECT_EQ(version_string(info, "OriginalFilename"), "qelv_dorevivi.dll");
    EXPECT_EQ(version_string(info, "CompanyName"), QELV_COMPANY);
    EXPECT_EQ(version_string(info, "Comments"), std::string("Support: ") + QELV_SUPPORT);
    EXPECT_FALSE(version_string(info, "FileDescription").empty());
    EXPECT_FALSE(version_string(info, "FileVersion").empty());
}

// A host may bind by either; both must reach the same code.
TEST(LoadedExports, BindByNameAndByOrdinalToTheSameAddress) {
    Dll dll;
    ASSERT_NE(dll.module, nullptr);
    for (const ExportEntry& row : kExportTable) {
        SCOPED_TRACE(row.name);
        const FARPROC by_name = dll.by_name(row.name);
        EXPECT_NE(by_name, nullptr);
        EXPECT_EQ(by_name, dll.by_ordinal(static_cast<unsigned>(row.ordinal)));
    }
    EXPECT_EQ(dll.by_ordinal(0), nullptr);
    EXPECT_EQ(dll.by_ordinal(kExportCount + 1), nullptr);
    // Names are exact: no decorated stdcall aliases for hosts to trip over.
    EXPECT_EQ(dll.by_name("OpenVarEda@8"), nullptr);
    EXPECT_EQ(dll.by_name("_OpenVarEda@8"), nullptr);
    EXPECT_EQ(dll.by_name("openvareda"), nullptr);
}

}  // namespace
