#include "graph/joint_graph.hpp"

#include <algorithm>
#include <iterator>
#include <span>
#include <utility>

#include "structures/gene_code.hpp"

namespace varnet {

std::vector<uint32_t> endsPresent(const AdjacencyArray& adjacency) {
    std::vector<uint32_t> ends;
    for (std::size_t end = 0; end < adjacency.partner.size(); ++end) {
        if (adjacency.partner[end] != 0) ends.push_back(static_cast<uint32_t>(end));
    }
    return ends;
}

namespace {

const AdjacencyArray& emptyAdjacency() {
    static const AdjacencyArray empty;
    return empty;
}

}  // namespace

JointGraphInput::JointGraphInput(std::size_t vertexCount)
    : adjacency_{&emptyAdjacency(), &emptyAdjacency()} {
    ensureVertexCount(vertexCount);
}

void JointGraphInput::ensureVertexCount(std::size_t count) {
    if (count > vertices_.size()) vertices_.resize(count);
}

void JointGraphInput::clearEntries() {
    if (!entriesUsed_) return;
    for (const uint32_t end : ends_) vertices_[end] = VertexState{};
    lists_.clear();
    owners_.clear();
    entriesUsed_ = false;
}

void JointGraphInput::setPair(const AdjacencyArray& a, const AdjacencyArray& b) {
    clearEntries();
    const std::size_t length = std::max(a.partner.size(), b.partner.size());
    ensureVertexCount(length);
    adjacency_ = {&a, &b};
    for (const int side : {0, 1}) {
        const std::vector<int32_t>& partner = adjacency_[side]->partner;
        if (partner.size() == length) {
            partners_[side] = partner.data();
        } else {
            padded_[side].assign(partner.begin(), partner.end());
            padded_[side].resize(length, 0);
            partners_[side] = padded_[side].data();
        }
    }
}

void JointGraphInput::load(const AdjacencyArray& a, const AdjacencyArray& b) {
    load(a, endsPresent(a), b, endsPresent(b));
}

void JointGraphInput::load(const AdjacencyArray& a, const std::vector<uint32_t>& endsOfA,
                           const AdjacencyArray& b, const std::vector<uint32_t>& endsOfB) {
    setPair(a, b);
    ends_.clear();
    std::set_union(endsOfA.begin(), endsOfA.end(), endsOfB.begin(), endsOfB.end(),
                   std::back_inserter(ends_));
    sameEnds_ = ends_.size() == endsOfA.size() && ends_.size() == endsOfB.size();
}

void JointGraphInput::load(const AdjacencyArray& a, const AdjacencyArray& b,
                           std::span<const uint32_t> ends, bool eachHoldsAll) {
    setPair(a, b);
    ends_.assign(ends.begin(), ends.end());
    sameEnds_ = eachHoldsAll;
}

// Runs the two phases of one build on the tables of a `JointGraphInput`.
class JointGraphBuilder {
public:
    JointGraphBuilder(JointGraphInput& input, GeneFreeCycles geneFree)
        : in_(input),
          a_(input.partners_[0]),
          b_(input.partners_[1]),
          countsGeneFree_(geneFree == GeneFreeCycles::counted) {}

    void build(JointGraph& graph) {
        in_.clearEntries();
        in_.entriesUsed_ = true;
        recycleComponents(graph, graph.cycles);
        recycleComponents(graph, graph.paths);
        graph.geneFreeCycles = 0;
        graph.geneFreeCycleEdges = 0;
        if (countsGeneFree_ && in_.sameEnds_) {
            traceSameEnds(graph);
        } else {
            traceAll();
        }
        // Far fewer components than ends: sorting their owners costs less than a pass over
        // the ends.
        std::sort(in_.owners_.begin(), in_.owners_.end());
        for (const uint32_t owner : in_.owners_) {
            const JointGraphInput::VertexState& state = in_.vertices_[owner];
            if (countsGeneFree_ && isGeneFreeCycle(state)) {
                ++graph.geneFreeCycles;
                graph.geneFreeCycleEdges += state.listSize;
                continue;
            }
            (state.closed ? graph.cycles : graph.paths)
                .push_back(makeComponent(owner, graph.spare));
        }
        graph.spare.clear();
    }

private:
    static constexpr int sideA = 0;
    static constexpr int sideB = 1;
    static constexpr uint8_t loneVertexSide = 2;
    static constexpr uint32_t runMarker = 0;

