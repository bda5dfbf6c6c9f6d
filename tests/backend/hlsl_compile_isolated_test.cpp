// Compiles in the long-lived compiling child: the same results as compiling
// in the process, compile after compile; a crash or a compile past the time
// limit is a failure that says so, and the next compile is served again.
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <vector>

#include "backend/hlsl_compiler.h"
#include "shader/shader_reader.h"

namespace {

struct Source {
    std::string text, profile;
};

// Every stage of the demo's own shader files.
std::vector<Source> DemoSources() {
    std::vector<Source> sources;
    for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(DEMO_DATA_DIR) / "shaders")) {
        VertexProfile layout;
        std::vector<char> vertex(kShaderSourceSize, 0), pixel(kShaderSourceSize, 0);
        int32_t vertexVersion = 3, pixelVersion = 3;
        if (!zkReadShader(entry.path().c_str(), &layout, vertex.data(), pixel.data(), &vertexVersion, &pixelVersion))
            continue;
        if (vertex[0]) sources.push_back({vertex.data(), "vs_" + std::to_string(vertexVersion) + "_0"});
        if (pixel[0]) sources.push_back({pixel.data(), "ps_" + std::to_string(pixelVersion) + "_0"});
    }
    return sources;
}

// The whole outcome as bytes, so that results compare in full.
std::string Outcome(bool ok, const std::string& errors, const CompiledShader& compiled) {
    return SerializeCompileResult(ok, errors, ok ? compiled : CompiledShader{});
}

std::string InProcess(const Source& source) {
    CompiledShader compiled;
    std::string errors;
    const bool ok =
        CompileHlsl(source.text.data(), source.text.size(), "main", source.profile.c_str(), &compiled, &errors);
    return Outcome(ok, errors, compiled);
}

std::string Isolated(const Source& source, std::chrono::milliseconds limit = kHlslCompileTimeLimit) {
    CompiledShader compiled;
    std::string errors;
    const bool ok = CompileHlslIsolated(source.text.data(), source.text.size(), "main", source.profile.c_str(),
                                        &compiled, &errors, "", limit);
    return Outcome(ok, errors, compiled);
}

std::string ErrorsOf(const std::string& outcome) {
    bool ok = false;
    std::string errors;
    CompiledShader compiled;
    return DeserializeCompileResult(outcome, &ok, &errors, &compiled) ? errors : "(garbled)";
}

const Source kCrash{"float main(float) { return 0; }", "ps_3_0"};  // glslang 12 dies on it
const Source kPixel{R"(
sampler2D picture;
float4 tint;
float4 main(float2 uv : TEXCOORD0, float4 colour : COLOR0) : COLOR { return tex2D(picture, uv) * colour * tint; }
)",
                    "ps_3_0"};

// Each macro doubles the one before: the source is a few lines, its expansion
// millions of terms, far more than a short time limit allows to compile.
Source Endless() {
    std::string text = "#define T0 x\n";
    for (int i = 1; i <= 22; ++i)
        text += "#define T" + std::to_string(i) + " (T" + std::to_string(i - 1) + "+T" + std::to_string(i - 1) + ")\n";
    return {text + "float4 main(float x : TEXCOORD0) : COLOR { return T22; }\n", "ps_3_0"};
}

// The processes this process has started and not yet reaped.
std::vector<pid_t> Children() {
    std::vector<pid_t> children;
    for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
        std::ifstream list(task.path() / "children");
        for (pid_t pid; list >> pid;) children.push_back(pid);
    }
    return children;
}

// Kills a child and waits until it is dead: a zombie, not yet reaped.
void KillAndWaitForDeath(pid_t child) {
    ASSERT_EQ(kill(child, SIGKILL), 0);
    for (;;) {
        std::ifstream stat("/proc/" + std::to_string(child) + "/stat");
        std::string pid, name, state;
        if (!(stat >> pid >> name >> state) || state == "Z") return;
        usleep(1000);
    }
}

}  // namespace

