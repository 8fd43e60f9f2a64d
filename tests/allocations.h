// Counts what operator new has handed out and not yet had back, so that a test
// can see a table and its bricks being released, or bound what a load needs.
#ifndef PELLARO_TESTS_ALLOCATIONS_H
#define PELLARO_TESTS_ALLOCATIONS_H

#include <cstddef>

long liveAllocations();

// The most bytes live at once since the last reset.
std::size_t peakBytes();
void resetPeakBytes();

#endif
