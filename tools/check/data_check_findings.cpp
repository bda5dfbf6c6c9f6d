#include "data_check_findings.h"

#include <utility>

#include "backend/win32.h"

void Findings::ScriptError(const std::string& file, int line, const std::string& message) {
    Add({Severity::kError, file, line, "", message});
}

void Findings::ScriptWarning(const std::string& file, int line, const std::string& message) {
    Add({Severity::kWarning, file, line, "", message});
}

void Findings::Error(const std::string& file, const std::string& record, const std::string& message) {
    Add({Severity::kError, file, 0, record, message});
}

void Findings::Warning(const std::string& file, const std::string& record, const std::string& message) {
    Add({Severity::kWarning, file, 0, record, message});
}

void Findings::Add(Finding finding) {
    (finding.severity == Severity::kError ? errors_ : warnings_) += 1;
    findings_.push_back(std::move(finding));
}

std::vector<std::string> Findings::Lines() const {
    std::vector<std::string> lines;
    for (const Finding& f : findings_) {
        const char* severity = f.severity == Severity::kError ? "error: " : "warning: ";
        std::string where = f.file;
        where += f.line > 0 ? ":" + std::to_string(f.line) + ": " : ": " + f.record + ": ";
        lines.push_back(where + severity + OneLine(f.message));
    }
    return lines;
}

std::string Findings::Summary() const {
    // Always plural, so scripts can match the line.
    return std::to_string(errors_) + " errors, " + std::to_string(warnings_) + " warnings";
}

std::string OneLine(const std::string& text) {
    std::string out;
    for (char c : text) {
        const bool blank = c == '\n' || c == '\r' || c == '\t' || c == ' ';
        if (blank) {
            if (!out.empty() && out.back() != ' ') out += ' ';
        } else {
            out += c;
        }
    }
    while (!out.empty() && out.back() == ' ') out.pop_back();
    return out;
}

BoxCollector::BoxCollector() {
    SetMessageBoxObserver(
        [this](const std::string& text, const std::string& caption, UINT) { boxes_.push_back({text, caption}); });
}

BoxCollector::~BoxCollector() { SetMessageBoxObserver(nullptr); }

std::vector<BoxCollector::Box> BoxCollector::Take() { return std::exchange(boxes_, {}); }
