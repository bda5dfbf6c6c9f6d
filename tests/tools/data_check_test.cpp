// The data check tool run as a process: the generated data set passes, and
// copies of it broken in one way each are reported naming the file (and the
// line, for the script) with exit code 1.
#include <gtest/gtest.h>


#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include "child_process.h"
#include "temp_dir.h"

namespace {

namespace fs = std::filesystem;

const char* const kFolders[] = {"scripts", "shaders", "textures", "models", "audio"};

// Its standard output only: the engine's own echo of its messages goes to stderr.
CommandRun RunDataCheck(const fs::path& dir) {
    return RunCommand("'" DATA_CHECK "' '" + dir.string() + "' 2>/dev/null");
}

bool HasLineStarting(const std::string& output, const std::string& prefix, const std::string& containing) {
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);)
        if (line.compare(0, prefix.size(), prefix) == 0 && line.find(containing) != std::string::npos) return true;
    return false;
}

std::string Bytes(const fs::path& path) {
    std::stringstream text;
    text << std::ifstream(path, std::ios::binary).rdbuf();
    return text.str();
}

// The generated data set in a temporary directory: folders are linked, except
// the one a test breaks, which is copied so the real one stays as it is.
class BrokenDataSet : public ::testing::Test {
protected:
    void UseDataSetCopying(const std::string& copied) {
        for (const char* folder : kFolders) {
            const fs::path real = fs::path(DEMO_DATA_DIR) / folder;
            if (folder == copied)
                fs::copy(real, dir.path() / folder, fs::copy_options::recursive);
            else
                fs::create_directory_symlink(real, dir.path() / folder);
        }
    }
    // The script folder written by the test, everything else linked.
    void UseScript(const std::string& script) {
        for (const char* folder : kFolders)
            if (std::string(folder) != "scripts" && !fs::exists(dir.path() / folder))
                fs::create_directory_symlink(fs::path(DEMO_DATA_DIR) / folder, dir.path() / folder);
        dir.Write("scripts/demo.txt", script);
    }
    fs::path In(const std::string& relative) const { return dir.path() / relative; }

    TempDir dir;
};

constexpr const char* kScriptStart = "!MusicPos 0\n!MusicVol 0.9\n.ID1\n-time 0 12763\n";  // lines 1 to 4

}  // namespace

TEST(DataCheck, PassesTheGeneratedDataSet) {
    const CommandRun run = RunDataCheck(DEMO_DATA_DIR);
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_TRUE(HasLineStarting(run.output, "0 errors, ", "warnings")) << run.output;
}

TEST(DataCheck, WithoutAnArgumentPrintsItsUsage) {
    EXPECT_NE(std::system("'" DATA_CHECK "' 2>/dev/null"), 0);
}

TEST_F(BrokenDataSet, UnknownSceneKeywordIsReportedWithItsLine) {
    UseScript(std::string(kScriptStart) + ".ID42X\n-time 100 200\n");
    const CommandRun run = RunDataCheck(dir.path());
    // ".ID42X" starts with "ID4": only a wholly unknown keyword is an error.
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_TRUE(HasLineStarting(run.output, "scripts/demo.txt:5: warning:", "read as scene ID4")) << run.output;

    UseScript(std::string(kScriptStart) + ".IDX\n-time 100 200\n");
    const CommandRun unknown = RunDataCheck(dir.path());
    EXPECT_EQ(unknown.exitCode, 1) << unknown.output;
    EXPECT_TRUE(HasLineStarting(unknown.output, "scripts/demo.txt:5: error:", "unknown scene keyword \"IDX\""))
        << unknown.output;
}

TEST_F(BrokenDataSet, SceneWithoutTimeIsReportedWithItsLine) {
    UseScript(std::string(kScriptStart) + ".ID2\n.ID3\n-time 100 200\n");
    const CommandRun run = RunDataCheck(dir.path());
    EXPECT_EQ(run.exitCode, 1) << run.output;
    EXPECT_TRUE(HasLineStarting(run.output, "scripts/demo.txt:5: error:", "ID2 (Scene_2) has no time line"))
        << run.output;
    EXPECT_FALSE(HasLineStarting(run.output, "scripts/demo.txt:6:", "")) << run.output;
}

