// A saved data file put into the playing player, the playhead kept: the
// script rebuilds the timeline, a shader recompiles into its slot, a picture
// reloads into its textures, a compound file replaces its compound and the
// timeline is rebuilt on it, the music reopens at the playhead. A file that
// fails keeps the last good version in use; its faults are worded as the
// data check words them until a version loads.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "data_check_findings.h"

class Compound;
class DemoPlayer;
class LiveTransport;

class LiveReload {
public:
    // boxes: installed for the whole run, so no message box waits for a click.
    LiveReload(DemoPlayer* player, LiveTransport* transport, BoxCollector* boxes)
        : player_(player), transport_(transport), boxes_(boxes) {}

    // path relative to the data directory; a file the player does not load is left alone.
    void Reload(const std::string& path);
    // The faults of every file whose last version failed, in file order.
    std::vector<std::string> FaultLines() const;
    // Files handled so far, loaded or not.
    int reloads() const { return reloads_; }
    // The script's music position, as last read.
    int scriptStartMs() const { return scriptStartMs_; }
    void set_scriptStartMs(int ms) { scriptStartMs_ = ms; }

private:
    // Keeps the errors among the findings as the file's faults.
    void SetFaults(const std::string& path, const Findings& findings);
    void CheckScript(const std::string& text, Findings* findings) const;
    // Each returns false when the path is not a file it handles.
    bool ReloadScript(const std::string& path, Findings* findings);
    bool ReloadShader(const std::string& path, Findings* findings);
    bool ReloadTexture(const std::string& path, Findings* findings);
    bool ReloadCompound(const std::string& path, Findings* findings);
    bool ReloadMusic(const std::string& path, Findings* findings);
    bool ReloadProjectCompound(const std::string& name, Compound* slot);
    // The music file the script names, relative to the data directory.
    std::string MusicPath() const;

    DemoPlayer* player_;
    LiveTransport* transport_;
    BoxCollector* boxes_;
    int scriptStartMs_ = 0;
    int reloads_ = 0;
    std::map<std::string, std::vector<std::string>> faults_;  // by file
};
