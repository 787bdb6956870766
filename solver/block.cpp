// Raw storage behind the array allocators (alone in this file so tests can replace it at link time).
#include <cstdlib>

#include "solver/storage.h"

namespace coastfit {

void* obtain_block(std::size_t bytes) noexcept { return std::malloc(bytes); }

void release_block(void* block) noexcept { std::free(block); }

}  // namespace coastfit
