#include "fuzz_shell.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "backend/recording_device.h"
#include "backend/win32.h"
#include "platform/demo_app.h"

namespace {

RecordedCalls g_calls;
int64_t g_counter = 0;

}  // namespace

void StartFuzzShell() {
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    // A box per damaged input is the expected answer; nobody is there to close one.
    SetMessageBoxObserver([](const std::string&, const std::string&, UINT) {});
    // Loading screens wait on the clock: every read moves it a sixtieth of a second.
    SetPerformanceCounterSource([] { return g_counter += 1000000 / 60; }, 1000000);

    // Every input is written to a file; on a disk the file system's journal costs more than the parsing.
    if (std::filesystem::is_directory("/dev/shm")) setenv("TMPDIR", "/dev/shm", 1);
    std::filesystem::current_path(FuzzScratch().path());
    // Writing out every vertex as text would cost more than the code under test.
    g_calls.formatVertices = false;
    SetDirect3DFactory([] { return new RecordingDirect3D(&g_calls); });
    g_demoApp = new DemoApp();
    g_demoApp->context = g_graphics = zkCreateDevice(nullptr, 640, 480, 0);
}

std::string WriteFuzzInput(const std::string& relativePath, const uint8_t* data, size_t size) {
    const std::filesystem::path path(relativePath);
    if (path.has_parent_path()) std::filesystem::create_directories(path.parent_path());
    FILE* file = std::fopen(relativePath.c_str(), "wb");
    if (!file || std::fwrite(data, 1, size, file) != size || std::fclose(file) != 0) {
        std::perror(relativePath.c_str());
        std::abort();
    }
    return relativePath;
}

const TempDir& FuzzScratch() {
    static TempDir scratch;
    return scratch;
}

void ForgetRecordedCalls() { g_calls.clear(); }
