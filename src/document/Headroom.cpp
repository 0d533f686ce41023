#include "document/Headroom.h"

#include <new>
#include <sys/mman.h>
#include <vector>

namespace headroom {

void probe(std::initializer_list<std::size_t> blocks)
{
    // Mapped directly, not through malloc: a block malloc could not give is the same failed
    // mapping here, but the failure stays a result instead of an allocator's report.
    struct Mapped {
        void *at;
        std::size_t size;
    };
    std::vector<Mapped> mapped;
    mapped.reserve(blocks.size());
    bool missing = false;
    for (const std::size_t size : blocks) {
        if (size == 0)
            continue;
        void *at = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (at == MAP_FAILED) {
            missing = true;
            break;
        }
        mapped.push_back({at, size});
    }
    for (const Mapped &m : mapped)
        munmap(m.at, m.size);
    if (missing)
        throw std::bad_alloc();
}

} // namespace headroom
