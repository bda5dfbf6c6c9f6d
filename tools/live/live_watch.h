// The data directory watched with inotify: the files saved in its folders,
// each reported once its writing is over.
#pragma once

#include <chrono>
#include <map>
#include <string>
#include <vector>

class LiveWatch {
public:
    // dataDir: the directory whose folders ("scripts", "shaders", "textures",
    // "models", "audio") are watched; a folder that does not exist is not.
    explicit LiveWatch(const std::string& dataDir);
    ~LiveWatch();
    LiveWatch(const LiveWatch&) = delete;
    LiveWatch& operator=(const LiveWatch&) = delete;

    // Paths relative to the data directory ("shaders/zkBlurShader.fx"), each
    // once: a file closed after writing or moved in at once, a file written
    // without being closed when nothing more came for settleMs. A deleted
    // file is not reported: what was loaded from it stays.
    std::vector<std::string> Changed(int settleMs = 50);

private:
    using Clock = std::chrono::steady_clock;

    int fd_ = -1;
    std::map<int, std::string> folders_;  // watch descriptor -> folder name
    std::map<std::string, Clock::time_point> writing_;  // path -> last write seen
};
