#include "allocations.h"
#include "harness.h"

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

using harness::firstSteps;
using harness::recorder;

namespace {

class GameLoopTest : public harness::GameTest
{
  protected:
    void SetUp() override
    {
        GameTest::SetUp();
        writeGameFiles();
    }
};

TEST_F(GameLoopTest, escapeEndsTheGameAfterTheCurrentFrame)
{
    writeLevel(1, firstSteps);
    press(3, SDLK_ESCAPE);
    press(3, SDLK_RIGHT); // still applied: quitting stops neither the queue nor the frame
    harness::GameResult run = play();
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.output, "Exited cleanly\n");
    ASSERT_EQ(run.frames.size(), 4u);
    EXPECT_EQ(run.bat(3).first, 280);
    EXPECT_FALSE(run.sentQuit);
}

TEST_F(GameLoopTest, closeRequestEndsTheGameAfterTheCurrentFrame)
{
    writeLevel(1, firstSteps);
    closeWindow(0);
    harness::GameResult run = play();
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.output, "Exited cleanly\n");
    EXPECT_EQ(run.frames.size(), 1u);
}

TEST_F(GameLoopTest, everyFrameIsShownThenWaitsTwentyMilliseconds)
{
    writeLevel(1, firstSteps);
    closeWindow(9);
    harness::GameResult run = play();
    EXPECT_EQ(run.flips, 10);
    EXPECT_EQ(run.delays, std::vector<Uint32>(10, 20));
}

TEST_F(GameLoopTest, levelWithoutBreakableBricksIsPassedOver)
{
    writeLevel(1, "Steel only\n1\n999\n1\n");
    writeLevel(2, "Wood\n1\n1\n0\n");
    closeWindow(0);
    harness::GameResult run = play();
    ASSERT_EQ(run.frames.size(), 1u);
    EXPECT_FALSE(run.drew(0, "Steel only"));
    EXPECT_TRUE(run.drew(0, "Wood"));
    EXPECT_EQ(run.ball(0), std::make_pair(336, 416)); // the held ball rides on level 3's speed
    std::vector<std::string>& freed = recorder().freed;
    EXPECT_EQ(freed.front(), "Steel only"); // released when the level counted as cleared
}

TEST_F(GameLoopTest, flagOtherThanOneEndsTheGameEvenWhenTheNextFileExists)
{
    writeLevel(1, "Steel only\n1\n999\n0\n");
    writeLevel(2, "Wood\n1\n1\n0\n");
    harness::GameResult run = play();
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.output, "Exited cleanly\n");
    EXPECT_TRUE(run.frames.empty());
    EXPECT_EQ(recorder().rendered, std::vector<std::string>{"Steel only"});
}

TEST_F(GameLoopTest, missingNextLevelEndsTheGameCleanly)
{
    writeLevel(1, "Steel only\n1\n999\n1\n");
    harness::GameResult run = play();
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.output, "Exited cleanly\n");
    EXPECT_TRUE(run.frames.empty());
}

TEST_F(GameLoopTest, nextLevelThatIsADirectoryEndsTheGameCleanly)
{
    writeLevel(1, "Steel only\n1\n999\n1\n");
    ASSERT_EQ(mkdir("level2.txt", 0755), 0);
    harness::GameResult run = play();
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.output, "Exited cleanly\n");
    EXPECT_TRUE(run.frames.empty());
}

// The game writes nothing: it plays in a directory that it may not write to,
// and leaves the directory as it found it.
TEST_F(GameLoopTest, playsInAReadOnlyDirectoryAndWritesNothing)
{
    writeLevel(1, firstSteps);
    std::vector<std::string> before;
    for (const auto& entry : std::filesystem::directory_iterator("."))
        before.push_back(entry.path().filename());
    ASSERT_EQ(chmod(".", 0555), 0);
    press(1, SDLK_SPACE);
    closeWindow(30);
    harness::GameResult run = play();
    chmod(".", 0755);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.frames.size(), 31u);
    std::vector<std::string> after;
    for (const auto& entry : std::filesystem::directory_iterator("."))
        after.push_back(entry.path().filename());
    std::sort(before.begin(), before.end());
    std::sort(after.begin(), after.end());
    EXPECT_EQ(after, before);
}

