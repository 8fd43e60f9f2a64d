// Pellaro: a brick-breaking game. The entry with its level and frame loops, the
// steps of a frame, and the loaders for level files and sprites.

#include "main.h"

#include "Brick.h"

#include <SDL.h>
#include <SDL_ttf.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace {

// The window and the pace.
const int screenWidth = 640;
const int screenHeight = 480;
const int screenDepth = 32;
const int frameDelay = 20; // ms
const int fontSize = 14;

// Play.
const int startLives = 3;
const int batStep = 8;         // pixels per frame while an arrow is held
const int batTravelWidth = 96; // the bat may go right only while x < W - 96
const int batLift = 48;        // the bat's top lies this far above the bottom
const int ballExtent = 16;     // the ball's size as the walls and the bat see it
const int maxBallDy = 8;
const int bounceDivisor = 6;
const int hudMargin = 8; // texts end this far above the bottom
const int scoreLeft = 16;

// The wall; its rows and columns are in main.h.
const int wallLeft = 8;
const int wallTop = 8;
const int cellWidth = 48;
const int cellHeight = 32;
const int brickKinds = 9;

const SDL_Color white = {255, 255, 255, 0};
const SDL_Color darkBlue = {0, 0, 64, 0};

// ---------------------------------------------------------------- level files

// The brick a cell calls for: '1' (70 points) to '7' (10 points) break at the
// first hit, '8' at the third for 100, '9' never.
Brick* makeBrick(char cell, SDL_Surface** brickSprites, int x, int y)
{
    if (cell >= '1' && cell <= '7') {
        int kind = cell - '1';
        return new Brick(brickSprites[kind], x, y, (7 - kind) * 10);
    }
    if (cell == '8')
        return new Brick(brickSprites[7], x, y, 100, 3);
    if (cell == '9')
        return new Brick(brickSprites[8], x, y, 0, -1);
    return nullptr;
}

// A directory opens like a file but cannot be read, so try a read as well.
bool isReadable(const std::string& name)
{
    std::ifstream file(name);
    file.peek();
    return file.is_open() && !file.bad();
}

// ---------------------------------------------------------------- sprites

// SDL keeps a BMP's bit count in a byte, so a malformed header can give an
// image in a format that its blitter cannot draw: a depth outside 8, 15, 16,
// 24 and 32, or 8 bits without a palette.
bool isDrawable(const SDL_PixelFormat* format)
{
    switch (format->BitsPerPixel) {
    case 8:
        return format->BytesPerPixel == 1 && format->palette;
    case 15:
    case 16:
        return format->BytesPerPixel == 2;
    case 24:
        return format->BytesPerPixel == 3;
    case 32:
        return format->BytesPerPixel == 4;
    default:
        return false;
    }
}

// Loads one sprite; an image that cannot be drawn counts as a file that would not load.
SDL_Surface* loadSprite(const char* name)
{
    SDL_Surface* sprite = SDL_LoadBMP(name);
    if (sprite && !isDrawable(sprite->format)) {
        SDL_FreeSurface(sprite);
        return nullptr;
    }
    return sprite;
}

// ---------------------------------------------------------------- frame steps

// Applies every pending event in the order it came. Space launches only a ball
// that the ball step has already put on the bat.
void handleEvents(bool& quit, int& batSpeed, bool& ballHeld, bool ballOnBat)
{
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        switch (event.type) {
        case SDL_KEYDOWN:
            switch (event.key.keysym.sym) {
            case SDLK_LEFT:
                batSpeed = -batStep;
                break;
            case SDLK_RIGHT:
                batSpeed = batStep;
                break;
            case SDLK_SPACE:
                if (ballHeld && ballOnBat)
                    ballHeld = false;
                break;
            case SDLK_ESCAPE:
                quit = true;
                break;
            default:
                break;
            }
            break;
        case SDL_KEYUP:
            batSpeed = 0;
            break;
        case SDL_QUIT:
            quit = true;
            break;
        default:
            break;
        }
    }
}

void centreBat(SDL_Rect& batRect, const SDL_Surface* screen, const SDL_Surface* batSprite)
{
    batRect.x = static_cast<Sint16>((screen->w - batSprite->w) / 2);
    batRect.y = static_cast<Sint16>(screen->h - batLift);
}

// Each limit is tested before the move, so the bat may end a step past it.
void moveBat(SDL_Rect& batRect, int batSpeed, const SDL_Surface* screen)
{
    if (batRect.x > 0 && batSpeed < 0)
        batRect.x = static_cast<Sint16>(batRect.x + batSpeed);
    if (batRect.x < screen->w - batTravelWidth && batSpeed > 0)
        batRect.x = static_cast<Sint16>(batRect.x + batSpeed);
}

