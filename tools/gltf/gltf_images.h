// A glTF file's pictures kept encoded while the file is read, measured from
// their headers and decoded one at a time only when their size is known to
// be within bounds and their bytes within their buffer.
#pragma once

#include <string>

#include <tiny_gltf.h>

// Wider or taller pictures are refused before any decoder sees them.
constexpr int kMostImageSide = 8192;

// The glTF library's image callback: it keeps a URI's or data URI's bytes
// as they are (as_is) and leaves a buffer view's alone, whose range the
// library does not check.
bool KeepImageEncoded(tinygltf::Image* image, int index, std::string* error, std::string* warning, int width,
                      int height, const unsigned char* bytes, int size, void*);

// After the library has read the file: each picture's bytes (copied from its
// buffer view once the view is checked), its mime type and its size from its
// PNG or JPEG header. Throws ImportError naming the picture.
void MeasureImages(tinygltf::Model& model);

// "image N" and its URI when it has a file of its own.
std::string ImageName(const tinygltf::Image& image, size_t index);

// The pixels of a measured picture: 8 or 16 bits a channel, four channels.
// Throws ImportError naming it when the decoder refuses it.
tinygltf::Image DecodeImage(const tinygltf::Image& image, size_t index);
