#pragma once
// Large buffers of pixel rows (render targets, depth buffers, picture rows): allocated without
// touching their pages, and filled row by row by the worker pool's threads when they are large,
// so that the first touch of fresh memory, the page faults, is shared between the cores too.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "platform/rm/WorkerPool.h"

namespace rm::raster {

// Rows of fewer elements than this are filled by the calling thread alone.
constexpr std::size_t kMinElementsToShare = std::size_t{1} << 18;

// Asks the kernel to back a large block with large pages where it can (fewer faults, fewer TLB
// misses); nothing for small blocks.
void AdviseLargePages(void* block, std::size_t bytes);

// `count` elements, not initialised: the caller fills them before reading.
template <class T>
std::unique_ptr<T[]> AllocateRows(std::size_t count) {
    std::unique_ptr<T[]> block(new T[count]);
    AdviseLargePages(block.get(), count * sizeof(T));
    return block;
}

// Calls fillRow(y) for every row y in [y0, y1); rows of `width` elements each, shared between the
// pool's threads when there are enough of them.
template <class FillRow>
void FillRows(std::int32_t y0, std::int32_t y1, std::int32_t width, FillRow&& fillRow) {
    if (y1 <= y0) return;
    const std::size_t rows = std::size_t(y1 - y0);
    WorkerPool& pool = WorkerPool::Shared();
    if (pool.Threads() == 1 || rows * std::size_t(width > 0 ? width : 0) < kMinElementsToShare) {
        for (std::int32_t y = y0; y < y1; ++y) fillRow(y);
        return;
    }
    const std::size_t chunks = std::min<std::size_t>(rows, std::size_t(pool.Threads()) * 4);
    pool.ForEach(chunks, [&](std::size_t chunk, unsigned) {
        const std::int32_t from = y0 + std::int32_t(rows * chunk / chunks);
        const std::int32_t to = y0 + std::int32_t(rows * (chunk + 1) / chunks);
        for (std::int32_t y = from; y < to; ++y) fillRow(y);
    });
}

}  // namespace rm::raster