struct KeyCase
{
    const char* name;
    std::vector<std::pair<bool, SDLKey>> frameZero; // (pressed?, key) in arrival order
    std::vector<std::pair<bool, SDLKey>> frameTwo;
    std::vector<int> batX; // frames 0 to 3
};

void PrintTo(const KeyCase& c, std::ostream* os)
{
    *os << c.name;
}

class Keys : public GameLoopTest, public ::testing::WithParamInterface<KeyCase>
{
};

TEST_P(Keys, setTheBatMoving)
{
    writeLevel(1, firstSteps);
    for (auto [down, key] : GetParam().frameZero)
        down ? press(0, key) : release(0, key);
    for (auto [down, key] : GetParam().frameTwo)
        down ? press(2, key) : release(2, key);
    closeWindow(3);
    harness::GameResult run = play();
    std::vector<int> xs;
    for (int frame = 0; frame < 4; frame++)
        xs.push_back(run.bat(frame).first);
    EXPECT_EQ(xs, GetParam().batX);
}

const bool down = true, up = false;

INSTANTIATE_TEST_SUITE_P(
    Table, Keys,
    ::testing::Values(
        KeyCase{"right", {{down, SDLK_RIGHT}}, {}, {280, 288, 296, 304}},
        KeyCase{"left", {{down, SDLK_LEFT}}, {}, {264, 256, 248, 240}},
        KeyCase{"pressAndReleaseInOneFrame",
                {{down, SDLK_RIGHT}, {up, SDLK_RIGHT}},
                {},
                {272, 272, 272, 272}},
        KeyCase{
            "leftWhileRightHeld", {{down, SDLK_RIGHT}}, {{down, SDLK_LEFT}}, {280, 288, 280, 272}},
        KeyCase{"releasingEitherStops",
                {{down, SDLK_RIGHT}, {down, SDLK_LEFT}},
                {{up, SDLK_RIGHT}},
                {264, 256, 256, 256}},
        KeyCase{
            "releasingSpaceStops", {{down, SDLK_RIGHT}}, {{up, SDLK_SPACE}}, {280, 288, 288, 288}},
        KeyCase{"otherKeysDoNothing", {{down, SDLK_a}, {down, SDLK_UP}}, {}, {272, 272, 272, 272}}),
    [](const ::testing::TestParamInfo<KeyCase>& info) { return std::string(info.param.name); });

TEST_F(GameLoopTest, shutdownReleasesSpritesThenTheLevel)
{
    writeLevel(1, firstSteps);
    closeWindow(0);
    play();
    std::vector<std::string> tail = {"bat.bmp", "ball.bmp"};
    for (int i = 1; i <= 9; i++)
        tail.push_back("brick" + std::to_string(i) + ".bmp");
    tail.push_back("First steps");
    std::vector<std::string>& freed = recorder().freed;
    ASSERT_GE(freed.size(), tail.size());
    EXPECT_EQ(std::vector<std::string>(freed.end() - static_cast<long>(tail.size()), freed.end()),
              tail);
}

// Everything the game allocates with new (the brick table and its bricks) is
// given back by the time it returns.
TEST_F(GameLoopTest, shutdownReleasesTheBrickTable)
{
    writeLevel(1, firstSteps);
    closeWindow(2);
    recorder().recording = false;
    recorder().delays.reserve(16);
    recorder().frames.reserve(16);
    long before = liveAllocations();
    char name[] = "pellaro";
    char* argv[] = {name, nullptr};
    testing::internal::CaptureStdout();
    int code = SDL_main(1, argv);
    std::string output = testing::internal::GetCapturedStdout();
    long grown = liveAllocations() - before;
    SDL_Quit();
    EXPECT_EQ(code, 0);
    EXPECT_EQ(output, "Exited cleanly\n");
    EXPECT_EQ(grown, 0);
}

} // namespace
