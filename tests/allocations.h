// Counts the blocks that operator new has handed out and not yet had back, so
// that a test can see a table and its bricks being released.
#ifndef PELLARO_TESTS_ALLOCATIONS_H
#define PELLARO_TESTS_ALLOCATIONS_H

long liveAllocations();

#endif
