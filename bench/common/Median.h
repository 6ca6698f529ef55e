#pragma once
#include <algorithm>

namespace bench {

// The middle of a set of timings (the upper one of the two for an even count):
// one slow run, disturbed by the rest of the machine, does not move it.
template <typename List> auto median(List values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace bench
