#include "harness.h"

#include <sys/stat.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

using harness::firstSteps;
using harness::recorder;

namespace {

class StartupTest : public harness::GameTest
{
};

TEST_F(StartupTest, opensFontAndWindowInOrderBeforeTheFirstFrame)
{
    writeGameFiles();
    writeLevel(1, firstSteps);
    closeWindow(0);
    harness::GameResult run = play();
    EXPECT_EQ(run.exitCode, 0);
    std::vector<std::string> calls = recorder().calls;
    EXPECT_EQ(calls,
              (std::vector<std::string>{
                  "SDL_Init " + std::to_string(SDL_INIT_VIDEO | SDL_INIT_NOPARACHUTE),
                  "SDL_WM_SetCaption Pellaro v1.0a - by Fendral|Pellaro",
                  "TTF_Init",
                  "TTF_OpenFont VeraMono.ttf 14",
                  "SDL_SetVideoMode 640x480x32 " + std::to_string(SDL_HWSURFACE | SDL_DOUBLEBUF),
              }));
}

struct Failure
{
    const char* name;
    std::function<void(harness::GameTest&)> arrange; // spoils one thing after the files are made
    int exitCode;
    std::string output; // the whole of standard output
};

void PrintTo(const Failure& f, std::ostream* os)
{
    *os << f.name;
}

class StartupFailures : public StartupTest, public ::testing::WithParamInterface<Failure>
{
};

TEST_P(StartupFailures, printTheirMessageAndExitWithTheirCode)
{
    writeGameFiles();
    writeLevel(1, firstSteps);
    GetParam().arrange(*this);
    harness::GameResult run = play();
    EXPECT_EQ(run.exitCode, GetParam().exitCode);
    EXPECT_EQ(run.output, GetParam().output);
    EXPECT_TRUE(run.frames.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Table, StartupFailures,
    ::testing::Values(
        Failure{"sdlInit", [](harness::GameTest&) { recorder().failInit = true; }, 1,
                "Unable to init SDL: no video device here\n"},
        Failure{"ttfInit", [](harness::GameTest&) { recorder().failTtfInit = true; }, 3,
                "Unable to initialise TTF libary: no font engine\n"},
        Failure{"fontMissing", [](harness::GameTest&) { std::remove("VeraMono.ttf"); }, 4,
                "Failed to load font properly: Couldn't open VeraMono.ttf\n"},
        Failure{"fontCorrupt",
                [](harness::GameTest&) { harness::writeFile("VeraMono.ttf", "not a font"); }, 4,
                "Failed to load font properly: Couldn't load font file\n"},
        Failure{"fontDirectory",
                [](harness::GameTest&) {
                    std::remove("VeraMono.ttf");
                    mkdir("VeraMono.ttf", 0755);
                },
                4, "Failed to load font properly: Couldn't load font file\n"},
        Failure{"videoMode", [](harness::GameTest&) { recorder().failVideoMode = true; }, 1,
                "Unable to set 640x480 video: no such mode\n"},
        Failure{"batMissing", [](harness::GameTest&) { std::remove("bat.bmp"); }, 2,
                "Unable to load base graphics."},
        // SDL loads this ball into a format that it cannot draw.
        Failure{"ballUndrawable",
                [](harness::GameTest&) {
                    std::string bmp = harness::makeBmp(16, 16, [](int, int) { return 0xffffffu; });
                    bmp[28] = 0x01;
                    bmp[29] = 0x20;
                    harness::writeFile("ball.bmp", bmp);
                },
                2, "Unable to load base graphics."},
        Failure{"brickNineMissing", [](harness::GameTest&) { std::remove("brick9.bmp"); }, 2,
                "Unable to load base graphics."},
        Failure{"levelOneMissing", [](harness::GameTest&) { std::remove("level1.txt"); }, 5,
                "Unable to open level1.txt\n"},
        Failure{"levelOneDirectory",
                [](harness::GameTest&) {
                    std::remove("level1.txt");
                    mkdir("level1.txt", 0755);
                },
                5, "Unable to open level1.txt\n"}),
    [](const ::testing::TestParamInfo<Failure>& info) { return std::string(info.param.name); });

TEST_F(StartupTest, emptyFirstLevelEndsCleanlyWithoutAFrame)
{
    writeGameFiles();
    writeLevel(1, "");
    writeLevel(2, firstSteps);
    harness::GameResult run = play();
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.output, "Exited cleanly\n");
    EXPECT_TRUE(run.frames.empty());
}

TEST_F(StartupTest, argumentsAreIgnored)
{
    writeGameFiles();
    writeLevel(1, firstSteps);
    closeWindow(0);
    char name[] = "pellaro";
    char flag[] = "--level=7";
    char* argv[] = {name, flag, nullptr};
    testing::internal::CaptureStdout();
    int code = SDL_main(2, argv);
    std::string output = testing::internal::GetCapturedStdout();
    SDL_Quit();
    EXPECT_EQ(code, 0);
    EXPECT_EQ(output, "Exited cleanly\n");
    EXPECT_EQ(recorder().delays.size(), 1u);
    EXPECT_EQ(recorder().rendered.front(), "First steps");
}

} // namespace
