#ifndef PELLARO_BRICK_H
#define PELLARO_BRICK_H

#include <SDL.h>

// One brick of the wall. It owns its rectangle; its image is shared with every
// brick of its kind and belongs to the sprite set.
class Brick
{
  public:
    Brick(SDL_Surface* sprite, int x, int y, int score);
    Brick(SDL_Surface* sprite, int x, int y, int score, int hits);
    ~Brick();

    // Bricks live in the table by pointer; a copy would free the rectangle twice.
    Brick(const Brick&) = delete;
    Brick& operator=(const Brick&) = delete;

    bool isVisible() const;
    int getScore() const;
    void registerHit();
    SDL_Rect* getRect();
    SDL_Surface* getSprite();

  private:
    void defineRect();

    SDL_Surface* sprite;
    SDL_Rect* rect;
    int x;
    int y;
    int hits; // -1 for a brick that never breaks
    int score;
    bool destroyed;
};

#endif
