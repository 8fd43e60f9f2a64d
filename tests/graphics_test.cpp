#include "harness.h"
#include "main.h"

#include <cstdio>
#include <string>
#include <vector>

using harness::makeBmp;
using harness::recorder;
using harness::writeFile;

namespace {

SDL_Surface* const untouched = reinterpret_cast<SDL_Surface*>(0x1);

class GraphicsTest : public harness::ScratchTest
{
  protected:
    void SetUp() override
    {
        ScratchTest::SetUp();
        ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0);
        screen = SDL_SetVideoMode(640, 480, 32, SDL_SWSURFACE);
        ASSERT_NE(screen, nullptr);
        for (SDL_Surface*& sprite : brickSprites)
            sprite = untouched;
        recorder().opened.clear();
    }

    void TearDown() override
    {
        for (SDL_Surface* sprite : {bat, ball})
            if (sprite != untouched)
                SDL_FreeSurface(sprite);
        for (SDL_Surface* sprite : brickSprites)
            if (sprite != untouched)
                SDL_FreeSurface(sprite);
        SDL_Quit();
        ScratchTest::TearDown();
    }

    bool load() { return loadBaseGraphics(screen->format, bat, ball, brickSprites); }

    static bool keyed(SDL_Surface* sprite, Uint32 key)
    {
        return sprite && (sprite->flags & SDL_SRCCOLORKEY) && sprite->format->colorkey == key;
    }

    Uint32 red() const { return SDL_MapRGB(screen->format, 255, 0, 0); }

    SDL_Surface* screen = nullptr;
    SDL_Surface* bat = untouched;
    SDL_Surface* ball = untouched;
    SDL_Surface* brickSprites[9];
};

std::vector<std::string> allNames()
{
    std::vector<std::string> names = {"bat.bmp", "ball.bmp"};
    for (int i = 1; i <= 9; i++)
        names.push_back("brick" + std::to_string(i) + ".bmp");
    return names;
}

TEST_F(GraphicsTest, loadsAllElevenAndKeysThemOnRed)
{
    writeSprites();
    ASSERT_TRUE(load());
    EXPECT_EQ(recorder().opened, allNames());
    EXPECT_TRUE(keyed(bat, red()));
    EXPECT_TRUE(keyed(ball, red()));
    EXPECT_EQ(bat->w, 96);
    EXPECT_EQ(ball->h, 16);
    for (int i = 0; i < 9; i++) {
        EXPECT_TRUE(keyed(brickSprites[i], red())) << i;
        EXPECT_EQ(recorder().names[brickSprites[i]], "brick" + std::to_string(i + 1) + ".bmp");
    }
}

TEST_F(GraphicsTest, missingBatStopsBeforeTheBall)
{
    writeSprites();
    std::remove("bat.bmp");
    EXPECT_FALSE(load());
    EXPECT_EQ(bat, nullptr);
    EXPECT_EQ(ball, untouched);
    for (SDL_Surface* sprite : brickSprites)
        EXPECT_EQ(sprite, untouched);
    EXPECT_EQ(recorder().opened, std::vector<std::string>{"bat.bmp"});
}

struct BrokenFile
{
    const char* name;
    bool present;
    std::string content;
};

void PrintTo(const BrokenFile& f, std::ostream* os)
{
    *os << f.name;
}

class BrokenBrickFive : public GraphicsTest, public ::testing::WithParamInterface<BrokenFile>
{
};

