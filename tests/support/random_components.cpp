#include "support/random_components.hpp"

#include <cstdint>
#include <vector>

namespace varnet::testing {
namespace {

class ComponentGenerator {
public:
    explicit ComponentGenerator(std::mt19937& random) : random_(random) {}

    Component cycle() {
        if (chance(0.05)) return {special(blockEdge)};
        const int length = 2 * pick(1, 5);
        std::vector<uint32_t> vertices;
        for (int k = 0; k < length; ++k) vertices.push_back(freshVertex());
        Component result;
        for (int k = 0; k < length; ++k) {
            result.push_back(inner(vertices[k], vertices[(k + 1) % length]));
        }
        return alternate(std::move(result));
    }

    Component path() {
        if (chance(0.15)) {
            switch (pick(0, 3)) {
                case 0:
                    return {makeLoneVertex(freshVertex())};
                case 1:
                    return alternate({special(blockEdge)});
                case 2:
                    return alternate({endAt(freshVertex())});
                default: {
                    const uint32_t first = freshVertex();
                    return alternate({inner(first, freshVertex())});
                }
            }
        }
        const bool frontEnd = chance(0.3);
        const bool backEnd = chance(0.3);
        int innerCount = pick(0, 8);
        if (innerCount == 0 && !(frontEnd && backEnd)) innerCount = 1;
        std::vector<uint32_t> vertices;
        for (int k = 0; k <= innerCount; ++k) vertices.push_back(freshVertex());
        Component result;
        if (frontEnd) result.push_back(endAt(vertices.front()));
        for (int k = 0; k < innerCount; ++k) result.push_back(inner(vertices[k], vertices[k + 1]));
        if (backEnd) result.push_back(endAt(vertices.back()));
        return alternate(std::move(result));
    }

private:
    bool chance(double rate) {
        return std::uniform_real_distribution<double>(0, 1)(random_) < rate;
    }
    int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }
    uint32_t freshVertex() { return nextVertex_ += 10; }

    std::vector<int32_t> genes() {
        std::vector<int32_t> result(static_cast<std::size_t>(pick(1, 3)));
        for (int32_t& code : result) code = (chance(0.5) ? -1 : 1) * (nextGene_ += 10);
        return result;
    }
    Edge special(uint8_t kind) {
        Edge edge = makeEdge(kind, false, 0);
        edge.genes = genes();
        return edge;
    }
    Edge endAt(uint32_t vertex) {
        Edge edge = special(endEdge);
        edge.first = vertex;
        return edge;
    }
    Edge inner(uint32_t first, uint32_t second) {
        if (chance(0.65)) return makeEdge(adjacencyEdge, false, first, second);
        Edge edge = special(bridgingEdge);
        edge.first = first;
        edge.second = second;
        return edge;
    }
    Component alternate(Component component) {
        bool sideB = chance(0.5);
        for (Edge& edge : component) {
            if (!isLoneVertex(edge) && sideB) edge.flags |= sideBBit;
            sideB = !sideB;
        }
        return component;
    }

    std::mt19937& random_;
    uint32_t nextVertex_ = 1;
    int32_t nextGene_ = 1;
};

}  // namespace

ComponentLists generateComponents(std::mt19937& random, int count) {
    ComponentGenerator generator(random);
    ComponentLists lists;
    for (int k = 0; k < count; ++k) {
        if (std::uniform_real_distribution<double>(0, 1)(random) < 0.3) {
            lists.cycles.push_back(generator.cycle());
        } else {
            lists.paths.push_back(generator.path());
        }
    }
    return lists;
}

}  // namespace varnet::testing
