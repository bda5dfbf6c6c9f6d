// The live player: the demo's own player driven by the keys and the mouse
// (transport, loop, timeline strip) with every saved data file reloaded and
// the faults shown over the picture instead of in message boxes.
#pragma once

#include <string>
#include <vector>

#include "backend/win32.h"
#include "data_check_findings.h"
#include "live_reload.h"
#include "live_transport.h"
#include "live_watch.h"

class DemoPlayer;

class LivePlayer {
public:
    // player: loaded (LoadScript done, its demo time the script's start);
    // boxes: installed before the loading, whose boxes become the panel's
    // first lines; watchDir: the data directory.
    LivePlayer(DemoPlayer* player, BoxCollector* boxes, const std::string& watchDir);

    // One frame: the clock, every waiting window message, the saved files,
    // the picture. False on Escape or when the window closes.
    bool Frame();

    // What a key press does (virtual key codes, as the window gets them).
    void PressKey(WPARAM key, bool shift);
    // A click at x, y in pixels of the picture.
    void Click(int x, int y);

    LiveTransport& transport() { return transport_; }
    LiveReload& reload() { return reload_; }
    // The lines of the error panel, as drawn.
    std::vector<std::string> PanelLines() const;
    bool stripShown() const { return stripShown_; }

private:
    void DrawOverlays();

    DemoPlayer* player_;
    LiveTransport transport_;
    LiveReload reload_;
    LiveWatch watch_;
    bool stripShown_ = true;
    float lastFrameMs_ = 1000.0f / 60.0f;
    std::vector<std::string> loadingFaults_;  // until a file reloads
};
