#include "backend/hlsl_compiler_source.h"

#include <algorithm>
#include <cctype>
#include <vector>

namespace {

struct Token {
    size_t begin, end;
    bool identifier;
};

bool IsIdentifierStart(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_'; }
bool IsIdentifierPart(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

// Identifiers, numbers and single punctuation characters; comments, strings
// and preprocessor lines are not tokens (the preprocessor runs inside glslang).
std::vector<Token> Tokens(std::string_view text) {
    std::vector<Token> tokens;
    bool lineStart = true;
    for (size_t at = 0; at < text.size();) {
        const char c = text[at];
        if (c == '\n') {
            lineStart = true, ++at;
        } else if (std::isspace(static_cast<unsigned char>(c))) {
            ++at;
        } else if (c == '#' && lineStart) {
            while (at < text.size() && text[at] != '\n') at += text[at] == '\\' && at + 1 < text.size() ? 2 : 1;
        } else if (text.compare(at, 2, "//") == 0) {
            while (at < text.size() && text[at] != '\n') ++at;
        } else if (text.compare(at, 2, "/*") == 0) {
            const size_t close = text.find("*/", at + 2);
            at = close == std::string_view::npos ? text.size() : close + 2;
        } else if (c == '"') {
            const size_t begin = at++;
            while (at < text.size() && text[at] != '"' && text[at] != '\n') at += text[at] == '\\' ? 2 : 1;
            at = std::min(at + 1, text.size());
            tokens.push_back({begin, at, false});
            lineStart = false;
        } else {
            const size_t begin = at++;
            if (IsIdentifierPart(c))
                while (at < text.size() && (IsIdentifierPart(text[at]) || (!IsIdentifierStart(c) && text[at] == '.')))
                    ++at;
            tokens.push_back({begin, at, IsIdentifierStart(c)});
            lineStart = false;
        }
    }
    return tokens;
}

class Preparer {
public:
    Preparer(std::string_view source, std::string_view entry)
        : source_(source), entry_(entry), tokens_(Tokens(source)) {
        prepared_.text.assign(source);
    }

    PreparedHlsl Run() {
        int depth = 0;
        for (size_t i = 0; i < tokens_.size(); ++i) {
            if (Is(i, "{")) ++depth;
            if (Is(i, "}") && depth > 0) --depth;
            if (depth != 0) continue;
            if (IsAny(i, {"technique", "technique10", "technique11"})) {
                i = BlankThroughBlock(i, i);
            } else if (StartsStatement(i) && IsAny(i, {"texture", "texture1D", "texture2D", "texture3D", "textureCUBE",
                                                       "vertexshader", "pixelshader", "stateblock"})) {
                i = BlankThroughSemicolon(StatementStart(i));
            } else if (Is(i, "=") && IsAny(i + 1, {"sampler_state"})) {
                i = BlankThroughBlock(i, i + 1);
            } else if (Is(i, ":") && IsAny(i + 1, {"register"})) {
                i = Placement(i);
            } else if (Text(i) == entry_ && Is(i + 1, "(")) {
                EntryParameters(i + 1);  // their placements are read as the scan goes on
            }
        }
        ArrayCasts();
        return std::move(prepared_);
    }

private:
    std::string_view Text(size_t i) const {
        return i < tokens_.size() ? source_.substr(tokens_[i].begin, tokens_[i].end - tokens_[i].begin) : "";
    }
    bool Is(size_t i, std::string_view text) const { return Text(i) == text; }
    // Effect-file keywords are not case-sensitive.
    bool IsAny(size_t i, std::initializer_list<std::string_view> words) const {
        const std::string_view text = Text(i);
        for (std::string_view word : words) {
            if (text.size() != word.size()) continue;
            size_t k = 0;
            while (k < text.size() && std::tolower(static_cast<unsigned char>(text[k])) ==
                                          std::tolower(static_cast<unsigned char>(word[k])))
                ++k;
            if (k == text.size()) return true;
        }
        return false;
    }

    // Storage qualifiers that may precede a declaration's type.
    bool IsQualifier(size_t i) const {
        return IsAny(i, {"shared", "uniform", "extern", "static", "const", "volatile"});
    }
    size_t StatementStart(size_t i) const {
        while (i > 0 && IsQualifier(i - 1)) --i;
        return i;
    }
    bool StartsStatement(size_t i) const {
        const size_t start = StatementStart(i);
        return start == 0 || Is(start - 1, ";") || Is(start - 1, "}");
    }

    void Blank(size_t from, size_t to) {  // token indices, inclusive
        if (from >= tokens_.size()) return;
        to = std::min(to, tokens_.size() - 1);
        for (size_t at = tokens_[from].begin; at < tokens_[to].end; ++at)
            if (prepared_.text[at] != '\n') prepared_.text[at] = ' ';
    }

    // The token that closes the group opened at i, or the last token.
    size_t Closing(size_t i, std::string_view open, std::string_view close) const {
        int depth = 0;
        for (; i < tokens_.size(); ++i) {
            if (Is(i, open)) ++depth;
            if (Is(i, close) && --depth == 0) return i;
        }
        return tokens_.size() - 1;
    }

    // From `from` through the brace block that follows `keyword` (past its annotations).
    size_t BlankThroughBlock(size_t from, size_t keyword) {
        size_t open = keyword;
        while (open < tokens_.size() && !Is(open, "{") && !Is(open, ";"))
            open = Is(open, "<") ? Closing(open, "<", ">") + 1 : open + 1;
        if (!Is(open, "{")) return keyword;
        const size_t close = Closing(open, "{", "}");
        Blank(from, close);
        return close;
    }

    // A declaration through its semicolon; annotations and blocks inside it are skipped whole.
    size_t BlankThroughSemicolon(size_t from) {
        size_t i = from;
        while (i < tokens_.size() && !Is(i, ";")) {
            if (Is(i, "<")) i = Closing(i, "<", ">");
            else if (Is(i, "{")) i = Closing(i, "{", "}");
            ++i;
        }
        Blank(from, i);
        return i;
    }

    // ": register(cN)" (or "register(vs_3_0, cN)"): the declarator before it
    // is placed at float register N; integer and boolean placements go too,
    // as those register files live among the float ones here. Sampler and
    // texture registers stay for glslang.
    size_t Placement(size_t colon) {
        const size_t open = colon + 2;
        if (!Is(open, "(")) return colon;
        const size_t close = Closing(open, "(", ")");
        const std::string_view slot = Text(close - 1);
        const char kind = slot.empty() ? 0 : static_cast<char>(std::tolower(static_cast<unsigned char>(slot[0])));
        if (kind != 'c' && kind != 'b' && kind != 'i') return close;
        size_t name = colon;
        while (name > 0) {
            --name;
            if (Is(name, "]")) {
                int depth = 0;
                for (; name > 0; --name) {
                    if (Is(name, "]")) ++depth;
                    if (Is(name, "[") && --depth == 0) break;
                }
            } else if (tokens_[name].identifier && name > 0 && Is(name - 1, ":")) {
                --name;  // a semantic
            } else {
                break;
            }
        }
        if (kind == 'c' && tokens_[name].identifier && slot.size() > 1 && slot.size() < 6) {
            uint32_t index = 0;
            bool digits = true;
            for (char c : slot.substr(1)) {
                digits = digits && std::isdigit(static_cast<unsigned char>(c));
                index = index * 10 + static_cast<uint32_t>(c - '0');
            }
            if (digits) prepared_.placedConstants[std::string(Text(name))] = index;
        }
        Blank(colon, close);
        return close;
    }

    // The entry function's parameter list: its uniform parameters by name.
    // Only a definition counts, not a prototype.
    void EntryParameters(size_t open) {
        const size_t close = Closing(open, "(", ")");
        size_t after = close + 1;
        while (after < tokens_.size() && !Is(after, "{") && !Is(after, ";")) ++after;
        if (!Is(after, "{")) return;
        size_t parameter = open + 1;
        while (parameter < close) {
            size_t end = parameter, name = parameter;
            bool uniform = false;
            int depth = 0;
            bool named = false;
            for (; end < close; ++end) {
                if (Is(end, "(") || Is(end, "[") || Is(end, "<")) ++depth;
                if (Is(end, ")") || Is(end, "]") || Is(end, ">")) --depth;
                if (depth == 0 && Is(end, ",")) break;
                if (depth == 0 && (Is(end, ":") || Is(end, "=") || Is(end, "["))) named = true;
                if (!named && tokens_[end].identifier) name = end;
                if (Is(end, "uniform")) uniform = true;
            }
            if (uniform && name < close) prepared_.uniformParameters.insert(std::string(Text(name)));
            parameter = end + 1;
        }
    }

    // "(float[4])v", a vector cast to an array, which glslang cannot
    // construct: it becomes a call of a helper declared on the line of the
    // first top-level declaration that casts so. Lines stay where they were.
    void ArrayCasts() {
        std::vector<std::pair<size_t, std::string>> inserts;  // at offset, text; replacements are blank first
        std::set<std::string> declared;
        size_t statement = 0;
        int depth = 0;
        for (size_t i = 0; i < tokens_.size(); ++i) {
            if (Is(i, "{")) ++depth;
            if (Is(i, "}") && depth > 0 && --depth == 0) statement = i + 1;
            if (Is(i, ";") && depth == 0) statement = i + 1;
            if (!Is(i, "(") || !IsAny(i + 1, {"float", "half", "int", "uint", "bool", "double"}) || !Is(i + 2, "[") ||
                Text(i + 3).size() != 1 || Text(i + 3)[0] < '1' || Text(i + 3)[0] > '4' || !Is(i + 4, "]") ||
                !Is(i + 5, ")"))
                continue;
            const size_t operand = OperandEnd(i + 6);
            if (operand >= tokens_.size()) continue;
            const std::string type(Text(i + 1)), size(Text(i + 3)), name = "d3d_cast_" + type + "_" + size;
            if (declared.insert(name).second) {
                std::string helper = "typedef " + type + " " + name + "_t[" + size + "]; " + name + "_t " + name + "(" +
                                     type + size + " v) { " + name + "_t a = {";
                for (int k = 0; k < size[0] - '0'; ++k)
                    helper += std::string(k ? ", " : " ") + "v[" + std::to_string(k) + "]";
                inserts.emplace_back(tokens_[statement].begin, helper + " }; return a; } ");
            }
            Blank(i, i + 5);
            inserts.emplace_back(tokens_[i].begin, name + "(");
            inserts.emplace_back(tokens_[operand].end, ")");
            i += 5;
        }
        // From the back, so that earlier offsets stay right; at one offset, the helper goes first.
        std::stable_sort(inserts.begin(), inserts.end(),
                         [](const auto& a, const auto& b) { return a.first > b.first; });
        for (auto at = inserts.begin(); at != inserts.end();) {
            const size_t offset = at->first;
            std::string text;
            for (; at != inserts.end() && at->first == offset; ++at) text += at->second;
            prepared_.text.insert(offset, text);
        }
    }

    // The last token of the unary expression that starts at i (prefix
    // operators, a name, number, call or parenthesis, then member and index
    // postfixes), or past the end when there is none.
    size_t OperandEnd(size_t i) const {
        while (Is(i, "-") || Is(i, "+") || Is(i, "!") || Is(i, "~")) ++i;
        if (i >= tokens_.size()) return tokens_.size();
        if (Is(i, "(")) i = Closing(i, "(", ")");
        else if (Is(i + 1, "(") && tokens_[i].identifier) i = Closing(i + 1, "(", ")");
        else if (!IsIdentifierPart(source_[tokens_[i].begin])) return tokens_.size();
        for (;;) {
            if (Is(i + 1, ".") && i + 2 < tokens_.size() && tokens_[i + 2].identifier) i += 2;
            else if (Is(i + 1, "[")) i = Closing(i + 1, "[", "]");
            else return i;
        }
    }

    std::string_view source_, entry_;
    std::vector<Token> tokens_;
    PreparedHlsl prepared_;
};

}  // namespace

PreparedHlsl PrepareHlsl(std::string_view source, std::string_view entryPoint) {
    return Preparer(source, entryPoint).Run();
}
