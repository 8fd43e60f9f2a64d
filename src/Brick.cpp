#include "Brick.h"

Brick::Brick(SDL_Surface* sprite, int x, int y, int score) : Brick(sprite, x, y, score, 1) {}

Brick::Brick(SDL_Surface* sprite, int x, int y, int score, int hits)
    : sprite(sprite), rect(nullptr), x(x), y(y), hits(hits), score(score), destroyed(false)
{
    defineRect();
}

Brick::~Brick()
{
    delete rect;
}

bool Brick::isVisible() const
{
    return !destroyed;
}

int Brick::getScore() const
{
    return score;
}

// A negative count never reaches 0, so such a brick never breaks.
void Brick::registerHit()
{
    if (hits > 0)
        hits--;
    if (hits == 0)
        destroyed = true;
}

SDL_Rect* Brick::getRect()
{
    return rect;
}

SDL_Surface* Brick::getSprite()
{
    return sprite;
}

// The rectangle's fields are 16 bits wide: positions keep their low 16 bits.
void Brick::defineRect()
{
    rect = new SDL_Rect;
    rect->x = static_cast<Sint16>(x);
    rect->y = static_cast<Sint16>(y);
    rect->w = static_cast<Uint16>(sprite->w);
    rect->h = static_cast<Uint16>(sprite->h);
}
