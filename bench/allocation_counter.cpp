#include "allocation_counter.h"

#include <cstdlib>
#include <new>

namespace {
thread_local bool counting = false;
thread_local std::size_t allocations = 0;
}  // namespace

void* operator new(std::size_t size) {
    if (counting) {
        ++allocations;
    }
    if (void* memory = std::malloc(size == 0 ? 1 : size)) {
        return memory;
    }
    throw std::bad_alloc();
}

void operator delete(void* memory) noexcept {
    std::free(memory);
}

void operator delete(void* memory, std::size_t) noexcept {
    std::free(memory);
}

CountAllocationsHere::CountAllocationsHere() : start_(allocations) {
    counting = true;
}

CountAllocationsHere::~CountAllocationsHere() {
    counting = false;
}

std::size_t CountAllocationsHere::Count() const {
    return allocations - start_;
}
