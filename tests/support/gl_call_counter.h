// Counts, by name, the GL calls made while a counter is alive: each counted
// entry point's libepoxy pointer is wrapped, and restored when it ends.
#pragma once

#include <map>
#include <string>

class GlCallCounter {
public:
    GlCallCounter();
    ~GlCallCounter();
    GlCallCounter(const GlCallCounter&) = delete;
    GlCallCounter& operator=(const GlCallCounter&) = delete;

    using Counts = std::map<std::string, int>;
    void Reset() { counts_.clear(); }
    int Count(const std::string& name) const;
    int Total() const;
    const Counts& counts() const { return counts_; }
    // "glBindTexture 3, glUseProgram 1, ..." for messages.
    std::string Describe() const;

    static void Note(const char* name);

private:
    Counts counts_;
};
