// glslang 12 dies on some malformed sources (an unnamed entry-point
// parameter, an unterminated '[' in a parameter list), and no source a demo
// maker writes may end the demo. So each compilation runs in a forked child
// that sends its result back through a pipe; the parent only reads bytes.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <mutex>

#include "backend/hlsl_compiler.h"

namespace {

// Far beyond any real compile, even under the sanitizers.
constexpr int kCompileTimeLimitMs = 60000;

void WriteAll(int fd, const std::string& bytes) {
    size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = write(fd, bytes.data() + written, bytes.size() - written);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return;
        written += static_cast<size_t>(n);
    }
}

// Reads to end of file; false when the time limit passes first.
bool ReadAll(int fd, std::string* bytes) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kCompileTimeLimitMs);
    char buffer[65536];
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) return false;
        pollfd ready{fd, POLLIN, 0};
        const int polled = poll(&ready, 1, static_cast<int>(left.count()));
        if (polled < 0 && errno == EINTR) continue;
        if (polled <= 0) return false;
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return true;
        bytes->append(buffer, static_cast<size_t>(n));
    }
}

// glslang builds its built-in symbol tables on the first compile of each
// stage, most of a compile's time. Built once here, from sources known to
// compile, every child inherits them.
void WarmUpCompiler() {
    static std::once_flag warmed;
    std::call_once(warmed, [] {
        const char* const sources[][2] = {
            {"float4 main(float4 p : POSITION) : POSITION { return p; }", "vs_3_0"},
            {"float4 main(float4 c : COLOR0) : COLOR { return c; }", "ps_3_0"},
        };
        for (const auto& source : sources) {
            CompiledShader unused;
            std::string errors;
            CompileHlsl(source[0], std::strlen(source[0]), source[1], &unused, &errors);
        }
    });
}

int WaitFor(pid_t child) {
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    return status;
}

std::string CrashText(bool finished, int status) {
    std::string text = "error: the HLSL compiler ";
    if (!finished) return text + "did not finish on this source and was stopped";
    if (WIFSIGNALED(status)) return text + "crashed on this source (signal " + std::to_string(WTERMSIG(status)) + ")";
    return text + "failed (crashed) on this source (exit code " + std::to_string(WEXITSTATUS(status)) + ")";
}

}  // namespace

bool CompileHlslIsolated(const char* source, size_t length, const char* profile, CompiledShader* compiled,
                         std::string* errors) {
    WarmUpCompiler();
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
        *errors = std::string("error: cannot start the HLSL compiler: ") + std::strerror(errno);
        return false;
    }
    const pid_t child = fork();
    if (child < 0) {
        *errors = std::string("error: cannot start the HLSL compiler: ") + std::strerror(errno);
        close(fds[0]);
        close(fds[1]);
        return false;
    }
    if (child == 0) {
        close(fds[0]);
        // A crash here is the compiler's and is reported by the parent; the
        // crash handlers inherited from the parent (sanitizers, a fuzzer)
        // would report it as the parent's own.
        for (int crash : {SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGABRT}) signal(crash, SIG_DFL);
        CompiledShader result;
        std::string text;
        const bool ok = CompileHlsl(source, length, profile, &result, &text);
        WriteAll(fds[1], SerializeCompileResult(ok, text, result));
        _exit(0);  // no exit handlers: they belong to the parent
    }
    close(fds[1]);
    std::string bytes;
    const bool finished = ReadAll(fds[0], &bytes);
    close(fds[0]);
    if (!finished) kill(child, SIGKILL);
    const int status = WaitFor(child);
    bool ok = false;
    std::string text;
    CompiledShader result;
    if (!finished || !WIFEXITED(status) || WEXITSTATUS(status) != 0 ||
        !DeserializeCompileResult(bytes, &ok, &text, &result)) {
        *errors = CrashText(finished, status);
        return false;
    }
    *errors = text;
    if (ok) *compiled = std::move(result);
    return ok;
}