// The demo's shaders and sources the compiler refuses, three times over, a
// crash between the rounds: every compile gives what compiling in the
// process gives, byte for byte.
TEST(HlslCompileIsolated, CompileAfterCompileGivesTheInProcessResultsAcrossACrash) {
    std::vector<Source> sources = DemoSources();
    ASSERT_GE(sources.size(), 8u);
    sources.insert(sources.begin() + 3, {"float4 main() : COLOR { return undefinedThing; }", "ps_3_0"});
    sources.insert(sources.begin() + 6, {"float4 main(float4 p : POSITION) : POSITION { return p }", "vs_2_0"});
    std::vector<std::string> expected;
    for (const Source& source : sources) expected.push_back(InProcess(source));
    for (int round = 0; round < 3; ++round) {
        for (size_t i = 0; i < sources.size(); ++i)
            EXPECT_EQ(Isolated(sources[i]), expected[i]) << "round " << round << ":\n" << sources[i].text;
        const std::string crashed = ErrorsOf(Isolated(kCrash));
        EXPECT_NE(crashed.find("crashed"), std::string::npos) << crashed;
    }
}

// The crash is reported for its own source only: the compile right after
// it gets a fresh child and the full, correct result.
TEST(HlslCompileIsolated, TheCompileAfterACrashOrAStoppedCompileSucceeds) {
    const std::string expected = InProcess(kPixel);
    const std::string crashed = ErrorsOf(Isolated(kCrash));
    EXPECT_NE(crashed.find("crashed"), std::string::npos) << crashed;
    EXPECT_EQ(Isolated(kPixel), expected);

    const std::string stopped = ErrorsOf(Isolated(Endless(), std::chrono::milliseconds(300)));
    EXPECT_NE(stopped.find("did not finish on this source and was stopped"), std::string::npos) << stopped;
    EXPECT_EQ(Isolated(kPixel), expected);
}

// One child serves compile after compile; one that died between compiles,
// of no source's doing, is replaced without a failure.
TEST(HlslCompileIsolated, OneChildServesEveryCompileAndADeadOneIsReplacedSilently) {
    const std::string expected = InProcess(kPixel);
    ASSERT_EQ(Isolated(kPixel), expected);
    const std::vector<pid_t> serving = Children();
    ASSERT_EQ(serving.size(), 1u);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(Isolated(kPixel), expected);
    EXPECT_EQ(Children(), serving);

    KillAndWaitForDeath(serving[0]);
    // The next compile finds it dead, reaps it and starts another.
    EXPECT_EQ(Isolated(kPixel), expected);
    const std::vector<pid_t> replaced = Children();
    ASSERT_EQ(replaced.size(), 1u);
    EXPECT_NE(replaced[0], serving[0]);
}

// The child keeps none of the process's other descriptors, numbered below
// or above its socket: a pipe's reader sees the end as soon as the process
// closes the write end, though the child was started while it was open.
TEST(HlslCompileIsolated, TheChildHoldsNoneOfTheProcesssDescriptors) {
    ASSERT_EQ(Isolated(kPixel), InProcess(kPixel));
    for (pid_t child : Children()) KillAndWaitForDeath(child);
    int below[2], hole[2], above[2];
    ASSERT_EQ(pipe(below), 0);
    ASSERT_EQ(pipe(hole), 0);
    ASSERT_EQ(pipe(above), 0);
    close(hole[0]);
    close(hole[1]);  // the new child's socket takes these numbers
    ASSERT_EQ(Isolated(kPixel), InProcess(kPixel));  // a new child, forked with both pipes open
    for (int* ends : {below, above}) {
        close(ends[1]);
        pollfd end{ends[0], POLLIN, 0};
        EXPECT_EQ(poll(&end, 1, 0), 1);
        EXPECT_TRUE(end.revents & POLLHUP);
        close(ends[0]);
    }
}

// A copy of the process made by fork (as a death test makes) compiles with a
// child of its own: a crash there leaves this process's child serving.
TEST(HlslCompileIsolated, AForkedCopyOfTheProcessCompilesWithAChildOfItsOwn) {
    const std::string expected = InProcess(kPixel);
    ASSERT_EQ(Isolated(kPixel), expected);
    const std::vector<pid_t> serving = Children();
    EXPECT_EXIT(
        {
            const bool crashed = ErrorsOf(Isolated(kCrash)).find("crashed") != std::string::npos;
            std::exit(crashed && Isolated(kPixel) == expected ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
    EXPECT_EQ(Isolated(kPixel), expected);
    EXPECT_EQ(Children(), serving);
}
