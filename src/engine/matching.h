#pragma once
// A maximum-weight matching (Edmonds' blossom algorithm, from LEMON). The
// interface holds standard types only: the one file that includes LEMON
// builds as C++17 (see CMakeLists.txt).
#include <cstdint>
#include <vector>

struct WeightedEdge {
    int first = 0, second = 0;   // vertices 0 .. n-1
    std::int64_t weight = 0;     // positive; an edge of weight 0 or less is never worth taking
};

// For each of the `vertices` vertices its mate in a matching of the largest
// total weight, or -1 when it stays unmatched.
std::vector<int> maximumWeightMatching(int vertices, const std::vector<WeightedEdge>& edges);
