#include "levelcheck.h"

#include "main.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <utility>

namespace fs = std::filesystem;

namespace {

const char* const severityNames[] = {"note", "warning", "error"};

// The N of a file named level<N>.txt, or 0 for any other name.
int levelNumber(const fs::path& path)
{
    std::string name = path.filename().string();
    if (name.size() <= 9 || name.compare(0, 5, "level") != 0 ||
        name.compare(name.size() - 4, 4, ".txt") != 0)
        return 0;
    std::string digits = name.substr(5, name.size() - 9);
    if (digits[0] == '0' || digits.size() > 9 ||
        !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return 0;
    return std::atoi(digits.c_str());
}

fs::path levelPath(const fs::path& directory, int number)
{
    return directory / ("level" + std::to_string(number) + ".txt");
}

bool isLevelFile(const fs::path& path)
{
    std::error_code ignored;
    return fs::is_regular_file(path, ignored);
}

std::string describe(char c)
{
    unsigned char byte = static_cast<unsigned char>(c);
    char text[16];
    if (byte > 32 && byte < 127)
        std::snprintf(text, sizeof text, "'%c'", c);
    else
        std::snprintf(text, sizeof text, "byte 0x%02x", byte);
    return text;
}

// One line as the game reads it, and as it stands in the file.
struct Field
{
    int line = 0;
    std::string text;     // what the game reads
    std::string whole;    // the whole line, without its line end
    bool present = false; // the file has this line
    bool tooLong = false; // longer than the field: the game reads nothing after it
};

// Reads a level file twice over: once through the game's own field reader,
// and once line by line to see what the game leaves out.
class LevelReader
{
  public:
    explicit LevelReader(const fs::path& path) : game(path), file(path, std::ios::binary) {}

    Field next(int limit)
    {
        Field field;
        field.line = ++line;
        if (std::getline(file, field.whole)) {
            field.present = true;
            if (!file.eof() && !field.whole.empty() && field.whole.back() == '\r')
                field.whole.pop_back();
        }
        bool readable = game.good();
        field.text = readField(game, limit);
        field.tooLong = readable && game.fail() && static_cast<int>(field.whole.size()) > limit;
        return field;
    }

    // Lines with anything on them after the ones read so far.
    bool hasMoreText()
    {
        std::string rest;
        while (std::getline(file, rest))
            if (rest.find_first_not_of(" \r\t") != std::string::npos)
                return true;
        return false;
    }

  private:
    std::ifstream game;
    std::ifstream file;
    int line = 0;
};

// A row count as atoi reads it, and whether the text is a plain number.
std::pair<int, bool> readRowCount(const std::string& text)
{
    std::size_t start = text.find_first_not_of(" \t");
    bool plain = start != std::string::npos;
    for (std::size_t i = start; plain && i < text.size(); i++)
        plain = (text[i] >= '0' && text[i] <= '9') || (i == start && text[i] == '-');
    if (plain && text[start] == '-' && start + 1 == text.size())
        plain = false;
    return {std::atoi(text.c_str()), plain};
}

// Breakable bricks that the ball can never reach: the ball comes from below
// the wall and moves through cells that hold no unbreakable brick.
std::vector<std::pair<int, int>> walledIn(const std::vector<std::string>& rows)
{
    auto cell = [&](int r, int c) {
        return r < static_cast<int>(rows.size()) && c < static_cast<int>(rows[r].size())
                   ? rows[r][c]
                   : ' ';
    };
    bool reached[wallRows][wallColumns] = {};
    std::vector<std::pair<int, int>> open;
    for (int c = 0; c < wallColumns; c++)
        if (cell(wallRows - 1, c) != '9') {
            reached[wallRows - 1][c] = true;
            open.push_back({wallRows - 1, c});
        }
    while (!open.empty()) {
        auto [r, c] = open.back();
        open.pop_back();
        const int steps[4][2] = {{-1, 0}, {1, 0}, {0, -1}, {0, 1}};
        for (const auto& step : steps) {
            int nr = r + step[0];
            int nc = c + step[1];
            if (nr < 0 || nr >= wallRows || nc < 0 || nc >= wallColumns || reached[nr][nc] ||
                cell(nr, nc) == '9')
                continue;
            reached[nr][nc] = true;
            open.push_back({nr, nc});
        }
    }
    std::vector<std::pair<int, int>> out;
    for (int r = 0; r < wallRows; r++)
        for (int c = 0; c < wallColumns; c++)
            if (isBreakableCell(cell(r, c)) && !reached[r][c])
                out.push_back({r, c});
    return out;
}

} // namespace

std::string formatFinding(const Finding& finding)
{
    return finding.file + ":" + std::to_string(finding.line) + ": " +
           severityNames[static_cast<int>(finding.severity)] + ": " + finding.message;
}

std::vector<Finding> checkLevelFile(const std::string& path)
{
    std::vector<Finding> findings;
    auto add = [&](int line, Severity severity, const std::string& message) {
        findings.push_back({path, line, severity, message});
    };
    if (!isLevelFile(path)) {
        add(1, Severity::error, "cannot be read: the game finds a level without bricks here");
        return findings;
    }
    LevelReader reader(path);

    // The title.
    Field title = reader.next(titleLimit);
    if (!title.present) {
        add(1, Severity::error, "empty file: the game finds a level without bricks here");
        return findings;
    }
    if (title.tooLong)
        add(1, Severity::error,
            "title is " + std::to_string(title.whole.size()) + " characters, the game reads " +
                std::to_string(titleLimit) +
                "; every later line reads as empty, so the level has no bricks");
    else if (title.text.empty())
        add(1, Severity::warning, "empty title: no title is shown");

    // The row count.
    Field count = reader.next(rowCountLimit);
    auto [rowCount, plain] = readRowCount(count.text);
    if (count.tooLong)
        add(count.line, Severity::error,
            "row count '" + count.whole + "' is longer than " + std::to_string(rowCountLimit) +
                " characters: the game reads it as " + std::to_string(std::max(rowCount, 0)) +
                " and every later line as empty, so the level has no bricks");
    else if (count.present && !title.tooLong && !plain)
        add(count.line, Severity::error,
            "row count '" + count.text + "' is not a number: the game reads " +
                std::to_string(std::max(rowCount, 0)) + " rows");
    if (rowCount < 0) {
        if (!count.tooLong)
            add(count.line, Severity::error,
                "row count " + std::to_string(rowCount) +
                    " is negative: the game reads no rows, so line 3 is the follow-on flag");
        rowCount = 0;
    }
    if (rowCount > wallRows)
        add(count.line, Severity::warning,
            "row count " + std::to_string(rowCount) + ": only the first " +
                std::to_string(wallRows) + " rows hold bricks; rows " +
                std::to_string(wallRows + 1) + " to " + std::to_string(rowCount) +
                " are read and ignored");

    // The rows.
    std::vector<std::string> rows;
    bool spoiled = title.tooLong || count.tooLong;
    for (int r = 0; r < rowCount; r++) {
        Field row = reader.next(rowLimit);
        if (r < wallRows)
            rows.push_back(row.text);
        if (spoiled)
            continue;
        if (!row.present) {
            add(row.line, Severity::error,
                "the file ends before row " + std::to_string(r + 1) + " of " +
                    std::to_string(rowCount) + "; the rest read as empty");
            spoiled = true;
            continue;
        }
        if (row.tooLong) {
            add(row.line, Severity::error,
                "row is " + std::to_string(row.whole.size()) + " cells, the game reads " +
                    std::to_string(rowLimit) +
                    "; every later line reads as empty, the follow-on flag too");
            spoiled = true;
        } else if (r < wallRows && !row.text.empty() &&
                   static_cast<int>(row.text.size()) < wallColumns) {
            add(row.line, Severity::note,
                "row has " + std::to_string(row.text.size()) + " cells; columns " +
                    std::to_string(row.text.size() + 1) + " to 13 are empty");
        }
        if (r >= wallRows)
            continue;
        for (std::size_t c = 0; c < row.text.size(); c++) {
            char cell = row.text[c];
            if (!isBrickCell(cell) && cell != ' ' && cell != '0')
                add(row.line, Severity::warning,
                    "column " + std::to_string(c + 1) + " holds " + describe(cell) +
                        ", which makes no brick");
        }
    }

    // The follow-on flag.
    Field flag = reader.next(flagLimit);
    bool moreLevels = !flag.text.empty() && flag.text[0] == '1';
    if (flag.tooLong && !spoiled)
        add(flag.line, Severity::warning,
            "follow-on flag '" + flag.whole + "' is longer than one character: only its first " +
                "counts");
    int number = levelNumber(path);
    if (number > 0) {
        fs::path next = levelPath(fs::path(path).parent_path(), number + 1);
        if (moreLevels && !isLevelFile(next))
            add(flag.line, Severity::error,
                "the follow-on flag says another level follows, but there is no " +
                    next.filename().string() + ": the game ends here");
        if (!moreLevels && isLevelFile(next))
            add(flag.line, Severity::warning,
                next.filename().string() +
                    " exists, but this level's follow-on flag ends the game here");
    }
    if (!spoiled && flag.present && reader.hasMoreText())
        add(flag.line + 1, Severity::note, "lines after the follow-on flag are never read");

    // The wall.
    bool breakable = false;
    for (const std::string& row : rows)
        breakable = breakable || std::any_of(row.begin(), row.end(), isBreakableCell);
    if (!breakable)
        add(1, Severity::error, "no breakable bricks: the game passes this level over unseen");
    for (auto [r, c] : walledIn(rows))
        add(3 + r, Severity::error,
            "the brick in column " + std::to_string(c + 1) +
                " is walled in by unbreakable bricks: the level cannot be finished");

    std::stable_sort(findings.begin(), findings.end(),
                     [](const Finding& a, const Finding& b) { return a.line < b.line; });
    return findings;
}

std::vector<Finding> checkLevelDirectory(const std::string& directory, int* files)
{
    std::vector<std::pair<int, fs::path>> levels;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(directory, error))
        if (int number = levelNumber(entry.path()))
            levels.push_back({number, entry.path()});
    std::sort(levels.begin(), levels.end());

    std::vector<Finding> findings;
    fs::path first = levelPath(directory, 1);
    if (!isLevelFile(first))
        findings.push_back({first.string(), 1, Severity::error,
                            "missing: the game does not start without its first level"});
    for (const auto& [number, path] : levels) {
        if (number > 1 && !isLevelFile(levelPath(directory, number - 1)))
            findings.push_back({path.string(), 1, Severity::warning,
                                "never played: there is no level" + std::to_string(number - 1) +
                                    ".txt before it"});
        std::vector<Finding> more = checkLevelFile(path.string());
        findings.insert(findings.end(), more.begin(), more.end());
    }
    if (files)
        *files = static_cast<int>(levels.size());
    return findings;
}