TEST_F(BrokenDataSet, UnknownParameterAndParameterBeforeAnySceneAreReported) {
    UseScript("-time 0 10\n" + std::string(kScriptStart) + "-speed 3\n");
    const CommandRun run = RunDataCheck(dir.path());
    EXPECT_EQ(run.exitCode, 1) << run.output;
    EXPECT_TRUE(HasLineStarting(run.output, "scripts/demo.txt:1: error:", "before any scene")) << run.output;
    EXPECT_TRUE(HasLineStarting(run.output, "scripts/demo.txt:6: error:", "unknown parameter \"speed\""))
        << run.output;
}

TEST_F(BrokenDataSet, TimeEndingBeforeItStartsIsReported) {
    UseScript(std::string(kScriptStart) + ".ID2\n-time 500 500\n");
    const CommandRun run = RunDataCheck(dir.path());
    EXPECT_EQ(run.exitCode, 1) << run.output;
    EXPECT_TRUE(HasLineStarting(run.output, "scripts/demo.txt:6: error:", "not after its start")) << run.output;
}

TEST_F(BrokenDataSet, OverlappingFadesAreReportedWithTheLaterLine) {
    // Fades that only touch are fine: a scene is active over (start, end].
    UseScript(std::string(kScriptStart) + ".IFTB\n-time 0 1500\n.FTB\n-time 1500 2000\n.IFTB\n-time 1800 2500\n");
    const CommandRun run = RunDataCheck(dir.path());
    EXPECT_EQ(run.exitCode, 1) << run.output;
    EXPECT_TRUE(HasLineStarting(run.output, "scripts/demo.txt:10: error:", "overlaps fade FTB 1500..2000 (line 8)"))
        << run.output;
    EXPECT_FALSE(HasLineStarting(run.output, "scripts/demo.txt:8:", "overlaps")) << run.output;
}

TEST_F(BrokenDataSet, TimePastTheMusicIsReportedWithItsLine) {
    UseScript(std::string(kScriptStart) + ".ID2\n-time 12763 999999\n!MusicPos 999999\n");
    const CommandRun run = RunDataCheck(dir.path());
    EXPECT_EQ(run.exitCode, 1) << run.output;
    EXPECT_TRUE(HasLineStarting(run.output, "scripts/demo.txt:6: error:", "past the end of the music"))
        << run.output;
    EXPECT_TRUE(HasLineStarting(run.output, "scripts/demo.txt:7: error:", "music position 999999")) << run.output;
}

TEST_F(BrokenDataSet, MissingMusicVolumeIsOnlyAWarning) {
    UseScript(".ID1\n-time 0 1000\n");
    const CommandRun run = RunDataCheck(dir.path());
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_TRUE(HasLineStarting(run.output, "scripts/demo.txt: !MusicVol: warning:", "silent")) << run.output;
}

TEST_F(BrokenDataSet, ShaderWithoutTheBlurSettingsIsReported) {
    UseDataSetCopying("shaders");
    std::ofstream(In("shaders/zkBlurShader.fx"))
        << "#pragma HLSL_PS\nsampler2D source : register(s0);\n"
           "float4 main(float2 uv : TEXCOORD0) : COLOR { return tex2D(source, uv); }\n#end\n";
    const CommandRun run = RunDataCheck(dir.path());
    EXPECT_EQ(run.exitCode, 1) << run.output;
    EXPECT_TRUE(HasLineStarting(run.output, "shaders/zkBlurShader.fx: parameter settings: error:", "bloom"))
        << run.output;
}

TEST_F(BrokenDataSet, ShaderThatDoesNotCompileIsReportedWithTheCompilersMessage) {
    UseDataSetCopying("shaders");
    std::ofstream(In("shaders/zkNLShader.fx")) << "#pragma HLSL_PS\nfloat4 main() : COLOR { return nonsense; }\n#end\n";
    const CommandRun run = RunDataCheck(dir.path());
    EXPECT_EQ(run.exitCode, 1) << run.output;
    EXPECT_TRUE(HasLineStarting(run.output, "shaders/zkNLShader.fx: pixel shader: error:", "nonsense"))
        << run.output;
}

