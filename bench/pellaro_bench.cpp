// Times the real game in-process. Run it in a directory that holds the game's
// files.
//
//     pellaro_bench work FRAMES     frame work without the 20 ms wait (headless)
//     pellaro_bench period FRAMES   frame period with the real wait, start-up
//                                   time and peak memory (in a real window)
//
// Input is an autopilot that keeps the ball in play. Prints "name value"
// lines on standard error; the game's own line goes to standard output.
#include <SDL.h>

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <vector>

int SDL_main(int argc, char* argv[]);

namespace {

using Clock = std::chrono::steady_clock;

bool realWait = false;
long frameLimit = 0;
long frame = 0;
Clock::time_point frameStart;
std::vector<double> workMicroseconds;
std::vector<double> periodMicroseconds;
std::vector<long> allocationsPerFrame;
long allocations = 0;
double startupMilliseconds = -1;
Clock::time_point lastFlip;

// The bat and the ball are the first two images the game loads.
int loads = 0;
SDL_Surface* bat = nullptr;
SDL_Surface* ball = nullptr;
int batX = 0;
int ballX = 0;
long lastPolled = -1;

double since(Clock::time_point start, double unit)
{
    return std::chrono::duration<double>(Clock::now() - start).count() * unit;
}

double percentile(std::vector<double> values, double p)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    std::size_t index = static_cast<std::size_t>(p * static_cast<double>(values.size() - 1) + 0.5);
    return values[index];
}

// Nanoseconds since the epoch on the realtime clock, as `date +%s%N` gives them.
long long realtimeNanoseconds()
{
    timespec now;
    clock_gettime(CLOCK_REALTIME, &now);
    return static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

long long processStart = 0;

} // namespace

void* operator new(std::size_t size)
{
    allocations++;
    if (void* block = std::malloc(size ? size : 1))
        return block;
    throw std::bad_alloc();
}
void operator delete(void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }

extern "C" {

void __real_SDL_Delay(Uint32 ms);
int __real_SDL_Flip(SDL_Surface* screen);
int __real_SDL_UpperBlit(SDL_Surface* src, SDL_Rect* srcrect, SDL_Surface* dst, SDL_Rect* dstrect);
SDL_Surface* __real_SDL_LoadBMP_RW(SDL_RWops* src, int freesrc);

void __wrap_SDL_Delay(Uint32 ms)
{
    if (frame > 0) { // the first frame also pays for the level's start
        workMicroseconds.push_back(since(frameStart, 1e6));
        allocationsPerFrame.push_back(allocations);
    }
    if (realWait)
        __real_SDL_Delay(ms);
    frame++;
    allocations = 0;
    frameStart = Clock::now();
}

int __wrap_SDL_Flip(SDL_Surface* screen)
{
    int result = __real_SDL_Flip(screen);
    if (startupMilliseconds < 0)
        startupMilliseconds = processStart ? (realtimeNanoseconds() - processStart) / 1e6 : -1;
    else
        periodMicroseconds.push_back(since(lastFlip, 1e6));
    lastFlip = Clock::now();
    return result;
}

SDL_Surface* __wrap_SDL_LoadBMP_RW(SDL_RWops* src, int freesrc)
{
    SDL_Surface* surface = __real_SDL_LoadBMP_RW(src, freesrc);
    if (++loads == 1)
        bat = surface;
    else if (loads == 2)
        ball = surface;
    return surface;
}

int __wrap_SDL_UpperBlit(SDL_Surface* src, SDL_Rect* srcrect, SDL_Surface* dst, SDL_Rect* dstrect)
{
    if (src == ball)
        ballX = dstrect->x;
    else if (src == bat)
        batX = dstrect->x;
    return __real_SDL_UpperBlit(src, srcrect, dst, dstrect);
}

// One event a frame: chase the ball with the bat, launch it when it is held,
// and quit once the frames are done.
int __wrap_SDL_PollEvent(SDL_Event* event)
{
    if (lastPolled == frame)
        return 0;
    lastPolled = frame;
    std::memset(event, 0, sizeof *event);
    if (frame >= frameLimit) {
        event->type = SDL_QUIT;
        return 1;
    }
    event->type = SDL_KEYDOWN;
    int aim = ballX + 8 - (batX + 48);
    event->key.keysym.sym = aim < -8 ? SDLK_LEFT : aim > 8 ? SDLK_RIGHT : SDLK_SPACE;
    return 1;
}

} // extern "C"

int main(int argc, char* argv[])
{
    if (argc != 3 || (std::strcmp(argv[1], "work") != 0 && std::strcmp(argv[1], "period") != 0)) {
        std::fprintf(stderr, "usage: pellaro_bench work|period FRAMES\n");
        return 2;
    }
    realWait = std::strcmp(argv[1], "period") == 0;
    frameLimit = std::atol(argv[2]);
    if (const char* start = std::getenv("PELLARO_BENCH_START_NS"))
        processStart = std::atoll(start);

    char name[] = "pellaro";
    char* gameArgv[] = {name, nullptr};
    int code = SDL_main(1, gameArgv);
    std::fflush(stdout);
    if (code != 0) {
        std::fprintf(stderr, "the game exited with %d\n", code);
        return 1;
    }

    rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    std::vector<double> allocated(allocationsPerFrame.begin(), allocationsPerFrame.end());
    std::fprintf(stderr, "frames %zu\n", workMicroseconds.size() + 1);
    std::fprintf(stderr, "work_median_us %.1f\n", percentile(workMicroseconds, 0.5));
    std::fprintf(stderr, "work_p99_us %.1f\n", percentile(workMicroseconds, 0.99));
    std::fprintf(stderr, "work_max_us %.1f\n", percentile(workMicroseconds, 1.0));
    std::fprintf(stderr, "allocations_median %.0f\n", percentile(allocated, 0.5));
    std::fprintf(stderr, "allocations_max %.0f\n", percentile(allocated, 1.0));
    if (realWait) {
        std::fprintf(stderr, "period_median_us %.1f\n", percentile(periodMicroseconds, 0.5));
        std::fprintf(stderr, "period_p99_us %.1f\n", percentile(periodMicroseconds, 0.99));
        std::fprintf(stderr, "startup_ms %.1f\n", startupMilliseconds);
    }
    std::fprintf(stderr, "peak_rss_kb %ld\n", usage.ru_maxrss);
    return 0;
}
