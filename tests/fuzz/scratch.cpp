#include "scratch.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace {
std::string scratch;

void removeScratch()
{
    std::error_code ignored;
    std::filesystem::remove_all(scratch, ignored);
}
} // namespace

void enterScratchDirectory()
{
    char pattern[] = "/tmp/pellaro-fuzz-XXXXXX";
    if (!mkdtemp(pattern) || chdir(pattern) != 0)
        fail("no scratch directory");
    scratch = pattern;
    std::atexit(removeScratch);
}

void writeFile(const std::string& name, const std::uint8_t* data, std::size_t size)
{
    std::ofstream file(name, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    if (!file)
        fail("cannot write the input");
}

void fail(const char* what)
{
    std::fprintf(stderr, "fuzz check failed: %s\n", what);
    std::abort();
}
