// The files a glTF file names: found only inside its folder, regular files
// of bounded size, read by the glTF library only through callbacks that
// hand out exactly those files.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>

#include <tiny_gltf.h>

#include "gltf_outline.h"

// A glTF file, a buffer or an image file; larger ones are refused unread.
constexpr uintmax_t kMostFileBytes = uintmax_t{1} << 30;

// The whole of a regular file of at most kMostFileBytes; throws ImportError
// beginning with what.
std::string ReadWholeFile(const std::filesystem::path& path, const std::string& what);

// The file a URI names: percent-decoded, below folder (anywhere, for an
// absolute path, when absoluteUris), a regular file. Throws ImportError
// beginning with what.
std::filesystem::path ResolveUri(const std::filesystem::path& folder, const std::string& uri, bool absoluteUris,
                                 const std::string& what);

// Whether path (made canonical) lies below folder (made canonical).
bool InsideFolder(const std::filesystem::path& folder, const std::filesystem::path& path);

// A name that is one file in a folder: not empty, not "." or "..", without
// slashes, backslashes or control characters.
bool PlainFileName(const std::string& name);
// name with every character that keeps it from being plain replaced by '_'.
std::string PlainFileNameOf(const std::string& name);

// The files of a glTF's buffers and images, resolved before the library
// reads the file; its callbacks open nothing else.
class NamedFiles {
public:
    // Throws ImportError for the first URI that is refused.
    NamedFiles(const std::filesystem::path& folder, const GltfOutline& outline, bool absoluteUris);

    // The base folder to give the library with these callbacks.
    static const char* BaseFolder();
    tinygltf::FsCallbacks Callbacks();

private:
    static bool Exists(const std::string& request, void* files);
    static std::string Expand(const std::string& request, void*);
    static bool Read(std::vector<unsigned char>* out, std::string* error, const std::string& request, void* files);
    static bool Write(std::string* error, const std::string&, const std::vector<unsigned char>&, void*);
    const std::filesystem::path* Find(const std::string& request) const;

    std::map<std::string, std::filesystem::path> byDecodedUri_;
};
