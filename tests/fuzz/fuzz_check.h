#pragma once

#include <cstdlib>

// An invariant of a harness: breaking it is a finding, as a crash is.
#define FUZZ_CHECK(condition) \
    do {                      \
        if (!(condition)) std::abort(); \
    } while (0)
