#include "allocations.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {
std::atomic<long> live{0};
std::atomic<std::size_t> liveBytes{0};
std::atomic<std::size_t> peak{0};

// Each block carries its size in front of it, so that a release knows it.
const std::size_t header = alignof(std::max_align_t);

void* allocateOrNull(std::size_t size)
{
    char* block = static_cast<char*>(std::malloc(size + header));
    if (!block)
        return nullptr;
    *reinterpret_cast<std::size_t*>(block) = size;
    live++;
    std::size_t now = liveBytes += size;
    if (now > peak)
        peak = now;
    return block + header;
}

void* allocate(std::size_t size)
{
    if (void* block = allocateOrNull(size))
        return block;
    throw std::bad_alloc();
}

void release(void* user)
{
    if (!user)
        return;
    char* block = static_cast<char*>(user) - header;
    live--;
    liveBytes -= *reinterpret_cast<std::size_t*>(block);
    std::free(block);
}
} // namespace

long liveAllocations()
{
    return live.load();
}
std::size_t peakBytes()
{
    return peak.load();
}
void resetPeakBytes()
{
    peak = liveBytes.load();
}

// Every form is replaced, so that no block reaches release() without its size.
void* operator new(std::size_t size)
{
    return allocate(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    return allocateOrNull(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept
{
    return allocateOrNull(size);
}
void operator delete(void* block, const std::nothrow_t&) noexcept
{
    release(block);
}
void operator delete[](void* block, const std::nothrow_t&) noexcept
{
    release(block);
}
void* operator new[](std::size_t size)
{
    return allocate(size);
}
void operator delete(void* block) noexcept
{
    release(block);
}
void operator delete[](void* block) noexcept
{
    release(block);
}
void operator delete(void* block, std::size_t) noexcept
{
    release(block);
}
void operator delete[](void* block, std::size_t) noexcept
{
    release(block);
}
