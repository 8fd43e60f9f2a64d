// The levels that ship in data/: a chain that the game plays through to its end.
#include "Brick.h"
#include "harness.h"
#include "main.h"

#include <filesystem>
#include <fstream>
#include <string>

namespace {

class DataLevels : public harness::LoaderTest
{
  protected:
    void SetUp() override
    {
        LoaderTest::SetUp();
        for (const auto& entry : std::filesystem::directory_iterator(PELLARO_DATA_DIR))
            if (entry.path().extension() == ".txt")
                std::filesystem::copy_file(entry.path(), entry.path().filename());
    }
};

std::string levelName(int level)
{
    return "level" + std::to_string(level) + ".txt";
}

TEST_F(DataLevels, formAChainWhereEveryLevelCanBeCleared)
{
    int level = 1;
    bool moreLevels = true;
    bool kinds[9] = {};
    for (; moreLevels; level++) {
        SCOPED_TRACE(levelName(level));
        ASSERT_TRUE(std::filesystem::exists(levelName(level)));
        SDL_Surface* levelTitle = nullptr;
        unsigned bricksLeft = 0;
        unsigned brickCount = 0;
        moreLevels =
            loadLevel(level, levelTitle, font, brickSprites, bricksLeft, bricks, brickCount);
        EXPECT_NE(levelTitle, nullptr) << "no title";
        EXPECT_GT(bricksLeft, 0u) << "nothing to break";
        SDL_FreeSurface(levelTitle);
        for (unsigned i = 0; i < brickCount; i++)
            for (int k = 0; k < 9; k++)
                kinds[k] = kinds[k] || bricks[i]->getSprite() == brickSprites[k];
    }
    int levels = level - 1;
    EXPECT_GE(levels, 10);
    EXPECT_FALSE(std::filesystem::exists(levelName(level))) << "a level that is never played";
    for (int k = 0; k < 9; k++)
        EXPECT_TRUE(kinds[k]) << "no brick of kind " << k + 1;
}

TEST_F(DataLevels, noLineExceedsItsField)
{
    for (int level = 1; std::filesystem::exists(levelName(level)); level++) {
        SCOPED_TRACE(levelName(level));
        std::ifstream file(levelName(level));
        std::string line;
        ASSERT_TRUE(std::getline(file, line));
        EXPECT_LE(line.size(), 254u);
        ASSERT_TRUE(std::getline(file, line));
        EXPECT_LE(line.size(), 2u);
        int rows = std::stoi(line);
        for (int r = 0; r < rows; r++) {
            ASSERT_TRUE(std::getline(file, line));
            EXPECT_LE(line.size(), 13u) << "row " << r + 1;
        }
        ASSERT_TRUE(std::getline(file, line));
        EXPECT_EQ(line.size(), 1u);
    }
}

} // namespace
