// halcyon capture: records the demo at a fixed frame rate into an MP4 file:
// the frames and the music of the same span, encoded through libav while the
// next frames are drawn. --png writes one PNG per frame and the music as a
// WAV instead.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "backend/win32.h"
#include "command/progress_line.h"
#include "command/subcommands.h"
#include "fixed_clock_options.h"
#include "frame_files.h"
#include "frame_writer_thread.h"
#include "music_span.h"
#include "platform/graphics_context.h"
#include "runtime/demo_player.h"
#include "video_file.h"

namespace {

// Frames on their way from the GPU, and frames waiting for the encoder.
constexpr int kReadBackFrames = 3;
constexpr int kQueuedFrames = 4;

struct CaptureOptions {
    FixedClockOptions run;
    std::string out;
    std::string codec;  // empty: the default encoder
    bool png = false;
};

int Capture(const CLI::App* app, CaptureOptions options) {
    options.run.dataDir = std::filesystem::absolute(options.run.dataDir).lexically_normal().string();
    options.out = std::filesystem::absolute(options.out).lexically_normal().string();
    const FixedClockOptions& run = options.run;
    if (const int status = CheckFixedClockSpan(app, run)) return status;
    std::string error;
    if (!options.png) {
        if (options.codec.empty()) options.codec = VideoFile::DefaultCodec();
        if (!VideoFile::Usable(options.codec, &error)) return UsageError(app, error);
        if ((run.width & 1) || (run.height & 1))
            std::fprintf(stderr, "halcyon capture: the video is %dx%d: 4:2:0 pictures need even sides\n",
                         run.width & ~1, run.height & ~1);
    }

    std::error_code fileError;
    const std::string outDir = options.png ? options.out : std::filesystem::path(options.out).parent_path().string();
    std::filesystem::create_directories(outDir, fileError);
    if (!std::filesystem::is_directory(outDir)) return Fail(app, "cannot make " + outDir);
    if (!options.png && std::filesystem::is_directory(options.out)) return Fail(app, options.out + " is a directory");
    if (options.png) RemoveFrames(outDir);

    // Nothing is shown and nothing is heard: the pictures are read back, the music decoded.
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    FixedClockSession session(run);
    if (session.status() != 0) return session.status();
    const FixedClockLoaded& loaded = session.loaded();
    if (loaded.frames <= 0)
        return Fail(app,
                    "no frames from " + std::to_string(loaded.startMs) + " to " + std::to_string(loaded.endMs) + " ms");
    std::fprintf(stderr, "halcyon capture: %d to %d ms at %d fps, %lld frames of %dx%d (loaded in %.2f s)\n",
                 loaded.startMs, loaded.endMs, run.fps, static_cast<long long>(loaded.frames), run.width,
                 run.height, loaded.loadSeconds);

    MusicSpan music(loaded.startMs, run.fps, loaded.musicVolume);
    if (!music.Open(run.dataDir + "/audio/" + session.player().resources->project.files.musicFile, &error)) return Fail(app, error);
    std::unique_ptr<BackBufferReader> reader = g_graphics->device->CreateBackBufferReader(kReadBackFrames);
    if (!reader) return Fail(app, "the device cannot read frames back");
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
        if (!video) return Fail(app, error);
        write = [&](const uint32_t* pixels, int64_t, std::string* error) { return video->Write(pixels, error); };
    }

    const auto start = std::chrono::steady_clock::now();
    FrameWriterThread writer(static_cast<size_t>(width) * height, kQueuedFrames, write);
    bool lost = false;
    // A failed write ends the run: the frames after it would go nowhere.
    const BackBufferReader::Consumer queue = [&](const uint32_t* pixels) {
        if (!writer.Push(pixels)) PostQuitMessage(0);
    };
    ProgressLine progress("halcyon capture", loaded.frames);
    progress.Show(0);
    const int64_t frames = session.Play(loaded.startMs, loaded.endMs, [&](const FixedClockFrame& frame) {
        lost = !reader->Read(queue) || lost;
        progress.Show(frame.number + 1);
    });
    lost = !reader->Flush(queue) || lost;
    progress.Finish();
    if (!writer.Finish(&error)) return Fail(app, error);
    if (lost) return Fail(app, "a frame could not be read back");
    if (video ? !video->Finish(&error) : !WriteWav(music, frames, outDir + "/audio.wav"))
        return Fail(app, video ? error : "cannot write " + outDir + "/audio.wav");
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::fprintf(stderr, "halcyon capture: %lld frames in %.2f s, %.2f fps\n", static_cast<long long>(frames), seconds,
                 static_cast<double>(frames) / seconds);
    std::printf("%s\n", options.out.c_str());
    return kExitDone;
}

}  // namespace

Subcommand AddCaptureCommand(CLI::App& command) {
    CLI::App* app = AddSubcommand(
        command, "capture", "Record the demo at a fixed frame rate to an MP4 file, or to PNG pictures and a WAV",
        "halcyon capture build demo.mp4 --size 1280x720 --start 57000 --end 61000");
    auto options = std::make_shared<CaptureOptions>();
    AddDataDirArgument(app, &options->run.dataDir);
    app->add_option("OUT", options->out, "the MP4 file to write; with --png, the folder for the pictures")->required();
    AddFixedClockOptions(app, &options->run, true);
    CLI::Option* png = app->add_flag("--png", options->png,
                                     "write OUT/frame_000000.png ... and OUT/audio.wav instead of a video");
    app->add_option("--codec", options->codec,
                    "the libavcodec video encoder (default libx264; mpeg4 where libx264 is missing)")
        ->type_name("NAME")
        ->excludes(png);
    return {app, [app, options] { return Capture(app, *options); }};
}
