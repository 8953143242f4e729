// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Running out of memory on demand. Included by one test program (it
// replaces malloc, realloc and operator new for the whole process): once
// armed, the next request above the given size fails, as the big ones do
// first under an address-space limit, and the smaller ones made while the
// failure is handled succeed. Qt turns a failed malloc into
// std::bad_alloc, operator new throws it.

#include <atomic>
#include <cerrno>
#include <cstddef>
#include <new>

extern "C" void *__libc_malloc(size_t size);
extern "C" void *__libc_realloc(void *pointer, size_t size);

namespace AllocationFailure {
inline std::atomic<size_t> g_above{0};
inline std::atomic<int> g_refused{0};

// The next request above bytes fails; 0 disarms.
inline void failAbove(size_t bytes)
{
    g_refused = 0;
    g_above = bytes;
}
inline int refused()
{
    return g_refused;
}
inline bool refuse(size_t size)
{
    const size_t above = g_above.load(std::memory_order_relaxed);
    if (above == 0 || size <= above)
        return false;
    size_t expected = above;
    if (!g_above.compare_exchange_strong(expected, 0))
        return false;
    ++g_refused;
    return true;
}
} // namespace AllocationFailure

extern "C" void *malloc(size_t size)
{
    if (AllocationFailure::refuse(size)) {
        errno = ENOMEM;
        return nullptr;
    }
    return __libc_malloc(size);
}

extern "C" void *realloc(void *pointer, size_t size)
{
    if (AllocationFailure::refuse(size)) {
        errno = ENOMEM;
        return nullptr;
    }
    return __libc_realloc(pointer, size);
}

void *operator new(size_t size)
{
    if (AllocationFailure::refuse(size))
        throw std::bad_alloc();
    if (void *pointer = __libc_malloc(size ? size : 1))
        return pointer;
    throw std::bad_alloc();
}

void *operator new[](size_t size)
{
    return operator new(size);
}

void operator delete(void *pointer) noexcept
{
    free(pointer);
}

void operator delete[](void *pointer) noexcept
{
    free(pointer);
}

void operator delete(void *pointer, size_t) noexcept
{
    free(pointer);
}

void operator delete[](void *pointer, size_t) noexcept
{
    free(pointer);
}
