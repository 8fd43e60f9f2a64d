// Any bytes as level1.txt: loading them twice in a row must give a table of
// valid bricks inside the wall, count its breakable bricks into bricksLeft,
// and release the first table (the leak checker sees to that).
#include "Brick.h"
#include "main.h"
#include "scratch.h"

#include <SDL.h>
#include <SDL_ttf.h>

namespace {

TTF_Font* font;
SDL_Surface* brickSprites[9];

int spriteIndex(Brick* brick)
{
    for (int i = 0; i < 9; i++)
        if (brick->getSprite() == brickSprites[i])
            return i;
    return -1;
}

void checkTable(Brick** bricks, unsigned brickCount, unsigned added)
{
    if (brickCount > 11 * 13)
        fail("more bricks than the wall holds");
    unsigned breakable = 0;
    for (unsigned i = 0; i < brickCount; i++) {
        Brick* brick = bricks[i];
        if (!brick || !brick->isVisible())
            fail("entry is not a standing brick");
        int kind = spriteIndex(brick);
        if (kind < 0)
            fail("brick without one of the nine images");
        SDL_Rect* rect = brick->getRect();
        int column = (rect->x - 8) / 48;
        int row = (rect->y - 8) / 32;
        if (rect->x != 8 + 48 * column || column < 0 || column > 12 || rect->y != 8 + 32 * row ||
            row < 0 || row > 10)
            fail("brick outside the wall's grid");
        if (kind != 8)
            breakable++;
    }
    if (breakable != added)
        fail("bricksLeft did not grow by the breakable bricks");
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    enterScratchDirectory();
    if (TTF_Init() != 0 || !(font = TTF_OpenFont(PELLARO_FONT, 14)))
        fail("no font");
    for (SDL_Surface*& sprite : brickSprites)
        sprite = SDL_CreateRGBSurface(SDL_SWSURFACE, 48, 32, 32, 0, 0, 0, 0);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    writeFile("level1.txt", data, size);
    Brick** bricks = nullptr;
    unsigned bricksLeft = 7; // the loader adds to what is there
    for (int round = 0; round < 2; round++) {
        SDL_Surface* levelTitle = nullptr;
        unsigned brickCount = 0;
        unsigned before = bricksLeft;
        loadLevel(1, levelTitle, font, brickSprites, bricksLeft, bricks, brickCount);
        checkTable(bricks, brickCount, bricksLeft - before);
        SDL_FreeSurface(levelTitle);
    }
    releaseBricks(bricks);
    return 0;
}
