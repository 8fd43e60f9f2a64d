#include "harness.h"

#include <string>
#include <utility>
#include <vector>

using harness::GameResult;
using harness::SpriteSizes;

namespace {

using Point = std::pair<int, int>;
using Puts = std::vector<std::pair<int, Point>>;

// A level of 11 rows: row 3 as given (its cells at y 104) and row 10 as given.
std::string wall(const std::string& row3, const std::string& row10 = "", char flag = '0')
{
    return "Wall\n11\n\n\n\n" + row3 + "\n\n\n\n\n\n\n" + row10 + "\n" + flag + "\n";
}

// A far brick in the bottom-right cell keeps the level going.
const std::string farBrick = "            1";

class CollisionTest : public harness::GameTest
{
  protected:
    void SetUp() override
    {
        GameTest::SetUp();
        SpriteSizes sizes;
        sizes.brickH = 24; // bricks at (200, 104) are 48 x 24
        writeGameFiles(sizes);
    }
};

// The x of every brick of a kind drawn in a frame.
std::vector<int> drawnAt(const GameResult& run, int frame, const std::string& sprite)
{
    std::vector<int> xs;
    for (const harness::Draw& draw : run.frames.at(static_cast<std::size_t>(frame)).draws)
        if (draw.item == sprite)
            xs.push_back(draw.before.x);
    return xs;
}

// ---------------------------------------------------------------- side choice

struct Strike
{
    const char* name;
    std::string row3;
    Puts puts;
    std::vector<std::pair<int, Point>> expected;
};

void PrintTo(const Strike& s, std::ostream* os)
{
    *os << s.name;
}

class Strikes : public CollisionTest, public ::testing::WithParamInterface<Strike>
{
};

// An unbreakable brick at (200, 104), 48 x 24, turns the ball back without
// going away; the frame after the strike shows which speed was reversed.
TEST_P(Strikes, reverseOneSpeed)
{
    writeLevel(1, wall(GetParam().row3, farBrick));
    int last = GetParam().expected.back().first;
    GameResult run = launchAndPut(GetParam().puts, last);
    for (auto [frame, at] : GetParam().expected)
        EXPECT_EQ(run.ball(frame), at) << "frame " << frame;
    EXPECT_EQ(run.text(last, "Score"), "Score: 0");
}

// (100, 3) in frame 1 turns the ball down at the top wall: (4, 5) from frame 2.
INSTANTIATE_TEST_SUITE_P(
    Table, Strikes,
    ::testing::Values(
        Strike{"fromBelow", "    9", {{1, {210, 130}}}, {{2, {214, 125}}, {3, {218, 130}}}},
        Strike{"fromTheSide",
               "    9",
               {{1, {100, 3}}, {2, {182, 110}}},
               {{3, {186, 115}}, {4, {182, 120}}}},
        Strike{"atTheCorner",
               "    9",
               {{1, {100, 3}}, {2, {182, 86}}},
               {{3, {186, 91}}, {4, {182, 96}}}},
        Strike{"overlappingByOne",
               "    9",
               {{1, {100, 3}}, {2, {181, 105}}},
               {{3, {185, 110}}, {4, {181, 115}}}},
        // Touching at (184, 110) is no hit; the next frame's move overlaps, from the side.
        Strike{"touchingTheSide",
               "    9",
               {{1, {100, 3}}, {2, {180, 105}}},
               {{3, {184, 110}}, {4, {188, 115}}, {5, {184, 120}}}},
        Strike{"touchingTheBottom",
               "    9",
               {{1, {206, 133}}},
               {{2, {210, 128}}, {3, {214, 123}}, {4, {218, 128}}}},
        // The left wall turns the ball first; its previous edges then lie over
        // the brick at x 8, so the vertical speed is reversed.
        Strike{
            "wallAndBrick", "9", {{1, {622, 300}}, {2, {2, 110}}}, {{3, {0, 105}}, {4, {4, 110}}}}),
    [](const ::testing::TestParamInfo<Strike>& info) { return std::string(info.param.name); });

TEST_F(CollisionTest, wallAloneWouldHaveKeptTheBallRising)
{
    writeLevel(1, wall("", farBrick));
    GameResult run = launchAndPut({{1, {622, 300}}, {2, {2, 110}}}, 4);
    EXPECT_EQ(run.ball(4), Point(4, 100));
}

// ---------------------------------------------------------------- hits and scores

TEST_F(CollisionTest, onlyTheFirstOfTwoOverlappedBricksIsHit)
{
    writeLevel(1, wall("    11", farBrick));
    GameResult run = launchAndPut({{1, {236, 131}}}, 3);
    EXPECT_EQ(run.ball(2), Point(240, 126));
    EXPECT_EQ(drawnAt(run, 2, "brick1.bmp"), (std::vector<int>{200, 248, 584}));
    EXPECT_EQ(run.text(2, "Score"), "Score: 70");
    EXPECT_EQ(drawnAt(run, 3, "brick1.bmp"), (std::vector<int>{248, 584}));
    EXPECT_EQ(run.ball(3), Point(244, 131)); // reversed once
}

TEST_F(CollisionTest, toughBrickBreaksAtTheThirdHit)
{
    writeLevel(1, wall("    8", farBrick));
    // Hits in frames 2, 4 and 6; frames 3 and 5 bounce the ball off the bat to send it back up.
    GameResult run = launchAndPut(
        {{1, {210, 130}}, {2, {332, 413}}, {3, {210, 130}}, {4, {332, 413}}, {5, {210, 130}}}, 7);
    for (int frame : {2, 4, 6})
        EXPECT_EQ(run.ball(frame), Point(214, 125)) << "frame " << frame;
    for (int frame : {3, 5})
        EXPECT_EQ(run.ball(frame), Point(336, 418)) << "frame " << frame;
    for (int frame = 2; frame <= 5; frame++)
        EXPECT_EQ(run.text(frame, "Score"), "Score: 0") << "frame " << frame;
    EXPECT_EQ(run.text(6, "Score"), "Score: 100");
    EXPECT_EQ(drawnAt(run, 6, "brick8.bmp"), std::vector<int>{200}); // looks the same until broken
    EXPECT_TRUE(drawnAt(run, 7, "brick8.bmp").empty());
}

TEST_F(CollisionTest, unbreakableBrickTakesTheHitAndScoresNothing)
{
    writeLevel(1, wall("    91"));
    GameResult run =
        launchAndPut({{1, {236, 131}}, {2, {332, 413}}, {3, {236, 131}}, {4, {332, 413}}}, 5);
    for (int frame : {2, 4})
        EXPECT_EQ(run.ball(frame), Point(240, 126)) << "frame " << frame;
    EXPECT_EQ(run.ball(3), Point(336, 418));
    EXPECT_EQ(run.text(5, "Score"), "Score: 0");
    EXPECT_EQ(drawnAt(run, 5, "brick9.bmp"), std::vector<int>{200});
    EXPECT_EQ(drawnAt(run, 5, "brick1.bmp"), std::vector<int>{248}); // never reached
}

TEST_F(CollisionTest, lastBreakableBrickEndsTheGameAfterItsFrameIsShown)
{
    writeLevel(1, wall("    1   9"));
    writeLevel(2, wall("1"));
    GameResult run = launchAndPut({{1, {210, 130}}}, -1);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.output, "Exited cleanly\n");
    ASSERT_EQ(run.frames.size(), 3u);
    EXPECT_EQ(drawnAt(run, 2, "brick1.bmp"), std::vector<int>{200});
    EXPECT_EQ(run.frames[2].items().back(), "Wall");
    EXPECT_EQ(run.text(2, "Score"), "Score: 70");
    EXPECT_FALSE(run.sentQuit);
}

