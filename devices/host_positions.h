// Conversions between the host's 32-bit integer positions and the servers'
// floating-point positions. The driver never scales them.
#pragma once
#include <climits>
#include <cmath>

// Truncated toward zero. A server value beyond the integer range gives the
// nearest end of the range and a value that is not a number gives 0, where
// a plain conversion would be undefined. Every position read from a server
// goes through here.
inline int TruncateToHostPosition(double value) {
    if (std::isnan(value)) {
        return 0;
    }
    if (value >= 2147483648.0) {
        return INT_MAX;
    }
    if (value <= -2147483649.0) {
        return INT_MIN;
    }
    return static_cast<int>(value);
}

// a - b and -a in 32-bit two's-complement arithmetic, as the host's offsets wrap.
inline int WrappingDifference(int a, int b) {
    return static_cast<int>(static_cast<unsigned>(a) - static_cast<unsigned>(b));
}
inline int WrappingNegation(int a) {
    return static_cast<int>(0u - static_cast<unsigned>(a));
}
