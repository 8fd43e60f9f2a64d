#include "harness.h"

#include <string>
#include <utility>
#include <vector>

using harness::GameResult;
using harness::recorder;
using harness::SpriteSizes;

namespace {

using Point = std::pair<int, int>;

// One breakable brick in the bottom-right cell, out of the way of the ball.
const std::string field = "Field\n11\n\n\n\n\n\n\n\n\n\n\n            1\n0\n";

class MotionTest : public harness::GameTest
{
  protected:
    // Levels before `level` hold no breakable brick, so the game passes them
    // over and the field is the first level shown.
    void writeField(const SpriteSizes& sizes = SpriteSizes(), int level = 1)
    {
        writeGameFiles(sizes);
        for (int skipped = 1; skipped < level; skipped++)
            writeLevel(skipped, "Passed over\n0\n1\n");
        writeLevel(level, field);
    }
};

// ---------------------------------------------------------------- the bat

struct Travel
{
    const char* name;
    int batW;
    SDLKey key;
    std::vector<Point> frameX; // (frame, x before its drawing)
    int lastMove;              // the frame of the move that crossed or met the limit
    int afterX, afterW;        // that frame's drawing wrote these back
};

void PrintTo(const Travel& t, std::ostream* os)
{
    *os << t.name;
}

class BatTravel : public MotionTest, public ::testing::WithParamInterface<Travel>
{
};

TEST_P(BatTravel, stopsAtItsLimits)
{
    const Travel& t = GetParam();
    SpriteSizes sizes;
    sizes.batW = t.batW;
    writeField(sizes);
    press(0, t.key);
    closeWindow(t.lastMove + 5);
    GameResult run = play();
    for (auto [frame, x] : t.frameX)
        EXPECT_EQ(run.bat(frame).first, x) << "frame " << frame;
    const harness::Draw* last = run.frames[static_cast<std::size_t>(t.lastMove)].find("bat.bmp");
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(last->after.x, t.afterX);
    EXPECT_EQ(last->after.w, t.afterW);
    EXPECT_EQ(last->before.y, 432);
}

// Frame k's drawing shows the bat after k + 1 moves.
INSTANTIATE_TEST_SUITE_P(
    Table, BatTravel,
    ::testing::Values(
        Travel{"right96", 96, SDLK_RIGHT, {{0, 280}, {33, 544}, {34, 544}, {38, 544}}, 33, 544, 96},
        Travel{"left96", 96, SDLK_LEFT, {{0, 264}, {33, 0}, {34, 0}, {38, 0}}, 33, 0, 96},
        Travel{"right64", 64, SDLK_RIGHT, {{0, 296}, {31, 544}, {32, 544}, {36, 544}}, 31, 544, 64},
        Travel{"left64", 64, SDLK_LEFT, {{0, 280}, {35, 0}, {36, 0}, {40, 0}}, 35, 0, 64},
        Travel{
            "left100", 100, SDLK_LEFT, {{0, 262}, {32, 6}, {33, -2}, {34, 0}, {38, 0}}, 33, 0, 98},
        Travel{"right100",
               100,
               SDLK_RIGHT,
               {{0, 278}, {33, 542}, {34, 550}, {35, 550}, {39, 550}},
               34,
               550,
               90}),
    [](const ::testing::TestParamInfo<Travel>& info) { return std::string(info.param.name); });

TEST_F(MotionTest, batStandsStillWithoutAKey)
{
    writeField();
    closeWindow(3);
    GameResult run = play();
    for (int frame = 0; frame <= 3; frame++)
        EXPECT_EQ(run.bat(frame), Point(272, 432));
}

// ---------------------------------------------------------------- the held ball

class HeldBall : public MotionTest, public ::testing::WithParamInterface<Point>
{
};

// The held ball rides at two thirds of the bat and leaves at (4, -(level + 4)),
// the vertical speed never above 8.
TEST_P(HeldBall, leavesAtTheLevelsSpeed)
{
    auto [level, dy] = GetParam();
    writeField(SpriteSizes(), level);
    GameResult run = launchAndPut({}, 2);
    EXPECT_EQ(run.ball(0), Point(336, 416));
    EXPECT_EQ(run.ball(1), Point(340, 416 - dy));
    EXPECT_EQ(run.ball(2), Point(344, 416 - 2 * dy));
}

INSTANTIATE_TEST_SUITE_P(Table, HeldBall,
                         ::testing::Values(Point(1, 5), Point(2, 6), Point(3, 7), Point(4, 8),
                                           Point(5, 8), Point(9, 8)),
                         [](const ::testing::TestParamInfo<Point>& info) {
                             return "level" + std::to_string(info.param.first);
                         });

TEST_F(MotionTest, heldBallFollowsTheBatInTheSameFrame)
{
    writeField();
    press(0, SDLK_LEFT);
    closeWindow(1);
    GameResult run = play();
    EXPECT_EQ(run.ball(0), Point(328, 416));
    EXPECT_EQ(run.ball(1), Point(320, 416));
}

TEST_F(MotionTest, launchStartsFromWhereThePreviousFrameLeftTheBall)
{
    writeField();
    press(1, SDLK_RIGHT);
    GameResult run = launchAndPut({}, 1);
    EXPECT_EQ(run.bat(1), Point(280, 432));
    EXPECT_EQ(run.ball(1), Point(340, 411));
}

// A ball taller than 16 rests above the bat's bounce rows, so it carries no
// launch speed: it first moves down, and the bounce of that frame sends it up.
TEST_F(MotionTest, tallBallDropsOntoTheBatWhenLaunched)
{
    SpriteSizes sizes;
    sizes.ballH = 20;
    writeField(sizes);
    GameResult run = launchAndPut({}, 2);
    EXPECT_EQ(run.ball(0), Point(336, 412));
    EXPECT_EQ(run.ball(1), Point(340, 417));
    EXPECT_EQ(run.ball(2), Point(344, 412));
}

// The right wall and the bottom take the ball as 16 pixels, whatever its size.
TEST_F(MotionTest, wallsTakeTheBallAsSixteenPixels)
{
    SpriteSizes sizes;
    sizes.ballW = 20;
    sizes.ballH = 20;
    writeField(sizes);
    // Launched off the bat with (5, -5), turned down at the top wall.
    GameResult run = launchAndPut({{1, {100, 3}}, {2, {615, 200}}, {3, {100, 455}}}, 4);
    EXPECT_EQ(run.ball(2), Point(105, 0));
    EXPECT_EQ(run.ball(3), Point(620, 205)); // short of 624: not yet at the wall
    EXPECT_EQ(run.ball(4), Point(105, 460));
    EXPECT_EQ(run.text(4, "Lives"), "Lives: 3");
}

// ---------------------------------------------------------------- walls

struct Flight
{
    const char* name;
    std::vector<std::pair<int, Point>> puts;
    std::vector<std::pair<int, Point>> expected; // (frame, ball before its drawing)
};

void PrintTo(const Flight& f, std::ostream* os)
{
    *os << f.name;
}

class Walls : public MotionTest, public ::testing::WithParamInterface<Flight>
{
};

TEST_P(Walls, turnTheBallBack)
{
    writeField();
    int last = GetParam().expected.back().first;
    GameResult run = launchAndPut(GetParam().puts, last);
    for (auto [frame, at] : GetParam().expected)
        EXPECT_EQ(run.ball(frame), at) << "frame " << frame;
}

// After the launch in frame 1 the ball moves by (4, -5).
INSTANTIATE_TEST_SUITE_P(
    Table, Walls,
    ::testing::Values(
        Flight{"top", {{1, {100, 3}}}, {{2, {104, 0}}, {3, {108, 5}}}},
        Flight{"topExactlyZero", {{1, {100, 5}}}, {{2, {104, 0}}, {3, {108, 5}}}},
        Flight{"right", {{1, {620, 200}}}, {{2, {624, 195}}, {3, {620, 190}}}},
        Flight{"rightPast", {{1, {622, 200}}}, {{2, {624, 195}}, {3, {620, 190}}}},
        Flight{"left", {{1, {622, 200}}, {2, {2, 100}}}, {{3, {0, 95}}, {4, {4, 90}}}},
        Flight{"corner", {{1, {622, 200}}, {2, {2, 3}}}, {{3, {0, 0}}, {4, {4, 5}}}},
        Flight{"risingBallCrossesTheBat", {{1, {300, 425}}}, {{2, {304, 420}}, {3, {308, 415}}}},
        // (-3, 5) from a strike 20 pixels along and the top wall; then struck at 25.
        Flight{"batBounce",
               {{1, {100, 3}}, {2, {288, 413}}, {4, {100, 3}}, {5, {300, 412}}},
               {{3, {292, 418}}, {4, {289, 413}}, {5, {97, 0}}, {6, {297, 417}}, {7, {295, 412}}}}),
    [](const ::testing::TestParamInfo<Flight>& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------- the bottom

TEST_F(MotionTest, reachingTheBottomCostsALifeAndRecentresTheBat)
{
    writeField();
    press(0, SDLK_RIGHT);
    release(2, SDLK_RIGHT);
    GameResult run = launchAndPut({{1, {100, 3}}, {2, {100, 459}}}, 4);
    EXPECT_EQ(run.bat(2), Point(288, 432));
    EXPECT_EQ(run.ball(3), Point(104, 464)); // drawn where it was lost
    EXPECT_EQ(run.text(2, "Lives"), "Lives: 3");
    EXPECT_EQ(run.text(3, "Lives"), "Lives: 2");
    EXPECT_EQ(run.bat(3), Point(272, 432));
    EXPECT_EQ(run.ball(4), Point(336, 416));
}

TEST_F(MotionTest, oneRowAboveTheBottomIsNotLost)
{
    writeField();
    GameResult run = launchAndPut({{1, {100, 3}}, {2, {100, 458}}}, 3);
    EXPECT_EQ(run.ball(3), Point(104, 463));
    EXPECT_EQ(run.text(3, "Lives"), "Lives: 3");
}

// Drawn 14 rows tall where it was lost, the ball rests on the bat by that
// height for one frame.
TEST_F(MotionTest, clippedBallComesBackWithItsVisibleHeight)
{
    writeField();
    GameResult run = launchAndPut({{1, {100, 3}}, {2, {100, 461}}}, 5);
    const harness::Draw* lost = run.frames[3].find("ball.bmp");
    ASSERT_NE(lost, nullptr);
    EXPECT_EQ(lost->before.y, 466);
    EXPECT_EQ(lost->after.h, 14);
    EXPECT_EQ(run.ball(4), Point(336, 418));
    EXPECT_EQ(run.ball(5), Point(336, 416));
}

TEST_F(MotionTest, arrowHeldThroughALostBallMovesTheRecentredBat)
{
    writeField();
    press(3, SDLK_LEFT);
    GameResult run = launchAndPut({{1, {100, 3}}, {2, {100, 459}}}, 4);
    EXPECT_EQ(run.bat(3), Point(272, 432));
    EXPECT_EQ(run.bat(4), Point(264, 432));
    EXPECT_EQ(run.ball(4), Point(328, 416));
}

TEST_F(MotionTest, lastLifeLostIsShownThenTheGameEnds)
{
    writeField();
    for (int launch : {1, 6, 11}) {
        press(launch, SDLK_SPACE);
        putBall(launch, 100, 3);
        putBall(launch + 1, 100, 459);
    }
    GameResult run = play();
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.output, "Exited cleanly\n");
    ASSERT_EQ(run.frames.size(), 14u);
    EXPECT_EQ(run.text(8, "Lives"), "Lives: 1");
    EXPECT_EQ(run.text(13, "Lives"), "Lives: 0");
    EXPECT_FALSE(run.sentQuit);
}

// ---------------------------------------------------------------- Space

struct SpaceCase
{
    const char* name;
    std::vector<int> spaceFrames;
    std::vector<std::pair<int, Point>> expected;
    std::string livesAtEnd;
};

void PrintTo(const SpaceCase& c, std::ostream* os)
{
    *os << c.name;
}

class Space : public MotionTest, public ::testing::WithParamInterface<SpaceCase>
{
};

// Space launches only a ball that has been put on the bat since it was caught.
TEST_P(Space, launchesOnlyABallResting)
{
    writeField();
    for (int frame : GetParam().spaceFrames)
        press(frame, SDLK_SPACE);
    for (auto [frame, at] : std::vector<std::pair<int, Point>>{{1, {100, 3}}, {2, {100, 459}}})
        putBall(frame, at.first, at.second);
    int last = GetParam().expected.back().first;
    closeWindow(last);
    GameResult run = play();
    for (auto [frame, at] : GetParam().expected)
        EXPECT_EQ(run.ball(frame), at) << "frame " << frame;
    EXPECT_EQ(run.text(last, "Lives"), GetParam().livesAtEnd);
}

INSTANTIATE_TEST_SUITE_P(
    Table, Space,
    ::testing::Values(
        // The ball is lost in frame 3 and put back on the bat in frame 4.
        SpaceCase{"rightAfterALostBall",
                  {1, 4},
                  {{3, {104, 464}}, {4, {336, 416}}, {5, {336, 416}}},
                  "Lives: 2"},
        SpaceCase{"afterTheBallRests", {1, 4, 5}, {{4, {336, 416}}, {5, {340, 411}}}, "Lives: 2"},
        SpaceCase{"inTheFirstFrame",
                  {0},
                  {{0, {336, 416}}, {1, {336, 416}}, {2, {336, 416}}},
                  "Lives: 3"},
        SpaceCase{"heldDown", {0, 1}, {{0, {336, 416}}, {1, {340, 411}}}, "Lives: 3"},
        SpaceCase{"inFlight", {1, 2}, {{2, {104, 0}}, {3, {104, 464}}}, "Lives: 2"}),
    [](const ::testing::TestParamInfo<SpaceCase>& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------- the bat bounce

// Struck d pixels right of the 96-pixel bat's left edge, the ball leaves with
// this horizontal speed.
int expectedDx(int d)
{
    const std::vector<std::pair<int, int>> upTo = {{4, -6},  {10, -5}, {16, -4}, {22, -3},
                                                   {28, -2}, {34, -1}, {51, 1},  {57, 2},
                                                   {63, 3},  {69, 4},  {75, 5},  {80, 6}};
    for (auto [last, dx] : upTo)
        if (d <= last)
            return dx;
    return 0;
}

TEST_F(MotionTest, strikeOffsetSetsTheHorizontalSpeed)
{
    writeField();
    for (int d = 0; d <= 80; d++) {
        SCOPED_TRACE("d = " + std::to_string(d));
        harness::resetRecorder();
        // Frame 2 turns the ball down at the top wall with (4, 5); frame 3 lands it on the bat.
        GameResult run = launchAndPut({{1, {100, 3}}, {2, {272 + d - 4, 413}}}, 4);
        ASSERT_EQ(run.ball(3), Point(272 + d, 418));
        EXPECT_EQ(run.ball(4).first - run.ball(3).first, expectedDx(d));
        EXPECT_EQ(run.ball(4).second, 413);
    }
}

TEST_F(MotionTest, ballOverhangingTheBatFallsPast)
{
    writeField();
    for (int x : {271, 353}) {
        SCOPED_TRACE("x = " + std::to_string(x));
        harness::resetRecorder();
        GameResult run = launchAndPut({{1, {100, 3}}, {2, {x - 4, 413}}}, 4);
        EXPECT_EQ(run.ball(3), Point(x, 418));
        EXPECT_EQ(run.ball(4), Point(x + 4, 423));
    }
}

// The bounce catches a ball whose bottom lands on the bat's upper half: with a
// 12-pixel bat a ball falling 8 a frame steps from row 431 to 439, past it.
TEST_F(MotionTest, thinBatLetsAFastBallThrough)
{
    for (int batH : {12, 16}) {
        SCOPED_TRACE("bat height " + std::to_string(batH));
        harness::resetRecorder();
        SpriteSizes sizes;
        sizes.batH = batH;
        writeField(sizes, 4);
        GameResult run = launchAndPut({{1, {100, 3}}, {2, {296, 407}}}, 5);
        EXPECT_EQ(run.ball(3), Point(300, 415));
        EXPECT_EQ(run.ball(4), Point(304, 423));
        EXPECT_EQ(run.ball(5).second, batH == 12 ? 431 : 415);
    }
}

} // namespace
