#include "Brick.h"
#include "allocations.h"
#include "harness.h"
#include "main.h"

#include <sys/stat.h>

#include <chrono>
#include <fstream>
#include <random>
#include <string>
#include <vector>

using namespace std::string_literals;
using harness::firstSteps;
using harness::recorder;

namespace {

class LevelTest : public harness::LoaderTest
{
  protected:
    void TearDown() override
    {
        SDL_FreeSurface(levelTitle);
        LoaderTest::TearDown();
    }

    bool load(int level = 1)
    {
        SDL_FreeSurface(levelTitle);
        levelTitle = nullptr;
        brickCount = 0;
        return loadLevel(level, levelTitle, font, brickSprites, bricksLeft, bricks, brickCount);
    }

    // The bricks as "x,y,kind,score" with kind the image's digit, in table order.
    std::vector<std::string> table()
    {
        std::vector<std::string> out;
        for (unsigned i = 0; i < brickCount; i++) {
            Brick* brick = bricks[i];
            int kind = 0;
            for (int k = 0; k < 9; k++)
                if (brick->getSprite() == brickSprites[k])
                    kind = k + 1;
            out.push_back(std::to_string(brick->getRect()->x) + "," +
                          std::to_string(brick->getRect()->y) + "," + std::to_string(kind) + "," +
                          std::to_string(brick->getScore()));
        }
        return out;
    }

    // Hits each brick up to four times and reports how many it took to break.
    std::vector<int> hitsToBreak()
    {
        std::vector<int> out;
        for (unsigned i = 0; i < brickCount; i++) {
            int hits = 0;
            while (bricks[i]->isVisible() && hits < 4) {
                bricks[i]->registerHit();
                hits++;
            }
            out.push_back(bricks[i]->isVisible() ? -1 : hits);
        }
        return out;
    }

