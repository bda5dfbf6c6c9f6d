#include "live_test_shell.h"

#include <cstdlib>
#include <filesystem>

#include "child_process.h"
#include "platform/demo_app.h"
#include "platform/graphics_context.h"
#include "test_data_set.h"
#include "test_png.h"

void LiveShell::WriteData(const std::string& script, double musicSeconds) {
    WriteTestDataSet(dir, musicSeconds);
    musicLengthMs = static_cast<int>(musicSeconds * 1000.0);
    Save("scripts/demo.txt", script);
}

void LiveShell::Start(int w, int h) {
    width = w, height = h;
    cwd_ = std::make_unique<WorkingDirectory>(dir.path());
    boxes = std::make_unique<BoxCollector>();
    clock = std::make_unique<FixedClock>(0, musicLengthMs, kFps);
    g_demoApp = new DemoApp();
    g_demoApp->Startup(width, height, false, 0);
    ASSERT_TRUE(g_graphics && g_graphics->device);
    player = std::make_unique<DemoPlayer>(width, height, static_cast<float>(width) / height);
    player->LoadScript("demo.txt");
    ASSERT_EQ(player->demoTime, 0.0f) << "the fixed clock starts where these scripts start";
    StartFixedFrames(*player, *clock);
    live = std::make_unique<LivePlayer>(player.get(), boxes.get(), ".");
    // One step back, so frame n draws at the time the music reports at frame n.
    player->demoTime = static_cast<float>(clock->TimeAt(-1));
}

void LiveShell::TearDown() {
    live.reset();
    player.reset();
    if (g_demoApp) {
        g_demoApp->Shutdown();
        delete g_demoApp;
        g_demoApp = nullptr;
    }
    boxes.reset();
    clock.reset();
    cwd_.reset();
}

bool LiveShell::Frame() {
    clock->SetFrame(frame_++);
    return live->Frame();
}

void LiveShell::Frames(int count) {
    for (int i = 0; i < count; ++i) Frame();
}

std::string LiveShell::Read(const std::string& path) const { return FileText((dir.path() / path).string()); }

std::vector<uint32_t> LiveShell::Pixels() {
    UINT w = 0, h = 0;
    std::vector<uint32_t> pixels = g_graphics->device->ReadBackBuffer(&w, &h);
    EXPECT_EQ(static_cast<int>(w), width);
    EXPECT_EQ(static_cast<int>(h), height);
    if (const char* folder = std::getenv("ENGINE_TEST_PNG_DIR")) {
        const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
        static int count = 0;
        WriteTestPng(std::string(folder) + "/" + test->test_suite_name() + "." + test->name() + "." +
                         std::to_string(count++) + ".png",
                     w, h, pixels);
    }
    return pixels;
}

int DifferingPixels(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b, int width, int skipTop,
                    int skipBottom) {
    int count = 0;
    for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
        const int row = static_cast<int>(i) / width;
        if (row >= skipTop && row < skipBottom) continue;
        if (a[i] != b[i]) ++count;
    }
    return count;
}
