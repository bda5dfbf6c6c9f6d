#include "gl_call_counter.h"

#include <epoxy/gl.h>

#include <type_traits>

namespace {

GlCallCounter* g_counter = nullptr;

template <auto* Slot, typename Function = std::remove_pointer_t<std::remove_pointer_t<decltype(Slot)>>>
struct Hook;

// Stands in for the entry point in Slot. libepoxy's first call of an entry
// point goes to a stub that stores the driver's function in the slot, unless
// the slot already holds something else, which it then calls: that is this
// wrapper again, which hands the slot back to the stub for that one call.
// After each call the wrapper takes what the slot holds as its target and
// puts itself back.
template <auto* Slot, typename Result, typename... Arguments>
struct Hook<Slot, Result(Arguments...)> {
    using Pointer = Result (*)(Arguments...);
    static inline Pointer target = nullptr;
    static inline const char* name = nullptr;
    static inline bool inside = false;

    struct Reinstall {
        ~Reinstall() {
            inside = false;
            if (*Slot != &Call) {
                target = *Slot;
                *Slot = &Call;
            }
        }
    };

    static Result Call(Arguments... arguments) {
        if (inside) {
            *Slot = target;
            return target(arguments...);
        }
        GlCallCounter::Note(name);
        inside = true;
        Reinstall after;
        return target(arguments...);
    }

    static void Install(const char* entry) {
        name = entry;
        target = *Slot;
        *Slot = &Call;
    }
    static void Remove() { *Slot = target; }
};

#define GL_COUNTED(X)                                                                                             \
    X(glActiveTexture) X(glBindTexture) X(glBindSampler) X(glSamplerParameteri) X(glTexParameteri)                \
    X(glTexImage2D) X(glTexSubImage2D) X(glPixelStorei) X(glGenerateMipmap) X(glEnableVertexAttribArray)          \
    X(glDisableVertexAttribArray) X(glVertexAttribPointer) X(glBindBuffer) X(glBufferData) X(glBufferSubData)    \
    X(glBindBufferBase) X(glUseProgram) X(glUniform1f) X(glUniform2f) X(glUniform3f) X(glUniform1i)             \
    X(glUniform1iv) X(glUniformMatrix4fv) X(glEnable) X(glDisable) X(glDepthFunc) X(glDepthMask)                \
    X(glBlendFunc) X(glFrontFace) X(glCullFace) X(glColorMask) X(glColorMaski) X(glStencilMask)                  \
    X(glDrawArrays) X(glDrawRangeElementsBaseVertex) X(glBindFramebuffer) X(glFramebufferTexture2D)              \
    X(glFramebufferRenderbuffer) X(glCheckFramebufferStatus) X(glViewport) X(glDepthRange) X(glScissor)         \
    X(glClear) X(glClearColor) X(glClearDepth) X(glClearStencil) X(glBindVertexArray)

#define GL_INSTALL(entry) Hook<&epoxy_##entry>::Install(#entry);
#define GL_REMOVE(entry) Hook<&epoxy_##entry>::Remove();

}  // namespace

GlCallCounter::GlCallCounter() {
    GL_COUNTED(GL_INSTALL)
    g_counter = this;
}

GlCallCounter::~GlCallCounter() {
    g_counter = nullptr;
    GL_COUNTED(GL_REMOVE)
}

void GlCallCounter::Note(const char* name) {
    if (g_counter) ++g_counter->counts_[name];
}

int GlCallCounter::Count(const std::string& name) const {
    auto found = counts_.find(name);
    return found == counts_.end() ? 0 : found->second;
}

int GlCallCounter::Total() const {
    int total = 0;
    for (const auto& entry : counts_) total += entry.second;
    return total;
}

std::string GlCallCounter::Describe() const {
    std::string text;
    for (const auto& [name, count] : counts_) text += (text.empty() ? "" : ", ") + name + " " + std::to_string(count);
    return text;
}
