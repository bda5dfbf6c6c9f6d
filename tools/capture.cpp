// Records the demo at a fixed frame rate into an MP4 file: the frames and the
// music of the same span, encoded through libav while the next frames are
// drawn. --png writes one PNG per frame and the music as a WAV instead.
// Usage: capture DATA_DIR OUT [--size W H] [--fps N] [--start MS] [--end MS] [--codec NAME | --png]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "backend/win32.h"
#include "data_check_music.h"
#include "fixed_clock_run.h"
#include "frame_files.h"
#include "frame_writer_thread.h"
#include "music_span.h"
#include "platform/graphics_context.h"
#include "progress_line.h"
#include "video_file.h"

namespace {

// Frames on their way from the GPU, and frames waiting for the encoder.
constexpr int kReadBackFrames = 3;
constexpr int kQueuedFrames = 4;

int Usage(const char* self) {
    std::fprintf(stderr,
                 "usage: %s DATA_DIR OUT [--size W H] [--fps N] [--start MS] [--end MS] [--codec NAME | --png]\n"
                 "  writes the video OUT as MP4: the frames in H.264 (or the libavcodec encoder NAME,\n"
                 "  e.g. mpeg4) and the music of the same span in AAC; --png writes OUT/frame_000000.png\n"
                 "  ... and OUT/audio.wav instead. Defaults 640x480, 30 fps, the whole script (0 to the\n"
                 "  music length). The video's sides are cut to even numbers of pixels.\n",
                 self);
    return 2;
}

struct CaptureOptions {
    FixedClockOptions run;
    std::string out;
    std::string codec;  // empty: the default encoder
    bool png = false;
};

int Fail(const std::string& message) {
    std::fprintf(stderr, "capture: %s\n", message.c_str());
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) return Usage(argv[0]);
    CaptureOptions options;
    options.run.dataDir = std::filesystem::absolute(argv[1]).lexically_normal().string();
    options.out = std::filesystem::absolute(argv[2]).lexically_normal().string();
    bool codecNamed = false;
    for (int i = 3; i < argc; ++i) {
        const FixedClockOptionRead read = ReadFixedClockOption(argc, argv, &i, &options.run);
        if (read == FixedClockOptionRead::Read) continue;
        const std::string option = argv[i];
        if (read == FixedClockOptionRead::Unknown && option == "--png") {
            options.png = true;
        } else if (read == FixedClockOptionRead::Unknown && option == "--codec" && i + 1 < argc) {
            options.codec = argv[++i];
            codecNamed = true;
        } else {
            return Usage(argv[0]);
        }
    }
    const FixedClockOptions& run = options.run;
    if (run.width <= 0 || run.height <= 0 || run.fps <= 0 || run.startMs < 0) return Usage(argv[0]);
    if (run.endMs >= 0 && run.endMs <= run.startMs) {
        std::fprintf(stderr, "capture: --end %d ms is not after --start %d ms\n", run.endMs, run.startMs);
        return 2;
    }
    if (options.png && codecNamed) {
        std::fprintf(stderr, "capture: --codec names a video encoder; --png writes pictures\n");
        return 2;
    }
    std::string error;
    if (!options.png) {
        if (options.codec.empty()) options.codec = VideoFile::DefaultCodec();
        if (!VideoFile::Usable(options.codec, &error)) {
            std::fprintf(stderr, "capture: %s\n", error.c_str());
            return 2;
        }
        if ((run.width & 1) || (run.height & 1))
            std::fprintf(stderr, "capture: the video is %dx%d: 4:2:0 pictures need even sides\n", run.width & ~1,
                         run.height & ~1);
    }

    std::error_code fileError;
    const std::string outDir = options.png ? options.out : std::filesystem::path(options.out).parent_path().string();
    std::filesystem::create_directories(outDir, fileError);
    if (!std::filesystem::is_directory(outDir)) return Fail("cannot make " + outDir);
    if (!options.png && std::filesystem::is_directory(options.out)) return Fail(options.out + " is a directory");
    if (options.png) RemoveFrames(outDir);

    // Nothing is shown and nothing is heard: the pictures are read back, the music decoded.
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    FixedClockSession session(run);
    if (session.status() != 0) return session.status();
    const FixedClockLoaded& loaded = session.loaded();
    if (loaded.frames <= 0)
        return Fail("no frames from " + std::to_string(loaded.startMs) + " to " + std::to_string(loaded.endMs) + " ms");
    std::fprintf(stderr, "capture: %d to %d ms at %d fps, %lld frames of %dx%d (loaded in %.2f s)\n",
                 loaded.startMs, loaded.endMs, run.fps, static_cast<long long>(loaded.frames), run.width,
                 run.height, loaded.loadSeconds);

    MusicSpan music(loaded.startMs, run.fps, loaded.musicVolume);
    if (!music.Open(run.dataDir + "/" + kMusicFile, &error)) return Fail(error);
    std::unique_ptr<BackBufferReader> reader = g_graphics->device->CreateBackBufferReader(kReadBackFrames);
    if (!reader) return Fail("the device cannot read frames back");
    const uint32_t width = reader->width(), height = reader->height();

    std::unique_ptr<VideoFile> video;
    FrameWriterThread::Writer write;
    if (options.png) {
        write = [&](const uint32_t* pixels, int64_t number, std::string* error) {
            if (WriteFramePng(outDir, number, width, height, pixels)) return true;
            *error = "cannot write " + FramePath(outDir, number);
            return false;
        };
    } else {
        video = VideoFile::Create(options.out, static_cast<int>(width), static_cast<int>(height), run.fps,
                                  options.codec, &music, &error);
        if (!video) return Fail(error);
        write = [&](const uint32_t* pixels, int64_t, std::string* error) { return video->Write(pixels, error); };
    }

    const auto start = std::chrono::steady_clock::now();
    FrameWriterThread writer(static_cast<size_t>(width) * height, kQueuedFrames, write);
    bool lost = false;
    // A failed write ends the run: the frames after it would go nowhere.
    const BackBufferReader::Consumer queue = [&](const uint32_t* pixels) {
        if (!writer.Push(pixels)) PostQuitMessage(0);
    };
    ProgressLine progress(loaded.frames);
    progress.Show(0);
    const int64_t frames = session.Play(loaded.startMs, loaded.endMs, [&](const FixedClockFrame& frame) {
        lost = !reader->Read(queue) || lost;
        progress.Show(frame.number + 1);
    });
    lost = !reader->Flush(queue) || lost;
    std::fprintf(stderr, "\n");
    if (!writer.Finish(&error)) return Fail(error);
    if (lost) return Fail("a frame could not be read back");
    if (video ? !video->Finish(&error) : !WriteWav(music, frames, outDir + "/audio.wav"))
        return Fail(video ? error : "cannot write " + outDir + "/audio.wav");
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::fprintf(stderr, "capture: %lld frames in %.2f s, %.2f fps\n", static_cast<long long>(frames), seconds,
                 static_cast<double>(frames) / seconds);
    std::printf("%s\n", options.out.c_str());
    return 0;
}
