#include "graph/joint_graph.hpp"

#include <algorithm>
#include <span>
#include <stdexcept>
#include <string>
#include <utility>

#include "structures/gene_code.hpp"

namespace varnet {

JointGraphInput::JointGraphInput(std::size_t vertexCount) {
    ensureVertexCount(vertexCount);
}

void JointGraphInput::ensureVertexCount(std::size_t count) {
    if (count <= visited_.size()) return;
    visited_.resize(count);
    collected_.resize(count);
}

void JointGraphInput::load(const AdjacencyArray& a, const AdjacencyArray& b,
                           std::span<const uint32_t> ends, bool eachHoldsAll) {
    holdsTrace_ = false;
    exchanged_ = false;
    ends_ = ends;
    sameEnds_ = eachHoldsAll;
    const std::size_t length = std::max(a.partner.size(), b.partner.size());
    ensureVertexCount(length);
    const std::array<const AdjacencyArray*, 2> pair{&a, &b};
    for (const int side : {0, 1}) {
        const std::vector<int32_t>& partner = pair[side]->partner;
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
    load(a, b, {}, true);
    unitedEnds_.clear();
    const std::size_t length = std::max(a.partner.size(), b.partner.size());
    for (uint32_t end = 0; end < length; ++end) {
        const bool inA = partners_[0][end] != 0;
        const bool inB = partners_[1][end] != 0;
        if (inA || inB) unitedEnds_.push_back(end);
        sameEnds_ = sameEnds_ && inA == inB;
    }
    ends_ = unitedEnds_;
}

// Runs the two phases of one build on the tables of a `JointGraphInput`. The walks copy the tables'
// addresses and the build's number into locals first: no store into the lists or the marks can
// change a local, so the compiler keeps them in registers.
class JointGraphBuilder {
public:
    JointGraphBuilder(JointGraphInput& input, LeftOutCycles* leftOut)
        : in_(input),
          a_(input.partners_[0]),
          b_(input.partners_[1]),
          visited_(input.visited_.data()),
          build_(++input.lastBuild_),
          leftOut_(leftOut),
          countsGeneFree_(leftOut != nullptr),
          stepLimit_(2 * input.ends_.size() + 2) {}

    void build(JointGraph& graph) {
        recycleComponents(graph, graph.cycles);
        recycleComponents(graph, graph.paths);
        if (leftOut_ != nullptr) leftOut_->clear();
        if (!in_.holdsTrace_ || in_.traceLeftOut_ != countsGeneFree_) {
            // A build that stops half way leaves no trace to reuse.
            in_.holdsTrace_ = false;
            in_.lists_.clear();
            in_.traced_.clear();
            in_.moved_.clear();
            in_.tracedGeneFreeCycles_ = 0;
            in_.tracedGeneFreeCycleEdges_ = 0;
            if (countsGeneFree_ && in_.sameEnds_) {
                traceSameEnds();
            } else {
                traceAll();
            }
            in_.holdsTrace_ = true;
            in_.traceLeftOut_ = countsGeneFree_;
        } else if (in_.traceExchanged_ != in_.exchanged_) {
            turnTraceRound();
        }
        in_.traceExchanged_ = in_.exchanged_;
        if (leftOut_ != nullptr) {
            leftOut_->geneFree = in_.tracedGeneFreeCycles_;
            leftOut_->geneFreeEdges = in_.tracedGeneFreeCycleEdges_;
        }
        // The lists owned by the ends they were traced from come in increasing order of their
        // owners; the few whose walk moved the owner are sorted and merged in.
        std::vector<TracedList>& moved = in_.moved_;
        std::sort(moved.begin(), moved.end(),
                  [](const TracedList& x, const TracedList& y) { return x.owner < y.owner; });
        auto nextMoved = moved.cbegin();
        for (const TracedList& traced : in_.traced_) {
            for (; nextMoved != moved.cend() && nextMoved->owner < traced.owner; ++nextMoved)
                makeTraced(*nextMoved, graph);
            makeTraced(traced, graph);
        }
        for (; nextMoved != moved.cend(); ++nextMoved) makeTraced(*nextMoved, graph);
        // The next build of a pair this size needs about as many components again.
        const std::size_t made = graph.cycles.size() + graph.paths.size();
        if (graph.spare.size() > made) graph.spare.resize(made);
    }

private:
    using TracedList = JointGraphInput::TracedList;

    static constexpr int sideA = 0;
    static constexpr int sideB = 1;
    static constexpr uint8_t loneVertexSide = 2;
    static constexpr uint32_t runMarker = 0;
    static constexpr std::size_t roomForEdges = 8;

    // Counts one more step of a walk started at `from`. No walk takes more steps than the graph
    // has edges, twice over for a path walked again from its other end; one that does can only
    // follow tables that contradict each other, and stops with an error instead of running on.
    void step(uint64_t& steps, uint32_t from) const {
        if (++steps > stepLimit_) walkTooLong(from);
    }
    [[noreturn, gnu::noinline]] static void walkTooLong(uint32_t from) {
        throw std::logic_error("The joint graph walk from gene end " + std::to_string(from) +
                               " takes more steps than the graph has edges: the adjacency "
                               "tables of the pair contradict each other");
    }

    // Every end the builder reads is one of the loaded pair's or a partner of one: within both
    // tables.
    bool isCommon(uint32_t end) const { return a_[end] != 0 && b_[end] != 0; }
    int32_t partnerOn(int side, uint32_t end) const { return side == sideA ? a_[end] : b_[end]; }
    // A partner that is a telomere, or missing in a malformed array, ends a walk.
    static bool endsWalk(int32_t partner) { return partner <= 0; }

    // A new list traced from the end `from` and owned by `owner`, after the lists traced so
    // far. It is traced in place, as the last of `traced_`: a copy of it, made while the walk's
    // narrower stores to it are still on their way, would wait for them.
    TracedList& startList(uint32_t owner, uint32_t from) {
        TracedList& traced = in_.traced_.emplace_back();
        traced.owner = owner;
        traced.from = from;
        traced.start = static_cast<uint32_t>(in_.lists_.size());
        return traced;
    }
    // Settles the list just traced: dropped when empty, moved to `moved_` when the walk gave it
    // another owner.
    void keepIfTraced() {
        const TracedList& traced = in_.traced_.back();
        if (traced.size != 0 && traced.owner == traced.from) return;
        if (traced.size != 0) in_.moved_.push_back(traced);
        in_.traced_.pop_back();
    }

    // The component of a traced list, or its count where it is left out.
    void makeTraced(const TracedList& traced, JointGraph& graph) {
        // A closed list of common ends only is a cycle of as many adjacency edges as it has
        // entries.
        if (countsGeneFree_ && traced.closed && traced.markers == 0) {
            ++leftOut_->geneFree;
            leftOut_->geneFreeEdges += traced.size;
            return;
        }
        const uint32_t* const list = in_.lists_.data() + traced.start;
        if (countsGeneFree_ && traced.closed &&
            noteOneBridgeCycle(traced, list, graph.cycles.size()))
            return;
        makeComponent(traced, list, traced.closed ? graph.cycles : graph.paths, graph.spare);
    }
    // Notes a closed list of two common ends and one run of genes in the graph's order of cycles,
    // as the cycle `makeComponent` would make of it: [x, y, run] gives an adjacency edge (x, y)
    // on the first side and a bridging edge (y, x) on the other; [x, run, y] a bridging edge
    // (x, y) on the first side and an adjacency edge (y, x). False, with nothing noted, for any
    // other list.
    bool noteOneBridgeCycle(const TracedList& traced, const uint32_t* list, std::size_t position) {
        if (traced.size != 3 || traced.startSide == loneVertexSide) return false;
        if (list[0] == runMarker || (list[1] == runMarker) == (list[2] == runMarker)) return false;
        const Side first = sideOf(traced.startSide != sideA);
        const Side bridge = list[1] == runMarker ? first : otherSide(first);
        leftOut_->oneBridge.push_back({static_cast<uint32_t>(position), bridge});
        return true;
    }
    void appendEntry(TracedList& traced, uint32_t entry) {
        in_.lists_.push_back(entry);
        ++traced.size;
    }
    void appendMarker(TracedList& traced) {
        appendEntry(traced, runMarker);
        ++traced.markers;
    }

    // Phase 1: every component is traced once, from its smallest end; the list of each is kept
    // with its owner.
    void traceAll() {
        const int32_t* const a = a_;
        const int32_t* const b = b_;
        uint64_t* const visited = visited_;
        const uint64_t build = build_;
        const bool leavesOutShared = countsGeneFree_;
        for (const uint32_t v : in_.ends_) {
            if (visited[v] == build) continue;
            const int32_t partnerA = a[v];
            const int32_t partnerB = b[v];
            if (leavesOutShared && partnerA > 0 && partnerA == partnerB) {
                // An adjacency both structures hold, left out: its two ends are the whole
                // component, so nothing needs tracing.
                visited[v] = build;
                visited[partnerA] = build;
                continue;
            }
            traceFrom(v, partnerA, partnerB, startList(v, v));
            keepIfTraced();
        }
    }

    // Phase 1 for structures that hold the same ends, with the gene-free cycles only counted:
    // every end is common and no run of genes lies anywhere, so every component is a gene-free
    // cycle, counted as soon as it closes, a path of adjacency edges or a lone vertex. The
    // lists are those `traceAll` gives.
    void traceSameEnds() {
        const int32_t* const tables[2] = {a_, b_};
        uint64_t* const visited = visited_;
        const uint64_t build = build_;
        for (const uint32_t v : in_.ends_) {
            if (visited[v] == build) continue;
            const int32_t a = tables[sideA][v];
            const int32_t b = tables[sideB][v];
            if (a > 0 && a == b) {
                visited[v] = build;
                visited[a] = build;
                continue;
            }
            if (endsWalk(a) && endsWalk(b)) {
                TracedList& traced = startList(v, v);
                traced.startSide = loneVertexSide;
                appendEntry(traced, v);
                keepIfTraced();
                continue;
            }
            // Around a cycle, or along a path to one of its telomeres.
            int side = a > 0 ? sideA : sideB;
            uint32_t c = v;
            uint64_t edges = 1;
            visited[c] = build;
            int32_t next = tables[side][c];
            while (!endsWalk(next) && visited[next] != build) {
                c = static_cast<uint32_t>(next);
                visited[c] = build;
                ++edges;
                side = 1 - side;
                next = tables[side][c];
            }
            if (!endsWalk(next)) {
                ++in_.tracedGeneFreeCycles_;
                in_.tracedGeneFreeCycleEdges_ += edges;
                continue;
            }
            // The whole path, from the telomere end reached, which owns it.
            TracedList& traced = startList(c, v);
            traced.startSide = static_cast<uint8_t>(1 - side);
            side = 1 - side;
            uint64_t steps = 0;
            while (true) {
                step(steps, v);
                in_.lists_.push_back(c);
                next = tables[side][c];
                if (endsWalk(next)) break;
                c = static_cast<uint32_t>(next);
                visited[c] = build;
                side = 1 - side;
            }
            traced.size = static_cast<uint32_t>(in_.lists_.size()) - traced.start;
            keepIfTraced();
        }
    }

    // The lists of a trace of the same pair with the structures the other way round, made
    // those of this build. The components are the same and each is walked from the same end;
    // a walk goes the same way along the same edges, whose structures have swapped names,
    // unless it started from an end with an edge in each structure. Such a walk starts along
    // the other edge now: around a cycle the other way, from that end; along a path from its
    // other telomere, whose last common end owns it.
    void turnTraceRound() {
        std::vector<TracedList>& traced = in_.traced_;
        std::vector<TracedList>& moved = in_.moved_;
        for (TracedList& list : moved) turnRound(list);
        // Lists are copied only where one before them left: a copy just after the narrower
        // stores of `turnRound` would wait for them.
        std::size_t kept = 0;
        for (std::size_t k = 0; k < traced.size(); ++k) {
            TracedList& list = traced[k];
            turnRound(list);
            if (list.owner != list.from) {
                moved.push_back(list);
                continue;
            }
            if (kept != k) traced[kept] = list;
            ++kept;
        }
        traced.resize(kept);
    }
    void turnRound(TracedList& traced) {
        if (traced.startSide == loneVertexSide) return;
        if (a_[traced.from] <= 0 || b_[traced.from] <= 0) {
            traced.startSide ^= 1;
            return;
        }
        // The list is read the other way round: a closed one from its first entry on backwards,
        // an open one from its last.
        uint32_t* const list = in_.lists_.data() + traced.start;
        const std::size_t n = traced.size;
        std::reverse(list + (traced.closed ? 1 : 0), list + n);
        if (traced.closed) {
            // From the same end, which comes first, along the other structure's edge: A's now.
            traced.startSide = sideA;
            return;
        }
        // Sides alternate along the path, whose first edge is now its last: a marker between
        // two entries is one edge with them, any other entry after the first starts one.
        const std::size_t inner =
            traced.markers - (list[0] == runMarker ? 1 : 0) - (list[n - 1] == runMarker ? 1 : 0);
        traced.startSide ^= static_cast<uint8_t>((n - 1 - inner) & 1);
        // The first common end as the list is now read.
        traced.owner = list[0] != runMarker ? list[0] : list[1];
    }

    // Traces the component of the unvisited end v, of partners a and b, into `traced`, owned
    // by v until a walk moves it; leaves it empty where there is nothing to make.
    void traceFrom(uint32_t v, int32_t a, int32_t b, TracedList& traced) {
        if ((a == 0) != (b == 0)) {
            const int side = a == 0 ? sideB : sideA;
            bool linear = false;
            if (pureSpecialTest(v, side, linear)) {
                traced.startSide = static_cast<uint8_t>(side);
                appendMarker(traced);
                traced.closed = !linear;
                return;
            }
        }
        if (a > 0) {
            traced.startSide = sideA;
            traceComponent(v, sideA, traced);
        } else if (b > 0) {
            traced.startSide = sideB;
            traceComponent(v, sideB, traced);
        } else if (a == telomere && b == telomere) {
            traced.startSide = loneVertexSide;
            appendEntry(traced, v);
        }
    }

    // True when v lies on a chromosome of `side` made only of genes the other structure lacks;
    // then its ends are marked visited and `linear` tells whether a telomere was met.
    // Seldom run: kept out of the build's loop over the ends, whose registers it would take.
    [[gnu::noinline]] bool pureSpecialTest(uint32_t v, int side, bool& linear) {
        const uint64_t test = ++in_.lastRunTest_;
        linear = false;
        bool pure = collectRun(static_cast<int32_t>(v), side, test, linear);
        const int32_t behind = partnerOn(side, v);
        if (pure && behind != telomere) pure = collectRun(behind, side, test, linear);
        if (pure) {
            for (const uint32_t end : in_.collectedEnds_) visited_[end] = build_;
        }
        in_.collectedEnds_.clear();
        return pure;
    }

    // One walk of the test: collects gene after gene until the chromosome closes on itself or
    // ends at a telomere; false at the first common end.
    bool collectRun(int32_t start, int side, uint64_t test, bool& linear) {
        uint64_t* const collected = in_.collected_.data();
        int32_t x = start;
        while (true) {
            if (endsWalk(x)) {
                linear = true;
                return true;
            }
            const uint32_t end = static_cast<uint32_t>(x);
            if (collected[end] == test) return true;
            const uint32_t other = otherEnd(end);
            if (isCommon(end) || isCommon(other)) return false;
            for (const uint32_t e : {end, other}) {
                collected[e] = test;
                in_.collectedEnds_.push_back(e);
            }
            x = partnerOn(side, other);
        }
    }

    // Walks the component of v, starting along its edge of `side`. A path is walked to one
    // telomere, then again in full from its last common end there, which becomes its owner.
    // The walk keeps both partners of the end it stands on and whether that end is common.
    void traceComponent(uint32_t v, int side, TracedList& traced) {
        const int32_t* const a = a_;
        const int32_t* const b = b_;
        uint64_t* const visited = visited_;
        const uint64_t build = build_;
        uint32_t c = v;
        int32_t partnerA = a[c];
        int32_t partnerB = b[c];
        bool common = partnerA != 0 && partnerB != 0;
        bool reversed = false;
        uint64_t steps = 0;
        while (true) {
            step(steps, v);
            visited[c] = build;
            if (common) {
                appendEntry(traced, c);
                if (traced.size == 1) traced.startSide = static_cast<uint8_t>(side);
            }
            const int32_t next = side == sideA ? partnerA : partnerB;
            if (endsWalk(next)) {
                if (reversed || !turn(traced, c, side)) return;
                reversed = true;
                partnerA = a[c];
                partnerB = b[c];
                common = true;
                continue;
            }
            const uint32_t n = static_cast<uint32_t>(next);
            const int32_t nextA = a[n];
            const int32_t nextB = b[n];
            if (nextA != 0 && nextB != 0) {
                if (!reversed && visited[n] == build) {
                    traced.closed = true;
                    return;
                }
                c = n;
                partnerA = nextA;
                partnerB = nextB;
                common = true;
                side = 1 - side;
            } else {
                // A run of genes only one structure holds is crossed gene by gene and leaves
                // one marker.
                if (common) appendMarker(traced);
                visited[n] = build;
                c = otherEnd(n);
                partnerA = a[c];
                partnerB = b[c];
                common = partnerA != 0 && partnerB != 0;
            }
        }
    }

    // The walk has reached the telomere end c of a path. Moves ownership to the path's last
    // common end and prepares the full walk from there; false when the path has no common end.
    [[gnu::noinline]] bool turn(TracedList& traced, uint32_t& c, int& side) {
        uint32_t x = c;
        bool runBeforeTelomere = false;
        uint64_t steps = 0;
        while (!isCommon(x)) {
            step(steps, c);
            const int32_t next = partnerOn(side, otherEnd(x));
            if (endsWalk(next)) {
                appendMarker(traced);
                return false;
            }
            x = static_cast<uint32_t>(next);
            runBeforeTelomere = true;
        }
        // The list traced so far is the last one: dropping it leaves the lists before it.
        in_.lists_.resize(traced.start);
        traced.owner = x;
        traced.size = 0;
        traced.markers = 0;
        traced.startSide = static_cast<uint8_t>(1 - side);
        if (runBeforeTelomere) {
            appendMarker(traced);
            traced.startSide = static_cast<uint8_t>(side);
        }
        c = x;
        side = 1 - side;
        return true;
    }

    // Phase 2: the edges of a traced component, appended to `into` in storage from `spare`
    // where it holds some; room for a few edges more than the list needs lets that storage
    // serve larger components of later builds without growing. Each edge gets its side as it
    // is made, alternating from the list's first side; a lone vertex keeps its own.
    static void makeComponent(const TracedList& traced, const uint32_t* list,
                              std::vector<Component>& into, std::vector<Component>& spare) {
        const std::size_t n = traced.size;
        if (spare.empty()) {
            into.emplace_back();
        } else {
            into.push_back(std::move(spare.back()));
            spare.pop_back();
        }
        Component& component = into.back();
        if (component.capacity() <= n)
            component.reserve(std::max<std::size_t>(n + 1, roomForEdges));
        Side side = sideOf(traced.startSide != sideA);
        const auto add = [&component, &side](EdgeKind kind, uint32_t first, uint32_t second) {
            Edge& edge = component.emplace_back();
            edge.kind = kind;
            edge.side = side;
            edge.first = first;
            edge.second = second;
            side = otherSide(side);
        };
        if (n == 1) {
            if (list[0] == runMarker) {
                add(EdgeKind::block, 0, 0);
            } else {
                component.push_back(makeLoneVertex(list[0]));
            }
            return;
        }
        // Every entry after a marker is taken as a common end.
        std::size_t i = 1;
        if (list[0] == runMarker) {
            add(EdgeKind::end, list[1], 0);
            i = 2;
        }
        while (i < n) {
            if (list[i] != runMarker) {
                add(EdgeKind::adjacency, list[i - 1], list[i]);
                ++i;
            } else if (i == n - 1) {
                add(EdgeKind::end, list[n - 2], 0);
                ++i;
            } else {
                add(EdgeKind::bridging, list[i - 1], list[i + 1]);
                i += 2;
            }
        }
        if (!traced.closed) return;
        // The edge that closes the cycle back to its first vertex.
        if (list[0] == runMarker) {
            component.front().second = list[n - 1];
            setKind(component.front(), EdgeKind::bridging);
        } else if (list[n - 1] != runMarker) {
            add(EdgeKind::adjacency, list[n - 1], list[0]);
        } else {
            component.back().second = list[0];
            setKind(component.back(), EdgeKind::bridging);
        }
    }

    JointGraphInput& in_;
    const int32_t* a_;
    const int32_t* b_;
    uint64_t* visited_;
    // The number of this build, which marks the vertices it visits.
    uint64_t build_;
    LeftOutCycles* leftOut_;
    bool countsGeneFree_;
    uint64_t stepLimit_;
};

void buildJointGraph(JointGraphInput& input, JointGraph& graph, LeftOutCycles* leftOut) {
    JointGraphBuilder(input, leftOut).build(graph);
}

JointGraph buildJointGraph(const AdjacencyArray& a, const AdjacencyArray& b) {
    JointGraphInput input(std::max(a.partner.size(), b.partner.size()));
    input.load(a, b);
    JointGraph graph;
    buildJointGraph(input, graph);
    return graph;
}

}  // namespace varnet