    // A closed list of common ends only: a cycle of as many adjacency edges as it has entries.
    bool isGeneFreeCycle(const JointGraphInput::VertexState& state) const {
        if (!state.closed) return false;
        const uint32_t* list = in_.lists_.data() + state.listStart;
        return std::find(list, list + state.listSize, runMarker) == list + state.listSize;
    }

    // Every end the builder reads is one of the loaded pair's or a partner of one: within both
    // tables.
    bool isCommon(uint32_t end) const { return a_[end] != 0 && b_[end] != 0; }
    int32_t partnerOn(int side, uint32_t end) const { return side == sideA ? a_[end] : b_[end]; }
    // A partner that is a telomere, or missing in a malformed array, ends a walk.
    static bool endsWalk(int32_t partner) { return partner <= 0; }

    // Phase 1: every component is traced once, from its smallest end; the owner of every
    // traced list is noted.
    void traceAll() {
        for (const uint32_t v : in_.ends_) {
            if (in_.vertices_[v].visited) continue;
            const int32_t a = a_[v];
            if (countsGeneFree_ && a > 0 && a == b_[v]) {
                // An adjacency both structures hold, left out: its two ends are the whole
                // component, so nothing needs tracing.
                in_.vertices_[v].visited = true;
                in_.vertices_[static_cast<uint32_t>(a)].visited = true;
                continue;
            }
            const uint32_t owner = traceFrom(v);
            if (in_.vertices_[owner].listSize != 0) in_.owners_.push_back(owner);
        }
    }

    // Phase 1 for structures that hold the same ends, with the gene-free cycles only counted:
    // every end is common and no run of genes lies anywhere, so every component is a gene-free
    // cycle, counted as soon as it closes, a path of adjacency edges or a lone vertex. The
    // lists and owners are those `traceAll` gives.
    void traceSameEnds(JointGraph& graph) {
        for (const uint32_t v : in_.ends_) {
            if (in_.vertices_[v].visited) continue;
            const int32_t a = a_[v];
            const int32_t b = b_[v];
            if (a > 0 && a == b) {
                in_.vertices_[v].visited = true;
                in_.vertices_[static_cast<uint32_t>(a)].visited = true;
                continue;
            }
            if (endsWalk(a) && endsWalk(b)) {
                in_.vertices_[v].startSide = loneVertexSide;
                appendEntry(v, v);
                in_.owners_.push_back(v);
                continue;
            }
            // Around a cycle, or along a path to one of its telomeres.
            int side = a > 0 ? sideA : sideB;
            uint32_t c = v;
            uint64_t edges = 1;
            in_.vertices_[c].visited = true;
            int32_t next = partnerOn(side, c);
            while (!endsWalk(next) && !in_.vertices_[static_cast<uint32_t>(next)].visited) {
                c = static_cast<uint32_t>(next);
                in_.vertices_[c].visited = true;
                ++edges;
                side = 1 - side;
                next = partnerOn(side, c);
            }
            if (!endsWalk(next)) {
                ++graph.geneFreeCycles;
                graph.geneFreeCycleEdges += edges;
                continue;
            }
            // The whole path, from the telomere end reached, which owns it.
            JointGraphInput::VertexState& owner = in_.vertices_[c];
            owner.listStart = static_cast<uint32_t>(in_.lists_.size());
            owner.startSide = static_cast<uint8_t>(1 - side);
            in_.owners_.push_back(c);
            side = 1 - side;
            while (true) {
                in_.lists_.push_back(c);
                next = partnerOn(side, c);
                if (endsWalk(next)) break;
                c = static_cast<uint32_t>(next);
                in_.vertices_[c].visited = true;
                side = 1 - side;
            }
            owner.listSize = static_cast<uint32_t>(in_.lists_.size()) - owner.listStart;
        }
    }