    SDL_Surface* levelTitle = nullptr;
    unsigned bricksLeft = 0;
    unsigned brickCount = 0;
};

TEST_F(LevelTest, readsTheExampleLevel)
{
    writeLevel(1, firstSteps);
    EXPECT_TRUE(load());
    EXPECT_EQ(brickCount, 19u);
    EXPECT_EQ(bricksLeft, 18u);

    std::vector<std::string> expected;
    for (int c = 0; c < 13; c++)
        expected.push_back(std::to_string(8 + 48 * c) + ",8,1,70");
    std::vector<std::string> rest = {"8,40,2,60",    "152,40,8,100", "296,40,9,0",
                                     "440,40,8,100", "584,40,2,60",  "8,72,7,10"};
    expected.insert(expected.end(), rest.begin(), rest.end());
    EXPECT_EQ(table(), expected);

    std::vector<int> hits(13, 1);
    std::vector<int> rowTwo = {1, 3, -1, 3, 1, 1};
    hits.insert(hits.end(), rowTwo.begin(), rowTwo.end());
    EXPECT_EQ(hitsToBreak(), hits);

    int total = 0;
    for (unsigned i = 0; i < brickCount; i++)
        total += bricks[i]->getScore();
    EXPECT_EQ(total, 1240);
    EXPECT_EQ(bricks[0]->getRect()->w, 48);
    EXPECT_EQ(bricks[0]->getRect()->h, 24);
}

TEST_F(LevelTest, rendersTheTitleWhiteOnDarkBlue)
{
    writeLevel(1, firstSteps);
    load();
    ASSERT_NE(levelTitle, nullptr);
    EXPECT_EQ(recorder().rendered.back(), "First steps");
    // A shaded text is an 8-bit image: entry 0 is the background, the last the foreground.
    SDL_Palette* palette = levelTitle->format->palette;
    ASSERT_NE(palette, nullptr);
    SDL_Color back = palette->colors[0];
    SDL_Color fore = palette->colors[palette->ncolors - 1];
    EXPECT_EQ((std::vector<int>{back.r, back.g, back.b}), (std::vector<int>{0, 0, 64}));
    EXPECT_EQ((std::vector<int>{fore.r, fore.g, fore.b}), (std::vector<int>{255, 255, 255}));
}

TEST_F(LevelTest, addsToBricksLeftWithoutResetting)
{
    writeLevel(1, firstSteps);
    bricksLeft = 5;
    load();
    EXPECT_EQ(bricksLeft, 23u);
}

struct FileCase
{
    const char* name;
    std::string content;
    unsigned brickCount;
    unsigned bricksLeft;
    bool moreLevels;
    std::string title;
};

void PrintTo(const FileCase& c, std::ostream* os)
{
    *os << c.name;
}

class LevelFiles : public LevelTest, public ::testing::WithParamInterface<FileCase>
{
};

TEST_P(LevelFiles, readAsTheFieldLimitsSay)
{
    const FileCase& c = GetParam();
    writeLevel(1, c.content);
    EXPECT_EQ(load(), c.moreLevels);
    EXPECT_EQ(brickCount, c.brickCount);
    EXPECT_EQ(bricksLeft, c.bricksLeft);
    ASSERT_FALSE(recorder().rendered.empty());
    EXPECT_EQ(recorder().rendered.back(), c.title);
    EXPECT_EQ(levelTitle == nullptr, c.title.empty());
}

std::string firstStepsWithFlag(const std::string& flagLine)
{
    return "First steps\n3\n1111111111111\n2  8  9  8  2\n7\n" + flagLine;
}

std::string crlf(const std::string& text)
{
    std::string out;
    for (char c : text)
        out += c == '\n' ? "\r\n"s : std::string(1, c);
    return out;
}

std::string twelveRows()
{
    std::string out = "Full\n12\n";
    for (int r = 0; r < 12; r++)
        out += "1111111111111\n";
    return out + "1\n";
}

const std::string title254(254, 't');
const std::string title300(300, 't');

INSTANTIATE_TEST_SUITE_P(
    Table, LevelFiles,
    ::testing::Values(
        FileCase{"flagZero", firstStepsWithFlag("0\n"), 19, 18, false, "First steps"},
        FileCase{"flagEmpty", firstStepsWithFlag("\n"), 19, 18, false, "First steps"},
        FileCase{"flagMissing", firstStepsWithFlag(""), 19, 18, false, "First steps"},
        FileCase{"flagTwelve", firstStepsWithFlag("12\n"), 19, 18, true, "First steps"},
        FileCase{"flagWithoutLineEnd", firstStepsWithFlag("1"), 19, 18, true, "First steps"},
        FileCase{"crlf", crlf(firstSteps), 19, 18, true, "First steps"},
        FileCase{"crlfRowOfThirteen", "T\r\n1\r\n1111111111111\r\n1\r\n", 13, 13, true, "T"},
        FileCase{"twelveRows", twelveRows(), 143, 143, true, "Full"},
        FileCase{"rowCountZero", "None\n0\n1\n", 0, 0, true, "None"},
        FileCase{"rowCountNegative", "Neg\n-1\n1\n", 0, 0, true, "Neg"},
        FileCase{"rowCountLetters", "Abc\nab\n1\n", 0, 0, true, "Abc"},
        FileCase{"rowCountTooLong", "Big\n100\n1111\n1\n", 0, 0, false, "Big"},
        FileCase{"rowTooLong", "Long\n2\n11111111111111\n1\n1\n", 13, 13, false, "Long"},
        FileCase{"fewerRowsThanSaid", "Short\n4\n11\n1\n", 3, 3, false, "Short"},
        FileCase{"title254", title254 + "\n1\n1\n1\n", 1, 1, true, title254},
        FileCase{"title300", title300 + "\n1\n1\n1\n", 0, 0, false, title300.substr(0, 254)},
        FileCase{"emptyTitle", "\n1\n1\n1\n", 1, 1, true, ""},
        FileCase{"loneCrInTitle", "A\rB\n1\n1\n1\n", 1, 1, true, "A\rB"},
        FileCase{"emptyFile", "", 0, 0, false, ""},
        FileCase{"onlyUnbreakable", "Steel\n1\n999\n1\n", 3, 0, true, "Steel"}),
    [](const ::testing::TestParamInfo<FileCase>& info) { return std::string(info.param.name); });

TEST_F(LevelTest, cellsThatMakeNoBrickKeepTheirColumn)
{
    writeLevel(1, "Odd\n1\n0 a#1\xc3\r1\0"s
                  "19\n1\n");
    EXPECT_TRUE(load());
    EXPECT_EQ(table(),
              (std::vector<std::string>{"200,8,1,70", "344,8,1,70", "440,8,1,70", "488,8,9,0"}));
    EXPECT_EQ(bricksLeft, 3u);
}

TEST_F(LevelTest, rowsPastTheEleventhAreReadButHoldNoBricks)
{
    std::string rows;
    for (int r = 0; r < 11; r++)
        rows += "1\n";
    writeLevel(1, "Deep\n13\n" + rows + "9999999999999\n2\n1\n");
    EXPECT_TRUE(load());
    EXPECT_EQ(brickCount, 11u);
    EXPECT_EQ(table().back(), "8,328,1,70");
}

TEST_F(LevelTest, missingFileGivesAnEmptyLevelAndReleasesThePreviousTable)
{
    // Untitled, so that no title surface is named by the harness in between.
    writeLevel(1, std::string(firstSteps).substr(std::string("First steps").size()));
    recorder().recording = false;
    long before = liveAllocations();
    load(1);
    EXPECT_EQ(liveAllocations() - before, 19 * 2 + 1); // bricks, their rectangles, the table

    bricksLeft = 0;
    EXPECT_FALSE(load(2));
    EXPECT_EQ(brickCount, 0u);
    EXPECT_EQ(bricksLeft, 0u);
    EXPECT_EQ(levelTitle, nullptr);
    EXPECT_EQ(liveAllocations() - before, 1); // only the new, empty table

    releaseBricks(bricks);
    EXPECT_EQ(bricks, nullptr);
    EXPECT_EQ(liveAllocations(), before);
}

// Only the fields' limits are read, however long the file: a 100 MB file of
// random bytes loads at once, with no more memory than a small one.
TEST_F(LevelTest, hugeRandomFileReadsOnlyItsFields)
{
    {
        std::ofstream file("level1.txt", std::ios::binary);
        std::mt19937 random(7);
        std::string block(1 << 20, '\0');
        for (int megabyte = 0; megabyte < 100; megabyte++) {
            for (char& byte : block)
                byte = static_cast<char>(random());
            file.write(block.data(), static_cast<std::streamsize>(block.size()));
        }
    }
    recorder().recording = false;
    resetPeakBytes();
    std::size_t before = peakBytes();
    auto start = std::chrono::steady_clock::now();
    load();
    auto took = std::chrono::steady_clock::now() - start;
    EXPECT_LT(took, std::chrono::milliseconds(500));
    EXPECT_LT(peakBytes() - before, 64u * 1024);
    EXPECT_LE(brickCount, 143u);
}

TEST_F(LevelTest, bytesAboveOneTwentySevenInTheTitleRender)
{
    writeLevel(1, "Caf\xe9 \xab\xff\xbb\n1\n1\n0\n");
    load();
    EXPECT_EQ(recorder().rendered.back(), "Caf\xe9 \xab\xff\xbb");
    EXPECT_NE(levelTitle, nullptr);
}

TEST_F(LevelTest, aDirectoryReadsAsAMissingFile)
{
    ASSERT_EQ(mkdir("level1.txt", 0755), 0);
    EXPECT_FALSE(load(1));
    EXPECT_EQ(brickCount, 0u);
}

TEST_F(LevelTest, levelNumberNamesTheFile)
{
    writeLevel(12, "Twelve\n1\n7\n");
    EXPECT_FALSE(load(12));
    EXPECT_EQ(table(), (std::vector<std::string>{"8,8,7,10"}));
    EXPECT_EQ(recorder().rendered.back(), "Twelve");
}

TEST(ConvertToString, writesTheNumberAsAStreamDoes)
{
    EXPECT_EQ(convertToString("Score: ", 0), "Score: 0");
    EXPECT_EQ(convertToString("Lives: ", -3), "Lives: -3");
    EXPECT_EQ(convertToString("level", 12, ".txt"), "level12.txt");
    EXPECT_EQ(convertToString("", 2147483647, "!"), "2147483647!");
}

} // namespace
