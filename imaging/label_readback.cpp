#include "imaging/label_readback.h"

#include <cstring>
#include <optional>

#include "symbology/code128_read.h"
#include "symbology/itf_read.h"

namespace qelv {

namespace {

constexpr const char* kRefusal = "barcodeimage_create_font: no file written: ";

std::string padded_digits(const char* digits) {
    const std::string text(digits);
    return text.size() % 2 ? "0" + text : text;
}

std::optional<std::string> row_digits(Symbology symbology, const std::vector<std::uint8_t>& luma) {
    if (symbology == Symbology::code128) return code128_read_row(luma.data(), luma.size());
    const auto reading = itf_read_row(luma.data(), luma.size());
    if (!reading) return std::nullopt;
    return reading->digits;
}

}  // namespace

bool bmp_row_luma(const BmpGeometry& geometry, const std::vector<std::uint8_t>& pixels,
                  std::int32_t y, std::vector<std::uint8_t>& luma) {
    if (geometry.bit_count != 24 || geometry.width <= 0 || y < 0 || y >= geometry.height)
        return false;
    const auto width = static_cast<std::size_t>(geometry.width);
    if (geometry.stride < 3 * width || pixels.size() < geometry.image_size ||
        geometry.image_size < std::size_t{geometry.stride} * static_cast<std::size_t>(geometry.height))
        return false;
    // Rows are stored bottom-up.
    const std::size_t stored_row = static_cast<std::size_t>(geometry.height - 1 - y);
    const std::uint8_t* pixel = pixels.data() + stored_row * geometry.stride;
    luma.assign(width, 0);
    for (std::size_t x = 0; x < width; ++x, pixel += 3) {
        // Blue, green, red; ITU-R BT.601 weights in thousandths.
        luma[x] = static_cast<std::uint8_t>((114 * pixel[0] + 587 * pixel[1] + 299 * pixel[2]) / 1000);
    }
    return true;
}

// A row whose stored bytes are those of a row already read reads the same,
// so a painted label, whose rows are alike, costs one reading, and any row
// that differs is read on its own.
bool same_row(const BmpGeometry& geometry, const std::vector<std::uint8_t>& pixels,
              std::int32_t y, std::int32_t read_y) {
    const std::size_t stride = geometry.stride;
    if (read_y < 0 || y >= geometry.height || pixels.size() < stride * static_cast<std::size_t>(geometry.height))
        return false;
    const auto at = [&](std::int32_t row) {
        return pixels.data() + static_cast<std::size_t>(geometry.height - 1 - row) * stride;
    };
    return std::memcmp(at(y), at(read_y), stride) == 0;
}

std::string label_readback_verdict(Symbology symbology, const BmpGeometry& geometry,
                                   const std::vector<std::uint8_t>& pixels, const char* digits,
                                   std::int32_t first_row, std::int32_t last_row) {
    const std::string expected = padded_digits(digits);
    const char* name = symbology == Symbology::code128 ? "Code 128 set C" : "Interleaved 2 of 5";
    std::vector<std::uint8_t> luma;
    if (first_row > last_row) return "no row to read back";
    std::int32_t read_y = -1;
    for (std::int32_t y = first_row; y <= last_row; ++y) {
        if (same_row(geometry, pixels, y, read_y)) continue;
        const std::string row = "row " + std::to_string(y) + ": ";
        if (!bmp_row_luma(geometry, pixels, y, luma)) return row + "the picture could not be read back";
        const auto read = row_digits(symbology, luma);
        if (!read) return row + "the picture is not one " + name + " symbol";
        if (*read != expected) return row + "the symbol reads " + *read + ", not " + expected;
        read_y = y;
    }
    return std::string();
}

std::string font_readback_verdict(const BmpGeometry& geometry,
                                  const std::vector<std::uint8_t>& pixels, const char* digits) {
    const std::string verdict = label_readback_verdict(Symbology::code128, geometry, pixels, digits,
                                                       kFontReadbackRow, kFontReadbackRow);
    if (verdict.empty()) return verdict;
    const bool unreadable = verdict.find("not one") != std::string::npos;
    return std::string(kRefusal) + verdict +
           (unreadable ? " (is the installed \"code 128\" font a Code 128 font?)" : "");
}

}  // namespace qelv
