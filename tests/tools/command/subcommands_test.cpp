// The maker's command as a process: every subcommand listed and answering
// --help, each option written one way across subcommands, and lines that do
// not fit refused with exit code 2, the reason and the usage.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "child_process.h"
#include "temp_dir.h"

namespace {

const std::vector<std::string> kSubcommands = {"live",    "check",   "import", "export",   "info",
                                               "preview", "capture", "play",   "benchmark", "new", "pack"};

// stdout and stderr together.
CommandRun Halcyon(const std::string& arguments) {
    return RunCommand("SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy timeout 120 '" HALCYON "' " + arguments +
                      " 2>&1");
}

bool Says(const CommandRun& run, const std::string& text) { return run.output.find(text) != std::string::npos; }

TEST(HalcyonCommand, HelpListsEverySubcommandAndEachExplainsItselfWithAnExample) {
    const CommandRun help = Halcyon("--help");
    EXPECT_EQ(help.exitCode, 0) << help.output;
    for (const std::string& name : kSubcommands) {
        EXPECT_TRUE(Says(help, "\n  " + name + " ")) << name << " is not listed:\n" << help.output;
        const CommandRun sub = Halcyon(name + " --help");
        EXPECT_EQ(sub.exitCode, 0) << name << "\n" << sub.output;
        EXPECT_TRUE(Says(sub, "Usage: ")) << sub.output;
        EXPECT_TRUE(Says(sub, "Example:\n  halcyon " + name + " ")) << sub.output;
    }
    EXPECT_TRUE(Says(Halcyon("capture --help"), "--size WIDTHxHEIGHT"));
    EXPECT_TRUE(Says(Halcyon("live --help"), "--start MS"));
}

// Lines that start no work: each must end with 2, the one line that says
// why, and the usage of the subcommand (or of the command).
TEST(HalcyonCommand, EveryOptionIsWrittenOneWayAndBadLinesGiveTheUsage) {
    const std::string data = "'" DEMO_DATA_DIR "'";
    const std::string overlong(100000, '7');
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"", "A subcommand is required"},
        {"nosuch", "nosuch"},
        // Sizes: WIDTHxHEIGHT, each side 1 to 16384, wherever a size is taken.
        {"capture " + data + " out.mp4 --size 640 480", "--size takes WIDTHxHEIGHT, each 1 to 16384, not \"640\""},
        {"capture " + data + " out.mp4 --size x480", "--size takes WIDTHxHEIGHT"},
        {"live " + data + " --size 640x", "--size takes WIDTHxHEIGHT"},
        {"live " + data + " --size 0x480", "--size takes WIDTHxHEIGHT"},
        {"play " + data + " --size -640x480", "--size takes WIDTHxHEIGHT"},
        {"play " + data + " --size 640x480x2", "--size takes WIDTHxHEIGHT"},
        {"preview " + data + " out.png galo.nc ID4 --size 99999999999999999999x480", "--size takes WIDTHxHEIGHT"},
        {"benchmark " + data + " --size 640x480 --size 20000x480", "--size takes WIDTHxHEIGHT"},
        {"capture " + data + " out.mp4 --size", "--size"},
        // Times: whole milliseconds from 0 to a day.
        {"live " + data + " --start -5", "--start takes milliseconds from 0 to 86400000"},
        {"live " + data + " --start 12s", "--start takes milliseconds"},
        {"play " + data + " --start ''", "--start takes milliseconds"},
        {"capture " + data + " out.mp4 --end 99999999999", "--end takes milliseconds"},
        {"benchmark " + data + " --end " + overlong, "--end takes milliseconds"},
        {"play " + data + " --per-scene 0x10", "--per-scene takes milliseconds"},
        {"play " + data + " --start 2000 --end 1000", "--end 1000 ms is not after --start 2000 ms"},
        // Frame rates: whole frames a second on the fixed clock; key units a second for glTF.
        {"capture " + data + " out.mp4 --fps ten", "--fps takes whole frames a second from 1 to 1000"},
        {"benchmark " + data + " --fps 0", "--fps takes whole frames a second"},
        {"play " + data + " --fps 1.5", "--fps takes whole frames a second"},
        {"import in.glb out.nc --fps 0", "--fps takes a positive number of key units a second"},
        {"export in.nc out.glb --fps abc", "--fps takes a positive number"},
        // Unknown options, the old spellings among them, and missing or extra arguments.
        {"capture " + data + " out.mp4 --frames 3", "--frames"},
        {"live " + data + " --at 5000", "--at"},
        {"import in.glb out.nc --frames-per-second 30", "--frames-per-second"},
        {"benchmark " + data + " --sizes 640x480", "--sizes"},
        {"check", "DATA_DIR is required"},
        {"check " + data + " more", "more"},
        {"import only-one", "OUTPUT is required"},
        {"info", "FILE is required"},
        {"preview " + data + " out.png galo.nc", "CAMERA is required"},
        {"preview " + data + " out.png galo.nc ID4 --galo soon", "--galo"},
        {"benchmark " + data + " --rounds 3", "--rounds requires --reloads"},
        {"capture " + data + " out.mp4 --png --codec mpeg4", "--png excludes --codec"},
    };
    TempDir dir;
    for (const auto& [arguments, reason] : cases) {
        const CommandRun run = Halcyon(arguments);
        EXPECT_EQ(run.exitCode, 2) << arguments << "\n" << run.output;
        EXPECT_TRUE(Says(run, reason)) << arguments << ": wanted " << reason << "\n" << run.output.substr(0, 400);
        EXPECT_TRUE(Says(run, "Usage: ")) << arguments << "\n" << run.output.substr(0, 400);
        EXPECT_EQ(run.output.rfind("halcyon", 0), 0u) << "the reason comes first: " << run.output.substr(0, 200);
        EXPECT_LT(run.output.find('\n'), 160u) << "one line, however long the value: " << run.output.substr(0, 200);
    }
}

