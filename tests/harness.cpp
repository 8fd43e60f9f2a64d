#include "harness.h"

#include "main.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace harness {

Recorder& recorder()
{
    static Recorder instance;
    return instance;
}

void resetRecorder()
{
    recorder() = Recorder();
    recorder().frames.resize(1);
}

const char* const firstSteps = "First steps\n"
                               "3\n"
                               "1111111111111\n"
                               "2  8  9  8  2\n"
                               "7\n"
                               "1\n";

const Draw* Frame::find(const std::string& item) const
{
    for (const Draw& draw : draws)
        if (draw.item == item)
            return &draw;
    return nullptr;
}

std::vector<std::string> Frame::items() const
{
    std::vector<std::string> result;
    for (const Draw& draw : draws)
        result.push_back(draw.item);
    return result;
}

namespace {

void putLe(std::string& out, Uint32 value, int bytes)
{
    for (int i = 0; i < bytes; i++)
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xff));
}

std::string nameOf(const SDL_Surface* surface)
{
    auto found = recorder().names.find(surface);
    return found == recorder().names.end() ? std::string("?") : found->second;
}

} // namespace

std::string makeBmp(int w, int h, const std::function<Uint32(int, int)>& colour)
{
    int stride = (w * 3 + 3) & ~3;
    std::string out = "BM";
    putLe(out, 54 + stride * h, 4);
    putLe(out, 0, 4);
    putLe(out, 54, 4);
    putLe(out, 40, 4);
    putLe(out, static_cast<Uint32>(w), 4);
    putLe(out, static_cast<Uint32>(h), 4);
    putLe(out, 1, 2);
    putLe(out, 24, 2);
    putLe(out, 0, 4);
    putLe(out, static_cast<Uint32>(stride * h), 4);
    putLe(out, 2835, 4);
    putLe(out, 2835, 4);
    putLe(out, 0, 4);
    putLe(out, 0, 4);
    for (int y = h - 1; y >= 0; y--) {
        std::string row;
        for (int x = 0; x < w; x++)
            putLe(row, colour(x, y), 3); // little-endian 0xRRGGBB is B, G, R
        row.resize(static_cast<std::size_t>(stride), '\0');
        out += row;
    }
    return out;
}

void writeFile(const std::string& name, const std::string& content)
{
    std::ofstream file(name, std::ios::binary);
    file << content;
    ASSERT_TRUE(file.good()) << name;
}

std::pair<int, int> GameResult::at(int frame, const std::string& item) const
{
    if (frame < 0 || frame >= static_cast<int>(frames.size()))
        return notDrawn;
    const Draw* draw = frames[static_cast<std::size_t>(frame)].find(item);
    return draw ? std::make_pair(int(draw->before.x), int(draw->before.y)) : notDrawn;
}

bool GameResult::drew(int frame, const std::string& item) const
{
    return at(frame, item) != notDrawn;
}

std::string GameResult::text(int frame, const std::string& prefix) const
{
    if (frame < 0 || frame >= static_cast<int>(frames.size()))
        return "";
    for (const Draw& draw : frames[static_cast<std::size_t>(frame)].draws)
        if (draw.item.compare(0, prefix.size(), prefix) == 0)
            return draw.item;
    return "";
}

// ---------------------------------------------------------------- fixtures

void ScratchTest::SetUp()
{
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    home = std::filesystem::current_path();
    char pattern[] = "/tmp/pellaro-test-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir = pattern;
    ASSERT_EQ(chdir(dir.c_str()), 0);
    resetRecorder();
}

void ScratchTest::TearDown()
{
    if (chdir(home.c_str()) != 0)
        perror("chdir");
    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
}

void ScratchTest::writeSprites(const SpriteSizes& sizes)
{
    writeFile("bat.bmp", makeBmp(sizes.batW, sizes.batH, [](int, int) { return 0xc0c0ffu; }));
    writeFile("ball.bmp", makeBmp(sizes.ballW, sizes.ballH, [](int, int) { return 0xffffffu; }));
    for (int i = 1; i <= 9; i++) {
        Uint32 shade = 0x101010u * static_cast<Uint32>(i);
        writeFile("brick" + std::to_string(i) + ".bmp",
                  makeBmp(sizes.brickW, sizes.brickH, [shade](int, int) { return shade; }));
    }
}

void ScratchTest::writeFont()
{
    std::filesystem::copy_file(PELLARO_FONT, "VeraMono.ttf",
                               std::filesystem::copy_options::overwrite_existing);
}

void ScratchTest::writeLevel(int level, const std::string& content)
{
    writeFile("level" + std::to_string(level) + ".txt", content);
}

void LoaderTest::SetUp()
{
    ScratchTest::SetUp();
    ASSERT_EQ(TTF_Init(), 0);
    font = TTF_OpenFont(PELLARO_FONT, 14);
    ASSERT_NE(font, nullptr);
    for (SDL_Surface*& sprite : brickSprites)
        sprite = SDL_CreateRGBSurface(SDL_SWSURFACE, 48, 24, 32, 0, 0, 0, 0);
}

