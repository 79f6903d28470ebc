#pragma once

// A fuzz target states what must hold for every input; a broken rule stops
// the run like a crash does, with the rule in the log.

#include <cstdio>
#include <cstdlib>

#define FUZZ_REQUIRE(condition)                                                                              \
    do {                                                                                                     \
        if (!(condition)) {                                                                                  \
            std::fprintf(stderr, "rule broken: %s (%s:%d)\n", #condition, __FILE__, __LINE__);              \
            std::abort();                                                                                    \
        }                                                                                                    \
    } while (0)
