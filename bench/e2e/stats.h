// Order statistics of the benchmark samples.
#pragma once
#include <algorithm>
#include <vector>

namespace bench_stats {
// Nearest-rank percentile (p in 0..100) of the samples; 0 for none.
inline double Percentile(std::vector<double> samples, double p) {
    if (samples.empty()) return 0;
    std::sort(samples.begin(), samples.end());
    const size_t rank = static_cast<size_t>(p / 100.0 * static_cast<double>(samples.size()) + 0.999999);
    return samples[std::min(samples.size(), std::max<size_t>(rank, 1)) - 1];
}

inline double Median(const std::vector<double>& samples) {
    if (samples.empty()) return 0;
    std::vector<double> s = samples;
    std::sort(s.begin(), s.end());
    const size_t n = s.size();
    return n % 2 ? s[n / 2] : (s[n / 2 - 1] + s[n / 2]) / 2;
}
}  // namespace bench_stats
