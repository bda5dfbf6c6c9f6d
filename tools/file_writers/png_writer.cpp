#include "png_writer.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <filesystem>
#include <system_error>

namespace {

// libpng reports errors by longjmp: nothing here may need a destructor.
bool WriteRows(FILE* file, uint32_t width, uint32_t height, const uint32_t* pixels, bool alpha, int level) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file);
    png_set_compression_level(png, level);
    png_set_IHDR(png, info, width, height, 8, alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    // The words' bytes in memory are B, G, R, A; without alpha that byte is dropped.
    png_set_bgr(png);
    if (!alpha) png_set_filler(png, 0, PNG_FILLER_AFTER);
    for (uint32_t y = 0; y < height; ++y)
        png_write_row(png, reinterpret_cast<png_const_bytep>(pixels + static_cast<size_t>(y) * width));
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

}  // namespace

bool WritePng(const std::string& path, uint32_t width, uint32_t height, const uint32_t* pixels, bool alpha,
              int level) {
    if (width == 0 || height == 0 || !pixels || level < -1 || level > 9) return false;
    const std::filesystem::path parent = std::filesystem::path(path).parent_path();
    if (!parent.empty()) {
        std::error_code error;
        std::filesystem::create_directories(parent, error);
        if (error) return false;
    }
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    const bool written = WriteRows(file, width, height, pixels, alpha, level);
    return std::fclose(file) == 0 && written;
}

bool WritePng(const std::string& path, uint32_t width, uint32_t height, const std::vector<uint32_t>& pixels,
              bool alpha) {
    if (pixels.size() != static_cast<size_t>(width) * height) return false;
    return WritePng(path, width, height, pixels.data(), alpha);
}