TEST_F(CollisionTest, lastBreakableBrickLeadsToTheNextLevel)
{
    writeLevel(1, wall("    1   9", "", '1'));
    writeLevel(2, "Next\n1\n1\n0\n");
    GameResult run = launchAndPut({{1, {210, 130}}}, 3);
    ASSERT_EQ(run.frames.size(), 4u);
    EXPECT_TRUE(run.drew(2, "Wall"));
    EXPECT_TRUE(run.drew(3, "Next"));
    EXPECT_EQ(run.ball(3), Point(336, 416));
    EXPECT_EQ(run.bat(3), Point(272, 432));
    EXPECT_EQ(run.text(3, "Score"), "Score: 70");
    EXPECT_EQ(drawnAt(run, 3, "brick1.bmp"), std::vector<int>{8});
}

// ---------------------------------------------------------------- a whole game

// Two levels, each with one brick in the ball's path from the bat, and Space
// held down from the first frame to the last.
TEST_F(CollisionTest, wholeGameThroughTwoLevels)
{
    writeLevel(1, "One\n11\n\n\n\n\n\n\n\n\n\n\n       1\n1\n");
    writeLevel(2, "Two\n11\n\n\n\n\n\n\n\n\n\n\n       2\n0\n");
    writeLevel(3, "Never\n1\n1\n0\n");
    for (int frame = 0; frame < 100; frame++)
        press(frame, SDLK_SPACE);
    GameResult run = play();
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.output, "Exited cleanly\n");
    EXPECT_FALSE(run.sentQuit);
    ASSERT_EQ(run.frames.size(), 26u);

    EXPECT_EQ(run.ball(1), Point(340, 411));
    EXPECT_EQ(run.ball(13), Point(388, 351)); // breaks the '1' (rows 328 to 351)
    EXPECT_EQ(run.text(13, "Score"), "Score: 70");
    EXPECT_TRUE(run.drew(13, "One"));

    // Level two: the ball is put on the bat before Space can launch it, one pixel faster.
    EXPECT_TRUE(run.drew(14, "Two"));
    EXPECT_EQ(run.ball(14), Point(336, 416));
    EXPECT_EQ(run.ball(15), Point(340, 410));
    EXPECT_EQ(run.ball(25), Point(380, 350));
    EXPECT_EQ(run.text(25, "Score"), "Score: 130");
    EXPECT_EQ(run.text(25, "Lives"), "Lives: 3");
}

} // namespace
