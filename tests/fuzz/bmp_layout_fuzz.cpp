// The BMP layout for any width and height: a geometry is given only for a
// file below 2 GiB, rows padded to 4 bytes, and the headers' size fields
// agree with it.
#include <fuzzer/FuzzedDataProvider.h>

#include "fuzz_check.h"
#include "imaging/bmp_layout.h"

namespace {

std::uint32_t u32(const std::uint8_t* at) {
    return at[0] | at[1] << 8 | at[2] << 16 | static_cast<std::uint32_t>(at[3]) << 24;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const std::int32_t width = in.ConsumeIntegral<std::int32_t>();
    const std::int32_t height = in.ConsumeIntegral<std::int32_t>();
    qelv::BmpGeometry g;
    if (!qelv::bmp_geometry(width, height, qelv::kBmpFileDepth, g)) {
        FUZZ_CHECK(width <= 0 || height <= 0 ||
                   (static_cast<std::uint64_t>(width) * 3 + 3) / 4 * 4 * static_cast<std::uint64_t>(height) + 54 > 0x7FFFFFFF);
        return 0;
    }
    FUZZ_CHECK(g.stride % 4 == 0 && g.stride >= 3u * static_cast<std::uint32_t>(width));
    FUZZ_CHECK(g.stride < 3u * static_cast<std::uint32_t>(width) + 4);
    FUZZ_CHECK(static_cast<std::uint64_t>(g.image_size) == static_cast<std::uint64_t>(g.stride) * height);
    const qelv::BmpFileHeader file = qelv::bmp_file_header(g);
    const qelv::BmpInfoHeader info = qelv::bmp_info_header(g);
    FUZZ_CHECK(file[0] == 'B' && file[1] == 'M');
    FUZZ_CHECK(u32(&file[2]) == 54 + g.image_size && u32(&file[10]) == 54);
    FUZZ_CHECK(u32(&info[0]) == 40 && static_cast<std::int32_t>(u32(&info[4])) == width);
    FUZZ_CHECK(static_cast<std::int32_t>(u32(&info[8])) == height && info[14] == 24);
    if (g.image_size <= 1 << 16) {
        std::vector<std::uint8_t> pixels(g.image_size, 0xAB);
        qelv::bmp_clear_row_padding(g, pixels.data());
        for (std::uint32_t at = 0; at < g.image_size; ++at) {
            FUZZ_CHECK((at % g.stride < 3u * static_cast<std::uint32_t>(width)) == (pixels[at] == 0xAB));
        }
    }
    return 0;
}
