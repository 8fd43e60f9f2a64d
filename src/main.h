#ifndef PELLARO_MAIN_H
#define PELLARO_MAIN_H

#include <SDL.h>
#include <SDL_ttf.h>

#include <string>

class Brick;

// Composes prefix, number in decimal and suffix into one text.
std::string convertToString(const std::string& prefix, int number);
std::string convertToString(const std::string& prefix, int number, const std::string& suffix);

// Reads "level<N>.txt": renders its title, replaces the brick table, adds the
// breakable bricks to bricksLeft and tells whether another level follows.
bool loadLevel(int level, SDL_Surface*& levelTitle, TTF_Font* font, SDL_Surface** brickSprites,
               unsigned& bricksLeft, Brick**& bricks, unsigned& brickCount);

// Frees a brick table made by loadLevel, with its bricks, and sets it to null.
void releaseBricks(Brick**& bricks);

// Loads the bat, the ball and the nine brick images, keyed on pure red.
bool loadBaseGraphics(SDL_PixelFormat* displayFormat, SDL_Surface*& batSprite,
                      SDL_Surface*& ballSprite, SDL_Surface** brickSprites);

#endif
