#include "shader/shader_reader.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "backend/file_open.h"
#include "backend/win32.h"

namespace {

// The working buffers of the file format; anything longer is rejected
// rather than truncated, so a broken file is noticed instead of half-compiled.
constexpr size_t kMaxLine = kMaxShaderLine;
constexpr size_t kMaxSection = kShaderSourceSize - 1;  // the terminator must fit the caller's buffer
constexpr size_t kMaxPragmaLine = 127;
constexpr size_t kMaxConfigLine = 1023;
constexpr size_t kMaxHashWord = 127;
constexpr size_t kMaxArgument = 127;
constexpr int32_t kMaxProfileElements = 64;  // Direct3D 9 declarations cannot hold more

constexpr const char* kCaption = "zkReadShader";

// atoi, minus its undefined behaviour on overflow: clamps instead.
int32_t ParseInt(const std::string& text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    int64_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > INT64_C(2147483648)) value = INT64_C(2147483648);
    }
    if (negative) value = -value;
    if (value > INT32_MAX) value = INT32_MAX;
    return static_cast<int32_t>(value);
}

std::string FirstWord(const std::string& line) { return line.substr(0, line.find(' ')); }

// The whole pragma line decides, so a trailing blank already makes it kNone.
ShaderSection KindOf(const std::string& pragma) {
    if (pragma == "#pragma GLSL_VS") return ShaderSection::kGlslVertex;
    if (pragma == "#pragma GLSL_PS") return ShaderSection::kGlslPixel;
    if (pragma == "#pragma HLSL_VS") return ShaderSection::kHlslVertex;
    if (pragma == "#pragma HLSL_PS") return ShaderSection::kHlslPixel;
    if (pragma == "#pragma Config") return ShaderSection::kConfig;
    return ShaderSection::kNone;
}

class ShaderFileReader {
public:
    ShaderFileReader(VertexProfile* profile, char* vertexSource, char* pixelSource, int32_t* vertexVersion,
                     int32_t* pixelVersion, ShaderSourceLines* lines)
        : lines_(lines),
          profile_(profile),
          vertexSource_(vertexSource),
          pixelSource_(pixelSource),
          vertexVersion_(vertexVersion),
          pixelVersion_(pixelVersion) {}

    // False with error() set when the file breaks a limit.
    bool Read(FILE* file);
    const std::string& error() const { return error_; }

private:
    bool Fail(const std::string& what) {
        error_ = what;
        return false;
    }
    bool Append(int c);
    bool CheckHashWord(const std::string& line);
    bool EndLine();
    bool Deliver(ShaderSection kind);
    bool ParseConfigLine(const std::string& line, std::vector<ShaderDefine>* defines);
    bool ParseCall(const std::string& line, size_t paren, const std::vector<ShaderDefine>& defines);
    bool Argument(const std::string& line, size_t paren, int n, const std::string& command, std::string* out);

    ShaderSourceLines* lines_;  // may be null
    int32_t newlines_ = 0;      // read so far
    int32_t lineStart_ = 1;     // the file line the current logical line starts on
    std::vector<int32_t> sectionLines_;
    VertexProfile* profile_;
    char* vertexSource_;
    char* pixelSource_;
    int32_t* vertexVersion_;
    int32_t* pixelVersion_;

    std::string line_;
    std::string section_;
    std::string previousPragma_;
    bool inQuotes_ = false;
    bool sectionBegun_ = false;
    bool profileCreated_ = false;
    std::string error_;
};

