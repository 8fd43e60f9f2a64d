#include "harness.h"

#include <string>
#include <utility>
#include <vector>

using harness::firstSteps;
using harness::GameResult;
using harness::recorder;

namespace {

class DrawingTest : public harness::GameTest
{
  protected:
    void SetUp() override
    {
        GameTest::SetUp();
        writeGameFiles();
    }

    const harness::Draw& drawOf(const GameResult& run, int frame, const std::string& item)
    {
        const harness::Draw* draw = run.frames.at(static_cast<std::size_t>(frame)).find(item);
        EXPECT_NE(draw, nullptr) << item;
        static const harness::Draw none{};
        return draw ? *draw : none;
    }
};

std::vector<std::string> firstStepsBricks()
{
    std::vector<std::string> items(13, "brick1.bmp");
    for (const char* kind :
         {"brick2.bmp", "brick8.bmp", "brick9.bmp", "brick8.bmp", "brick2.bmp", "brick7.bmp"})
        items.push_back(kind);
    return items;
}

TEST_F(DrawingTest, framesDrawBricksBallBatScoreLivesTitleInThatOrder)
{
    writeLevel(1, firstSteps);
    closeWindow(1);
    GameResult run = play();
    std::vector<std::string> expected = firstStepsBricks();
    for (const char* item : {"ball.bmp", "bat.bmp", "Score: 0", "Lives: 3", "First steps"})
        expected.push_back(item);
    for (int frame : {0, 1})
        EXPECT_EQ(run.frames[static_cast<std::size_t>(frame)].items(), expected);
}

TEST_F(DrawingTest, bricksAreDrawnAtTheirOwnCells)
{
    writeLevel(1, "Grid\n2\n1           9\n 5\n0\n");
    closeWindow(0);
    GameResult run = play();
    EXPECT_EQ(run.at(0, "brick1.bmp"), std::make_pair(8, 8));
    EXPECT_EQ(run.at(0, "brick9.bmp"), std::make_pair(584, 8));
    EXPECT_EQ(run.at(0, "brick5.bmp"), std::make_pair(56, 40));
}

TEST_F(DrawingTest, textsSitAlongTheBottom)
{
    writeLevel(1, firstSteps);
    closeWindow(0);
    GameResult run = play();
    const harness::Draw& score = drawOf(run, 0, "Score: 0");
    const harness::Draw& lives = drawOf(run, 0, "Lives: 3");
    const harness::Draw& title = drawOf(run, 0, "First steps");
    for (const harness::Draw* text : {&score, &lives, &title}) {
        EXPECT_GT(text->before.h, 0);
        EXPECT_EQ(text->before.y + text->before.h, 480 - 8) << text->item;
    }
    EXPECT_EQ(score.before.x, 16);
    EXPECT_EQ(lives.before.x + lives.before.w, 640 - 8);
    EXPECT_EQ(title.before.x, (640 - title.before.w) / 2);
    EXPECT_GT(title.before.x, score.before.x + score.before.w);
}

TEST_F(DrawingTest, titleWiderThanTheScreenIsCentredAndClipped)
{
    writeLevel(1, std::string(100, 'W') + "\n1\n1\n0\n");
    closeWindow(0);
    GameResult run = play();
    const harness::Draw& title = drawOf(run, 0, std::string(100, 'W'));
    int w = title.before.w;
    ASSERT_GT(w, 640);
    EXPECT_EQ(title.before.x, -((w - 640) / 2)); // truncated toward zero
    EXPECT_EQ(title.after.x, 0);
    EXPECT_EQ(title.after.w, 640);
}

TEST_F(DrawingTest, levelWithoutTitleDrawsScoreAndLives)
{
    writeLevel(1, "\n1\n1\n0\n");
    closeWindow(0);
    GameResult run = play();
    std::vector<std::string> items = run.frames[0].items();
    EXPECT_EQ(std::vector<std::string>(items.end() - 3, items.end()),
              (std::vector<std::string>{"bat.bmp", "Score: 0", "Lives: 3"}));
    EXPECT_EQ(run.exitCode, 0);
}

TEST_F(DrawingTest, textThatFailsToRenderIsLeftOut)
{
    writeLevel(1, firstSteps);
    recorder().failText = [](const std::string& text) { return text.rfind("Score", 0) == 0; };
    closeWindow(1);
    GameResult run = play();
    std::vector<std::string> items = run.frames[1].items();
    EXPECT_EQ(std::vector<std::string>(items.end() - 4, items.end()),
              (std::vector<std::string>{"ball.bmp", "bat.bmp", "Lives: 3", "First steps"}));
    EXPECT_EQ(run.exitCode, 0);
}

TEST_F(DrawingTest, scoreAndLivesTextsAreReleasedEveryFrame)
{
    writeLevel(1, firstSteps);
    closeWindow(2);
    play();
    std::vector<std::string> freed = recorder().freed;
    freed.resize(6);
    EXPECT_EQ(freed, (std::vector<std::string>{"Score: 0", "Lives: 3", "Score: 0", "Lives: 3",
                                               "Score: 0", "Lives: 3"}));
}

// Read off the screen at each flip: the ball leaves nothing behind, its red
// corners are not drawn, and the score sits in its dark blue box.
TEST_F(DrawingTest, screenIsClearedAndSpritesKeyedOnRed)
{
    harness::writeFile("ball.bmp", harness::makeBmp(16, 16, [](int x, int y) {
                           return x < 2 && y < 2 ? 0xff0000u : 0xffffffu;
                       }));
    writeLevel(1, firstSteps);
    recorder().probes = {{337, 425}, {336, 416}, {338, 418}, {16, 471}, {15, 471}};
    press(1, SDLK_SPACE);
    closeWindow(1);
    GameResult run = play();
    ASSERT_EQ(run.probed.size(), 2u);
    // Frame 0: the held ball at (336, 416).
    EXPECT_EQ(run.probed[0], (std::vector<Uint32>{0xffffff, 0x000000, 0xffffff, 0x000040, 0}));
    // Frame 1: the ball has left for (340, 411).
    EXPECT_EQ(run.probed[1][0], 0x000000u);
}

} // namespace