// The held ball rests two thirds along the bat, ready to leave at the level's speed.
void holdBall(SDL_Rect& ballRect, int& ballDy, const SDL_Rect& batRect, int level)
{
    ballRect.x = static_cast<Sint16>(batRect.x + (2 * batRect.w) / 3);
    ballRect.y = static_cast<Sint16>(batRect.y - ballRect.h);
    ballDy = level + 4;
    if (ballDy > maxBallDy)
        ballDy = maxBallDy;
}

// Moves the ball in flight and bounces it off the left, right and top walls, in
// that order. Returns true when the ball has reached the bottom.
bool moveBall(SDL_Rect& ballRect, int& ballDx, int& ballDy, const SDL_Surface* screen)
{
    ballRect.x = static_cast<Sint16>(ballRect.x + ballDx);
    ballRect.y = static_cast<Sint16>(ballRect.y + ballDy);
    if (ballRect.x <= 0) {
        ballRect.x = 0;
        ballDx = -ballDx;
    }
    if (ballRect.x >= screen->w - ballExtent) {
        ballRect.x = static_cast<Sint16>(screen->w - ballExtent);
        ballDx = -ballDx;
    }
    if (ballRect.y <= 0) {
        ballRect.y = 0;
        ballDy = -ballDy;
    }
    return ballRect.y >= screen->h - ballExtent;
}

// A ball coming down onto the upper half of the bat goes back up, its horizontal
// speed taken from where it struck. This runs on a held ball too, which is how
// it comes to carry the speed it will be launched with.
void bounceOffBat(const SDL_Rect& ballRect, const SDL_Rect& batRect, int& ballDx, int& ballDy)
{
    if (ballRect.x >= batRect.x && ballRect.x + ballRect.w <= batRect.x + batRect.w &&
        ballRect.y + ballExtent >= batRect.y &&
        ballRect.y + ballExtent <= batRect.y + batRect.h / 2 && ballDy > 0) {
        int batCentre = batRect.x + batRect.w / 2;
        int ballCentre = ballRect.x + ballRect.w / 2;
        ballDx = (ballCentre - batCentre) / bounceDivisor;
        if (ballDx == 0)
            ballDx = 1;
        ballDy = -ballDy;
    }
}

bool overlaps(const SDL_Rect& a, const SDL_Rect& b)
{
    return a.x + a.w > b.x && a.x < b.x + b.w && a.y + a.h > b.y && a.y < b.y + b.h;
}

// Draws each standing brick, then tests it against the ball. The first brick the
// ball overlaps takes the frame's one hit; later bricks are still drawn.
void runBrickPass(SDL_Surface* screen, Brick** bricks, unsigned brickCount,
                  const SDL_Rect& ballRect, int& ballDx, int& ballDy, unsigned& bricksLeft,
                  int& score)
{
    bool hitThisFrame = false;
    for (unsigned i = 0; i < brickCount; i++) {
        Brick* brick = bricks[i];
        if (!brick->isVisible())
            continue;
        SDL_Rect* rect = brick->getRect();
        SDL_BlitSurface(brick->getSprite(), nullptr, screen, rect);
        if (!overlaps(ballRect, *rect) || hitThisFrame)
            continue;

        // A ball that lay beside the brick before this frame's move struck its side.
        int previousLeft = ballRect.x - ballDx;
        int previousRight = ballRect.x + ballRect.w - ballDx;
        if (previousRight <= rect->x || previousLeft >= rect->x + rect->w)
            ballDx = -ballDx;
        else
            ballDy = -ballDy;

        brick->registerHit();
        hitThisFrame = true;
        if (!brick->isVisible()) {
            bricksLeft--;
            score += brick->getScore();
        }
    }
}

// Draws a text so that it ends hudMargin pixels above the bottom of the screen.
void drawBottomText(SDL_Surface* screen, SDL_Surface* text, int x)
{
    SDL_Rect rect;
    rect.x = static_cast<Sint16>(x);
    rect.y = static_cast<Sint16>(screen->h - text->h - hudMargin);
    rect.w = static_cast<Uint16>(text->w);
    rect.h = static_cast<Uint16>(text->h);
    SDL_BlitSurface(text, nullptr, screen, &rect);
}

// Draws the score, the lives and the title. The score and lives texts are made
// afresh and handed back, to be released once the frame is shown; a text that
// does not render is left out.
void drawHud(SDL_Surface* screen, TTF_Font* font, SDL_Color textColour, SDL_Color textBackground,
             int score, int lives, SDL_Surface* levelTitle, SDL_Surface*& scoreText,
             SDL_Surface*& livesText)
{
    scoreText = TTF_RenderText_Shaded(font, convertToString("Score: ", score).c_str(), textColour,
                                      textBackground);
    if (scoreText)
        drawBottomText(screen, scoreText, scoreLeft);

    livesText = TTF_RenderText_Shaded(font, convertToString("Lives: ", lives).c_str(), textColour,
                                      textBackground);
    if (livesText)
        drawBottomText(screen, livesText, screen->w - livesText->w - hudMargin);

    if (levelTitle)
        drawBottomText(screen, levelTitle, (screen->w - levelTitle->w) / 2);
}

} // namespace

