// pellaro-levels: checks level files for what the game would do with them
// without a word. Prints one line per finding and a summary; exits 1 when it
// found an error.
#include "levelcheck.h"

#include <cstdio>
#include <filesystem>

int main(int argc, char* argv[])
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: pellaro-levels LEVEL-FILE-OR-DIRECTORY...\n");
        return 2;
    }
    int files = 0;
    int counts[3] = {};
    for (int i = 1; i < argc; i++) {
        std::vector<Finding> findings;
        if (std::filesystem::is_directory(argv[i])) {
            int found = 0;
            findings = checkLevelDirectory(argv[i], &found);
            files += found;
        } else {
            findings = checkLevelFile(argv[i]);
            files++;
        }
        for (const Finding& finding : findings) {
            std::printf("%s\n", formatFinding(finding).c_str());
            counts[static_cast<int>(finding.severity)]++;
        }
    }
    std::printf("pellaro-levels: %d level files, %d errors, %d warnings, %d notes\n", files,
                counts[static_cast<int>(Severity::error)],
                counts[static_cast<int>(Severity::warning)],
                counts[static_cast<int>(Severity::note)]);
    return counts[static_cast<int>(Severity::error)] > 0 ? 1 : 0;
}
