// What the data check found: errors and warnings, each tied to a file and
// either a script line or a record inside the file, printed one per line.
#pragma once

#include <string>
#include <vector>

enum class Severity { kError, kWarning };

struct Finding {
    Severity severity;
    std::string file;    // relative to the data directory, with '/' separators
    int line = 0;        // script findings only; 0 elsewhere
    std::string record;  // the part of the file it is about; empty for script findings
    std::string message;
};

class Findings {
public:
    void ScriptError(const std::string& file, int line, const std::string& message);
    void ScriptWarning(const std::string& file, int line, const std::string& message);
    void Error(const std::string& file, const std::string& record, const std::string& message);
    void Warning(const std::string& file, const std::string& record, const std::string& message);

    // "FILE:LINE: error: ..." or "FILE: record: warning: ...", in the order found.
    std::vector<std::string> Lines() const;
    // "N errors, M warnings".
    std::string Summary() const;
    int errors() const { return errors_; }
    int warnings() const { return warnings_; }

private:
    void Add(Finding finding);

    std::vector<Finding> findings_;
    int errors_ = 0;
    int warnings_ = 0;
};

// One line of text: line ends and tabs become blanks, runs of blanks one blank,
// so a compiler's message fits a finding.
std::string OneLine(const std::string& text);

// Collects the engine's message boxes while it lives instead of showing them.
class BoxCollector {
public:
    struct Box {
        std::string text, caption;
    };
    BoxCollector();
    ~BoxCollector();
    BoxCollector(const BoxCollector&) = delete;
    BoxCollector& operator=(const BoxCollector&) = delete;

    // The boxes since the last call, which empties the list.
    std::vector<Box> Take();

private:
    std::vector<Box> boxes_;
};
