// Any bytes as ball.bmp beside ten good sprites: loading must succeed or fail
// cleanly, and whatever loads must draw onto the screen as the game draws it.
#include "main.h"
#include "scratch.h"

#include <SDL.h>

#include <filesystem>

namespace {
SDL_Surface* screen;
}

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    std::filesystem::path data = PELLARO_DATA_DIR;
    enterScratchDirectory();
    for (const auto& entry : std::filesystem::directory_iterator(data))
        if (entry.path().extension() == ".bmp")
            std::filesystem::copy_file(entry.path(), entry.path().filename());
    screen = SDL_CreateRGBSurface(SDL_SWSURFACE, 640, 480, 32, 0, 0, 0, 0);
    return screen ? 0 : 1;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    writeFile("ball.bmp", data, size);
    SDL_Surface* batSprite = nullptr;
    SDL_Surface* ballSprite = nullptr;
    SDL_Surface* brickSprites[9] = {};
    bool loaded = loadBaseGraphics(screen->format, batSprite, ballSprite, brickSprites);
    if (loaded != (ballSprite != nullptr))
        fail("result disagrees with what loaded");
    if (loaded) {
        // Drawn at the places where the ball can be, clipped at the edges too.
        SDL_Rect places[] = {{0, 0, 0, 0}, {624, 464, 0, 0}, {-8, 300, 0, 0}, {300, 470, 0, 0}};
        for (SDL_Rect place : places)
            SDL_BlitSurface(ballSprite, nullptr, screen, &place);
    }
    SDL_FreeSurface(batSprite);
    SDL_FreeSurface(ballSprite);
    for (SDL_Surface* sprite : brickSprites)
        SDL_FreeSurface(sprite);
    return 0;
}
