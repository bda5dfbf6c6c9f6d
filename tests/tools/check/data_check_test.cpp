// The data check tool run as a process: the generated data set passes, and
// copies of it broken in one way each are reported naming the file (and the
// line, for the script) with exit code 1.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "child_process.h"
#include "temp_dir.h"

namespace {

namespace fs = std::filesystem;

// Its standard output only: the engine's own echo of its messages goes to stderr.
CommandRun RunDataCheck(const fs::path& dir) {
    return RunCommand("'" HALCYON "' check '" + dir.string() + "' 2>/dev/null");
}

bool HasLineStarting(const std::string& output, const std::string& prefix, const std::string& containing) {
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);)
        if (line.compare(0, prefix.size(), prefix) == 0 && line.find(containing) != std::string::npos) return true;
    return false;
}

// The generated data set under dir: every folder linked but `except`, which is
// copied when copy holds (so the real one stays as it is) and else left out.
void UseDataSet(const TempDir& dir, const std::string& except, bool copy) {
    for (const char* folder : {"scripts", "shaders", "textures", "models", "audio"}) {
        const fs::path real = fs::path(DEMO_DATA_DIR) / folder;
        if (folder != except)
            fs::create_directory_symlink(real, dir.path() / folder);
        else if (copy)
            fs::copy(real, dir.path() / folder, fs::copy_options::recursive);
    }
}

constexpr const char* kScriptStart = "!MusicPos 0\n!MusicVol 0.9\n.ID1\n-time 0 12763\n";  // lines 1 to 4

// A line of the output: (prefix, containing); an empty containing matches any line with the prefix.
using Line = std::pair<std::string, std::string>;

struct Broken {
    std::string name;
    int exitCode;
    std::vector<Line> reported, notReported;
};

void ExpectReport(const Broken& c, const CommandRun& run) {
    EXPECT_EQ(run.exitCode, c.exitCode) << c.name << "\n" << run.output;
    for (const Line& line : c.reported)
        EXPECT_TRUE(HasLineStarting(run.output, line.first, line.second)) << c.name << "\n" << run.output;
    for (const Line& line : c.notReported)
        EXPECT_FALSE(HasLineStarting(run.output, line.first, line.second)) << c.name << "\n" << run.output;
}

}  // namespace

TEST(DataCheck, PassesTheGeneratedDataSet) {
    const CommandRun run = RunDataCheck(DEMO_DATA_DIR);
    EXPECT_EQ(run.exitCode, 0) << run.output;
    // Not even a warning: camera paths and the rooster's keys span the times the scenes play.
    EXPECT_TRUE(HasLineStarting(run.output, "0 errors, 0 warnings", "")) << run.output;
    EXPECT_NE(std::system("'" HALCYON "' check 2>/dev/null"), 0) << "no data directory";
}

TEST(DataCheck, ScriptFaultsAreReportedWithTheirLine) {
    struct Script {
        Broken expected;
        std::string text;
    };
    const std::string start = kScriptStart;
    const std::vector<Script> cases = {
        // ".ID42X" starts with "ID4": only a wholly unknown keyword is an error.
        {{"prefix of a keyword", 0, {{"scripts/demo.txt:5: warning:", "read as scene ID4"}}, {}},
         start + ".ID42X\n-time 100 200\n"},
        {{"unknown keyword", 1, {{"scripts/demo.txt:5: error:", "unknown scene keyword \"IDX\""}}, {}},
         start + ".IDX\n-time 100 200\n"},
        {{"scene without time", 1, {{"scripts/demo.txt:5: error:", "ID2 (Scene_2) has no time line"}},
          {{"scripts/demo.txt:6:", ""}}},
         start + ".ID2\n.ID3\n-time 100 200\n"},
        {{"parameters", 1,
          {{"scripts/demo.txt:1: error:", "before any scene"},
           {"scripts/demo.txt:6: error:", "unknown parameter \"speed\""}},
          {}},
         "-time 0 10\n" + start + "-speed 3\n"},
        {{"empty time", 1, {{"scripts/demo.txt:6: error:", "not after its start"}}, {}},
         start + ".ID2\n-time 500 500\n"},
        // Fades that only touch are fine: a scene is active over (start, end].
        {{"overlapping fades", 1, {{"scripts/demo.txt:10: error:", "overlaps fade FTB 1500..2000 (line 8)"}},
          {{"scripts/demo.txt:8:", "overlaps"}}},
         start + ".IFTB\n-time 0 1500\n.FTB\n-time 1500 2000\n.IFTB\n-time 1800 2500\n"},
        {{"past the music", 1,
          {{"scripts/demo.txt:6: error:", "past the end of the music"},
           {"scripts/demo.txt:7: error:", "music position 999999"}},
          {}},
         start + ".ID2\n-time 12763 999999\n!MusicPos 999999\n"},
        {{"no volume", 0, {{"scripts/demo.txt: !MusicVol: warning:", "silent"}}, {}}, ".ID1\n-time 0 1000\n"},
    };
    for (const Script& c : cases) {
        TempDir dir;
        UseDataSet(dir, "scripts", false);
        dir.Write("scripts/demo.txt", c.text);
        ExpectReport(c.expected, RunDataCheck(dir.path()));
    }
}

