#include "recording_fixture.h"

FakeClock::FakeClock() {
    SetPerformanceCounterSource([this] { return now += stepPerRead; }, kFrequency);
}

FakeClock::~FakeClock() { SetPerformanceCounterSource(nullptr, 0); }

void RecordingShell::SetUp() {
    SetDirect3DFactory([this] { return new RecordingDirect3D(&log); });
    g_demoApp = new DemoApp();
    g_demoApp->context = g_graphics = zkCreateDevice(nullptr, 640, 480, 0);
    log.clear();
}

void RecordingShell::TearDown() {
    g_demoApp->Shutdown();
    delete g_demoApp;
    g_demoApp = nullptr;
    SetDirect3DFactory(nullptr);
}

std::vector<std::string> RecordingShell::CallsStartingWith(const std::string& prefix) const {
    std::vector<std::string> found;
    for (const std::string& call : log.calls)
        if (call.compare(0, prefix.size(), prefix) == 0) found.push_back(call);
    return found;
}

MessageBoxCapture::MessageBoxCapture() {
    SetMessageBoxObserver([this](const std::string& text, const std::string& caption, UINT type) {
        boxes.push_back({text, caption, type});
    });
}

MessageBoxCapture::~MessageBoxCapture() { SetMessageBoxObserver(nullptr); }
