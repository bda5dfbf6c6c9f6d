// Frames drawn ahead of time that nobody sees: the scenes' first frames drawn
// while loading, so that the driver has built their programs when the scenes
// start. Nothing they run may show: a failure they meet (a missing name, a
// uniform the shader lacks) is left to the frame that is shown.
#pragma once

class UnseenFrames {
public:
    UnseenFrames() { ++depth_; }
    ~UnseenFrames() { --depth_; }
    UnseenFrames(const UnseenFrames&) = delete;
    UnseenFrames& operator=(const UnseenFrames&) = delete;

    // Whether such a frame is being drawn now.
    static bool Drawing() { return depth_ > 0; }

private:
    static inline int depth_ = 0;
};
