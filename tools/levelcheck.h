// The level checker: reads level files as the game reads them and reports
// what the game would do with them without a word.
#ifndef PELLARO_TOOLS_LEVELCHECK_H
#define PELLARO_TOOLS_LEVELCHECK_H

#include <string>
#include <vector>

enum class Severity { note, warning, error };

struct Finding
{
    std::string file;
    int line; // 1 for the title line
    Severity severity;
    std::string message;
};

// "file:line: severity: message", the form that editors jump to.
std::string formatFinding(const Finding& finding);

// Checks one level file. When its name is level<N>.txt, the file that would
// follow it is looked for beside it.
std::vector<Finding> checkLevelFile(const std::string& path);

// Checks every level<N>.txt in a directory, and that level1.txt is there;
// counts the level files into *files when it is given.
std::vector<Finding> checkLevelDirectory(const std::string& directory, int* files = nullptr);

#endif
