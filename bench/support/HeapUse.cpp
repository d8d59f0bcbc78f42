#include "HeapUse.h"

#include <atomic>
#include <cstdlib>
#include <malloc.h>
#include <new>

namespace velnor::bench {

namespace {

std::atomic<size_t> liveBytes{0};
std::atomic<size_t> peakBytes{0};

void *take(size_t size) {
    void *block = std::malloc(size == 0 ? 1 : size);
    if (block == nullptr) {
        throw std::bad_alloc();
    }
    const size_t usable = malloc_usable_size(block);
    const size_t live = liveBytes.fetch_add(usable) + usable;
    size_t peak = peakBytes.load();
    while (live > peak && !peakBytes.compare_exchange_weak(peak, live)) {
    }
    return block;
}

void give(void *block) {
    if (block != nullptr) {
        liveBytes.fetch_sub(malloc_usable_size(block));
        std::free(block);
    }
}

} // namespace

HeapUse heapUse() {
    return {liveBytes.load(), peakBytes.load()};
}

void resetHeapPeak() {
    peakBytes.store(liveBytes.load());
}

} // namespace velnor::bench

// Every allocation of the benchmark program goes through these; the measured code asks for no
// more than the default alignment.
void *operator new(size_t size) {
    return velnor::bench::take(size);
}
void *operator new[](size_t size) {
    return velnor::bench::take(size);
}
void operator delete(void *block) noexcept {
    velnor::bench::give(block);
}
void operator delete[](void *block) noexcept {
    velnor::bench::give(block);
}
void operator delete(void *block, size_t) noexcept {
    velnor::bench::give(block);
}
void operator delete[](void *block, size_t) noexcept {
    velnor::bench::give(block);
}
