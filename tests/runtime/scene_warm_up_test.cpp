// The scenes' first frames drawn while the logo is up: no scene start then
// waits on the driver linking a program.
#include <gtest/gtest.h>

#include "backend/gl_program_cache.h"
#include "demo_pictures.h"

namespace {

class SceneWarmUp : public DemoPictures {};

TEST_F(SceneWarmUp, NoProgramIsLinkedWhilePlayingEveryScene) {
    Open(160, 120);
    const uint64_t linkedWhileLoading = ProgramsLinked();
    EXPECT_GT(linkedWhileLoading, 0u);
    int64_t frames = 0;
    session->PlayEveryScene(300, [&](const FixedClockFrame&) { ++frames; });
    EXPECT_GT(frames, 20);
    EXPECT_EQ(ProgramsLinked() - linkedWhileLoading, 0u) << "programs linked at a scene's start";
}

}  // namespace