bool ShaderFileReader::Read(FILE* file) {
    int c = 0;
    bool eof = false;
    // A failed read keeps the previous character, as a formatted read does.
    // Text mode: a CR before LF is dropped, so files saved on Windows read the same.
    auto next = [&] {
        int r = std::fgetc(file);
        if (r == '\r') {
            const int following = std::fgetc(file);
            if (following == '\n')
                r = following;
            else if (following != EOF)
                std::ungetc(following, file);
        }
        if (r == EOF)
            eof = true;
        else
            c = r;
        if (r == '\n') ++newlines_;
    };

    if (std::feof(file)) return true;
    next();
    for (;;) {
        if (eof || c == '\n') {
            if (line_.empty()) lineStart_ = eof ? newlines_ + 1 : newlines_;
            if (!EndLine()) return false;
            if (eof) return true;
            next();
            continue;
        }
        if (c == '"') inQuotes_ = !inQuotes_;
        if (inQuotes_) {
            if (!Append(c)) return false;
            next();
            continue;
        }
        if (c == '\t') c = ' ';
        if (!line_.empty() && line_.back() == '/' && (c == '/' || c == '*')) {
            if (c == '/') {
                // The eaten newline does not end the line: it joins the next one.
                do next();
                while (!eof && c != '\n');
            } else {
                int previous = 0;  // the opening '*' must not close the comment
                for (;;) {
                    next();
                    if (eof || (previous == '*' && c == '/')) break;
                    previous = c;
                }
            }
            line_.pop_back();
            // A comment open at the end of the file still ends its line.
            if (!eof) next();
            continue;
        }
        if (c == ' ' && (line_.empty() || (line_.size() >= 2 && line_.back() == ' '))) {
            next();
            continue;
        }
        if (!Append(c)) return false;
        next();
    }
}

bool ShaderFileReader::Append(int c) {
    if (line_.size() >= kMaxLine) return Fail("line longer than " + std::to_string(kMaxLine) + " characters");
    if (line_.empty()) lineStart_ = newlines_ + 1;
    line_ += static_cast<char>(c);
    return true;
}

bool ShaderFileReader::CheckHashWord(const std::string& line) {
    if (FirstWord(line).size() > kMaxHashWord)
        return Fail("first word of a \"#\" line longer than " + std::to_string(kMaxHashWord) + " characters");
    return true;
}

bool ShaderFileReader::EndLine() {
    bool pragma = false;
    if (!line_.empty() && line_[0] == '#') {
        if (!CheckHashWord(line_)) return false;
        const std::string word = FirstWord(line_);
        pragma = word == "#pragma" || word == "#end";
    }
    if (pragma) {
        if (line_.size() > kMaxPragmaLine)
            return Fail("pragma line longer than " + std::to_string(kMaxPragmaLine) + " characters");
        if (!sectionBegun_) {
            sectionBegun_ = true;
        } else {
            if (!Deliver(KindOf(previousPragma_))) return false;
            section_.clear();
            sectionLines_.clear();
        }
        previousPragma_ = line_;
    } else if (sectionBegun_) {
        if (section_.size() + line_.size() + 1 > kMaxSection)
            return Fail("section longer than " + std::to_string(kMaxSection) + " characters");
        section_ += line_;
        section_ += '\n';
        sectionLines_.push_back(lineStart_);
    }
    line_.clear();
    return true;
}

bool ShaderFileReader::Deliver(ShaderSection kind) {
    switch (kind) {
        case ShaderSection::kHlslVertex:
            std::memcpy(vertexSource_, section_.c_str(), section_.size() + 1);
            if (lines_) lines_->vertex = sectionLines_;
            return true;
        case ShaderSection::kHlslPixel:
            std::memcpy(pixelSource_, section_.c_str(), section_.size() + 1);
            if (lines_) lines_->pixel = sectionLines_;
            return true;
        case ShaderSection::kConfig: {
            // Defines are local to their Config section.
            std::vector<ShaderDefine> defines;
            size_t start = 0;
            for (;;) {
                const size_t end = section_.find('\n', start);
                const std::string line = section_.substr(start, end == std::string::npos ? end : end - start);
                if (!ParseConfigLine(line, &defines)) return false;
                if (end == std::string::npos) return true;
                start = end + 1;
            }
        }
        case ShaderSection::kGlslVertex:
        case ShaderSection::kGlslPixel:
        case ShaderSection::kNone:
            return true;
    }
    return true;
}

bool ShaderFileReader::ParseConfigLine(const std::string& line, std::vector<ShaderDefine>* defines) {
    if (line.size() > kMaxConfigLine)
        return Fail("configuration line longer than " + std::to_string(kMaxConfigLine) + " characters");
    if (line.empty()) return true;
    if (line[0] == '#') {
        if (!CheckHashWord(line)) return false;
        const std::string word = FirstWord(line);
        if (word == "#preprocessor") return true;
        if (word == "#define") {
            // The name starts just after "#define " and runs to the next blank.
            const std::string rest = line.size() > 8 ? line.substr(8) : std::string();
            const size_t space = rest.find(' ');
            ShaderDefine define{0, rest.substr(0, space)};
            if (space != std::string::npos) {
                const std::string value = rest.substr(space + 1);
                if (value.find_first_not_of(' ') != std::string::npos) define.value = ParseInt(value);
            }
            defines->push_back(define);
            return true;
        }
    }
    const size_t paren = line.find('(');
    if (paren == std::string::npos) return true;
    return ParseCall(line, paren, *defines);
}

