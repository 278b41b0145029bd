#include "platform/rm/raster/RowFill.h"

#include <sys/mman.h>

namespace rm::raster {

void AdviseLargePages(void* block, std::size_t bytes) {
    constexpr std::uintptr_t kLargePage = std::uintptr_t{2} << 20;
    if (bytes < 2 * kLargePage) return;
    // Only whole large pages inside the block: the advice must not reach memory the block does not own.
    const std::uintptr_t begin = (reinterpret_cast<std::uintptr_t>(block) + kLargePage - 1) & ~(kLargePage - 1);
    const std::uintptr_t end = (reinterpret_cast<std::uintptr_t>(block) + bytes) & ~(kLargePage - 1);
    if (end > begin) madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
}

}  // namespace rm::raster
