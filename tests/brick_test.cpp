#include "Brick.h"

#include <gtest/gtest.h>

namespace {

struct Sprite
{
    SDL_Surface* surface = SDL_CreateRGBSurface(SDL_SWSURFACE, 48, 24, 32, 0, 0, 0, 0);
    ~Sprite() { SDL_FreeSurface(surface); }
};

struct HitCase
{
    int hits;
    int calls;
    bool visible;
};

void PrintTo(const HitCase& c, std::ostream* os)
{
    *os << c.hits << " hits, " << c.calls << " calls";
}

class BrickHits : public ::testing::TestWithParam<HitCase>
{
};

TEST_P(BrickHits, breaksWhenItsCountReachesZero)
{
    Sprite sprite;
    Brick brick(sprite.surface, 8, 8, 100, GetParam().hits);
    for (int i = 0; i < GetParam().calls; i++)
        brick.registerHit();
    EXPECT_EQ(brick.isVisible(), GetParam().visible);
    EXPECT_EQ(brick.getScore(), 100); // a hit never changes what the brick is worth
}

INSTANTIATE_TEST_SUITE_P(Table, BrickHits,
                         ::testing::Values(HitCase{1, 0, true}, HitCase{1, 1, false},
                                           HitCase{1, 2, false}, HitCase{3, 1, true},
                                           HitCase{3, 2, true}, HitCase{3, 3, false},
                                           HitCase{3, 4, false}, HitCase{-1, 1, true},
                                           HitCase{-1, 50, true}, HitCase{0, 0, true},
                                           HitCase{0, 1, false}));

TEST(Brick, fourArgumentFormTakesOneHit)
{
    Sprite sprite;
    Brick brick(sprite.surface, 8, 8, 70);
    EXPECT_TRUE(brick.isVisible());
    brick.registerHit();
    EXPECT_FALSE(brick.isVisible());
}

TEST(Brick, rectangleHasItsPositionAndTheImageSize)
{
    Sprite sprite;
    Brick brick(sprite.surface, 56, 40, 60);
    SDL_Rect* rect = brick.getRect();
    EXPECT_EQ(brick.getRect(), rect); // its own rectangle, not a copy
    EXPECT_EQ(rect->x, 56);
    EXPECT_EQ(rect->y, 40);
    EXPECT_EQ(rect->w, 48);
    EXPECT_EQ(rect->h, 24);
    EXPECT_EQ(brick.getSprite(), sprite.surface);
}

TEST(Brick, positionsKeepTheirLowSixteenBits)
{
    Sprite sprite;
    Brick far(sprite.surface, 40000, 70000, 10);
    EXPECT_EQ(far.getRect()->x, -25536);
    EXPECT_EQ(far.getRect()->y, 4464);
}

} // namespace