    // Traces the component of the unvisited end v, unless a left-out shared adjacency; returns
    // the owner of its list.
    uint32_t traceFrom(uint32_t v) {
        const int32_t a = a_[v];
        const int32_t b = b_[v];
        if ((a == 0) != (b == 0)) {
            const int side = a == 0 ? sideB : sideA;
            bool linear = false;
            if (pureSpecialTest(v, side, linear)) {
                in_.vertices_[v].startSide = static_cast<uint8_t>(side);
                appendEntry(v, runMarker);
                if (!linear) in_.vertices_[v].closed = true;
                return v;
            }
        }
        if (a > 0) {
            in_.vertices_[v].startSide = sideA;
            return traceComponent(v, sideA);
        }
        if (b > 0) {
            in_.vertices_[v].startSide = sideB;
            return traceComponent(v, sideB);
        }
        if (a == telomere && b == telomere) {
            in_.vertices_[v].startSide = loneVertexSide;
            appendEntry(v, v);
        }
        return v;
    }

    // True when v lies on a chromosome of `side` made only of genes the other structure lacks;
    // then its ends are marked visited and `linear` tells whether a telomere was met.
    bool pureSpecialTest(uint32_t v, int side, bool& linear) {
        linear = false;
        bool pure = collectRun(static_cast<int32_t>(v), side, linear);
        const int32_t behind = partnerOn(side, v);
        if (pure && behind != telomere) pure = collectRun(behind, side, linear);
        for (const uint32_t end : in_.collectedEnds_) {
            in_.vertices_[end].collected = false;
            if (pure) in_.vertices_[end].visited = true;
        }
        in_.collectedEnds_.clear();
        return pure;
    }

    // One walk of the test: collects gene after gene until the chromosome closes on itself or
    // ends at a telomere; false at the first common end.
    bool collectRun(int32_t start, int side, bool& linear) {
        int32_t x = start;
        while (true) {
            if (endsWalk(x)) {
                linear = true;
                return true;
            }
            const uint32_t end = static_cast<uint32_t>(x);
            if (in_.vertices_[end].collected) return true;
            const uint32_t other = otherEnd(end);
            if (isCommon(end) || isCommon(other)) return false;
            for (const uint32_t e : {end, other}) {
                in_.vertices_[e].collected = true;
                in_.collectedEnds_.push_back(e);
            }
            x = partnerOn(side, other);
        }
    }

    // Adds an entry to the list of `owner`, the component being traced.
    void appendEntry(uint32_t owner, uint32_t entry) {
        JointGraphInput::VertexState& state = in_.vertices_[owner];
        if (state.listSize == 0) state.listStart = static_cast<uint32_t>(in_.lists_.size());
        in_.lists_.push_back(entry);
        ++state.listSize;
    }

    void append(uint32_t owner, uint32_t entry, int side) {
        appendEntry(owner, entry);
        if (in_.vertices_[owner].listSize == 1)
            in_.vertices_[owner].startSide = static_cast<uint8_t>(side);
    }

    // Walks the component of v, starting along its edge of `side`, and returns the owner of its
    // list. A path is walked to one telomere, then again in full from its last common end there,
    // which becomes its owner.
    uint32_t traceComponent(uint32_t v, int side) {
        uint32_t owner = v;
        uint32_t c = v;
        bool reversed = false;
        while (true) {
            in_.vertices_[c].visited = true;
            if (isCommon(c)) append(owner, c, side);
            const int32_t next = partnerOn(side, c);
            if (endsWalk(next)) {
                if (reversed) return owner;
                if (!turn(owner, c, side)) return owner;
                reversed = true;
                continue;
            }
            const uint32_t n = static_cast<uint32_t>(next);
            if (isCommon(n)) {
                if (in_.vertices_[n].visited && !reversed) {
                    in_.vertices_[owner].closed = true;
                    return owner;
                }
                c = n;
                side = 1 - side;
            } else {
                // A run of genes only one structure holds is crossed gene by gene and leaves
                // one marker.
                if (isCommon(c)) appendEntry(owner, runMarker);
                in_.vertices_[n].visited = true;
                c = otherEnd(n);
            }
        }
    }

