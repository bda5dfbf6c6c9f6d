#include "gltf_images.h"

#include <cstdint>
#include <cstring>

#include "gltf_accessors.h"

namespace {

struct Size {
    uint32_t width = 0, height = 0;
};

uint32_t BigEndian(const std::vector<unsigned char>& b, size_t at, size_t bytes) {
    uint32_t value = 0;
    for (size_t i = 0; i < bytes; ++i) value = value << 8 | b[at + i];
    return value;
}

// The size in a PNG's IHDR chunk, which must come first.
bool PngSize(const std::vector<unsigned char>& b, Size* size) {
    static const unsigned char kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (b.size() < 24 || std::memcmp(b.data(), kSignature, 8) != 0 || std::memcmp(b.data() + 12, "IHDR", 4) != 0)
        return false;
    *size = {BigEndian(b, 16, 4), BigEndian(b, 20, 4)};
    return true;
}

// The size in a JPEG's first start-of-frame segment, as the decoder reads it.
bool JpegSize(const std::vector<unsigned char>& b, Size* size) {
    if (b.size() < 4 || b[0] != 0xFF || b[1] != 0xD8) return false;
    size_t at = 2;
    while (at + 1 < b.size()) {
        if (b[at] != 0xFF) return false;
        const unsigned char marker = b[at + 1];
        if (marker == 0xFF) {  // fill byte
            ++at;
            continue;
        }
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8)) {  // no length follows
            at += 2;
            continue;
        }
        if (marker == 0xD9 || marker == 0xDA || at + 4 > b.size()) return false;  // pixels before any frame
        const size_t length = BigEndian(b, at + 2, 2);
        if (length < 2 || at + 2 + length > b.size()) return false;
        const bool frame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (frame) {
            if (length < 7) return false;
            *size = {BigEndian(b, at + 7, 2), BigEndian(b, at + 5, 2)};
            return true;
        }
        at += 2 + length;
    }
    return false;
}

}  // namespace

bool KeepImageEncoded(tinygltf::Image* image, int, std::string*, std::string*, int, int, const unsigned char* bytes,
                      int size, void*) {
    if (image->bufferView < 0 && bytes && size > 0) image->image.assign(bytes, bytes + size);
    image->as_is = true;
    return true;
}

std::string ImageName(const tinygltf::Image& image, size_t index) {
    const bool ownFile = !image.uri.empty() && image.uri.rfind("data:", 0) != 0;
    return "image " + std::to_string(index) + (ownFile ? " (\"" + image.uri + "\")" : "");
}

void MeasureImages(tinygltf::Model& model) {
    for (size_t i = 0; i < model.images.size(); ++i) {
        tinygltf::Image& image = model.images[i];
        const std::string what = ImageName(image, i);
        if (image.bufferView >= 0) {
            if (static_cast<size_t>(image.bufferView) >= model.bufferViews.size())
                throw ImportError{what + " refers to buffer view " + std::to_string(image.bufferView) + " of " +
                                  std::to_string(model.bufferViews.size())};
            const tinygltf::BufferView& view = model.bufferViews[image.bufferView];
            if (view.buffer < 0 || static_cast<size_t>(view.buffer) >= model.buffers.size())
                throw ImportError{what + "'s buffer view refers to a missing buffer"};
            const std::vector<unsigned char>& buffer = model.buffers[view.buffer].data;
            if (view.byteOffset > buffer.size() || view.byteLength > buffer.size() - view.byteOffset)
                throw ImportError{what + "'s buffer view of " + std::to_string(view.byteLength) + " bytes at " +
                                  std::to_string(view.byteOffset) + " does not fit its buffer of " +
                                  std::to_string(buffer.size())};
            image.image.assign(buffer.begin() + static_cast<std::ptrdiff_t>(view.byteOffset),
                               buffer.begin() + static_cast<std::ptrdiff_t>(view.byteOffset + view.byteLength));
            image.as_is = true;
        }
        if (image.image.empty()) throw ImportError{what + " has no picture in it"};
        Size size;
        if (PngSize(image.image, &size))
            image.mimeType = "image/png";
        else if (JpegSize(image.image, &size))
            image.mimeType = "image/jpeg";
        else
            throw ImportError{what + " is neither a PNG nor a JPEG picture"};
        if (size.width == 0 || size.height == 0 || size.width > kMostImageSide || size.height > kMostImageSide)
            throw ImportError{what + " is " + std::to_string(size.width) + " x " + std::to_string(size.height) +
                              " pixels: the import takes pictures of 1 to " + std::to_string(kMostImageSide) +
                              " pixels a side"};
        image.width = static_cast<int>(size.width);
        image.height = static_cast<int>(size.height);
    }
}

tinygltf::Image DecodeImage(const tinygltf::Image& image, size_t index) {
    tinygltf::Image decoded;
    decoded.name = image.name;
    std::string error;
    // The size the header gave is the size the decoder must find.
    if (image.image.size() > INT32_MAX ||
        !tinygltf::LoadImageData(&decoded, static_cast<int>(index), &error, nullptr, image.width, image.height,
                                 image.image.data(), static_cast<int>(image.image.size()), nullptr))
        throw ImportError{ImageName(image, index) + " could not be decoded: the textures need every picture"};
    return decoded;
}
