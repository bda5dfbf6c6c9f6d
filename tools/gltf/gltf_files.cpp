#include "gltf_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>

#include "gltf_accessors.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kBaseFolder = "<glTF folder>";

int HexDigit(char h) {
    return h >= '0' && h <= '9' ? h - '0' : h >= 'a' && h <= 'f' ? h - 'a' + 10 : h >= 'A' && h <= 'F' ? h - 'A' + 10 : -1;
}

// plusIsSpace: the library's reading, by which it asks for the file.
std::string PercentDecoded(const std::string& uri, bool plusIsSpace, const std::string& what) {
    std::string out;
    for (size_t i = 0; i < uri.size(); ++i) {
        if (uri[i] == '+' && plusIsSpace) {
            out += ' ';
        } else if (uri[i] == '%') {
            const int high = i + 2 < uri.size() ? HexDigit(uri[i + 1]) : -1;
            const int low = high >= 0 ? HexDigit(uri[i + 2]) : -1;
            if (low < 0) throw ImportError{what + " has a '%' that is not followed by two hexadecimal digits"};
            out += static_cast<char>(high * 16 + low);
            i += 2;
        } else {
            out += uri[i];
        }
    }
    if (out.find('\0') != std::string::npos) throw ImportError{what + " holds a zero byte"};
    return out;
}

// "scheme:" before any slash, as in "file:", "http:" or a drive letter.
bool HasScheme(const std::string& uri) {
    const size_t colon = uri.find(':');
    if (colon == std::string::npos || colon == 0 || !std::isalpha(static_cast<unsigned char>(uri[0]))) return false;
    return std::all_of(uri.begin(), uri.begin() + colon, [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || c == '+' || c == '-' || c == '.';
    });
}

bool Inside(const fs::path& folder, const fs::path& path) {
    const auto [f, p] = std::mismatch(folder.begin(), folder.end(), path.begin(), path.end());
    return f == folder.end() && p != path.end();
}

std::string Bytes(uintmax_t n) { return std::to_string(n) + " bytes"; }

}  // namespace

bool InsideFolder(const fs::path& folder, const fs::path& path) {
    std::error_code error;
    const fs::path base = fs::weakly_canonical(folder, error), full = fs::weakly_canonical(path, error);
    return !error && Inside(base, full);
}

bool PlainFileName(const std::string& name) { return !name.empty() && PlainFileNameOf(name) == name; }

std::string PlainFileNameOf(const std::string& name) {
    std::string plain = name;
    for (char& c : plain)
        if (c == '/' || c == '\\' || static_cast<unsigned char>(c) < 0x20) c = '_';
    return plain.empty() || plain == "." || plain == ".." ? "texture" : plain;
}

std::string ReadWholeFile(const fs::path& path, const std::string& what) {
    // Non-blocking, so that a pipe or a device is refused rather than waited on.
    const int fd = open(path.c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) throw ImportError{what + " cannot be opened"};
    struct stat info {};
    std::string bytes;
    const bool regular = fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    const uintmax_t size = regular ? static_cast<uintmax_t>(info.st_size) : 0;
    if (regular && size <= kMostFileBytes) {
        bytes.resize(size);
        size_t done = 0;
        while (done < size) {
            const ssize_t n = read(fd, bytes.data() + done, size - done);
            if (n <= 0) break;
            done += static_cast<size_t>(n);
        }
        bytes.resize(done);
    }
    close(fd);
    if (!regular) throw ImportError{what + " is not a regular file"};
    if (size > kMostFileBytes)
        throw ImportError{what + " is " + Bytes(size) + ", more than the " + Bytes(kMostFileBytes) + " the import reads"};
    if (bytes.size() != size) throw ImportError{what + " could not be read whole"};
    return bytes;
}

fs::path ResolveUri(const fs::path& folder, const std::string& uri, bool absoluteUris, const std::string& what) {
    if (HasScheme(uri)) throw ImportError{what + " is a URL, not a file beside the glTF file"};
    const std::string decoded = PercentDecoded(uri, false, what);
    const bool absolute = !decoded.empty() && (decoded[0] == '/' || decoded[0] == '\\');
    if (absolute && !absoluteUris)
        throw ImportError{what + " is an absolute path: only files in the glTF file's folder are read "
                                 "(--absolute-uris reads it)"};
    std::error_code error;
    const fs::path base = fs::weakly_canonical(folder, error);
    const fs::path path = fs::weakly_canonical(absolute ? fs::path(decoded) : folder / decoded, error);
    if (error) throw ImportError{what + " cannot be found: " + error.message()};
    if (!absolute && path != base && !Inside(base, path)) throw ImportError{what + " leads outside the glTF file's folder"};
    const fs::file_status status = fs::status(path, error);
    if (!fs::exists(status)) throw ImportError{what + " is missing"};
    if (!fs::is_regular_file(status)) throw ImportError{what + " is not a regular file"};
    const uintmax_t size = fs::file_size(path, error);
    if (!error && size > kMostFileBytes)
        throw ImportError{what + " is " + Bytes(size) + ", more than the " + Bytes(kMostFileBytes) + " the import reads"};
    return path;
}

NamedFiles::NamedFiles(const fs::path& folder, const GltfOutline& outline, bool absoluteUris) {
    const auto add = [&](const std::vector<std::string>& uris, const char* kind) {
        for (size_t i = 0; i < uris.size(); ++i) {
            const std::string& uri = uris[i];
            if (uri.empty() || uri.rfind("data:", 0) == 0) continue;  // in the file itself
            const std::string what = std::string(kind) + " " + std::to_string(i) + " (\"" + uri + "\")";
            byDecodedUri_[PercentDecoded(uri, true, what)] = ResolveUri(folder, uri, absoluteUris, what);
        }
    };
    add(outline.bufferUris, "buffer");
    add(outline.imageUris, "image");
}

const char* NamedFiles::BaseFolder() { return kBaseFolder; }

tinygltf::FsCallbacks NamedFiles::Callbacks() { return {&Exists, &Expand, &Read, &Write, this}; }

const fs::path* NamedFiles::Find(const std::string& request) const {
    // The library asks for the base folder, a slash and the URI as it decodes it.
    const std::string prefix = std::string(kBaseFolder) + "/";
    if (request.compare(0, prefix.size(), prefix) != 0) return nullptr;
    const auto found = byDecodedUri_.find(request.substr(prefix.size()));
    return found == byDecodedUri_.end() ? nullptr : &found->second;
}

bool NamedFiles::Exists(const std::string& request, void* files) {
    return static_cast<NamedFiles*>(files)->Find(request) != nullptr;
}

std::string NamedFiles::Expand(const std::string& request, void*) { return request; }

bool NamedFiles::Read(std::vector<unsigned char>* out, std::string* error, const std::string& request, void* files) {
    const fs::path* path = static_cast<NamedFiles*>(files)->Find(request);
    if (!path) return false;
    try {
        const std::string bytes = ReadWholeFile(*path, path->string());
        out->assign(bytes.begin(), bytes.end());
        return true;
    } catch (const ImportError& refused) {
        *error = refused.text;
        return false;
    }
}

bool NamedFiles::Write(std::string* error, const std::string&, const std::vector<unsigned char>&, void*) {
    *error = "the import writes no files through the glTF library";
    return false;
}