void LoaderTest::TearDown()
{
    releaseBricks(bricks);
    for (SDL_Surface* sprite : brickSprites)
        SDL_FreeSurface(sprite);
    TTF_CloseFont(font);
    ScratchTest::TearDown();
}

void GameTest::writeGameFiles(const SpriteSizes& sizes)
{
    writeSprites(sizes);
    writeFont();
}

namespace {
void queueKey(int frame, Uint8 type, SDLKey key)
{
    SDL_Event event = {};
    event.type = type;
    event.key.type = type;
    event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.sym = key;
    recorder().events[frame].push_back(event);
}
} // namespace

void GameTest::press(int frame, SDLKey key)
{
    queueKey(frame, SDL_KEYDOWN, key);
}

void GameTest::release(int frame, SDLKey key)
{
    queueKey(frame, SDL_KEYUP, key);
}

void GameTest::closeWindow(int frame)
{
    SDL_Event event = {};
    event.type = SDL_QUIT;
    recorder().events[frame].push_back(event);
}

void GameTest::putBall(int frame, int x, int y)
{
    recorder().ballPositions[frame] = {x, y};
}

GameResult GameTest::launchAndPut(const std::vector<std::pair<int, std::pair<int, int>>>& puts,
                                  int lastFrame)
{
    press(1, SDLK_SPACE);
    for (auto [frame, at] : puts)
        putBall(frame, at.first, at.second);
    if (lastFrame >= 0)
        closeWindow(lastFrame);
    return play();
}

// A start-up failure leaves the font open and the sprites loaded until the
// process exits; in-process, give them back so that leak checks see the rest.
void releaseLeftovers()
{
    Recorder& rec = recorder();
    std::vector<SDL_Surface*> sprites;
    for (auto [surface, name] : rec.names)
        if (name.size() > 4 && name.compare(name.size() - 4, 4, ".bmp") == 0)
            sprites.push_back(const_cast<SDL_Surface*>(surface));
    for (SDL_Surface* sprite : sprites)
        SDL_FreeSurface(sprite);
    if (rec.font)
        TTF_CloseFont(rec.font);
    rec.font = nullptr;
}

GameResult GameTest::play()
{
    char name[] = "pellaro";
    char* argv[] = {name, nullptr};
    GameResult result;
    testing::internal::CaptureStdout();
    result.exitCode = SDL_main(1, argv);
    result.output = testing::internal::GetCapturedStdout();
    if (result.exitCode != 0)
        releaseLeftovers();
    Recorder& rec = recorder();
    rec.frames.resize(std::min(rec.frames.size(), static_cast<std::size_t>(rec.frame)));
    result.frames = rec.frames;
    result.delays = rec.delays;
    result.probed = rec.probed;
    result.flips = rec.flips;
    result.sentQuit = rec.sentQuit;
    SDL_Quit(); // the next run starts from a clean SDL
    return result;
}

} // namespace harness

// ---------------------------------------------------------------- interposed calls

using harness::recorder;

namespace {
void record(const std::string& call)
{
    if (recorder().recording)
        recorder().calls.push_back(call);
}
} // namespace

