#pragma once

#include <cstddef>
#include <initializer_list>

// Whether memory is there before a change that cannot survive its absence.
namespace headroom {

// Maps blocks of the given sizes (0: none), all at the same time, and unmaps them again without
// touching them. Throws std::bad_alloc when one of them cannot be had: the address space or the
// memory the system commits is not there for all of them at once.
void probe(std::initializer_list<std::size_t> blocks);

} // namespace headroom