// Argument n begins after the n-th comma past the "(" and keeps its blanks;
// a missing one reads as empty.
bool ShaderFileReader::Argument(const std::string& line, size_t paren, int n, const std::string& command,
                                std::string* out) {
    size_t start = paren + 1;
    for (int i = 0; i < n; ++i) {
        const size_t comma = line.find(',', start);
        if (comma == std::string::npos) {
            out->clear();
            return true;
        }
        start = comma + 1;
    }
    bool quoted = false;
    size_t end = start;
    for (; end < line.size(); ++end) {
        const char ch = line[end];
        if (ch == '"')
            quoted = !quoted;
        else if (!quoted && (ch == ',' || ch == ')'))
            break;
    }
    if (end - start > kMaxArgument)
        return Fail("argument of " + command + " longer than " + std::to_string(kMaxArgument) + " characters");
    *out = line.substr(start, end - start);
    return true;
}

bool ShaderFileReader::ParseCall(const std::string& line, size_t paren, const std::vector<ShaderDefine>& defines) {
    const std::string command = line.substr(0, paren);
    std::string args[5];
    auto read = [&](int count) {
        for (int i = 0; i < count; ++i)
            if (!Argument(line, paren, i, command, &args[i])) return false;
        return true;
    };

    if (command == "VertexProfileCreate") {
        if (!read(1)) return false;
        const int32_t count = ParseInt(args[0]);
        if (count < 0 || count > kMaxProfileElements)
            return Fail("VertexProfileCreate count " + std::to_string(count) + " outside 0.." +
                        std::to_string(kMaxProfileElements));
        profile_->count = count;
        profile_->elements.assign(static_cast<size_t>(count), VertexProfileElement{0, 0, 0, 0});
        profileCreated_ = true;
    } else if (command == "VertexProfileSet") {
        if (!read(5)) return false;
        if (!profileCreated_) return Fail("VertexProfileSet before VertexProfileCreate");
        const int32_t index = ParseInt(args[0]);
        if (index < 0 || index >= profile_->count || static_cast<size_t>(index) >= profile_->elements.size())
            return Fail("VertexProfileSet index " + std::to_string(index) + " outside 0.." +
                        std::to_string(profile_->count - 1));
        int32_t type = -1;  // no vertex usage
        for (const ShaderDefine& define : defines) {
            if (define.name == args[3]) {
                type = define.value;
                break;
            }
        }
        profile_->elements[static_cast<size_t>(index)] =
            VertexProfileElement{ParseInt(args[1]), ParseInt(args[2]), type, ParseInt(args[4])};
    } else if (command == "VertexShaderVersion") {
        if (!read(1)) return false;
        *vertexVersion_ = ParseInt(args[0]);
    } else if (command == "PixelShaderVersion") {
        if (!read(1)) return false;
        *pixelVersion_ = ParseInt(args[0]);
    }
    return true;
}

}  // namespace

bool zkReadShader(const char* path, VertexProfile* profile, char* vertexSource, char* pixelSource,
                  int32_t* vertexVersion, int32_t* pixelVersion, ShaderSourceLines* lines) {
    FILE* file = path ? OpenDataFile(path, "r") : nullptr;
    if (!file) {
        MessageBoxA(nullptr, "Shader not found!", kCaption, MB_OK);
        return false;
    }
    ShaderFileReader reader(profile, vertexSource, pixelSource, vertexVersion, pixelVersion, lines);
    const bool ok = reader.Read(file);
    std::fclose(file);
    if (!ok) {
        const std::string text = std::string(path) + ": " + reader.error();
        MessageBoxA(nullptr, text.c_str(), kCaption, MB_ICONEXCLAMATION);
    }
    return ok;
}