// ---------------------------------------------------------------- helpers

std::string convertToString(const std::string& prefix, int number)
{
    return convertToString(prefix, number, "");
}

std::string convertToString(const std::string& prefix, int number, const std::string& suffix)
{
    std::ostringstream text;
    text << prefix << number << suffix;
    return text.str();
}

// ---------------------------------------------------------------- loaders

// A line ends at LF; a CR right before the LF belongs to the line end.
std::string readField(std::istream& in, int limit)
{
    std::string text;
    if (!in.good())
        return text;
    for (;;) {
        int c = in.get();
        if (c == std::char_traits<char>::eof() || c == '\n')
            return text;
        if (c == '\r' && in.peek() == '\n') {
            in.get();
            return text;
        }
        if (static_cast<int>(text.size()) == limit) {
            in.setstate(std::ios::failbit);
            return text;
        }
        text.push_back(static_cast<char>(c));
    }
}

bool isBrickCell(char cell)
{
    return cell >= '1' && cell <= '9';
}

bool isBreakableCell(char cell)
{
    return cell >= '1' && cell <= '8';
}

bool loadLevel(int level, SDL_Surface*& levelTitle, TTF_Font* font, SDL_Surface** brickSprites,
               unsigned& bricksLeft, Brick**& bricks, unsigned& brickCount)
{
    // A file that cannot be opened reads as empty: a level without bricks.
    std::ifstream file(convertToString("level", level, ".txt"));

    std::string title = readField(file, titleLimit);
    levelTitle = TTF_RenderText_Shaded(font, title.c_str(), white, darkBlue);

    int rowCount = std::atoi(readField(file, rowCountLimit).c_str());
    if (rowCount < 0)
        rowCount = 0;

    // Rows past the wall are still read, so that the flag after them is found.
    std::string rows[wallRows];
    brickCount = 0;
    for (int r = 0; r < rowCount; r++) {
        std::string row = readField(file, rowLimit);
        if (r >= wallRows)
            continue;
        rows[r] = row;
        for (char cell : row) {
            if (isBrickCell(cell))
                brickCount++;
            if (isBreakableCell(cell))
                bricksLeft++;
        }
    }

    // The table ends with a null entry, so that it can be released without its count.
    releaseBricks(bricks);
    bricks = new Brick*[brickCount + 1];
    unsigned next = 0;
    for (int r = 0; r < wallRows; r++) {
        for (std::size_t c = 0; c < rows[r].size(); c++) {
            int x = wallLeft + cellWidth * static_cast<int>(c);
            int y = wallTop + cellHeight * r;
            Brick* brick = makeBrick(rows[r][c], brickSprites, x, y);
            if (brick)
                bricks[next++] = brick;
        }
    }
    bricks[next] = nullptr;

    std::string flag = readField(file, flagLimit);
    return !flag.empty() && flag[0] == '1';
}

void releaseBricks(Brick**& bricks)
{
    if (!bricks)
        return;
    for (Brick** entry = bricks; *entry; entry++)
        delete *entry;
    delete[] bricks;
    bricks = nullptr;
}

bool loadBaseGraphics(SDL_PixelFormat* displayFormat, SDL_Surface*& batSprite,
                      SDL_Surface*& ballSprite, SDL_Surface** brickSprites)
{
    batSprite = loadSprite("bat.bmp");
    if (!batSprite)
        return false;
    ballSprite = loadSprite("ball.bmp");
    if (!ballSprite)
        return false;

    char name[] = "brick .bmp";
    for (int i = 0; i < brickKinds; i++) {
        name[5] = static_cast<char>('1' + i);
        brickSprites[i] = loadSprite(name);
        if (!brickSprites[i])
            return false;
    }

    // Keyed only once every image has loaded, with the display's value of pure red.
    Uint32 key = SDL_MapRGB(displayFormat, 255, 0, 0);
    SDL_SetColorKey(batSprite, SDL_SRCCOLORKEY | SDL_RLEACCEL, key);
    SDL_SetColorKey(ballSprite, SDL_SRCCOLORKEY | SDL_RLEACCEL, key);
    for (int i = 0; i < brickKinds; i++)
        SDL_SetColorKey(brickSprites[i], SDL_SRCCOLORKEY | SDL_RLEACCEL, key);
    return true;
}

// ---------------------------------------------------------------- the game

