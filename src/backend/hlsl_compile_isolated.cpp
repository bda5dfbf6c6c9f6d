// glslang 12 dies on some malformed sources (an unnamed entry-point
// parameter, an unterminated '[' in a parameter list), and no source a demo
// maker writes may end the demo. So compilations run in a child process and
// the parent only reads bytes. A child per compile cost several times the
// compile (forking and ending a process that has the GL driver mapped), so
// one child serves compile after compile over a socket, each message its
// length and its bytes. It is forked on the first compile, after glslang's
// built-in tables are warm; a child that dies is replaced on the next compile.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <mutex>

#include "backend/hlsl_compiler.h"

namespace {

using Clock = std::chrono::steady_clock;

// No answer comes near this; a longer length is a garbled message.
constexpr uint32_t kMaxMessageBytes = 256u << 20;

// Waits until fd is ready for events; false when the deadline passes first.
// A peer that is gone counts as ready: the read or send then says so.
bool WaitUntilReady(int fd, short events, Clock::time_point deadline) {
    for (;;) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) return false;
        pollfd ready{fd, events, 0};
        const int polled = poll(&ready, 1, static_cast<int>(std::min<decltype(left)>(left, INT_MAX)));
        if (polled < 0 && errno == EINTR) continue;
        return polled > 0;
    }
}

// All size bytes through step (one read or send); false when the peer is
// gone or the deadline passes first.
template <typename Byte, typename Step>
bool MoveAll(int fd, short events, Byte* bytes, size_t size, Clock::time_point deadline, Step step) {
    while (size > 0) {
        if (!WaitUntilReady(fd, events, deadline)) return false;
        const ssize_t n = step(fd, bytes, size);
        if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
        if (n <= 0) return false;
        bytes += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

bool SendMessage(int fd, const std::string& message, Clock::time_point deadline) {
    const auto size = static_cast<uint32_t>(message.size());
    std::string framed(reinterpret_cast<const char*>(&size), sizeof size);
    framed += message;
    // A peer that is gone is an answer here, not a SIGPIPE.
    return MoveAll(fd, POLLOUT, framed.data(), framed.size(), deadline,
                   [](int to, const char* bytes, size_t n) { return send(to, bytes, n, MSG_NOSIGNAL); });
}

bool ReceiveMessage(int fd, std::string* message, Clock::time_point deadline) {
    uint32_t size = 0;
    if (!MoveAll(fd, POLLIN, reinterpret_cast<char*>(&size), sizeof size, deadline, read) || size > kMaxMessageBytes)
        return false;
    message->resize(size);
    return MoveAll(fd, POLLIN, message->data(), size, deadline, read);
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
            CompileHlsl(source[0], std::strlen(source[0]), "main", source[1], &unused, &errors);
        }
    });
}

// The child's whole life: compile what comes and answer, until the parent
// closes its end. Only the compiler runs here; the parent's other threads
// (SDL's audio) do not exist in the child.
[[noreturn]] void ServeCompiles(int socket, int parentEnd, pid_t parent) {
    // Ends with the parent, even in the middle of a compile that never ends.
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != parent) _exit(0);
    // The parent's other descriptors stay the parent's: a pipe's write end
    // held here would keep its reader from seeing the end for as long as
    // this child lives.
    close(parentEnd);
    if (socket > 3) close_range(3, socket - 1, 0);
    close_range(socket + 1, ~0u, 0);
    // A crash here is the compiler's and is reported by the parent; the
    // crash handlers inherited from the parent (sanitizers, a fuzzer)
    // would report it as the parent's own.
    for (int crash : {SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGABRT}) signal(crash, SIG_DFL);

    const Clock::time_point never = Clock::time_point::max();
    std::string request, source, entry, profile, preamble;
    while (ReceiveMessage(socket, &request, never)) {
        CompiledShader result;
        std::string text;
        bool ok = false;
        if (DeserializeCompileRequest(request, &source, &entry, &profile, &preamble))
            ok = CompileHlsl(source.data(), source.size(), entry.c_str(), profile.c_str(), &result, &text, preamble);
        if (!SendMessage(socket, SerializeCompileResult(ok, text, result), never)) break;
    }
    _exit(0);  // no exit handlers: they belong to the parent
}