extern "C" {

int __real_SDL_Init(Uint32 flags);
SDL_Surface* __real_SDL_SetVideoMode(int width, int height, int bpp, Uint32 flags);
int __real_TTF_Init(void);
void __real_SDL_WM_SetCaption(const char* title, const char* icon);
TTF_Font* __real_TTF_OpenFont(const char* file, int ptsize);
int __real_SDL_Flip(SDL_Surface* screen);
int __real_SDL_UpperBlit(SDL_Surface* src, SDL_Rect* srcrect, SDL_Surface* dst, SDL_Rect* dstrect);
SDL_Surface* __real_TTF_RenderText_Shaded(TTF_Font* font, const char* text, SDL_Color fg,
                                          SDL_Color bg);
SDL_RWops* __real_SDL_RWFromFile(const char* file, const char* mode);
SDL_Surface* __real_SDL_LoadBMP_RW(SDL_RWops* src, int freesrc);
void __real_SDL_FreeSurface(SDL_Surface* surface);

int __wrap_SDL_Init(Uint32 flags)
{
    record("SDL_Init " + std::to_string(flags));
    if (recorder().failInit) {
        SDL_SetError("no video device here");
        return -1;
    }
    return __real_SDL_Init(flags);
}

SDL_Surface* __wrap_SDL_SetVideoMode(int width, int height, int bpp, Uint32 flags)
{
    record("SDL_SetVideoMode " + std::to_string(width) + "x" + std::to_string(height) + "x" +
           std::to_string(bpp) + " " + std::to_string(flags));
    if (recorder().failVideoMode) {
        SDL_SetError("no such mode");
        return nullptr;
    }
    return __real_SDL_SetVideoMode(width, height, bpp, flags);
}

void __wrap_SDL_WM_SetCaption(const char* title, const char* icon)
{
    record(std::string("SDL_WM_SetCaption ") + title + "|" + icon);
    __real_SDL_WM_SetCaption(title, icon);
}

int __wrap_TTF_Init(void)
{
    record("TTF_Init");
    if (recorder().failTtfInit) {
        SDL_SetError("no font engine");
        return -1;
    }
    return __real_TTF_Init();
}

TTF_Font* __wrap_TTF_OpenFont(const char* file, int ptsize)
{
    record(std::string("TTF_OpenFont ") + file + " " + std::to_string(ptsize));
    recorder().font = __real_TTF_OpenFont(file, ptsize);
    return recorder().font;
}

int __wrap_SDL_PollEvent(SDL_Event* event)
{
    harness::Recorder& rec = recorder();
    int frame = rec.frame;
    auto pending = rec.events.find(frame);
    if (pending != rec.events.end() && !pending->second.empty()) {
        *event = pending->second.front();
        pending->second.erase(pending->second.begin());
        return 1;
    }
    if (frame >= rec.frameLimit && !rec.sentQuit) {
        rec.sentQuit = true;
        event->type = SDL_QUIT;
        return 1;
    }
    return rec.input && rec.input(frame, event) ? 1 : 0;
}

// Recorded, never slept: a frame index is the number of delays so far.
void __wrap_SDL_Delay(Uint32 ms)
{
    harness::Recorder& rec = recorder();
    rec.frame++;
    if (rec.recording) {
        rec.delays.push_back(ms);
        rec.frames.emplace_back();
    }
}

int __wrap_SDL_Flip(SDL_Surface* screen)
{
    harness::Recorder& rec = recorder();
    rec.flips++;
    if (!rec.probes.empty()) {
        std::vector<Uint32> colours;
        SDL_LockSurface(screen);
        for (auto [x, y] : rec.probes) {
            Uint8* row = static_cast<Uint8*>(screen->pixels) + y * screen->pitch;
            Uint32 pixel = reinterpret_cast<Uint32*>(row)[x];
            Uint8 r, g, b;
            SDL_GetRGB(pixel, screen->format, &r, &g, &b);
            colours.push_back(Uint32(r) << 16 | Uint32(g) << 8 | b);
        }
        SDL_UnlockSurface(screen);
        rec.probed.push_back(colours);
    }
    return __real_SDL_Flip(screen);
}

int __wrap_SDL_UpperBlit(SDL_Surface* src, SDL_Rect* srcrect, SDL_Surface* dst, SDL_Rect* dstrect)
{
    harness::Recorder& rec = recorder();
    harness::Draw draw;
    draw.item = harness::nameOf(src);
    draw.before = dstrect ? *dstrect : SDL_Rect{0, 0, 0, 0};
    int result = __real_SDL_UpperBlit(src, srcrect, dst, dstrect);
    draw.after = dstrect ? *dstrect : SDL_Rect{0, 0, 0, 0};
    if (rec.recording && !rec.frames.empty())
        rec.frames.back().draws.push_back(draw);

    if (rec.onBlit)
        rec.onBlit(draw.item, *dstrect);
    int frame = rec.frame;
    auto moved = rec.ballPositions.find(frame);
    if (draw.item == "ball.bmp" && dstrect && moved != rec.ballPositions.end()) {
        dstrect->x = static_cast<Sint16>(moved->second.first);
        dstrect->y = static_cast<Sint16>(moved->second.second);
    }
    return result;
}

SDL_Surface* __wrap_TTF_RenderText_Shaded(TTF_Font* font, const char* text, SDL_Color fg,
                                          SDL_Color bg)
{
    harness::Recorder& rec = recorder();
    if (rec.recording)
        rec.rendered.push_back(text);
    if (rec.failText && rec.failText(text))
        return nullptr;
    SDL_Surface* surface = __real_TTF_RenderText_Shaded(font, text, fg, bg);
    if (surface)
        rec.names[surface] = text;
    return surface;
}

SDL_RWops* __wrap_SDL_RWFromFile(const char* file, const char* mode)
{
    recorder().lastOpened = file;
    if (recorder().recording)
        recorder().opened.push_back(file);
    return __real_SDL_RWFromFile(file, mode);
}

SDL_Surface* __wrap_SDL_LoadBMP_RW(SDL_RWops* src, int freesrc)
{
    SDL_Surface* surface = __real_SDL_LoadBMP_RW(src, freesrc);
    if (surface)
        recorder().names[surface] = recorder().lastOpened;
    return surface;
}

void __wrap_SDL_FreeSurface(SDL_Surface* surface)
{
    harness::Recorder& rec = recorder();
    auto found = rec.names.find(surface);
    if (found != rec.names.end()) {
        if (rec.recording)
            rec.freed.push_back(found->second);
        rec.names.erase(found);
    }
    __real_SDL_FreeSurface(surface);
}

} // extern "C"
