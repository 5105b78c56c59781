#include "support/checks.hpp"

#include <algorithm>
#include <sstream>

#include "solver/operation_record.hpp"
#include "structures/gene_code.hpp"
#include "support/builders.hpp"

namespace varnet {

void PrintTo(const Edge& edge, std::ostream* out) {
    static const char* const kindNames[] = {"adjacency", "end", "bridging", "block", "lone"};
    *out << kindNames[static_cast<std::size_t>(edge.kind)] << (isSideB(edge) ? " B " : " A ")
         << edge.first << '-' << edge.second << " [";
    for (std::size_t k = 0; k < edge.genes.size(); ++k) *out << (k ? " " : "") << edge.genes[k];
    *out << ']';
}

}  // namespace varnet

namespace varnet::testing {
namespace {

std::string describe(const Component& component) {
    std::ostringstream out;
    for (const Edge& edge : component) {
        out << '{';
        PrintTo(edge, &out);
        out << '}';
    }
    return out.str();
}

bool touchesVertexZero(const Edge& edge) {
    if (isLoneVertex(edge) || edge.kind == EdgeKind::end) return edge.first == 0;
    if (edge.kind == EdgeKind::block) return false;
    return edge.first == 0 || edge.second == 0;
}

std::string formFault(const Component& component) {
    if (component.empty()) return "empty component";
    for (std::size_t k = 0; k < component.size(); ++k) {
        const Edge& edge = component[k];
        std::string fault;
        if (component.size() > 1 && (edge.kind == EdgeKind::block || isLoneVertex(edge)))
            fault = "block edge or lone vertex inside a longer component";
        if (k > 0 && sameSide(component[k - 1], edge)) fault = "sides do not alternate";
        if (touchesVertexZero(edge)) fault = "an edge touches vertex 0";
        if (!fault.empty())
            return fault + " at " + std::to_string(k) + " in " + describe(component);
    }
    return "";
}

}  // namespace

std::string stateFault(const ChromosomeSet& state, std::size_t firstRecord) {
    std::vector<const Component*> all;
    for (const auto* list : {&state.cycles, &state.paths}) {
        for (const Component& component : *list) all.push_back(&component);
    }
    for (const std::vector<Component>& bucket : state.buckets.lists) {
        for (const Component& component : bucket) all.push_back(&component);
    }
    for (const ComponentQuad& quad : state.quads) {
        for (const Component* c : {&quad.first, &quad.second, &quad.third, &quad.fourth}) {
            if (!c->empty()) all.push_back(c);  // an alternative taken is left empty
        }
    }
    const std::vector<OperationRecord>& records = state.log.records();
    for (std::size_t r = firstRecord; r < records.size(); ++r) {
        const OperationRecord& record = records[r];
        for (const auto* items : {&record.before, &record.after}) {
            for (const ComponentItem& item : *items) {
                // The printer's marker of open alternatives: an empty linear item closing `after`.
                if (items == &record.after && &item == &items->back() && item.tag == 'L' &&
                    item.component.empty())
                    continue;
                const std::string fault = formFault(item.component);
                if (!fault.empty())
                    return "record " + std::to_string(r) + " (step \"" + record.step +
                           "\"): " + fault;
            }
        }
    }
    for (const Component* component : all) {
        const std::string fault = formFault(*component);
        if (!fault.empty()) return fault;
    }
    return "";
}

double listedCost(const ChromosomeSet& state, const OperationWeights& weights) {
    double total = 0.0;
    for (const OperationRecord& record : state.log.records()) {
        for (const int32_t event : record.events)
            total += weightOf(static_cast<EventCode>(event), weights);
    }
    return total;
}

std::string finalGraphFault(const ChromosomeSet& state, const ChromosomalStructure& a,
                            const ChromosomalStructure& b) {
    std::vector<uint32_t> printed;
    for (const auto* list : {&state.cycles, &state.paths}) {
        for (const Component& c : *list) {
            const bool lone = c.size() == 1 && isLoneVertex(c[0]);
            const bool twoEdgeCycle = c.size() == 2 && c[0].kind == EdgeKind::adjacency &&
                                      c[1].kind == EdgeKind::adjacency && !sameSide(c[0], c[1]) &&
                                      c[0].second == c[1].first && c[1].second == c[0].first;
            if (!lone && !twoEdgeCycle) return "unfinished final component " + describe(c);
            for (const Edge& edge : c) printed.push_back(edge.first);
        }
    }
    // Copies are matched by number, so a code both structures hold is a shared copy.
    std::vector<uint32_t> codesOfA;
    for (const Chromosome& chromosome : a.chromosomes) {
        for (const int32_t code : chromosome.genes) codesOfA.push_back(absoluteCode(code));
    }
    std::sort(codesOfA.begin(), codesOfA.end());
    std::vector<uint32_t> shared;
    for (const Chromosome& chromosome : b.chromosomes) {
        for (const int32_t code : chromosome.genes) {
            const uint32_t c = absoluteCode(code);
            if (!std::binary_search(codesOfA.begin(), codesOfA.end(), c)) continue;
            shared.push_back(enteringEnd(static_cast<int32_t>(c)));
            shared.push_back(otherEnd(enteringEnd(static_cast<int32_t>(c))));
        }
    }
    std::sort(printed.begin(), printed.end());
    std::sort(shared.begin(), shared.end());
    return printed == shared ? "" : "final vertices differ from the shared gene ends";
}

}  // namespace varnet::testing
