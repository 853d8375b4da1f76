// BMP layout: stride, file depth, and the header bytes in file order.
#include "imaging/bmp_layout.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

using qelv::BmpGeometry;

std::uint32_t u32_at(const std::uint8_t* bytes) {
    return bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}
std::uint16_t u16_at(const std::uint8_t* bytes) {
    return static_cast<std::uint16_t>(bytes[0] | bytes[1] << 8);
}

struct SizeCase {
    std::int32_t width;
    std::int32_t height;
    std::uint32_t stride;
    std::uint32_t file_size;
    const char* why;
};

const SizeCase kSizeCases[] = {
    {57, 35, 172, 6074, "Code 128 of 1234"},
    {35, 35, 108, 3834, "Code 128 of the empty text"},
    {36, 20, 108, 2214, "ITF of 1234 at ratio 2, height raised to 20"},
    {8, 20, 24, 534, "ITF without digits: rows need no padding"},
    {9, 20, 28, 614, "27 bytes of pixels and 1 of padding per row"},
    {1, 1, 4, 58, "one pixel still takes a whole word"},
    {1872, 35, 5616, 196614, "widest Code 128"},
};

TEST(BmpGeometry, StrideAndFileSizeAt24Bits) {
    for (const auto& c : kSizeCases) {
        BmpGeometry g;
        ASSERT_TRUE(qelv::bmp_geometry(c.width, c.height, 24, g)) << c.why;
        EXPECT_EQ(g.stride, c.stride) << c.why;
        EXPECT_EQ(qelv::bmp_stride(c.width, 24), c.stride) << c.why;
        EXPECT_EQ(g.image_size, c.stride * static_cast<std::uint32_t>(c.height)) << c.why;
        EXPECT_EQ(qelv::bmp_file_size(g), c.file_size) << c.why;
    }
}

TEST(BmpGeometry, RefusesEmptyAndOversizedPictures) {
    BmpGeometry g;
    g.width = 77;
    EXPECT_FALSE(qelv::bmp_geometry(0, 35, 24, g));
    EXPECT_FALSE(qelv::bmp_geometry(57, 0, 24, g));
    EXPECT_FALSE(qelv::bmp_geometry(-1, 35, 24, g));
    EXPECT_FALSE(qelv::bmp_geometry(57, -35, 24, g));
    EXPECT_FALSE(qelv::bmp_geometry(0x7FFFFFFF, 0x7FFFFFFF, 24, g)) << "size would wrap";
    EXPECT_FALSE(qelv::bmp_geometry(30000, 30000, 24, g)) << "file past 2 GiB";
    EXPECT_EQ(g.width, 77) << "a refusal leaves the geometry alone";
}

TEST(BmpHeaders, FieldsInFileOrderLittleEndian) {
    BmpGeometry g;
    ASSERT_TRUE(qelv::bmp_geometry(57, 35, 24, g));
    const auto file = qelv::bmp_file_header(g);
    EXPECT_EQ(file[0], 'B');
    EXPECT_EQ(file[1], 'M');
    EXPECT_EQ(u32_at(&file[2]), 6074u);  // bfSize
    EXPECT_EQ(u16_at(&file[6]), 0u);
    EXPECT_EQ(u16_at(&file[8]), 0u);
    EXPECT_EQ(u32_at(&file[10]), 54u);  // bfOffBits
    const auto info = qelv::bmp_info_header(g);
    const std::uint32_t expected[] = {40, 57, 35};
    for (int i = 0; i < 3; ++i) EXPECT_EQ(u32_at(&info[4 * i]), expected[i]);
    EXPECT_EQ(u16_at(&info[12]), 1u);   // biPlanes
    EXPECT_EQ(u16_at(&info[14]), 24u);  // biBitCount
    for (int offset = 16; offset < 40; offset += 4) {
        EXPECT_EQ(u32_at(&info[offset]), 0u) << "info header offset " << offset;
    }
}

TEST(BmpHeaders, ExactBytesOfTheSmallestItf) {
    BmpGeometry g;
    ASSERT_TRUE(qelv::bmp_geometry(8, 20, 24, g));
    const std::vector<std::uint8_t> file_bytes = {'B', 'M', 0x16, 0x02, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0};
    const auto file = qelv::bmp_file_header(g);
    EXPECT_EQ(std::vector<std::uint8_t>(file.begin(), file.end()), file_bytes);
    const auto info = qelv::bmp_info_header(g);
    std::vector<std::uint8_t> info_bytes(40, 0);
    info_bytes[0] = 40;
    info_bytes[4] = 8;
    info_bytes[8] = 20;
    info_bytes[12] = 1;
    info_bytes[14] = 24;
    EXPECT_EQ(std::vector<std::uint8_t>(info.begin(), info.end()), info_bytes);
}

TEST(BmpPadding, ClearsOnlyTheBytesBehindEachRow) {
    BmpGeometry g;
    ASSERT_TRUE(qelv::bmp_geometry(9, 3, 24, g));
    std::vector<std::uint8_t> pixels(g.image_size, 0xAB);
    qelv::bmp_clear_row_padding(g, pixels.data());
    for (std::uint32_t i = 0; i < pixels.size(); ++i) {
        EXPECT_EQ(pixels[i], i % 28 == 27 ? 0 : 0xAB) << "byte " << i;
    }
    ASSERT_TRUE(qelv::bmp_geometry(8, 2, 24, g));
    std::vector<std::uint8_t> unpadded(g.image_size, 0xAB);
    qelv::bmp_clear_row_padding(g, unpadded.data());
    EXPECT_EQ(unpadded, std::vector<std::uint8_t>(g.image_size, 0xAB));
}

}  // namespace
