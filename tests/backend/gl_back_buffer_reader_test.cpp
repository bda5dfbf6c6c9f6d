// The GL device's back buffer reader: frames come out of the ring in order,
// frames later, as ReadBackBuffer saw them, and leave other reads working.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "gl_fixture.h"

namespace {

constexpr int kWidth = 63, kHeight = 37;  // odd: no row padding hides a wrong stride

class GlBackBufferReader : public GlShell, public ::testing::WithParamInterface<int> {
protected:
    void SetUp() override { Open(kWidth, kHeight, GetParam()); }
    void TearDown() override {
        reader.reset();
        GlShell::TearDown();
    }

    // Frame n: its own colour, and a top-left block in another so that a
    // picture upside down or mirrored does not pass.
    std::vector<uint32_t> Draw(uint32_t n) {
        device->Clear(0, nullptr, D3DCLEAR_TARGET, D3DCOLOR_ARGB(255, 10 * n, 200 - 10 * n, 7 * n), 1.0f, 0);
        const D3DRECT corner = {0, 0, 5 + static_cast<LONG>(n), 3};
        device->Clear(1, &corner, D3DCLEAR_TARGET, D3DCOLOR_ARGB(255, 255, 255, 0), 1.0f, 0);
        device->Present(nullptr, nullptr, nullptr, nullptr);
        return Pixels();
    }

    std::unique_ptr<BackBufferReader> reader;
};

TEST_P(GlBackBufferReader, HandsOutEachFrameAsDrawnOnceTheRingComesRound) {
    reader = device->CreateBackBufferReader(3);
    ASSERT_TRUE(reader);
    EXPECT_EQ(reader->width(), static_cast<UINT>(kWidth));
    EXPECT_EQ(reader->height(), static_cast<UINT>(kHeight));
    std::vector<std::vector<uint32_t>> drawn, taken;
    const BackBufferReader::Consumer keep = [&](const uint32_t* pixels) {
        taken.emplace_back(pixels, pixels + kWidth * kHeight);
    };
    for (uint32_t n = 0; n < 8; ++n) {
        drawn.push_back(Draw(n));
        ASSERT_TRUE(reader->Read(keep));
        // Three frames in flight: frame n comes out when frame n + 3 is read.
        EXPECT_EQ(taken.size(), n < 3 ? 0u : n - 2) << "after frame " << n;
    }
    ASSERT_TRUE(reader->Flush(keep));
    ASSERT_EQ(taken.size(), drawn.size());
    for (size_t n = 0; n < drawn.size(); ++n) {
        EXPECT_EQ(taken[n], drawn[n]) << "frame " << n;
        EXPECT_EQ(taken[n][0], 0xFFFFFF00u) << "the top-left block is at the start";
        EXPECT_EQ(taken[n][static_cast<size_t>(kHeight) * kWidth - 1], drawn[n].back());
    }
    ASSERT_TRUE(reader->Flush(keep));
    EXPECT_EQ(taken.size(), drawn.size()) << "a flushed ring is empty";
}

INSTANTIATE_TEST_SUITE_P(Multisample, GlBackBufferReader, ::testing::Values(0, 4));

}  // namespace
