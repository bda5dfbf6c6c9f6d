#include "png_writer.h"

#include <png.h>

#include <filesystem>
#include <system_error>

bool WritePng(const std::string& path, uint32_t width, uint32_t height, const std::vector<uint32_t>& pixels,
              bool alpha) {
    if (width == 0 || height == 0 || pixels.size() != static_cast<size_t>(width) * height) return false;
    const std::filesystem::path parent = std::filesystem::path(path).parent_path();
    if (!parent.empty()) {
        std::error_code error;
        std::filesystem::create_directories(parent, error);
        if (error) return false;
    }
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    png.width = width;
    png.height = height;
    png.format = alpha ? PNG_FORMAT_BGRA : PNG_FORMAT_BGR;
    std::vector<uint8_t> bytes;
    bytes.reserve(pixels.size() * (alpha ? 4 : 3));
    for (uint32_t pixel : pixels) {
        bytes.push_back(pixel & 0xFF), bytes.push_back(pixel >> 8 & 0xFF), bytes.push_back(pixel >> 16 & 0xFF);
        if (alpha) bytes.push_back(pixel >> 24);
    }
    return png_image_write_to_file(&png, path.c_str(), 0, bytes.data(), 0, nullptr) != 0;
}
