#include "gltf_outline.h"

#include <cstdint>
#include <cstring>
#include <functional>

#include "gltf_accessors.h"

namespace {

class JsonReader {
public:
    explicit JsonReader(std::string_view text) : s_(text) {
        if (s_.substr(0, 3) == "\xEF\xBB\xBF") at_ = 3;  // a byte order mark
    }

    [[noreturn]] void Fail(const std::string& what) const {
        throw ImportError{"the JSON " + what + " at byte " + std::to_string(at_)};
    }

    char Peek() {
        while (at_ < s_.size() && (s_[at_] == ' ' || s_[at_] == '\t' || s_[at_] == '\n' || s_[at_] == '\r')) ++at_;
        return at_ < s_.size() ? s_[at_] : '\0';
    }

    void Expect(char c) {
        if (Peek() != c) Fail(std::string("lacks '") + c + "'");
        ++at_;
    }

    void End() {
        if (Peek() != '\0' || at_ != s_.size()) Fail("goes on after its value");
    }

    // Members of an object: member(key) reads the value.
    void Object(int depth, const std::function<void(const std::string&)>& member) {
        Deeper(depth);
        Expect('{');
        if (Peek() == '}') return void(++at_);
        for (;;) {
            const std::string key = String();
            Expect(':');
            member(key);
            if (Peek() == ',') {
                ++at_;
                continue;
            }
            Expect('}');
            return;
        }
    }

    void Array(int depth, const std::function<void()>& item) {
        Deeper(depth);
        Expect('[');
        if (Peek() == ']') return void(++at_);
        for (;;) {
            item();
            if (Peek() == ',') {
                ++at_;
                continue;
            }
            Expect(']');
            return;
        }
    }

    void Skip(int depth) {
        switch (Peek()) {
            case '{': return Object(depth, [&](const std::string&) { Skip(depth + 1); });
            case '[': return Array(depth, [&] { Skip(depth + 1); });
            case '"': return void(String());
            case 't': return Word("true");
            case 'f': return Word("false");
            case 'n': return Word("null");
            default: return Number();
        }
    }

    std::string String() {
        Expect('"');
        std::string out;
        for (;;) {
            if (at_ >= s_.size()) Fail("ends inside a string");
            const char c = s_[at_++];
            if (c == '"') return out;
            if (static_cast<unsigned char>(c) < 0x20) Fail("holds a control character in a string");
            if (c != '\\') {
                out += c;
                continue;
            }
            if (at_ >= s_.size()) Fail("ends inside a string");
            const char e = s_[at_++];
            const char* const plain = "\"\"\\\\//b\bf\fn\nr\rt\t";  // pairs: escape, character
            const char* found = nullptr;
            for (const char* p = plain; *p && !found; p += 2)
                if (*p == e) found = p + 1;
            if (found) {
                out += *found;
                continue;
            }
            if (e != 'u') Fail("has an unknown escape in a string");
            uint32_t code = Hex4();
            if (code >= 0xD800 && code < 0xDC00 && s_.substr(at_, 2) == "\\u") {
                at_ += 2;
                const uint32_t low = Hex4();
                if (low < 0xDC00 || low > 0xDFFF) Fail("has a broken surrogate pair");
                code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
            }
            Utf8(code, &out);
        }
    }

private:
    void Deeper(int depth) const {
        if (depth > kMostJsonDepth) Fail("nests deeper than " + std::to_string(kMostJsonDepth) + " levels");
    }

    void Word(const char* word) {
        const size_t n = std::strlen(word);
        if (s_.substr(at_, n) != word) Fail("has an unknown word");
        at_ += n;
    }

    void Digits() {
        const size_t start = at_;
        while (at_ < s_.size() && s_[at_] >= '0' && s_[at_] <= '9') ++at_;
        if (at_ == start) Fail("has a number without digits");
    }

