#include "harness.h"
#include "levelcheck.h"

#include <map>
#include <string>
#include <vector>

namespace {

struct CheckCase
{
    const char* name;
    std::map<std::string, std::string> files;
    std::string checked;               // a file, or "." for the whole directory
    std::vector<std::string> findings; // each the start of one finding, in order
};

void PrintTo(const CheckCase& c, std::ostream* os)
{
    *os << c.name;
}

class LevelCheck : public harness::ScratchTest, public ::testing::WithParamInterface<CheckCase>
{
};

TEST_P(LevelCheck, reportsWhatTheGameWouldDoSilently)
{
    for (const auto& [name, content] : GetParam().files)
        harness::writeFile(name, content);
    std::vector<Finding> findings =
        GetParam().checked == "." ? checkLevelDirectory(".") : checkLevelFile(GetParam().checked);
    std::vector<std::string> lines;
    for (const Finding& finding : findings)
        lines.push_back(formatFinding(finding));
    ASSERT_EQ(lines.size(), GetParam().findings.size()) << ::testing::PrintToString(lines);
    for (std::size_t i = 0; i < lines.size(); i++)
        EXPECT_EQ(lines[i].rfind(GetParam().findings[i], 0), 0u)
            << lines[i] << "\ndoes not start with\n"
            << GetParam().findings[i];
}

const std::string full = "1111111111111";
const std::string next = "Next\n1\n" + full + "\n0\n";

std::string crlf(const std::string& text)
{
    std::string out;
    for (char c : text)
        out += c == '\n' ? std::string("\r\n") : std::string(1, c);
    return out;
}

std::string rows(int count)
{
    std::string out;
    for (int r = 0; r < count; r++)
        out += full + "\n";
    return out;
}

INSTANTIATE_TEST_SUITE_P(
    Table, LevelCheck,
    ::testing::Values(
        CheckCase{
            "sound",
            {{"level1.txt", "Sound\n2\n" + full + "\n" + full + "\n1\n"}, {"level2.txt", next}},
            "level1.txt",
            {}},
        CheckCase{"shortRow",
                  {{"level1.txt", harness::firstSteps}, {"level2.txt", next}},
                  "level1.txt",
                  {"level1.txt:5: note: row has 1 cells; columns 2 to 13 are empty"}},
        CheckCase{"crlfReadsAlike",
                  {{"level1.txt", crlf(harness::firstSteps)}, {"level2.txt", next}},
                  "level1.txt",
                  {"level1.txt:5: note: row has 1 cells"}},
        CheckCase{"titleTooLong",
                  {{"level1.txt", std::string(300, 't') + "\n1\n" + full + "\n0\n"}},
                  "level1.txt",
                  {"level1.txt:1: error: title is 300 characters, the game reads 254",
                   "level1.txt:1: error: no breakable bricks"}},
        CheckCase{"emptyTitle",
                  {{"level1.txt", "\n1\n" + full + "\n0\n"}},
                  "level1.txt",
                  {"level1.txt:1: warning: empty title"}},
        CheckCase{"rowTooLong",
                  {{"level1.txt", "Long\n2\n" + full + "1\n" + full + "\n1\n"}},
                  "level1.txt",
                  {"level1.txt:3: error: row is 14 cells, the game reads 13; every later line"}},
        CheckCase{"rowCountNotANumber",
                  {{"level1.txt", "T\nab\n1\n1\n"}},
                  "level1.txt",
                  {"level1.txt:1: error: no breakable bricks",
                   "level1.txt:2: error: row count 'ab' is not a number: the game reads 0 rows",
                   "level1.txt:3: error: the follow-on flag says another level follows",
                   "level1.txt:4: note: lines after the follow-on flag are never read"}},
        CheckCase{"rowCountNegative",
                  {{"level1.txt", "T\n-1\n0\n" + full + "\n"}},
                  "level1.txt",
                  {"level1.txt:1: error: no breakable bricks",
                   "level1.txt:2: error: row count -1 is negative",
                   "level1.txt:4: note: lines after"}},
        CheckCase{"rowCountTooLong",
                  {{"level1.txt", "T\n100\n" + full + "\n1\n"}},
                  "level1.txt",
                  {"level1.txt:1: error: no breakable bricks",
                   "level1.txt:2: error: row count '100' is longer than 2 characters: the game "
                   "reads it as 10"}},
        CheckCase{"rowsPastTheWall",
                  {{"level1.txt", "T\n12\n" + rows(12) + "0\n"}},
                  "level1.txt",
                  {"level1.txt:2: warning: row count 12: only the first 11 rows hold bricks"}},
        CheckCase{"fileEndsEarly",
                  {{"level1.txt", "T\n3\n" + full + "\n"}},
                  "level1.txt",
                  {"level1.txt:4: error: the file ends before row 2 of 3"}},
        CheckCase{"cellsThatMakeNoBrick",
                  {{"level1.txt", "T\n1\n1x#0 .\xff\n0\n"}},
                  "level1.txt",
                  {"level1.txt:3: note: row has 7 cells",
                   "level1.txt:3: warning: column 2 holds 'x', which makes no brick",
                   "level1.txt:3: warning: column 3 holds '#'",
                   "level1.txt:3: warning: column 6 holds '.'",
                   "level1.txt:3: warning: column 7 holds byte 0xff"}},
        CheckCase{"noBreakableBricks",
                  {{"level1.txt", "Steel\n1\n9999999999999\n0\n"}},
                  "level1.txt",
                  {"level1.txt:1: error: no breakable bricks: the game passes this level over"}},
        CheckCase{"walledIn",
                  {{"level1.txt", "T\n3\n 1           \n9999999999999\n2            \n0\n"}},
                  "level1.txt",
                  {"level1.txt:3: error: the brick in column 2 is walled in"}},
        CheckCase{"gateInTheWall",
                  {{"level1.txt", "T\n3\n 1           \n999999 999999\n2            \n0\n"}},
                  "level1.txt",
                  {}},
        CheckCase{"flagWithoutANextLevel",
                  {{"level1.txt", "T\n1\n" + full + "\n1\n"}},
                  "level1.txt",
                  {"level1.txt:4: error: the follow-on flag says another level follows, but "
                   "there is no level2.txt"}},
        CheckCase{"nextLevelNeverPlayed",
                  {{"level1.txt", "T\n1\n" + full + "\n0\n"}, {"level2.txt", next}},
                  "level1.txt",
                  {"level1.txt:4: warning: level2.txt exists, but this level's follow-on flag "
                   "ends the game"}},
        CheckCase{"flagTooLong",
                  {{"level1.txt", "T\n1\n" + full + "\n12\n"}},
                  "level1.txt",
                  {"level1.txt:4: warning: follow-on flag '12' is longer than one character",
                   "level1.txt:4: error: the follow-on flag says another level follows"}},
        CheckCase{"emptyFile", {{"level1.txt", ""}}, "level1.txt", {"level1.txt:1: error: empty"}},
        CheckCase{"missingFile", {}, "level1.txt", {"level1.txt:1: error: cannot be read"}},
        CheckCase{"directoryWithoutFirstLevel",
                  {{"level2.txt", next}, {"notes.txt", "not a level"}},
                  ".",
                  {"./level1.txt:1: error: missing: the game does not start without its first",
                   "./level2.txt:1: warning: never played: there is no level1.txt before it"}},
        CheckCase{"soundDirectory",
                  {{"level1.txt", "One\n1\n" + full + "\n1\n"}, {"level2.txt", next}},
                  ".",
                  {}}),
    [](const ::testing::TestParamInfo<CheckCase>& info) { return std::string(info.param.name); });

} // namespace
