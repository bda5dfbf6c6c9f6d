#include "demo_pictures.h"

void DemoPictures::Open(int width, int height, int multisample, const std::string& dataDir) {
    FixedClockOptions options;
    options.dataDir = dataDir;
    options.width = width;
    options.height = height;
    options.multisample = multisample;
    session = std::make_unique<FixedClockSession>(options);
    ASSERT_EQ(session->status(), 0);
    for (const auto& box : boxes.boxes) ADD_FAILURE() << box.caption << ": " << box.text;
}

void DemoPictures::TearDown() { session.reset(); }

Picture DemoPictures::FrameAt(int ms, std::vector<std::string>* scenes) {
    Picture picture;
    const int64_t drawn = session->Play(ms, ms + 1, [&](const FixedClockFrame& frame) {
        picture = BackBufferPicture();
        if (scenes) *scenes = frame.scenes;
    });
    EXPECT_EQ(drawn, 1) << "at " << ms << " ms";
    return picture;
}

Picture HalfSize(const Picture& picture) {
    Picture half;
    half.width = picture.width / 2;
    half.height = picture.height / 2;
    half.pixels.resize(static_cast<size_t>(half.width) * half.height);
    for (uint32_t y = 0; y < half.height; ++y)
        for (uint32_t x = 0; x < half.width; ++x) {
            uint32_t out = 0xFF000000u;
            for (int shift = 0; shift < 24; shift += 8) {
                uint32_t sum = 2;  // rounds the quarter to nearest
                for (uint32_t dy = 0; dy < 2; ++dy)
                    for (uint32_t dx = 0; dx < 2; ++dx)
                        sum += picture.pixels[static_cast<size_t>(2 * y + dy) * picture.width + 2 * x + dx] >> shift &
                               0xFF;
                out |= (sum / 4) << shift;
            }
            half.pixels[static_cast<size_t>(y) * half.width + x] = out;
        }
    return half;
}

std::vector<Picture> DemoPictures::ExpectMoments(const std::vector<SceneMoment>& moments) {
    std::vector<Picture> pictures;
    for (const SceneMoment& moment : moments) {
        std::vector<std::string> drawn;
        pictures.push_back(FrameAt(moment.ms, &drawn));
        EXPECT_EQ(drawn, moment.scenes) << moment.name;
        EXPECT_TRUE(MatchesReference(std::string("scenes/") + moment.name, pictures.back()));
    }
    return pictures;
}
