#include "imaging/font_readback.h"

#include "symbology/code128_read.h"

namespace qelv {

namespace {

constexpr const char* kRefusal = "barcodeimage_create_font: no file written: ";

std::string padded_digits(const char* digits) {
    const std::string text(digits);
    return text.size() % 2 ? "0" + text : text;
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

std::string font_readback_verdict(const BmpGeometry& geometry,
                                  const std::vector<std::uint8_t>& pixels, const char* digits) {
    std::vector<std::uint8_t> luma;
    if (!bmp_row_luma(geometry, pixels, kFontReadbackRow, luma))
        return std::string(kRefusal) + "the drawn picture could not be read back";
    const auto read = code128_read_row(luma.data(), luma.size());
    if (!read)
        return std::string(kRefusal) + "the drawn picture is not one Code 128 set C symbol "
               "(is the installed \"code 128\" font a Code 128 font?)";
    const std::string expected = padded_digits(digits);
    if (*read != expected)
        return std::string(kRefusal) + "the drawn symbol reads " + *read + ", not " + expected;
    return std::string();
}

}  // namespace qelv