int main(int argc, char* argv[])
{
    (void)argc; // the game takes no arguments
    (void)argv;

    // The game state.
    int score = 0;
    int lives = startLives;
    int level = 1;
    unsigned bricksLeft = 0;
    unsigned brickCount = 0;
    Brick** bricks = nullptr;
    bool ballHeld = true;
    bool ballOnBat = false; // the held ball has been put on the bat since it was caught
    SDL_Rect ballRect = {0, 0, 0, 0};
    SDL_Rect batRect = {0, 0, 0, 0};
    int batSpeed = 0;
    int ballDx = 4;
    int ballDy = -4;
    bool quit = false;
    bool moreLevels = true;
    SDL_Surface* screen = nullptr;
    TTF_Font* font = nullptr;
    SDL_Color textColour = white;
    SDL_Color textBackground = darkBlue;
    SDL_Surface* levelTitle = nullptr;
    SDL_Surface* batSprite = nullptr;
    SDL_Surface* ballSprite = nullptr;
    SDL_Surface* brickSprites[brickKinds] = {};

    // Start-up.
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_NOPARACHUTE) < 0) {
        std::printf("Unable to init SDL: %s\n", SDL_GetError());
        return 1;
    }
    SDL_WM_SetCaption("Pellaro v1.0a - by Fendral", "Pellaro");
    if (TTF_Init() == -1) {
        std::printf("Unable to initialise TTF libary: %s\n", SDL_GetError());
        return 3;
    }
    font = TTF_OpenFont("VeraMono.ttf", fontSize);
    if (!font) {
        std::printf("Failed to load font properly: %s\n", SDL_GetError());
        return 4;
    }
    std::atexit(SDL_Quit);

    screen =
        SDL_SetVideoMode(screenWidth, screenHeight, screenDepth, SDL_HWSURFACE | SDL_DOUBLEBUF);
    if (!screen) {
        std::printf("Unable to set 640x480 video: %s\n", SDL_GetError());
        return 1;
    }
    if (!loadBaseGraphics(screen->format, batSprite, ballSprite, brickSprites)) {
        std::printf("Unable to load base graphics.");
        return 2;
    }
    ballRect.w = static_cast<Uint16>(ballSprite->w);
    ballRect.h = static_cast<Uint16>(ballSprite->h);
    batRect.w = static_cast<Uint16>(batSprite->w);
    batRect.h = static_cast<Uint16>(batSprite->h);

    // Without a first level the game would end at once as if it had been won.
    if (!isReadable("level1.txt")) {
        std::printf("Unable to open level1.txt\n");
        return 5;
    }

    // The level loop.
    while (moreLevels && lives > 0 && !quit) {
        centreBat(batRect, screen, batSprite);
        ballHeld = true;
        ballOnBat = false;
        bricksLeft = 0;
        brickCount = 0;
        moreLevels =
            loadLevel(level, levelTitle, font, brickSprites, bricksLeft, bricks, brickCount);

        // The frame loop.
        while (bricksLeft != 0 && !quit && lives > 0) {
            handleEvents(quit, batSpeed, ballHeld, ballOnBat);

            moveBat(batRect, batSpeed, screen);
            if (ballHeld) {
                holdBall(ballRect, ballDy, batRect, level);
                ballOnBat = true;
            } else if (moveBall(ballRect, ballDx, ballDy, screen)) {
                // Lost: the ball is drawn at the bottom once more, then held.
                centreBat(batRect, screen, batSprite);
                ballHeld = true;
                ballOnBat = false;
                lives--;
            }
            bounceOffBat(ballRect, batRect, ballDx, ballDy);

            SDL_FillRect(screen, nullptr, SDL_MapRGB(screen->format, 0, 0, 0));
            runBrickPass(screen, bricks, brickCount, ballRect, ballDx, ballDy, bricksLeft, score);
            SDL_BlitSurface(ballSprite, nullptr, screen, &ballRect);
            SDL_BlitSurface(batSprite, nullptr, screen, &batRect);
            SDL_Surface* scoreText = nullptr;
            SDL_Surface* livesText = nullptr;
            drawHud(screen, font, textColour, textBackground, score, lives, levelTitle, scoreText,
                    livesText);

            SDL_Flip(screen);
            if (scoreText)
                SDL_FreeSurface(scoreText);
            if (livesText)
                SDL_FreeSurface(livesText);

            SDL_Delay(frameDelay);
        }

        if (bricksLeft == 0) {
            level++;
            SDL_FreeSurface(levelTitle);
            levelTitle = nullptr;
        }
    }

    // Shutdown.
    SDL_FreeSurface(batSprite);
    SDL_FreeSurface(ballSprite);
    for (int i = 0; i < brickKinds; i++)
        SDL_FreeSurface(brickSprites[i]);
    releaseBricks(bricks);
    SDL_FreeSurface(levelTitle);
    TTF_CloseFont(font);
    std::printf("Exited cleanly\n");
    return 0;
}
