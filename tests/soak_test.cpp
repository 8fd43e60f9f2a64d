// A long game on seeded random input: the game is restarted whenever it ends,
// until the frame count is reached. PELLARO_SOAK_FRAMES and PELLARO_SOAK_SEED
// set the length and the seed, so that a failure can be replayed.
#include "harness.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <string>

using harness::recorder;

#if defined(__SANITIZE_ADDRESS__)
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#endif

namespace {

long residentKilobytes()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::atol(line.c_str() + 6);
    return -1;
}

#if defined(__SANITIZE_ADDRESS__)
// ASan keeps freed blocks in quarantine, so the process grows whatever the
// game does; its allocator's count of live bytes is what must stay flat.
const char* const measure = "live heap";
long memoryKilobytes()
{
    return static_cast<long>(__sanitizer_get_current_allocated_bytes() / 1024);
}
#else
const char* const measure = "resident";
long memoryKilobytes()
{
    return residentKilobytes();
}
#endif

long environmentNumber(const char* name, long fallback)
{
    const char* value = std::getenv(name);
    return value && *value ? std::atol(value) : fallback;
}

class SoakTest : public harness::GameTest
{
};

TEST_F(SoakTest, randomPlayStaysWithinItsMemory)
{
    const long frames = environmentNumber("PELLARO_SOAK_FRAMES", 200000);
    const unsigned seed = static_cast<unsigned>(environmentNumber("PELLARO_SOAK_SEED", 20261211));
    std::printf("soak: %ld frames, seed %u\n", frames, seed);

    writeFont();
    for (const auto& entry : std::filesystem::directory_iterator(PELLARO_DATA_DIR))
        std::filesystem::copy_file(entry.path(), entry.path().filename());

    std::mt19937 random(seed);
    int ballX = 0;
    int batX = 0;
    long played = 0;
    long baseline = -1;
    long peak = 0;
    std::set<std::string> titles;

    harness::Recorder& rec = recorder();
    // The bat mostly chases the ball, so that levels get cleared; now and then
    // it does something random instead.
    rec.onBlit = [&](const std::string& item, const SDL_Rect& at) {
        if (item == "ball.bmp")
            ballX = at.x;
        else if (item == "bat.bmp")
            batX = at.x;
        else if (item.rfind("Score", 0) != 0 && item.rfind("Lives", 0) != 0 &&
                 item.find(".bmp") == std::string::npos)
            titles.insert(item);
    };
    int lastFrame = -1;
    int eventsThisFrame = 0;
    rec.input = [&](int frame, SDL_Event* event) {
        if (frame != lastFrame) {
            lastFrame = frame;
            eventsThisFrame = 0;
            if ((played + frame) % 1000 == 0) {
                long used = memoryKilobytes();
                if (baseline < 0 && played + frame >= 1000)
                    baseline = used;
                peak = std::max(peak, used);
            }
        }
        if (eventsThisFrame++ > 0)
            return false;
        *event = SDL_Event{};
        int choice = static_cast<int>(random() % 20);
        SDLKey keys[] = {SDLK_LEFT, SDLK_RIGHT, SDLK_SPACE, SDLK_a};
        if (choice < 17) {
            event->type = SDL_KEYDOWN;
            event->key.keysym.sym = ballX + 8 < batX + 40   ? SDLK_LEFT
                                    : ballX + 8 > batX + 56 ? SDLK_RIGHT
                                                            : SDLK_SPACE;
        } else if (choice < 19) {
            event->type = static_cast<Uint8>(random() % 2 ? SDL_KEYDOWN : SDL_KEYUP);
            event->key.keysym.sym = keys[random() % 4];
        } else {
            event->type = SDL_MOUSEMOTION; // not the game's: ignored
        }
        event->key.type = event->type;
        return true;
    };

    rec.recording = false;
    int games = 0;
    while (played < frames) {
        rec.frame = 0;
        rec.frameLimit = static_cast<int>(std::min<long>(frames - played, 50000));
        rec.sentQuit = false;
        harness::GameResult run = play();
        ASSERT_EQ(run.exitCode, 0);
        played += rec.frame;
        games++;
    }
    std::printf("soak: %ld frames in %d games through %zu levels; %s %ld kB at frame 1000, "
                "peak %ld kB after it; resident at the end %ld kB\n",
                played, games, titles.size(), measure, baseline, peak, residentKilobytes());
    EXPECT_GE(titles.size(), 2u) << "no level was ever cleared";
    ASSERT_GT(baseline, 0);
    EXPECT_LE(peak - baseline, 1024) << measure << " memory grew during play";
}

} // namespace
