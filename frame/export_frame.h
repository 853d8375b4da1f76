// The frame every working export shares: argument guard, catch-all guard.
#pragma once

#include <cstdint>

namespace qelv {

// Result of an export when the argument guard stops it or an exception is
// caught. Hosts must not rely on it, but 0 never looks like success.
constexpr std::int32_t kNoResult = 0;

// Argument guard: true when every tested text is present.
template <typename... Texts>
constexpr bool all_present(const Texts*... texts) {
    return ((texts != nullptr) && ...);
}

// Catch-all guard: runs the work and turns any language exception into
// kNoResult, so that no exception ever crosses into the host.
template <typename Work>
std::int32_t guarded(Work&& work) noexcept {
    try {
        return work();
    } catch (...) {
        return kNoResult;
    }
}

}  // namespace qelv