// Sources that crash glslang 12 itself: the check goes on and reports each.
TEST_F(BrokenDataSet, ShadersThatCrashTheCompilerAreReported) {
    UseDataSetCopying("shaders");
    std::ofstream(In("shaders/zkNLShader.fx")) << "#pragma HLSL_PS\nfloat main(float) { return 0; }\n#end\n";
    std::ofstream(In("shaders/zkLFShader.fx"))
        << "#pragma HLSL_VS\nfloat4 main(float4 p[ : POSITION) : POSITION { return 0; }\n#end\n";
    const CommandRun run = RunDataCheck(dir.path());
    EXPECT_EQ(run.exitCode, 1) << run.output;  // ended normally, after its summary
    EXPECT_TRUE(HasLineStarting(run.output, "shaders/zkNLShader.fx: pixel shader: error:", "crashed")) << run.output;
    EXPECT_TRUE(HasLineStarting(run.output, "shaders/zkLFShader.fx: vertex shader: error:", "crashed")) << run.output;
}

TEST_F(BrokenDataSet, TruncatedCompoundFileIsReported) {
    UseDataSetCopying("models");
    const fs::path file = In("models/scene_6.nc");
    fs::resize_file(file, fs::file_size(file) / 2);
    const CommandRun run = RunDataCheck(dir.path());
    EXPECT_EQ(run.exitCode, 1) << run.output;
    EXPECT_TRUE(HasLineStarting(run.output, "models/scene_6.nc: ", "error: does not load")) << run.output;
    // Its names are not looked for in a compound that did not load.
    EXPECT_FALSE(HasLineStarting(run.output, "models/scene_6.nc: camera", "")) << run.output;
}

TEST_F(BrokenDataSet, CompoundWithoutCameraID4IsReported) {
    UseDataSetCopying("models");
    const fs::path file = In("models/scene_4_stage.nc");
    std::string bytes = Bytes(file);
    int renamed = 0;
    // Same length, so the file stays well formed.
    for (size_t at = bytes.find("ID4"); at != std::string::npos; at = bytes.find("ID4", at + 3), ++renamed)
        bytes.replace(at, 3, "IDQ");
    ASSERT_GT(renamed, 0);
    std::ofstream(file, std::ios::binary) << bytes;
    const CommandRun run = RunDataCheck(dir.path());
    EXPECT_EQ(run.exitCode, 1) << run.output;
    EXPECT_TRUE(HasLineStarting(run.output, "models/scene_4_stage.nc: camera ID4: error:", "scene ID4"))
        << run.output;
}

TEST_F(BrokenDataSet, MissingTextureIsReported) {
    UseDataSetCopying("textures");
    fs::remove(In("textures/tex2d_backquad.png"));
    const CommandRun run = RunDataCheck(dir.path());
    EXPECT_EQ(run.exitCode, 1) << run.output;
    EXPECT_TRUE(HasLineStarting(run.output, "textures/tex2d_backquad.png: file: error:", "missing"))
        << run.output;
}

TEST_F(BrokenDataSet, TexturesOfTheCompoundsAreCheckedToo) {
    UseDataSetCopying("textures");
    const std::set<std::string> namedInCode = {
        "tex2dnpt_logo_presentation.png", "fnt_04b08.png",         "tex2d_particle_halo.png", "tex2d_particle_lines.png",
        "tex2d_backquad.png",             "tex2dnpt_pimp.png",     "tex2dnpt_greetings.png",  "tex2dnpt_screen.png"};
    for (const auto& entry : fs::directory_iterator(In("textures")))
        if (!namedInCode.count(entry.path().filename().string())) fs::remove(entry.path());
    // One that exists but is no picture.
    std::ofstream(In("textures/tex2dnpt_pimp.png")) << "not a picture";
    const CommandRun run = RunDataCheck(dir.path());
    EXPECT_EQ(run.exitCode, 1) << run.output;
    EXPECT_TRUE(HasLineStarting(run.output, "textures/", "missing, referred to by models/")) << run.output;
    EXPECT_TRUE(HasLineStarting(run.output, "textures/tex2dnpt_pimp.png: file: error:", "does not decode"))
        << run.output;
}

TEST_F(BrokenDataSet, MissingMusicIsReported) {
    for (const char* folder : kFolders)
        if (std::string(folder) != "audio")
            fs::create_directory_symlink(fs::path(DEMO_DATA_DIR) / folder, dir.path() / folder);
    const CommandRun run = RunDataCheck(dir.path());
    EXPECT_EQ(run.exitCode, 1) << run.output;
    EXPECT_TRUE(HasLineStarting(run.output, "audio/amber-meadow_tune.ogg: file: error:", "missing")) << run.output;
}
