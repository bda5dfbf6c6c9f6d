// A program run the way a user's desktop starts it: its own working
// directory and environment, its output kept in a file.
#pragma once

#include <sys/types.h>

#include <map>
#include <string>
#include <vector>

class ChildProcess {
public:
    // environment: variables to set; an empty value removes the variable.
    // Standard error goes to errorPath, or with the output when it is empty.
    ChildProcess(const std::vector<std::string>& arguments, const std::map<std::string, std::string>& environment,
                 const std::string& workingDirectory, const std::string& outputPath,
                 const std::string& errorPath = "");
    ~ChildProcess();  // kills it and what it started, if it still runs
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // True when it ended within the time; exitCode is -1 after a signal.
    bool WaitForExit(double seconds, int* exitCode);
    bool Running();
    pid_t pid() const { return pid_; }

private:
    pid_t pid_ = -1;
    bool ended_ = false;
    int status_ = 0;
};

// A shell command run to its end: its exit code (-1 after a signal) and
// what it wrote to its standard output.
struct CommandRun {
    int exitCode;
    std::string output;
};
CommandRun RunCommand(const std::string& command);

// Everything a file holds, for messages in failed expectations.
std::string FileText(const std::string& path);
