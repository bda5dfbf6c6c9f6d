#include "live_watch.h"

#include <sys/inotify.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>

namespace {

constexpr const char* kFolders[] = {"scripts", "shaders", "textures", "models", "audio"};

}  // namespace

LiveWatch::LiveWatch(const std::string& dataDir) {
    fd_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (fd_ < 0) {
        std::perror("live: inotify");
        return;
    }
    for (const char* folder : kFolders) {
        const std::string path = dataDir + "/" + folder;
        const int wd = inotify_add_watch(fd_, path.c_str(), IN_CLOSE_WRITE | IN_MOVED_TO | IN_MODIFY | IN_CREATE);
        if (wd >= 0) folders_[wd] = folder;
    }
}

LiveWatch::~LiveWatch() {
    if (fd_ >= 0) close(fd_);
}

std::vector<std::string> LiveWatch::Changed(int settleMs) {
    std::vector<std::string> ready;
    auto add = [&ready](const std::string& path) {
        if (std::find(ready.begin(), ready.end(), path) == ready.end()) ready.push_back(path);
    };
    alignas(inotify_event) char buffer[16 * 1024];
    for (;;) {
        const ssize_t length = fd_ >= 0 ? read(fd_, buffer, sizeof buffer) : -1;
        if (length <= 0) break;
        for (ssize_t offset = 0; offset < length;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + offset);
            offset += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            const auto folder = folders_.find(event->wd);
            if (folder == folders_.end() || event->len == 0 || (event->mask & IN_ISDIR)) continue;
            const std::string path = folder->second + "/" + event->name;
            if (event->mask & (IN_CLOSE_WRITE | IN_MOVED_TO)) {
                writing_.erase(path);
                add(path);
            } else {
                writing_[path] = Clock::now();
            }
        }
    }
    const Clock::time_point now = Clock::now();
    for (auto it = writing_.begin(); it != writing_.end();) {
        if (now - it->second >= std::chrono::milliseconds(settleMs)) {
            add(it->first);
            it = writing_.erase(it);
        } else {
            ++it;
        }
    }
    return ready;
}
