// The fuzzers' one way to fail: name the broken invariant and abort, so libFuzzer keeps the input.
#pragma once
#include <cstdio>
#include <cstdlib>

inline void Check(bool ok, const char* what) {
    if (ok) return;
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
}
