#include "reference_picture.h"

#include <png.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "platform/graphics_context.h"
#include "png_writer.h"

namespace {

bool Updating() {
    const char* update = std::getenv("ENGINE_UPDATE_REFERENCES");
    return update && std::strcmp(update, "1") == 0;
}

int ChannelDifference(uint32_t a, uint32_t b) {
    int largest = 0;
    for (int shift = 0; shift < 24; shift += 8)
        largest = std::max(largest, std::abs(static_cast<int>(a >> shift & 0xFF) - static_cast<int>(b >> shift & 0xFF)));
    return largest;
}

uint32_t Dimmed(uint32_t pixel) {
    const uint32_t grey = ((pixel >> 16 & 0xFF) + (pixel >> 8 & 0xFF) + (pixel & 0xFF)) / 9;
    return 0xFF000000u | grey << 16 | grey << 8 | grey;
}

std::string FailurePath(const std::string& name, const char* kind) {
    return std::string(PICTURE_FAILURE_DIR) + "/" + name + "-" + kind + ".png";
}

// Writes the pictures of a failed comparison; returns the text naming them.
std::string WriteFailure(const std::string& name, const Picture* expected, const Picture& actual,
                         const std::vector<uint32_t>& difference) {
    std::string written;
    auto write = [&](const char* kind, const Picture& picture) {
        const std::string path = FailurePath(name, kind);
        written += WritePng(path, picture.width, picture.height, picture.pixels, false) ? "\n  " + path
                                                                                           : "\n  (cannot write " + path + ")";
    };
    if (expected) write("expected", *expected);
    write("actual", actual);
    if (!difference.empty()) write("difference", {actual.width, actual.height, difference});
    return written;
}

}  // namespace

bool ReadPicture(const std::string& path, Picture* picture) {
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&png, path.c_str())) return false;
    png.format = PNG_FORMAT_BGRA;  // the bytes of 0xAARRGGBB in memory
    picture->width = png.width;
    picture->height = png.height;
    picture->pixels.assign(static_cast<size_t>(png.width) * png.height, 0);
    const bool read = png_image_finish_read(&png, nullptr, picture->pixels.data(), 0, nullptr) != 0;
    png_image_free(&png);
    return read;
}

Picture BackBufferPicture() {
    Picture picture;
    picture.pixels = g_graphics->device->ReadBackBuffer(&picture.width, &picture.height);
    return picture;
}

::testing::AssertionResult MatchesReference(const std::string& name, const Picture& actual,
                                            const PictureTolerance& tolerance) {
    const std::string path = std::string(REFERENCE_DIR) + "/" + name + ".png";
    if (actual.width == 0 || actual.height == 0 || actual.pixels.size() != size_t{actual.width} * actual.height)
        return ::testing::AssertionFailure() << name << ": the actual picture is empty or not " << actual.width
                                             << "x" << actual.height;
    if (Updating()) {
        if (!WritePng(path, actual.width, actual.height, actual.pixels, false))
            return ::testing::AssertionFailure() << "cannot write the reference " << path;
        return ::testing::AssertionSuccess() << "stored " << path;
    }

    Picture expected;
    if (!ReadPicture(path, &expected))
        return ::testing::AssertionFailure() << "no readable reference " << path
                                             << " (tools/update-references.sh makes it); actual picture:"
                                             << WriteFailure(name, nullptr, actual, {});
    return PicturesMatch(name, expected, actual, tolerance);
}

::testing::AssertionResult PicturesMatch(const std::string& name, const Picture& expected, const Picture& actual,
                                         const PictureTolerance& tolerance) {
    if (expected.width != actual.width || expected.height != actual.height ||
        expected.pixels.size() != actual.pixels.size())
        return ::testing::AssertionFailure() << name << ": the expected picture is " << expected.width << "x"
                                             << expected.height << ", the actual one " << actual.width << "x"
                                             << actual.height << WriteFailure(name, &expected, actual, {});

    std::vector<uint32_t> difference(actual.pixels.size());
    size_t beyond = 0;
    int largest = 0;
    for (size_t i = 0; i < actual.pixels.size(); ++i) {
        const int d = ChannelDifference(expected.pixels[i], actual.pixels[i]);
        largest = std::max(largest, d);
        if (d > tolerance.levels) {
            ++beyond;
            difference[i] = 0xFFFF0000u;
        } else {
            difference[i] = d > 0 ? 0xFF0000C0u : Dimmed(expected.pixels[i]);
        }
    }
    const double share = actual.pixels.empty() ? 0.0 : static_cast<double>(beyond) / actual.pixels.size();
    if (share <= tolerance.share) return ::testing::AssertionSuccess();
    char figures[160];
    std::snprintf(figures, sizeof figures,
                  ": %zu of %zu pixels (%.3f%%, allowed %.3f%%) differ by more than %d levels, at most by %d",
                  beyond, actual.pixels.size(), share * 100.0, tolerance.share * 100.0, tolerance.levels, largest);
    return ::testing::AssertionFailure() << name << figures << WriteFailure(name, &expected, actual, difference);
}
