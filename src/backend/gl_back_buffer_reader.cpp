#include "backend/gl_back_buffer_reader.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace {

class GlBackBufferReader : public BackBufferReader {
public:
    GlBackBufferReader(int width, int height, int depth, std::function<GLuint()> resolve)
        : width_(width), height_(height), buffers_(static_cast<size_t>(std::max(depth, 1))),
          resolve_(std::move(resolve)) {
        glGenBuffers(static_cast<GLsizei>(buffers_.size()), buffers_.data());
        for (GLuint buffer : buffers_) {
            glBindBuffer(GL_PIXEL_PACK_BUFFER, buffer);
            glBufferData(GL_PIXEL_PACK_BUFFER, FrameBytes(), nullptr, GL_STREAM_READ);
        }
        glBindBuffer(GL_PIXEL_PACK_BUFFER, 0);
    }

    ~GlBackBufferReader() override { glDeleteBuffers(static_cast<GLsizei>(buffers_.size()), buffers_.data()); }

    UINT width() const override { return static_cast<UINT>(width_); }
    UINT height() const override { return static_cast<UINT>(height_); }

    bool Read(const Consumer& consume) override {
        const size_t slot = (oldest_ + held_) % buffers_.size();
        const bool taken = held_ < buffers_.size() || TakeOldest(consume);
        glBindFramebuffer(GL_READ_FRAMEBUFFER, resolve_());
        glBindBuffer(GL_PIXEL_PACK_BUFFER, buffers_[slot]);
        glPixelStorei(GL_PACK_ALIGNMENT, 4);
        // Rows land top first (the device draws the top row at row 0), and
        // B, G, R, A bytes are the 0xAARRGGBB words of a little-endian machine.
        glReadPixels(0, 0, width_, height_, GL_BGRA, GL_UNSIGNED_BYTE, nullptr);
        // Other reads give the pixels to a pointer, not to this buffer.
        glBindBuffer(GL_PIXEL_PACK_BUFFER, 0);
        ++held_;
        return taken;
    }

    bool Flush(const Consumer& consume) override {
        bool taken = true;
        while (held_ > 0) taken = TakeOldest(consume) && taken;
        return taken;
    }

private:
    GLsizeiptr FrameBytes() const { return static_cast<GLsizeiptr>(width_) * height_ * 4; }

    // False when the buffer could not be mapped: that frame is lost.
    bool TakeOldest(const Consumer& consume) {
        glBindBuffer(GL_PIXEL_PACK_BUFFER, buffers_[oldest_]);
        const void* pixels = glMapBufferRange(GL_PIXEL_PACK_BUFFER, 0, FrameBytes(), GL_MAP_READ_BIT);
        if (pixels) {
            consume(static_cast<const uint32_t*>(pixels));
            glUnmapBuffer(GL_PIXEL_PACK_BUFFER);
        }
        glBindBuffer(GL_PIXEL_PACK_BUFFER, 0);
        oldest_ = (oldest_ + 1) % buffers_.size();
        --held_;
        return pixels != nullptr;
    }

    int width_, height_;
    std::vector<GLuint> buffers_;
    std::function<GLuint()> resolve_;
    size_t oldest_ = 0;  // the buffer read longest ago
    size_t held_ = 0;    // buffers holding a frame not yet taken out
};

}  // namespace

std::unique_ptr<BackBufferReader> CreateGlBackBufferReader(int width, int height, int depth,
                                                           std::function<GLuint()> resolve) {
    return std::make_unique<GlBackBufferReader>(width, height, depth, std::move(resolve));
}