    void Number() {
        if (at_ < s_.size() && s_[at_] == '-') ++at_;
        Digits();
        if (at_ < s_.size() && s_[at_] == '.') ++at_, Digits();
        if (at_ < s_.size() && (s_[at_] == 'e' || s_[at_] == 'E')) {
            ++at_;
            if (at_ < s_.size() && (s_[at_] == '+' || s_[at_] == '-')) ++at_;
            Digits();
        }
    }

    uint32_t Hex4() {
        uint32_t value = 0;
        for (int i = 0; i < 4; ++i, ++at_) {
            if (at_ >= s_.size()) Fail("ends inside a string");
            const char h = s_[at_];
            const int digit = h >= '0' && h <= '9' ? h - '0'
                              : h >= 'a' && h <= 'f' ? h - 'a' + 10
                              : h >= 'A' && h <= 'F' ? h - 'A' + 10
                                                     : -1;
            if (digit < 0) Fail("has a broken \\u escape");
            value = value * 16 + static_cast<uint32_t>(digit);
        }
        return value;
    }

    static void Utf8(uint32_t code, std::string* out) {
        if (code < 0x80) {
            *out += static_cast<char>(code);
        } else if (code < 0x800) {
            *out += static_cast<char>(0xC0 | code >> 6);
            *out += static_cast<char>(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            *out += static_cast<char>(0xE0 | code >> 12);
            *out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
            *out += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            *out += static_cast<char>(0xF0 | code >> 18);
            *out += static_cast<char>(0x80 | (code >> 12 & 0x3F));
            *out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
            *out += static_cast<char>(0x80 | (code & 0x3F));
        }
    }

    std::string_view s_;
    size_t at_ = 0;
};

uint32_t Word32(std::string_view file, size_t at) {
    uint32_t value;
    std::memcpy(&value, file.data() + at, 4);
    return value;  // little-endian, as the machines the tools run on
}

}  // namespace

GltfOutline ReadOutline(std::string_view json) {
    JsonReader reader(json);
    GltfOutline outline;
    // The uri of every element of buffers or images, "" where it has none.
    const auto uris = [&reader](std::vector<std::string>* list) {
        list->clear();
        reader.Array(2, [&] {
            std::string uri;
            reader.Object(3, [&](const std::string& key) {
                if (key == "uri" && reader.Peek() == '"')
                    uri = reader.String();
                else
                    reader.Skip(4);
            });
            list->push_back(uri);
        });
    };
    reader.Object(1, [&](const std::string& key) {
        if (key == "buffers") return uris(&outline.bufferUris);
        if (key == "images") return uris(&outline.imageUris);
        if (key != "extensionsRequired") return reader.Skip(2);
        outline.extensionsRequired.clear();
        reader.Array(2, [&] {
            if (reader.Peek() != '"') reader.Fail("lists an extension that is not a name");
            outline.extensionsRequired.push_back(reader.String());
        });
    });
    reader.End();
    return outline;
}

std::string_view GlbJson(std::string_view file) {
    constexpr size_t kHeader = 12, kChunkHeader = 8;
    constexpr uint32_t kJsonChunk = 0x4E4F534A;  // "JSON"
    if (file.size() < kHeader + kChunkHeader || file.substr(0, 4) != "glTF")
        throw ImportError{"not a binary glTF file: it lacks the \"glTF\" header"};
    if (Word32(file, 4) != 2) throw ImportError{"binary glTF version " + std::to_string(Word32(file, 4)) + ", not 2"};
    const uint32_t length = Word32(file, kHeader);
    if (Word32(file, kHeader + 4) != kJsonChunk) throw ImportError{"the binary glTF's first chunk is not its JSON"};
    if (length > file.size() - kHeader - kChunkHeader)
        throw ImportError{"the binary glTF's JSON chunk of " + std::to_string(length) + " bytes runs past the file's end"};
    return file.substr(kHeader + kChunkHeader, length);
}
