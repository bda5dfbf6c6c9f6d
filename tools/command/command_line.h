// What every subcommand of the maker's command shares: one spelling per
// option, the exit codes, and the way a fault is worded.
#pragma once

#include <CLI/CLI.hpp>

#include <functional>
#include <string>
#include <utility>
#include <vector>

constexpr const char* kCommandName = "halcyon";

// 0 done; 1 the input is bad (one line says why); 2 the command line is.
enum ExitCode { kExitDone = 0, kExitBadInput = 1, kExitUsage = 2 };

// A subcommand added to the command: its options are read into what run
// captures, and run does the work once the whole line has been read.
struct Subcommand {
    CLI::App* app = nullptr;
    std::function<int()> run;
};

// The subcommand NAME with its one-line summary and an example for its help.
CLI::App* AddSubcommand(CLI::App& command, const char* name, const char* summary, const std::string& example);

// DATA_DIR, required: a demo's data folder.
void AddDataDirArgument(CLI::App* app, std::string* dataDir);
// --size WIDTHxHEIGHT, each side 1 to 16384 pixels.
void AddSizeOption(CLI::App* app, int* width, int* height, const std::string& help);
// --size WIDTHxHEIGHT, given once for each size.
void AddSizesOption(CLI::App* app, std::vector<std::pair<int, int>>* sizes, const std::string& help);
// NAME MS: whole milliseconds from 0 to 24 hours.
void AddMillisecondsOption(CLI::App* app, const char* name, int* ms, const std::string& help);
// --fps N: whole frames a second, 1 to 1000.
void AddFpsOption(CLI::App* app, int* fps, const std::string& help);

// "WIDTHxHEIGHT" as two numbers in 1..16384; false for anything else.
bool ParseSize(const std::string& text, int* width, int* height);
// A whole decimal number in [low, high], nothing before or after it.
bool ParseWholeNumber(const std::string& text, long low, long high, long* value);

// "OPTION takes TAKES, not "TEXT"", the text cut to a line's length.
CLI::ValidationError RefusedValue(const std::string& option, const std::string& takes, const std::string& text);

// "halcyon SUB: message" on stderr; returns kExitBadInput.
int Fail(const CLI::App* app, const std::string& message);
// "halcyon SUB: message" and the subcommand's usage on stderr; returns kExitUsage.
int UsageError(const CLI::App* app, const std::string& message);

// Reads the line into the subcommands and runs the one named: its exit code,
// or 0 after --help, or 2 when the line does not fit.
int RunCommandLine(CLI::App& command, const std::vector<Subcommand>& subcommands, int argc, char** argv);
