#ifndef PELLARO_MAIN_H
#define PELLARO_MAIN_H

#include <SDL.h>
#include <SDL_ttf.h>

#include <string>

#include <istream>

class Brick;

// Level files: the most characters that each line's field holds.
const int titleLimit = 254;
const int rowCountLimit = 2;
const int rowLimit = 13;
const int flagLimit = 1;

// The wall: row lines beyond the eleventh hold no bricks.
const int wallRows = 11;
const int wallColumns = 13;

// Reads one line of a level file, at most `limit` characters of it. A line
// longer than that, or the end of the file, leaves the stream failed, so that
// every later read gives empty text.
std::string readField(std::istream& in, int limit);

// '1' to '9' make bricks; all but '9' can be broken.
bool isBrickCell(char cell);
bool isBreakableCell(char cell);

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
