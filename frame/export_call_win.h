// Calls any export of the table with its word-sized arguments, stdcall as a
// host binds it (x64 has one convention). For the programs that call the
// DLL (qelvcall, the tests, the bench); the DLL never includes it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <utility>

#include "frame/export_table.h"

namespace qelv {

namespace export_call_detail {

template <std::size_t... I>
std::int32_t call_with(FARPROC fn, const std::uintptr_t* args, std::index_sequence<I...>) {
    using Fn = std::int32_t(__stdcall*)(decltype(static_cast<void>(I), std::uintptr_t{})...);
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(fn))(args[I]...);
}

template <std::size_t N>
std::int32_t call_n(FARPROC fn, const std::uintptr_t* args) {
    return call_with(fn, args, std::make_index_sequence<N>{});
}

template <std::size_t... N>
std::int32_t call_counted(FARPROC fn, const std::uintptr_t* args, int count,
                          std::index_sequence<N...>) {
    using Caller = std::int32_t (*)(FARPROC, const std::uintptr_t*);
    static constexpr Caller kCallers[] = {call_n<N>...};
    return kCallers[count](fn, args);
}

}  // namespace export_call_detail

// count is the export's param_count (at most kMaxExportParams); args holds
// that many words: integers, or the texts' addresses.
inline std::int32_t call_export(FARPROC fn, const std::uintptr_t* args, int count) {
    return export_call_detail::call_counted(fn, args, count,
                                            std::make_index_sequence<kMaxExportParams + 1>{});
}

}  // namespace qelv