TEST(DataCheck, ShaderFaultsAreReportedWithTheCompilersWord) {
    struct Shaders {
        Broken expected;
        std::vector<std::pair<std::string, std::string>> files;
    };
    const std::vector<Shaders> cases = {
        {{"no blur settings", 1, {{"shaders/zkBlurShader.fx: parameter settings: error:", "bloom"}}, {}},
         {{"zkBlurShader.fx", "#pragma HLSL_PS\nsampler2D source : register(s0);\n"
                              "float4 main(float2 uv : TEXCOORD0) : COLOR { return tex2D(source, uv); }\n#end\n"}}},
        {{"does not compile",
          1,
          {{"shaders/zkNLShader.fx: pixel shader: error:", "shaders\\zkNLShader.fx:3: 'nonsense'"}},
          {}},
         {{"zkNLShader.fx", "#pragma HLSL_PS\n\nfloat4 main() : COLOR { return nonsense; }\n#end\n"}}},
        {{"does not link", 1, {{"shaders/zkNLShader.fx: vertex and pixel shader: error:", "do not link: pixel:"}}, {}},
         {{"zkNLShader.fx", "#pragma HLSL_VS\nfloat4 main(float4 p : POSITION) : POSITION { return p; }\n"
                            "#pragma HLSL_PS\nfloat4 k;\nfloat4 main() : COLOR { return countbits((uint)k.x); }\n"
                            "#end\n"}}},
        // Sources that crash glslang 12 itself: the check goes on, reports each and ends after its summary.
        {{"crashes the compiler", 1,
          {{"shaders/zkNLShader.fx: pixel shader: error:", "crashed"},
           {"shaders/zkLFShader.fx: vertex shader: error:", "crashed"}},
          {}},
         {{"zkNLShader.fx", "#pragma HLSL_PS\nfloat main(float) { return 0; }\n#end\n"},
          {"zkLFShader.fx", "#pragma HLSL_VS\nfloat4 main(float4 p[ : POSITION) : POSITION { return 0; }\n#end\n"}}},
    };
    for (const Shaders& c : cases) {
        TempDir dir;
        UseDataSet(dir, "shaders", true);
        for (const auto& [name, text] : c.files) std::ofstream(dir.path() / "shaders" / name) << text;
        ExpectReport(c.expected, RunDataCheck(dir.path()));
    }
}

TEST(DataCheck, TruncatedCompoundFileIsReported) {
    TempDir dir;
    UseDataSet(dir, "models", true);
    const fs::path file = dir.path() / "models/scene_6.nc";
    fs::resize_file(file, fs::file_size(file) / 2);
    // Its names are not looked for in a compound that did not load.
    ExpectReport(
        {"truncated", 1, {{"models/scene_6.nc: ", "error: does not load"}}, {{"models/scene_6.nc: camera", ""}}},
        RunDataCheck(dir.path()));
}

TEST(DataCheck, CompoundWithoutCameraID4IsReported) {
    TempDir dir;
    UseDataSet(dir, "models", true);
    const fs::path file = dir.path() / "models/scene_4_stage.nc";
    std::string bytes = FileText(file.string());
    int renamed = 0;
    // Same length, so the file stays well formed.
    for (size_t at = bytes.find("ID4"); at != std::string::npos; at = bytes.find("ID4", at + 3), ++renamed)
        bytes.replace(at, 3, "IDQ");
    ASSERT_GT(renamed, 0);
    std::ofstream(file, std::ios::binary) << bytes;
    ExpectReport({"no camera", 1, {{"models/scene_4_stage.nc: camera ID4: error:", "scene ID4"}}, {}},
                 RunDataCheck(dir.path()));
}

TEST(DataCheck, MissingOrUndecodableTexturesAndMusicAreReported) {
    TempDir named;
    UseDataSet(named, "textures", true);
    fs::remove(named.path() / "textures/tex2d_backquad.png");
    ExpectReport({"missing texture", 1, {{"textures/tex2d_backquad.png: file: error:", "missing"}}, {}},
                 RunDataCheck(named.path()));

    // Only the textures the code names, one of them no picture: the compounds' own are checked too.
    TempDir compounds;
    UseDataSet(compounds, "textures", true);
    const std::set<std::string> namedInCode = {
        "tex2dnpt_logo_presentation.png", "fnt_04b08.png",     "tex2d_particle_halo.png", "tex2d_particle_lines.png",
        "tex2d_backquad.png",             "tex2dnpt_pimp.png", "tex2dnpt_greetings.png",  "tex2dnpt_screen.png"};
    for (const auto& entry : fs::directory_iterator(compounds.path() / "textures"))
        if (!namedInCode.count(entry.path().filename().string())) fs::remove(entry.path());
    std::ofstream(compounds.path() / "textures/tex2dnpt_pimp.png") << "not a picture";
    ExpectReport({"compound textures", 1,
                  {{"textures/", "missing, referred to by models/"},
                   {"textures/tex2dnpt_pimp.png: file: error:", "does not decode"}},
                  {}},
                 RunDataCheck(compounds.path()));

    TempDir music;
    UseDataSet(music, "audio", false);
    ExpectReport({"missing music", 1, {{"audio/amber-meadow_tune.ogg: file: error:", "missing"}}, {}},
                 RunDataCheck(music.path()));
}
