// Every file the demo loads, damaged in turn, played through the fixed clock
// in a child process: no crash or sanitizer report, the loader's message for
// that file, and an early end only through a fatal lookup. Prints the table
// file x damage -> exit path, sanitizer, message.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "child_process.h"
#include "temp_dir.h"

namespace {

namespace fs = std::filesystem;

const char* const kFolders[] = {"scripts", "shaders", "textures", "models", "audio"};

enum class Damage { kMissing, kEmpty, kHalf, kFlipped };
const Damage kDamages[] = {Damage::kMissing, Damage::kEmpty, Damage::kHalf, Damage::kFlipped};
const char* NameOf(Damage damage) {
    static const char* const kNames[] = {"missing", "empty", "half", "flipped"};
    return kNames[static_cast<int>(damage)];
}

// Sixteen bytes inverted, spread evenly over the file (headers, tables and
// payload alike), the same ones on every run.
std::string Flipped(std::string bytes) {
    for (size_t k = 1; k <= 16 && !bytes.empty(); ++k) bytes[k * bytes.size() / 17] ^= '\xff';
    return bytes;
}

struct Case {
    Case(std::string file, Damage damage, std::string environment = "")
        : file(std::move(file)), damage(damage), environment(std::move(environment)) {}

    std::string file;  // relative to the data directory, "" for the audio device case
    Damage damage;
    std::string environment;  // put before the command
    fs::path dir;

    // Filled by the run.
    int status = 0;
    std::string out, err;
};

// The case's data directory: every folder a link to the generated one but the
// damaged file's folder, which holds links to its other files and the damage.
void MakeDataDir(Case& c) {
    const fs::path data(DEMO_DATA_DIR);
    const std::string damagedFolder = fs::path(c.file).parent_path().string();
    for (const char* folder : kFolders) {
        if (folder != damagedFolder) {
            fs::create_directory_symlink(data / folder, c.dir / folder);
            continue;
        }
        fs::create_directory(c.dir / folder);
        for (const auto& entry : fs::directory_iterator(data / folder))
            if (fs::path(folder) / entry.path().filename() != fs::path(c.file))
                fs::create_symlink(entry.path(), c.dir / folder / entry.path().filename());
    }
    if (c.file.empty() || c.damage == Damage::kMissing) return;
    const std::string whole = FileText(data / c.file);
    const std::string damaged = c.damage == Damage::kEmpty  ? std::string()
                                : c.damage == Damage::kHalf ? whole.substr(0, whole.size() / 2)
                                                            : Flipped(whole);
    std::ofstream(c.dir / c.file, std::ios::binary) << damaged;
}

// One frame a second of every scene's first second: every asset is used, and
// more frames reach no more code but keep the sanitized run from ending in minutes.
void Run(Case& c) {
    const fs::path out = c.dir / "stdout.txt", err = c.dir / "stderr.txt";
    const std::string command = "cd '" + c.dir.string() + "' && " + c.environment + " timeout 120 '" HALCYON
                                "' play . --size 160x120 --fps 1 --per-scene 1000 >'" + out.string() + "' 2>'" +
                                err.string() + "'";
    c.status = std::system(command.c_str());
    c.out = FileText(out);
    c.err = FileText(err);
}

// Children on every core: the cases do not share anything but the data they link to.
void RunAll(std::vector<Case>& cases) {
    std::atomic<size_t> next{0};
    std::vector<std::thread> workers;
    const unsigned count = std::max(2u, std::thread::hardware_concurrency());
    for (unsigned i = 0; i < count; ++i)
        workers.emplace_back([&] {
            for (size_t n; (n = next++) < cases.size();) Run(cases[n]);
        });
    for (std::thread& worker : workers) worker.join();
}

// The message boxes the run showed, as the stand-in prints them ("caption: text");
// the binders' captions are their own names (zkShaderBind1f, ...).
std::vector<std::string> Messages(const std::string& err) {
    static const char* const kCaptions[] = {
        "Error!: ", "Error: ", "zkReadShader: ", "zkCompileShader: ", "HLSL VertexShader Compile Failure: ",
        "HLSL PixelShader Compile Failure: ", "zkLoadTexture Error: ", "zkCreateTexture Error: ",
        "Compound::Load(...): ", "\xc3\x9c" "ber Error !: ", "zkShaderBind"};
    std::vector<std::string> messages;
    std::istringstream lines(err);
    for (std::string line; std::getline(lines, line);)
        for (const char* caption : kCaptions)
            if (line.rfind(caption, 0) == 0) {
                messages.push_back(line);
                break;
            }
    return messages;
}

bool SanitizerClean(const Case& c) {
    for (const char* report : {"AddressSanitizer", "LeakSanitizer", "UndefinedBehaviorSanitizer", "runtime error:"})
        if (c.err.find(report) != std::string::npos) return false;
    return true;
}

std::string ExitPath(const Case& c) {
    if (WIFSIGNALED(c.status)) return "killed by signal " + std::to_string(WTERMSIG(c.status));
    const int code = WIFEXITED(c.status) ? WEXITSTATUS(c.status) : -1;
    if (code == 124) return "hung (timeout)";
    if (code != 0) return "exit code " + std::to_string(code);
    const std::string played = "halcyon play: ";
    const size_t at = c.out.find(played);
    if (at == std::string::npos) return "ExitProcess(0)";
    const size_t from = at + played.size();
    return "played, " + c.out.substr(from, c.out.find('\n', at) - from);
}

std::string Kind(const std::string& file) { return fs::path(file).parent_path().string(); }

// The message the loader of that kind of file owes for that damage; empty
// where the damage may or may not be noticed (a flipped byte in a comment,
// a shorter script, music that still decodes).
std::string OwedMessage(const Case& c) {
    const std::string kind = Kind(c.file);
    if (c.file.empty()) return "Error: Holy Watermelons, unable to start sound device!";
    if (kind == "textures") return "zkLoadTexture Error: Unable to load the texture";
    if (c.damage == Damage::kMissing) {
        if (kind == "scripts") return "Error!: The lolcats fucked demo script, damn !";
        if (kind == "shaders") return "zkReadShader: Shader not found!";
        if (kind == "models") return "Compound::Load(...): Compound file not found!";
    }
    if (kind == "models" && c.damage != Damage::kFlipped) return "Compound::Load(...): ";
    return "";
}

std::string Cell(std::string text, size_t width) {
    if (text.size() > width) text = text.substr(0, width - 3) + "...";
    return text + std::string(width - text.size(), ' ');
}

}  // namespace

