// The GL device's back buffer reader: glReadPixels into a ring of pixel pack
// buffers, each mapped only when the ring comes round to it again.
#pragma once

#include <epoxy/gl.h>

#include <functional>
#include <memory>

#include "backend/back_buffer_reader.h"

// resolve gives the framebuffer that holds the finished back buffer; depth
// buffers of width * height pixels. The reader must not outlive the context.
std::unique_ptr<BackBufferReader> CreateGlBackBufferReader(int width, int height, int depth,
                                                           std::function<GLuint()> resolve);
