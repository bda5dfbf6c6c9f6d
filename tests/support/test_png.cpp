#include "test_png.h"

#include <png.h>
#include <zlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>

bool WriteTestPng(const std::string& path, uint32_t width, uint32_t height, const std::vector<uint32_t>& pixels,
                  bool alpha) {
    if (pixels.size() != static_cast<size_t>(width) * height) return false;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    png.width = width;
    png.height = height;
    png.format = alpha ? PNG_FORMAT_BGRA : PNG_FORMAT_BGR;
    std::vector<uint8_t> bytes;
    for (uint32_t pixel : pixels) {
        bytes.push_back(pixel & 0xFF), bytes.push_back(pixel >> 8 & 0xFF), bytes.push_back(pixel >> 16 & 0xFF);
        if (alpha) bytes.push_back(pixel >> 24);
    }
    return png_image_write_to_file(&png, path.c_str(), 0, bytes.data(), 0, nullptr) != 0;
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