TEST(FaultInjection, EveryLoadedFileDamagedInTurn) {
    TempDir root;
    std::vector<Case> cases;
    for (const char* folder : kFolders) {
        std::vector<std::string> files;
        for (const auto& entry : fs::directory_iterator(fs::path(DEMO_DATA_DIR) / folder))
            files.push_back((fs::path(folder) / entry.path().filename()).string());
        // The configuration screen's picture: runs on the fixed clock start after that screen.
        files.erase(std::remove(files.begin(), files.end(), "textures/tex2dnpt_screen.png"), files.end());
        std::sort(files.begin(), files.end());
        for (const std::string& file : files)
            for (Damage damage : kDamages) cases.emplace_back(file, damage);
    }
    ASSERT_GE(cases.size(), 4u * (1 + 7 + 9 + 13 + 1)) << "the generated data set is incomplete";
    // Not a file: the audio device itself is missing.
    cases.emplace_back("", Damage::kMissing, "SDL_AUDIODRIVER=no-such-driver");
    for (size_t n = 0; n < cases.size(); ++n) {
        cases[n].dir = root.path() / std::to_string(n);
        fs::create_directory(cases[n].dir);
        MakeDataDir(cases[n]);
    }

    const auto begin = std::chrono::steady_clock::now();
    RunAll(cases);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
    rusage children{};
    getrusage(RUSAGE_CHILDREN, &children);
    const double cpuSeconds = static_cast<double>(children.ru_utime.tv_sec + children.ru_stime.tv_sec) +
                              static_cast<double>(children.ru_utime.tv_usec + children.ru_stime.tv_usec) / 1e6;

    std::ostringstream table;
    table << Cell("file", 36) << Cell("damage", 9) << Cell("exit path", 20) << Cell("sanitizer", 10)
          << "message seen\n";
    for (const Case& c : cases) {
        const std::vector<std::string> messages = Messages(c.err);
        std::string seen = messages.empty() ? "-" : messages.front();
        if (messages.size() > 1) seen = Cell(seen, 70) + " (+" + std::to_string(messages.size() - 1) + " more)";
        table << Cell(c.file.empty() ? "(audio device)" : c.file, 36) << Cell(NameOf(c.damage), 9)
              << Cell(ExitPath(c), 20) << Cell(SanitizerClean(c) ? "clean" : "REPORT", 10) << seen << "\n";
    }
    table << cases.size() << " cases in " << static_cast<int>(seconds) << " s, " << static_cast<int>(cpuSeconds)
          << " s of processor time\n";
    std::printf("%s", table.str().c_str());
    std::ofstream(fs::path(DEMO_DATA_DIR) / "fault-injection.txt") << table.str();

    for (const Case& c : cases) {
        const std::string name = (c.file.empty() ? "audio device" : c.file) + " " + NameOf(c.damage);
        const std::vector<std::string> messages = Messages(c.err);
        EXPECT_TRUE(SanitizerClean(c)) << name << "\n" << c.err;
        const std::string path = ExitPath(c);
        EXPECT_TRUE(path.rfind("played, ", 0) == 0 || path == "ExitProcess(0)")
            << name << ": " << path << "\n" << c.err;
        // The process ends early only where the demo cannot go on.
        if (path == "ExitProcess(0)") {
            const bool fatal = !messages.empty() && (messages.back().rfind("\xc3\x9c" "ber Error !: Datablock", 0) == 0 ||
                                                     messages.back().rfind("Error: Holy Watermelons", 0) == 0);
            EXPECT_TRUE(fatal) << name << " ended without a fatal lookup or a missing audio device\n" << c.err;
        }
        const std::string owed = OwedMessage(c);
        if (!owed.empty()) {
            EXPECT_TRUE(std::any_of(messages.begin(), messages.end(),
                                    [&](const std::string& m) { return m.rfind(owed, 0) == 0; }))
                << name << " should show \"" << owed << "\"\n" << c.err;
        }
        // Music that cannot be opened is no error: the demo draws one frame and ends.
        if (Kind(c.file) == "audio") {
            EXPECT_TRUE(messages.empty()) << name << "\n" << c.err;
            if (c.damage == Damage::kMissing || c.damage == Damage::kEmpty) {
                EXPECT_EQ(path, "played, 1 frames") << name;
            }
        }
        if (Kind(c.file) == "scripts" && c.damage == Damage::kMissing) {
            EXPECT_EQ(path, "played, 1 frames") << name;
        }
    }
}