std::string CrashText(bool finished, int status) {
    std::string text = "error: the HLSL compiler ";
    if (!finished) return text + "did not finish on this source and was stopped";
    if (WIFSIGNALED(status)) return text + "crashed on this source (signal " + std::to_string(WTERMSIG(status)) + ")";
    return text + "failed (crashed) on this source (exit code " + std::to_string(WEXITSTATUS(status)) + ")";
}

// The compiling child and the parent's end of its socket.
class CompileChild {
public:
    CompileChild() = default;
    CompileChild(const CompileChild&) = delete;
    CompileChild& operator=(const CompileChild&) = delete;
    ~CompileChild() {
        if (Running()) Stop();
    }

    // The child's answer to one request. False with a text that says what
    // became of the child when it died on the request or ran past the
    // deadline; the next request starts a fresh one.
    bool Ask(const std::string& request, Clock::time_point deadline, std::string* answer, std::string* failure) {
        if (!Running() && !Start(failure)) return false;
        if (SendMessage(socket_, request, deadline) && ReceiveMessage(socket_, answer, deadline)) return true;
        const bool finished = Clock::now() < deadline;
        *failure = CrashText(finished, Stop());
        return false;
    }

private:
    bool Running() {
        // A copy of this process made by fork (a test's death test) leaves
        // its parent's child alone and starts its own.
        if (owner_ != getpid()) Forget();
        // One that died between compiles (a signal to the process group)
        // died of no source.
        int status;
        if (child_ > 0 && waitpid(child_, &status, WNOHANG) == child_) Forget();
        return child_ > 0;
    }

    bool Start(std::string* failure) {
        WarmUpCompiler();
        int ends[2];
        if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0) {
            *failure = std::string("error: cannot start the HLSL compiler: ") + std::strerror(errno);
            return false;
        }
        const pid_t parent = getpid();
        const pid_t child = fork();
        if (child == 0) ServeCompiles(ends[1], ends[0], parent);
        close(ends[1]);
        if (child < 0) {
            *failure = std::string("error: cannot start the HLSL compiler: ") + std::strerror(errno);
            close(ends[0]);
            return false;
        }
        child_ = child;
        owner_ = parent;
        socket_ = ends[0];
        return true;
    }

    // Ends the child, whatever it is doing; its wait status.
    int Stop() {
        kill(child_, SIGKILL);  // a crashed child keeps the status of its crash
        int status = 0;
        while (waitpid(child_, &status, 0) < 0 && errno == EINTR) {
        }
        Forget();
        return status;
    }

    void Forget() {
        if (socket_ >= 0) close(socket_);
        socket_ = -1;
        child_ = -1;
        owner_ = getpid();
    }

    pid_t child_ = -1, owner_ = getpid();
    int socket_ = -1;
};

}  // namespace

bool CompileHlslIsolated(const char* source, size_t length, const char* entry, const char* profile,
                         CompiledShader* compiled, std::string* errors, const std::string& preamble,
                         std::chrono::milliseconds timeLimit) {
    // Nothing to compile: the compiler answers without parsing.
    if (!source || !entry || !profile) return CompileHlsl(source, length, entry, profile, compiled, errors);
    static std::mutex serving;
    static CompileChild child;
    const std::lock_guard<std::mutex> one(serving);
    std::string answer, text;
    if (!child.Ask(SerializeCompileRequest(std::string_view(source, length), entry, profile, preamble),
                   Clock::now() + timeLimit, &answer, errors))
        return false;
    bool ok = false;
    CompiledShader result;
    if (!DeserializeCompileResult(answer, &ok, &text, &result)) {
        *errors = "error: the HLSL compiler gave a garbled answer";
        return false;
    }
    *errors = text;
    if (ok) *compiled = std::move(result);
    return ok;
}
