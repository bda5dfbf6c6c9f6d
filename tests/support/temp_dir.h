// A fresh directory that tests make their data files in.
#pragma once

#include <filesystem>
#include <string>

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // Writes bytes to a file below the directory, creating its folders.
    void Write(const std::string& relativePath, const std::string& bytes) const;

private:
    std::filesystem::path path_;
};

// Makes a directory the working directory for its lifetime.
class WorkingDirectory {
public:
    explicit WorkingDirectory(const std::filesystem::path& path);
    ~WorkingDirectory();

private:
    std::filesystem::path previous_;
};