// Whatever is wrong with brick5.bmp, loading stops there and nothing gets a key.
TEST_P(BrokenBrickFive, stopsThereWithoutKeys)
{
    writeSprites();
    std::remove("brick5.bmp");
    if (GetParam().present)
        writeFile("brick5.bmp", GetParam().content);
    EXPECT_FALSE(load());
    std::vector<std::string> opened = allNames();
    opened.resize(7);
    EXPECT_EQ(recorder().opened, opened);
    ASSERT_NE(bat, nullptr);
    ASSERT_NE(ball, nullptr);
    EXPECT_FALSE(bat->flags & SDL_SRCCOLORKEY);
    EXPECT_FALSE(ball->flags & SDL_SRCCOLORKEY);
    for (int i = 0; i < 4; i++) {
        ASSERT_NE(brickSprites[i], nullptr);
        ASSERT_NE(brickSprites[i], untouched);
        EXPECT_FALSE(brickSprites[i]->flags & SDL_SRCCOLORKEY);
    }
    EXPECT_EQ(brickSprites[4], nullptr);
    for (int i = 5; i < 9; i++)
        EXPECT_EQ(brickSprites[i], untouched);
}

// A BMP header whose bit count SDL keeps in a byte: 8193 comes out as a 1-bit
// image without a palette, which SDL's blitter cannot draw.
std::string bitCountOutsideTheFormat()
{
    std::string bmp = makeBmp(16, 16, [](int, int) { return 0x808080u; });
    bmp[28] = 0x01;
    bmp[29] = 0x20;
    return bmp;
}

// A header 1,056,974,886 pixels wide and 65,527 rows tall, top-down.
std::string hugeDimensions()
{
    std::string bmp = makeBmp(1, 1, [](int, int) { return 0u; });
    const char size[] = {0x26, 0x28, 0x00, 0x3f, 0x09, 0x00, '\xff', '\xff'};
    bmp.replace(18, 8, size, 8);
    return bmp;
}

INSTANTIATE_TEST_SUITE_P(
    Table, BrokenBrickFive,
    ::testing::Values(BrokenFile{"missing", false, ""}, BrokenFile{"zeroBytes", true, ""},
                      BrokenFile{"text", true, "not a picture\n"},
                      BrokenFile{"truncated", true,
                                 makeBmp(48, 32, [](int, int) { return 0u; }).substr(0, 60)},
                      BrokenFile{"bitCountOutsideTheFormat", true, bitCountOutsideTheFormat()},
                      BrokenFile{"moreMemoryThanThereIs", true, hugeDimensions()}),
    [](const ::testing::TestParamInfo<BrokenFile>& info) { return std::string(info.param.name); });

TEST_F(GraphicsTest, namesAreExactAndLowerCase)
{
    writeSprites();
    std::rename("ball.bmp", "Ball.bmp");
    EXPECT_FALSE(load());
    EXPECT_EQ(ball, nullptr);
}

TEST_F(GraphicsTest, imagesOfAnySizeAreAccepted)
{
    harness::SpriteSizes odd;
    odd.batW = 1;
    odd.ballW = 333;
    odd.brickH = 7;
    writeSprites(odd);
    EXPECT_TRUE(load());
    EXPECT_EQ(ball->w, 333);
}

// Only the exact red is see-through: a near red, and every other colour, is drawn.
TEST_F(GraphicsTest, pureRedIsTransparent)
{
    writeSprites();
    writeFile("ball.bmp", makeBmp(3, 1, [](int x, int) {
                  return x == 0 ? 0xff0000u : x == 1 ? 0xfe0000u : 0x00ff00u;
              }));
    ASSERT_TRUE(load());
    Uint32 blue = SDL_MapRGB(screen->format, 0, 0, 255);
    SDL_FillRect(screen, nullptr, blue);
    SDL_Rect at = {10, 10, 0, 0};
    SDL_BlitSurface(ball, nullptr, screen, &at);
    SDL_LockSurface(screen);
    Uint32* row =
        reinterpret_cast<Uint32*>(static_cast<Uint8*>(screen->pixels) + 10 * screen->pitch);
    EXPECT_EQ(row[10], blue);
    EXPECT_EQ(row[11], SDL_MapRGB(screen->format, 254, 0, 0));
    EXPECT_EQ(row[12], SDL_MapRGB(screen->format, 0, 255, 0));
    SDL_UnlockSurface(screen);
}

} // namespace
