// The test harness: plays the real game in-process, in a scratch directory,
// with SDL's calls interposed at link time to script input and record drawing.
#ifndef PELLARO_TESTS_HARNESS_H
#define PELLARO_TESTS_HARNESS_H

#include <SDL.h>
#include <SDL_ttf.h>
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

class Brick;

// The game's entry, renamed from main in the test build.
int SDL_main(int argc, char* argv[]);

namespace harness {

// One blit onto the screen.
struct Draw
{
    std::string item; // a sprite's file name, or a rendered text's words
    SDL_Rect before;  // the destination as the game handed it over
    SDL_Rect after;   // the destination as the blit wrote it back
};

// The draws made before one flip.
struct Frame
{
    std::vector<Draw> draws;
    const Draw* find(const std::string& item) const; // the first draw of item, or null
    std::vector<std::string> items() const;
};

struct Recorder
{
    // The script.
    std::map<int, std::vector<SDL_Event>> events;     // polled in the frame of that index
    std::map<int, std::pair<int, int>> ballPositions; // ball moved there after that frame's drawing
    int frameLimit = 5000;                            // a runaway game is sent a quit after this
    bool failInit = false;
    bool failVideoMode = false;
    bool failTtfInit = false;
    std::function<bool(const std::string&)> failText; // texts that render to nothing
    bool recording = true;                            // off where a test counts allocations
    // Further input once the script has none for a frame: fills the event and
    // returns true, or returns false when there is nothing more this frame.
    std::function<bool(int frame, SDL_Event*)> input;
    // Told of every blit with its item and its destination after the blit.
    std::function<void(const std::string& item, const SDL_Rect& at)> onBlit;
    std::vector<std::pair<int, int>> probes; // screen pixels read at every flip

    // What happened.
    int frame = 0;                  // frames finished so far: the index of the frame being played
    std::vector<std::string> calls; // start-up calls with their arguments, in order
    std::vector<Frame> frames;      // frames[i]: the draws made before flip i
    std::vector<std::vector<Uint32>> probed; // per flip, each probe's colour as 0xRRGGBB
    std::vector<Uint32> delays;
    std::vector<std::string> rendered; // every text rendered, title included
    std::vector<std::string> opened;   // every file opened through SDL
    std::vector<std::string> freed;    // every named surface released
    std::map<const SDL_Surface*, std::string> names;
    int flips = 0;
    bool sentQuit = false;
    std::string lastOpened;
    TTF_Font* font = nullptr; // the last font opened
};

Recorder& recorder();
void resetRecorder();

// Frees what a start-up failure leaves to the process's exit.
void releaseLeftovers();

// A 24-bit BMP of w x h whose pixel (x, y) is colour(x, y) as 0xRRGGBB.
std::string makeBmp(int w, int h, const std::function<Uint32(int, int)>& colour);
void writeFile(const std::string& name, const std::string& content);

// The six-line level that serves as the common example.
extern const char* const firstSteps;

struct GameResult
{
    int exitCode = -1;
    std::string output;
    std::vector<Frame> frames;
    std::vector<Uint32> delays;
    std::vector<std::vector<Uint32>> probed;
    int flips = 0;
    bool sentQuit = false;

    // Where an item was drawn in a frame (its destination before the blit), or
    // {-9999, -9999} when it was not drawn then.
    std::pair<int, int> at(int frame, const std::string& item) const;
    std::pair<int, int> ball(int frame) const { return at(frame, "ball.bmp"); }
    std::pair<int, int> bat(int frame) const { return at(frame, "bat.bmp"); }
    bool drew(int frame, const std::string& item) const;
    // The score or lives text drawn in a frame, e.g. "Score: 70".
    std::string text(int frame, const std::string& prefix) const;
};

const std::pair<int, int> notDrawn = {-9999, -9999};

struct SpriteSizes
{
    int batW = 96, batH = 16;
    int ballW = 16, ballH = 16;
    int brickW = 48, brickH = 32;
};

// Each test gets its own working directory; the game finds its files there.
class ScratchTest : public ::testing::Test
{
  protected:
    void SetUp() override;
    void TearDown() override;

    void writeSprites(const SpriteSizes& sizes = SpriteSizes());
    void writeFont();
    void writeLevel(int level, const std::string& content);

    std::string home;
    std::string dir;
};

// For calling loadLevel directly: the font open, nine 48 x 24 brick images,
// and the brick table released at the end.
class LoaderTest : public ScratchTest
{
  protected:
    void SetUp() override;
    void TearDown() override;

    TTF_Font* font = nullptr;
    SDL_Surface* brickSprites[9] = {};
    Brick** bricks = nullptr;
};

class GameTest : public ScratchTest
{
  protected:
    // The sprites, the font and nothing else.
    void writeGameFiles(const SpriteSizes& sizes = SpriteSizes());

    // Input for the frame of the given index (0 is the first frame).
    void press(int frame, SDLKey key);
    void release(int frame, SDLKey key);
    void closeWindow(int frame);
    void putBall(int frame, int x, int y);

    // Space in frame 1 launches the ball that frame 0 put on the bat; after
    // frame f's drawing the ball is moved to puts[f]. The window is closed in
    // lastFrame, unless that is negative.
    GameResult launchAndPut(const std::vector<std::pair<int, std::pair<int, int>>>& puts,
                            int lastFrame);

    GameResult play();
};

} // namespace harness

#endif
