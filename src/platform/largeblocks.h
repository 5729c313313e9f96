#pragma once

#include <QtGlobal>

#include <memory>
#include <vector>

#ifdef Q_OS_LINUX
#    include <sys/mman.h>
#endif

// Gives blocks of 2 MiB and more straight from the kernel, with every page in
// place at once: a record of a large figure takes tens of megabytes, and the
// kernel handing them out page by page as they are first written would take
// longer than the drawing. Freed, they go straight back.
template<typename T>
struct LargeBlockAllocator
{
    using value_type = T;
    static constexpr size_t threshold = size_t(2) << 20;

    LargeBlockAllocator() = default;
    template<typename U>
    explicit LargeBlockAllocator(const LargeBlockAllocator<U> &)
    { }

    T *allocate(size_t n)
    {
#ifdef Q_OS_LINUX
        if (n * sizeof(T) >= threshold) {
            void *block = mmap(nullptr, n * sizeof(T), PROT_READ | PROT_WRITE,
                               MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
            if (block == MAP_FAILED)
                throw std::bad_alloc();
#    ifdef MADV_POPULATE_WRITE
            madvise(block, n * sizeof(T), MADV_POPULATE_WRITE); // older kernels fault them in
#    endif
            return static_cast<T *>(block);
        }
#endif
        return std::allocator<T>().allocate(n);
    }
    void deallocate(T *block, size_t n)
    {
#ifdef Q_OS_LINUX
        if (n * sizeof(T) >= threshold) {
            munmap(block, n * sizeof(T));
            return;
        }
#endif
        std::allocator<T>().deallocate(block, n);
    }
    bool operator==(const LargeBlockAllocator &) const = default;
};

// A vector that may grow to tens of megabytes.
template<typename T>
using LargeVector = std::vector<T, LargeBlockAllocator<T>>;
