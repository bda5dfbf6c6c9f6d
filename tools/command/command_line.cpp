#include "command_line.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr long kLargestEdge = 16384;
constexpr long kLatestMs = 24L * 60 * 60 * 1000;
constexpr long kHighestFps = 1000;

std::string SizeTakes() { return "WIDTHxHEIGHT, each 1 to " + std::to_string(kLargestEdge); }

std::string Qualified(const CLI::App* app) {
    return app->get_parent() ? std::string(kCommandName) + " " + app->get_name() : std::string(kCommandName);
}

// Its help, with the usage line naming the whole command ("halcyon capture").
std::string HelpOf(const CLI::App* app) { return app->help(app->get_parent() ? kCommandName : ""); }

// The subcommand the line reached, else the command itself.
const CLI::App* Reached(const CLI::App& command) {
    const std::vector<const CLI::App*> reached =
        command.get_subcommands([](const CLI::App* sub) { return sub->parsed(); });
    return reached.empty() ? &command : reached.front();
}

// A value option whose text is checked and converted by read, which names
// what it takes when the text does not fit.
void AddCheckedOption(CLI::App* app, const char* name, const std::string& help, const char* valueName,
                      std::function<bool(const std::string&)> read, const std::string& takes) {
    const std::string option = name;
    app->add_option_function<std::string>(
           name,
           [read, option, takes](const std::string& text) {
               if (!read(text)) throw RefusedValue(option, takes, text);
           },
           help)
        ->type_name(valueName);
}

}  // namespace

CLI::ValidationError RefusedValue(const std::string& option, const std::string& takes, const std::string& text) {
    const std::string quoted = text.size() > 40 ? text.substr(0, 40) + "..." : text;
    return CLI::ValidationError(option + " takes " + takes + ", not \"" + quoted + "\"");
}

bool ParseWholeNumber(const std::string& text, long low, long high, long* value) {
    if (text.empty() || text.size() > 20 || !std::isdigit(static_cast<unsigned char>(text[0]))) return false;
    char* end = nullptr;
    errno = 0;
    const long parsed = std::strtol(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || parsed < low || parsed > high) return false;
    *value = parsed;
    return true;
}

bool ParseSize(const std::string& text, int* width, int* height) {
    const size_t x = text.find('x');
    long w = 0, h = 0;
    if (x == std::string::npos || !ParseWholeNumber(text.substr(0, x), 1, kLargestEdge, &w) ||
        !ParseWholeNumber(text.substr(x + 1), 1, kLargestEdge, &h))
        return false;
    *width = static_cast<int>(w);
    *height = static_cast<int>(h);
    return true;
}

CLI::App* AddSubcommand(CLI::App& command, const char* name, const char* summary, const std::string& example) {
    CLI::App* app = command.add_subcommand(name, summary);
    app->footer("Example:\n  " + example);
    return app;
}

void AddDataDirArgument(CLI::App* app, std::string* dataDir) {
    app->add_option("DATA_DIR", *dataDir, "the folder that holds scripts/, shaders/, textures/, models/ and audio/")
        ->required();
}

void AddSizeOption(CLI::App* app, int* width, int* height, const std::string& help) {
    AddCheckedOption(
        app, "--size", help, "WIDTHxHEIGHT",
        [width, height](const std::string& text) { return ParseSize(text, width, height); }, SizeTakes());
}

void AddSizesOption(CLI::App* app, std::vector<std::pair<int, int>>* sizes, const std::string& help) {
    app->add_option_function<std::vector<std::string>>(
           "--size",
           [sizes](const std::vector<std::string>& texts) {
               for (const std::string& text : texts) {
                   int width = 0, height = 0;
                   if (!ParseSize(text, &width, &height)) throw RefusedValue("--size", SizeTakes(), text);
                   sizes->push_back({width, height});
               }
           },
           help)
        ->type_name("WIDTHxHEIGHT")
        ->allow_extra_args(false);
}

void AddMillisecondsOption(CLI::App* app, const char* name, int* ms, const std::string& help) {
    AddCheckedOption(
        app, name, help, "MS",
        [ms](const std::string& text) {
            long value = 0;
            if (!ParseWholeNumber(text, 0, kLatestMs, &value)) return false;
            *ms = static_cast<int>(value);
            return true;
        },
        "milliseconds from 0 to " + std::to_string(kLatestMs));
}

void AddFpsOption(CLI::App* app, int* fps, const std::string& help) {
    AddCheckedOption(
        app, "--fps", help, "N",
        [fps](const std::string& text) {
            long value = 0;
            if (!ParseWholeNumber(text, 1, kHighestFps, &value)) return false;
            *fps = static_cast<int>(value);
            return true;
        },
        "whole frames a second from 1 to " + std::to_string(kHighestFps));
}

int Fail(const CLI::App* app, const std::string& message) {
    std::fprintf(stderr, "%s: %s\n", Qualified(app).c_str(), message.c_str());
    return kExitBadInput;
}

int UsageError(const CLI::App* app, const std::string& message) {
    std::fprintf(stderr, "%s: %s\n\n%s", Qualified(app).c_str(), message.c_str(), HelpOf(app).c_str());
    return kExitUsage;
}

int RunCommandLine(CLI::App& command, const std::vector<Subcommand>& subcommands, int argc, char** argv) {
    // The parser would only say that a subcommand is required.
    const auto named = [&](const Subcommand& subcommand) { return subcommand.app->check_name(argv[1]); };
    if (argc > 1 && argv[1][0] != '-' && std::none_of(subcommands.begin(), subcommands.end(), named))
        return UsageError(&command, "there is no subcommand \"" + std::string(argv[1]) + "\"");
    try {
        command.parse(argc, argv);
    } catch (const CLI::CallForHelp&) {
        std::fputs(HelpOf(Reached(command)).c_str(), stdout);
        return kExitDone;
    } catch (const CLI::ParseError& error) {
        return UsageError(Reached(command), error.what());
    }
    for (const Subcommand& subcommand : subcommands)
        if (subcommand.app->parsed()) return subcommand.run();
    return UsageError(&command, "name a subcommand");
}