    // The walk has reached the telomere end c of a path. Moves ownership to the path's last
    // common end and prepares the full walk from there; false when the path has no common end.
    bool turn(uint32_t& owner, uint32_t& c, int& side) {
        uint32_t x = c;
        bool runBeforeTelomere = false;
        while (!isCommon(x)) {
            const int32_t next = partnerOn(side, otherEnd(x));
            if (endsWalk(next)) {
                appendEntry(owner, runMarker);
                return false;
            }
            x = static_cast<uint32_t>(next);
            runBeforeTelomere = true;
        }
        // The owner's list is the last one: dropping it leaves the lists before it.
        JointGraphInput::VertexState& old = in_.vertices_[owner];
        if (old.listSize != 0) in_.lists_.resize(old.listStart);
        old.listSize = 0;
        old.startSide = 0;
        in_.vertices_[x].startSide = static_cast<uint8_t>(1 - side);
        if (runBeforeTelomere) {
            appendEntry(x, runMarker);
            in_.vertices_[x].startSide = static_cast<uint8_t>(side);
        }
        owner = x;
        c = x;
        side = 1 - side;
        return true;
    }

    // Phase 2: the edges of the component whose traced list is owned by `owner`.
    Component makeComponent(uint32_t owner, std::vector<Component>& spare) const {
        const JointGraphInput::VertexState& state = in_.vertices_[owner];
        const std::span<const uint32_t> list(in_.lists_.data() + state.listStart, state.listSize);
        const std::size_t n = list.size();
        Component component;
        if (!spare.empty()) {
            component = std::move(spare.back());
            spare.pop_back();
        }
        component.reserve(n + 1);
        if (n == 1) {
            component.push_back(list[0] == runMarker ? makeEdge(EdgeKind::block, Side::a, 0)
                                                     : makeLoneVertex(list[0]));
        } else {
            bool afterMarker = false;
            bool vertexSeen = false;
            for (std::size_t i = 0; i < n; ++i) {
                if (afterMarker) {
                    component.push_back(
                        i == 1 ? makeEdge(EdgeKind::end, Side::a, list[1])
                               : makeEdge(EdgeKind::bridging, Side::a, list[i - 2], list[i]));
                    afterMarker = false;
                    vertexSeen = true;
                } else if (list[i] == runMarker) {
                    afterMarker = true;
                    if (i == n - 1)
                        component.push_back(makeEdge(EdgeKind::end, Side::a, list[n - 2]));
                } else if (vertexSeen) {
                    component.push_back(
                        makeEdge(EdgeKind::adjacency, Side::a, list[i - 1], list[i]));
                } else {
                    vertexSeen = true;
                }
            }
            if (state.closed) closeComponent(component, list);
        }
        int side = state.startSide;
        for (Edge& edge : component) {
            if (!isLoneVertex(edge)) {
                edge.side = sideOf(side != 0);
            }
            side = 1 - side;
        }
        return component;
    }

    // The edge that closes a cycle of two or more traced entries back to its first vertex.
    static void closeComponent(Component& component, std::span<const uint32_t> list) {
        if (list.front() == runMarker) {
            component.front().second = list.back();
            setKind(component.front(), EdgeKind::bridging);
        } else if (list.back() != runMarker) {
            component.push_back(makeEdge(EdgeKind::adjacency, Side::a, list.back(), list.front()));
        } else {
            component.back().second = list.front();
            setKind(component.back(), EdgeKind::bridging);
        }
    }

    JointGraphInput& in_;
    const int32_t* a_;
    const int32_t* b_;
    bool countsGeneFree_;
};

JointGraph buildJointGraph(JointGraphInput& input, GeneFreeCycles geneFree) {
    JointGraph graph;
    buildJointGraph(input, geneFree, graph);
    return graph;
}

void buildJointGraph(JointGraphInput& input, GeneFreeCycles geneFree, JointGraph& graph) {
    JointGraphBuilder(input, geneFree).build(graph);
}

JointGraph buildJointGraph(const AdjacencyArray& a, const AdjacencyArray& b,
                           GeneFreeCycles geneFree) {
    JointGraphInput input(std::max(a.partner.size(), b.partner.size()));
    input.load(a, b);
    return buildJointGraph(input, geneFree);
}

}  // namespace varnet
