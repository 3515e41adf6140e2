#include "matching.h"
#include <lemon/matching.h>
#include <lemon/smart_graph.h>

std::vector<int> maximumWeightMatching(int vertices, const std::vector<WeightedEdge>& edges)
{
    lemon::SmartGraph graph;
    graph.reserveNode(vertices);
    graph.reserveEdge(int(edges.size()));
    std::vector<lemon::SmartGraph::Node> nodes;
    nodes.reserve(vertices);
    for (int v = 0; v < vertices; ++v)
        nodes.push_back(graph.addNode());
    lemon::SmartGraph::EdgeMap<std::int64_t> weight(graph);
    for (const WeightedEdge& e : edges)
        weight.set(graph.addEdge(nodes[e.first], nodes[e.second]), e.weight);
    lemon::MaxWeightedMatching<lemon::SmartGraph, lemon::SmartGraph::EdgeMap<std::int64_t>> matching(graph, weight);
    matching.run();
    std::vector<int> mate(vertices, -1);
    for (int v = 0; v < vertices; ++v)
        if (const lemon::SmartGraph::Node m = matching.mate(nodes[v]); m != lemon::INVALID)
            mate[v] = graph.id(m);
    return mate;
}
