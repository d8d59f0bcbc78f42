#pragma once

// The heap this program holds, counted at every operator new and delete, so that a benchmark
// can state the most memory an operation needed and fail when it needs more than its budget.

#include <benchmark/benchmark.h>

#include <cstddef>
#include <string>

namespace velnor::bench {

struct HeapUse {
    size_t live = 0; // bytes held now
    size_t peak = 0; // the most held at once since the last resetHeapPeak()
};

HeapUse heapUse();
void resetHeapPeak();

// The peak an operation reached above what was held when it began.
class HeapPeak {
public:
    HeapPeak() : start_(heapUse().live) { resetHeapPeak(); }
    double mebibytes() const {
        return static_cast<double>(heapUse().peak - start_) / (1024.0 * 1024.0);
    }

private:
    size_t start_;
};

// Shows the highest peak as the counter "peak_MiB" beside its budget, and fails the benchmark
// when the peak is over the budget.
inline void checkHeapBudget(benchmark::State &state, double peakMiB, double budgetMiB) {
    state.counters["peak_MiB"] = peakMiB;
    state.counters["budget_MiB"] = budgetMiB;
    if (peakMiB > budgetMiB) {
        state.SkipWithError(
            ("peak heap " + std::to_string(peakMiB) + " MiB is over the budget").c_str());
    }
}

} // namespace velnor::bench
