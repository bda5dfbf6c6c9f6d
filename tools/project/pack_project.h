// A finished project made into a release a viewer unpacks and runs from
// anywhere: the demo program, the project's data beside it and a short text
// that says which Debian 12 packages it needs.
#pragma once

#include <string>
#include <vector>

constexpr const char* kReleaseNotesName = "RUNNING.txt";

// The text beside the demo in a release.
std::string ReleaseNotes(const std::string& demoName);

// Writes the release folder out (new or empty): demoBinary and the regular
// files directly under the project's five data folders; links and deeper
// folders are left out. False, with *error saying why, when anything fails.
bool WriteRelease(const std::string& project, const std::string& demoBinary, const std::string& out,
                  std::string* error);

// The folder of the running program: the build directory for the maker's
// command, where the demo program and the engine's data lie.
std::string CommandDirectory();

// Runs program with arguments, no shell between; its exit code, or -1 when
// it could not run or ended on a signal.
int RunProgram(const std::string& program, const std::vector<std::string>& arguments);
