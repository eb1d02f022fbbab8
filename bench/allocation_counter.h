#pragma once

#include <cstddef>

// Counts operator new calls made on the calling thread while a scope is open,
// so that a benchmark can tell how often a loop allocates.
class CountAllocationsHere {
  public:
    CountAllocationsHere();
    ~CountAllocationsHere();
    CountAllocationsHere(const CountAllocationsHere&) = delete;
    CountAllocationsHere& operator=(const CountAllocationsHere&) = delete;

    std::size_t Count() const;

  private:
    std::size_t start_;
};
