#include "test_png.h"

#include "png_writer.h"

#include <unistd.h>
#include <zlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>

bool WriteTestPng(const std::string& path, uint32_t width, uint32_t height, const std::vector<uint32_t>& pixels,
                  bool alpha) {
    return WritePng(path, width, height, pixels, alpha);
}

std::string PngClaimingSize(uint32_t width, uint32_t height) {
    const std::string path = std::filesystem::temp_directory_path() / ("claim-" + std::to_string(getpid()) + ".png");
    WriteTestPng(path, 1, 1, {0xFFFFFFFF});
    std::ifstream in(path, std::ios::binary);
    std::stringstream buffer;
    buffer << in.rdbuf();
    std::filesystem::remove(path);
    std::string bytes = buffer.str();
    // Signature (8), IHDR length (4), "IHDR" (4), width and height big-endian, then the CRC at 29.
    auto putBigEndian = [&](size_t at, uint32_t value) {
        for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>(value >> (24 - 8 * i));
    };
    putBigEndian(16, width);
    putBigEndian(20, height);
    putBigEndian(29, static_cast<uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(bytes.data() + 12), 17)));
    return bytes;
}