// Bad input, as opposed to a bad line: exit code 1 and one line naming it.
TEST(HalcyonCommand, BadInputEndsWithOneAndPlaysWithTheSpellingsAboveWork) {
    TempDir dir;
    const std::string data = "'" DEMO_DATA_DIR "'";
    const CommandRun missing = Halcyon("check '" + (dir.path() / "absent").string() + "'");
    EXPECT_EQ(missing.exitCode, 1) << missing.output;
    const CommandRun unknownFile =
        Halcyon("preview " + data + " '" + (dir.path() / "p.png").string() + "' nosuch.nc ID4");
    EXPECT_EQ(unknownFile.exitCode, 1) << unknownFile.output;
    EXPECT_EQ(unknownFile.output, "halcyon preview: no compound file nosuch.nc among the demo's\n");

    const CommandRun played = Halcyon("play " + data + " --size 64x48 --fps 5 --start 13000 --end 13400");
    EXPECT_EQ(played.exitCode, 0) << played.output;
    EXPECT_TRUE(Says(played, "halcyon play: 2 frames\n")) << played.output;
    const CommandRun timed =
        Halcyon("benchmark " + data + " --size 64x48 --size 32x24 --fps 5 --start 13000 --end 13400");
    EXPECT_EQ(timed.exitCode, 0) << timed.output;
    EXPECT_TRUE(Says(timed, "size 64x48, 5 fps fixed clock, 13000..13400 ms")) << timed.output;
    EXPECT_TRUE(Says(timed, "size 32x24, 5 fps fixed clock")) << timed.output;
    EXPECT_TRUE(Says(timed, "halcyon benchmark 32x24: [")) << "the progress, a line a tenth off a terminal\n"
                                                          << timed.output;
    const std::string picture = (dir.path() / "galo.png").string();
    const CommandRun preview = Halcyon("preview " + data + " '" + picture +
                                       "' scene_4_stage.nc ID4 --draw scene_4_stage.nc --draw galo.nc --size 64x48");
    EXPECT_EQ(preview.exitCode, 0) << preview.output;
    EXPECT_GT(std::filesystem::file_size(picture), 0u);
}

}  // namespace
