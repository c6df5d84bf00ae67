#include "bench/FrameAllocations.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace
{
std::atomic<bool> Counting{false};
std::atomic<std::size_t> Count{0};
} // namespace

void CountFrameAllocations(bool on)
{
    Counting = on;
}

std::size_t FrameAllocations()
{
    return Count.load();
}

// The array form calls this one; the deletes below match its malloc.
void* operator new(std::size_t size)
{
    if (Counting)
        ++Count;
    if (void* memory = std::malloc(size == 0 ? 1 : size))
        return memory;
    throw std::bad_alloc();
}

void operator delete(void* memory) noexcept
{
    std::free(memory);
}

void operator delete(void* memory, std::size_t) noexcept
{
    std::free(memory);
}
