#include "compare/copy_pairing.hpp"

#include <algorithm>
#include <numeric>
#include <stdexcept>
#include <tuple>

#include "structures/gene_code.hpp"

namespace varnet {
namespace {

// Rounds of fingerprint refinement: each takes in the neighbours one gene further away.
constexpr int fingerprintRounds = 4;

// Beyond this many candidate pairs of one gene, what is left pairs by fingerprint alone.
constexpr std::size_t maxScoredCandidates = 256;

uint64_t mix(uint64_t seed, uint64_t value) {
    uint64_t x = seed ^ (value + 0x9e3779b97f4a7c15ULL + (seed << 6) + (seed >> 2));
    x ^= x >> 31;
    x *= 0xbf58476d1ce4e5b9ULL;
    x ^= x >> 29;
    return x;
}

// Orders occurrences of `side` by fingerprint, then by place (they are numbered in reading order).
auto byFingerprint(std::span<const CopyPairing::Occurrence> side) {
    return [side](std::size_t x, std::size_t y) {
        return std::tie(side[x].fingerprint, x) < std::tie(side[y].fingerprint, y);
    };
}

uint64_t fingerprintOf(const std::vector<CopyPairing::Occurrence>& occurrences, std::size_t x) {
    uint64_t value = mix(0, static_cast<uint64_t>(occurrences[x].gene));
    for (std::size_t end = 0; end < 2; ++end) {
        value = mix(value, end + 5);
        std::size_t at = x;
        std::size_t leaving = end;
        for (int step = 0; step < fingerprintRounds; ++step) {
            const std::size_t n = occurrences[at].neighbour[leaving];
            if (n == CopyPairing::none) {
                value = mix(value, 1);
                break;
            }
            at = n / 2;
            value = mix(value, mix(static_cast<uint64_t>(occurrences[at].gene), n % 2 + 2));
            leaving = 1 - n % 2;
        }
    }
    return value;
}

}  // namespace

void CopyPairing::occurrencesOf(const ChromosomalStructure& s, const GeneTable& genes,
                                std::vector<Occurrence>& result) {
    result.clear();
    for (const Chromosome& chromosome : s.chromosomes) {
        const std::size_t first = result.size();
        for (std::size_t k = 0; k < chromosome.genes.size(); ++k) {
            Occurrence& o = result.emplace_back();
            o.code = absoluteCode(chromosome.genes[k]);
            o.gene = genes.nameOrderOf(static_cast<int32_t>(o.code));
        }
        // The end where reading enters a gene, and the end where it leaves.
        const auto entered = [&](std::size_t k) { return chromosome.genes[k] > 0 ? 0u : 1u; };
        const auto join = [&](std::size_t k, std::size_t next) {
            const std::size_t leftEnd = 1 - entered(k);
            const std::size_t nextEnd = entered(next);
            result[first + k].neighbour[leftEnd] = 2 * (first + next) + nextEnd;
            result[first + next].neighbour[nextEnd] = 2 * (first + k) + leftEnd;
        };
        const std::size_t size = chromosome.genes.size();
        for (std::size_t k = 0; k + 1 < size; ++k) join(k, k + 1);
        if (chromosome.circular && size > 0) join(size - 1, 0);
    }
    for (std::size_t x = 0; x < result.size(); ++x)
        result[x].fingerprint = fingerprintOf(result, x);
}

void CopyPairing::byGene(const std::vector<std::size_t>& slots, ByGene& result) {
    result.start.assign(geneCount_ + 1, 0);
    for (const std::size_t g : slots) ++result.start[g + 1];
    for (std::size_t g = 0; g < geneCount_; ++g) result.start[g + 1] += result.start[g];
    result.items.resize(slots.size());
    next_.assign(result.start.begin(), result.start.end() - 1);
    for (std::size_t k = 0; k < slots.size(); ++k) result.items[next_[slots[k]]++] = k;
}

void CopyPairing::reset(const ChromosomalStructure& a, const ChromosomalStructure& b,
                        const std::vector<Occurrence>& genesOfA,
                        const std::vector<Occurrence>& genesOfB) {
    a_ = &a;
    b_ = &b;
    inA_ = genesOfA;
    inB_ = genesOfB;
    numberGenes();
    byGene(slotA_, genesInA_);
    byGene(slotB_, genesInB_);
    choices_.clear();
    copiedGenes_.clear();
    for (std::size_t g = 0; g < geneCount_; ++g) {
        const std::size_t m = genesInA_[g].size();
        const std::size_t n = genesInB_[g].size();
        if (std::max(m, n) < 2) continue;
        copiedGenes_.push_back(g);
        if (m > 0 && n > 0) choices_.push_back({genesInA_[g], genesInB_[g]});
    }
    pairByContext();
}

void CopyPairing::numberGenes() {
    int32_t largest = 0;
    for (const std::span<const Occurrence> side : {inA_, inB_}) {
        for (const Occurrence& o : side) largest = std::max(largest, o.gene + 1);
    }
    // Genes of a file with far more names than the pair holds are numbered by their rank among
    // the pair's genes, so that no table is as large as the names of the file.
    const bool byId = static_cast<std::size_t>(largest) <= 2 * (inA_.size() + inB_.size()) + 64;
    pairGenes_.clear();
    if (!byId) {
        for (const std::span<const Occurrence> side : {inA_, inB_})
            for (const Occurrence& o : side) pairGenes_.push_back(o.gene);
        std::sort(pairGenes_.begin(), pairGenes_.end());
        pairGenes_.erase(std::unique(pairGenes_.begin(), pairGenes_.end()), pairGenes_.end());
    }
    geneCount_ = byId ? static_cast<std::size_t>(largest) : pairGenes_.size();
    const auto slotOf = [&](int32_t gene) {
        return byId ? static_cast<std::size_t>(gene)
                    : static_cast<std::size_t>(
                          std::lower_bound(pairGenes_.begin(), pairGenes_.end(), gene) -
                          pairGenes_.begin());
    };
    slotA_.resize(inA_.size());
    slotB_.resize(inB_.size());
    for (std::size_t x = 0; x < inA_.size(); ++x) slotA_[x] = slotOf(inA_[x].gene);
    for (std::size_t y = 0; y < inB_.size(); ++y) slotB_[y] = slotOf(inB_[y].gene);
}

void CopyPairing::pair(std::size_t x, std::size_t y) {
    context_[x] = y;
    partnerOfB_[y] = x;
}

void CopyPairing::spread() {
    while (!queue_.empty()) {
        const std::size_t x = queue_.back();
        queue_.pop_back();
        const std::size_t y = context_[x];
        for (int end = 0; end < 2; ++end) {
            const std::size_t p = inA_[x].neighbour[end];
            const std::size_t q = inB_[y].neighbour[end];
            if (p == none || q == none || p % 2 != q % 2) continue;
            const std::size_t u = p / 2;
            const std::size_t v = q / 2;
            if (inA_[u].gene != inB_[v].gene || context_[u] != unpaired ||
                partnerOfB_[v] != unpaired)
                continue;
            pair(u, v);
            queue_.push_back(u);
        }
    }
}

std::size_t CopyPairing::agreement(std::size_t x, std::size_t y) const {
    std::size_t agreeing = 0;
    for (int end = 0; end < 2; ++end) {
        const std::size_t p = inA_[x].neighbour[end];
        const std::size_t q = inB_[y].neighbour[end];
        if (p == none || q == none) {
            agreeing += p == q ? 1 : 0;
        } else if (p % 2 == q % 2 && inA_[p / 2].gene == inB_[q / 2].gene) {
            agreeing += 1;
        }
    }
    return agreeing;
}

void CopyPairing::pairByContext() {
    context_.assign(inA_.size(), unpaired);
    partnerOfB_.assign(inB_.size(), unpaired);
    // Anchors spread in gene order, the queue being taken from its back.
    queue_.clear();
    for (std::size_t g = geneCount_; g-- > 0;) {
        if (genesInA_[g].size() == 1 && genesInB_[g].size() == 1) {
            pair(genesInA_[g][0], genesInB_[g][0]);
            queue_.push_back(genesInA_[g][0]);
        }
    }
    spread();
    uncertain_.assign(geneCount_, false);
    // Genes held at most once on each side are paired as anchors or not at all.
    for (const std::size_t g : copiedGenes_) {
        for (;;) {
            leftA_.clear();
            leftB_.clear();
            for (const std::size_t x : genesInA_[g])
                if (context_[x] == unpaired) leftA_.push_back(x);
            for (const std::size_t y : genesInB_[g])
                if (partnerOfB_[y] == unpaired) leftB_.push_back(y);
            if (leftA_.empty() || leftB_.empty()) break;
            std::sort(leftA_.begin(), leftA_.end(), byFingerprint(inA_));
            std::sort(leftB_.begin(), leftB_.end(), byFingerprint(inB_));
            if (leftA_.size() * leftB_.size() > maxScoredCandidates) {
                for (std::size_t k = 0; k < std::min(leftA_.size(), leftB_.size()); ++k)
                    pair(leftA_[k], leftB_[k]);
                uncertain_[g] = true;
                break;
            }
            // The pair whose neighbours agree most, the first in fingerprint order. It is certain
            // when it is the only candidate left, or when both neighbours agree and no other
            // candidate of either copy does so too.
            std::size_t bestX = leftA_[0];
            std::size_t bestY = leftB_[0];
            std::size_t best = agreement(bestX, bestY);
            for (const std::size_t x : leftA_) {
                for (const std::size_t y : leftB_) {
                    const std::size_t score = agreement(x, y);
                    if (score > best) {
                        best = score;
                        bestX = x;
                        bestY = y;
                    }
                }
            }
            bool rivalled = false;
            for (const std::size_t x : leftA_)
                rivalled = rivalled || (x != bestX && agreement(x, bestY) == best);
            for (const std::size_t y : leftB_)
                rivalled = rivalled || (y != bestY && agreement(bestX, y) == best);
            const bool forced = leftA_.size() == 1 && leftB_.size() == 1;
            if (!forced && (best < 2 || rivalled)) uncertain_[g] = true;
            pair(bestX, bestY);
            queue_.assign(1, bestX);
            spread();
        }
    }
    partnerOfB_.clear();
}

void CopyPairing::codeGene(std::size_t g, const Pairing& pairing,
                           const std::vector<std::size_t>& partnerOfB) const {
    const std::span<const std::size_t> inA = genesInA_[g];
    const std::span<const std::size_t> inB = genesInB_[g];
    // The gene's codes in the pair: those of the side with more copies.
    codes_.clear();
    for (const std::size_t k : inA.size() >= inB.size() ? inA : inB)
        codes_.push_back((inA.size() >= inB.size() ? inA_ : inB_)[k].code);
    std::sort(codes_.begin(), codes_.end());
    paired_.clear();
    aloneA_.clear();
    aloneB_.clear();
    for (const std::size_t x : inA) (pairing[x] != unpaired ? paired_ : aloneA_).push_back(x);
    for (const std::size_t y : inB)
        if (partnerOfB[y] == unpaired) aloneB_.push_back(y);
    // Copies by their fingerprints; paired copies by the fingerprint in `a`, then of their partner
    // in `b`, then by their partner.
    std::sort(paired_.begin(), paired_.end(), [&](std::size_t x, std::size_t y) {
        return std::tuple(inA_[x].fingerprint, inB_[pairing[x]].fingerprint, pairing[x]) <
               std::tuple(inA_[y].fingerprint, inB_[pairing[y]].fingerprint, pairing[y]);
    });
    std::sort(aloneA_.begin(), aloneA_.end(), byFingerprint(inA_));
    std::sort(aloneB_.begin(), aloneB_.end(), byFingerprint(inB_));
    const std::size_t next = paired_.size();
    for (std::size_t k = 0; k < next; ++k)
        codeOfA_[paired_[k]] = codeOfB_[pairing[paired_[k]]] = codes_[k];
    for (std::size_t k = 0; k < aloneA_.size(); ++k) codeOfA_[aloneA_[k]] = codes_[next + k];
    for (std::size_t k = 0; k < aloneB_.size(); ++k) codeOfB_[aloneB_[k]] = codes_[next + k];
}

void CopyPairing::renumber(const Pairing& pairing, ChromosomalStructure& a,
                           ChromosomalStructure& b) const {
    // A gene held at most once on each side keeps its code.
    codeOfA_.resize(inA_.size());
    codeOfB_.resize(inB_.size());
    for (std::size_t x = 0; x < inA_.size(); ++x) codeOfA_[x] = inA_[x].code;
    for (std::size_t y = 0; y < inB_.size(); ++y) codeOfB_[y] = inB_[y].code;
    partnersInB(pairing, partnerOf_);
    for (const std::size_t g : copiedGenes_) codeGene(g, pairing, partnerOf_);
    const auto write = [](const ChromosomalStructure& from, const std::vector<uint32_t>& codeOf,
                          ChromosomalStructure& into) {
        into = from;
        std::size_t k = 0;
        for (Chromosome& chromosome : into.chromosomes) {
            for (int32_t& code : chromosome.genes) {
                const auto renumbered = static_cast<int32_t>(codeOf[k++]);
                code = code < 0 ? -renumbered : renumbered;
            }
        }
    };
    write(*a_, codeOfA_, a);
    write(*b_, codeOfB_, b);
}

void CopyPairing::alternatives(std::size_t choice, std::vector<std::size_t>& into) const {
    const Choice& c = choices_[choice];
    const std::size_t width = std::min(c.inA.size(), c.inB.size());
    // Every ordered choice of `width` distinct copies of the larger side, in increasing order:
    // reversing the unused tail makes the next permutation change the choice.
    order_.resize(std::max(c.inA.size(), c.inB.size()));
    std::iota(order_.begin(), order_.end(), 0);
    into.clear();
    do {
        into.insert(into.end(), order_.begin(),
                    order_.begin() + static_cast<std::ptrdiff_t>(width));
        std::reverse(order_.begin() + static_cast<std::ptrdiff_t>(width), order_.end());
    } while (std::next_permutation(order_.begin(), order_.end()));
}

void CopyPairing::apply(std::size_t choice, std::span<const std::size_t> alternative,
                        Pairing& pairing, std::vector<std::size_t>& partnerOfB) const {
    const Choice& c = choices_[choice];
    for (const std::size_t x : c.inA) pairing[x] = unpaired;
    for (const std::size_t y : c.inB) partnerOfB[y] = unpaired;
    const bool fromA = c.inA.size() <= c.inB.size();
    for (std::size_t k = 0; k < alternative.size(); ++k) {
        const std::size_t x = fromA ? c.inA[k] : c.inA[alternative[k]];
        const std::size_t y = fromA ? c.inB[alternative[k]] : c.inB[k];
        pairing[x] = y;
        partnerOfB[y] = x;
    }
}

void CopyPairing::partnersInB(const Pairing& pairing, std::vector<std::size_t>& into) const {
    into.assign(inB_.size(), unpaired);
    for (std::size_t x = 0; x < pairing.size(); ++x)
        if (pairing[x] != unpaired) into[pairing[x]] = x;
}

namespace {

// From end `end` of occurrence `x` of `side`, the first end (or `none`) reached passing over the
// occurrences without a partner (`partner`: by occurrence of `side`) and those of gene `skipped`,
// and whether any was passed over. On a circle the walk ends at the latest back at x.
std::pair<std::size_t, bool> nextEnd(std::span<const CopyPairing::Occurrence> side,
                                     const std::vector<std::size_t>& partner, std::size_t x,
                                     std::size_t end, int32_t skipped = -1) {
    std::size_t n = side[x].neighbour[end];
    bool run = false;
    while (n != CopyPairing::none && n / 2 != x &&
           (partner[n / 2] == CopyPairing::unpaired || side[n / 2].gene == skipped)) {
        run = true;
        n = side[n / 2].neighbour[1 - n % 2];
    }
    return {n, run};
}

}  // namespace

std::size_t CopyPairing::edgeOf(const Pairing& pairing, const std::vector<std::size_t>& partnerOfB,
                                std::size_t v, std::size_t side) const {
    const auto [n, run] = side == 0 ? nextEnd(inA_, pairing, v / 2, v % 2)
                                    : nextEnd(inB_, partnerOfB, pairing[v / 2], v % 2);
    const std::size_t to = n == none || side == 0 ? n : 2 * partnerOfB[n / 2] + n % 2;
    return 2 * (to + 1) + (run ? 1 : 0);
}

void CopyPairing::linkAll(const Pairing& pairing, const std::vector<std::size_t>& partnerOfB) {
    links_.assign(4 * inA_.size(), 0);
    segments_.resize(4 * inA_.size());
    runs_.resize(4 * inA_.size());
    variable_.assign(2 * inA_.size(), 0);
    seen_.assign(2 * inA_.size(), 0);
    choiceStamp_ = 0;
    walkStamp_ = 0;
    for (std::size_t x = 0; x < inA_.size(); ++x) {
        if (pairing[x] == unpaired) continue;
        for (std::size_t v = 2 * x; v < 2 * x + 2; ++v) {
            for (std::size_t side = 0; side < 2; ++side)
                links_[2 * v + side] = edgeOf(pairing, partnerOfB, v, side);
        }
    }
}

void CopyPairing::prepareChoice(const Pairing& pairing, const std::vector<std::size_t>& partnerOfB,
                                std::size_t choice) {
    const Choice& c = choices_[choice];
    const int32_t gene = inA_[c.inA[0]].gene;
    // The vertex sides whose edges differ between pairings of the copies, marked in `variable_`
    // (bit 1 << side): both sides of the copies' ends, the edge of `a` at the nearest paired
    // gene of another name beside each copy in `a`, the edge of `b` at that beside each copy in
    // `b`. Every other edge is the same in every pairing of the copies, and a changing edge
    // joins two of those vertices (or ends at a telomere).
    ++choiceStamp_;
    seeds_.clear();
    const auto mark = [&](std::size_t v, unsigned sides) {
        if (variable_[v] >> 2 != choiceStamp_) {
            variable_[v] = choiceStamp_ << 2;
            seeds_.push_back(v);
        }
        variable_[v] |= sides;
    };
    // With no more copies in `a` than in `b`, every copy in `a` is paired in every pairing, so
    // no edge of `a` changes.
    const bool aChanges = c.inA.size() > c.inB.size();
    for (const std::size_t x : c.inA) {
        for (std::size_t end = 0; end < 2; ++end) {
            mark(2 * x + end, aChanges ? 3 : 2);
            if (!aChanges) continue;
            const std::size_t n = nextEnd(inA_, pairing, x, end, gene).first;
            if (n != none && n / 2 != x) mark(n, 1);
        }
    }
    for (const std::size_t y : c.inB) {
        for (std::size_t end = 0; end < 2; ++end) {
            const std::size_t q = nextEnd(inB_, partnerOfB, y, end, gene).first;
            if (q != none && q / 2 != y) mark(2 * partnerOfB[q / 2] + q % 2, 2);
        }
    }
    // From each side that stays, the stretch of the graph up to the next such vertex (or a
    // telomere): its end as 2 * (vertex + 1) + the side of its last edge, and its runs.
    const std::size_t far = 2 * inA_.size();
    for (const std::size_t seed : seeds_) {
        for (std::size_t first = 0; first < 2; ++first) {
            if ((variable_[seed] >> first) & 1) continue;
            std::size_t v = seed;
            std::size_t side = first;
            std::size_t runs = 0;
            for (std::size_t length = 0;; ++length) {
                const std::size_t link = links_[2 * v + side];
                runs += link % 2;
                if (length == maxStretch) {
                    segments_[2 * seed + first] = 2 * (far + 1);
                    break;
                }
                if (link < 2 || variable_[link / 2 - 1] >> 2 == choiceStamp_) {
                    segments_[2 * seed + first] = (link < 2 ? 0 : link / 2 * 2) + side;
                    break;
                }
                v = link / 2 - 1;
                side = 1 - side;
            }
            runs_[2 * seed + first] = runs;
        }
    }
}

long CopyPairing::componentScore(const Pairing& pairing,
                                 const std::vector<std::size_t>& partnerOfB) {
    for (const std::size_t v : seeds_) {
        for (std::size_t side = 0; side < 2; ++side) {
            if ((variable_[v] >> side) & 1 && pairing[v / 2] != unpaired)
                links_[2 * v + side] = edgeOf(pairing, partnerOfB, v, side);
        }
    }
    // Each component through a marked vertex, walked from marked vertex to marked vertex.
    const uint64_t walk = ++walkStamp_;
    long score = 0;
    for (const std::size_t seed : seeds_) {
        if (seen_[seed] == walk || pairing[seed / 2] == unpaired) continue;
        // Walk the component from the seed, first by its edge of `a`; at a telomere, walk the
        // rest from the seed by its edge of `b`. `open[w]`: the side whose telomere ended walk w.
        std::size_t runs = 0;
        int open[2] = {-1, -1};
        for (std::size_t w = 0; w < 2 && (w == 0 || open[0] >= 0); ++w) {
            std::size_t v = seed;
            std::size_t side = w;
            seen_[v] = walk;
            for (std::size_t step = 0;; ++step) {
                // Every step reaches another marked vertex: a walk longer than their count is
                // a fault in the tables, never an input.
                if (step > 2 * seeds_.size())
                    throw std::logic_error("copy pairing: the component of end " +
                                           std::to_string(seed) + " does not close");
                std::size_t to = 0;
                if ((variable_[v] >> side) & 1) {
                    const std::size_t link = links_[2 * v + side];
                    runs += link % 2;
                    to = link / 2;
                } else {
                    runs += runs_[2 * v + side];
                    to = segments_[2 * v + side] / 2;
                    side = segments_[2 * v + side] % 2;
                }
                if (to == 0 || to == 2 * inA_.size() + 1) {
                    open[w] = to == 0 ? static_cast<int>(side) : 2;
                    break;
                }
                v = to - 1;
                if (v == seed) break;
                seen_[v] = walk;
                side = 1 - side;
            }
        }
        if (open[0] < 0) {
            score += 2;
        } else if (open[0] != open[1] && open[0] < 2 && open[1] < 2) {
            score += 1;
        }
        score -= 2 * static_cast<long>((runs + 1) / 2);
    }
    return score;
}

void CopyPairing::pairBest(const ChromosomalStructure& a, const ChromosomalStructure& b,
                           ChromosomalStructure& pairedA, ChromosomalStructure& pairedB,
                           const std::vector<Occurrence>& genesOfA,
                           const std::vector<Occurrence>& genesOfB) {
    // The pair is read in an order fixed by what the structures hold, so that it pairs alike
    // whichever comes first: the fingerprints do not depend on where circles start nor on the
    // order of chromosomes.
    const auto key = [](const std::vector<Occurrence>& genes) {
        uint64_t sum = 0;
        for (const Occurrence& o : genes) sum += o.fingerprint;
        return std::pair(genes.size(), sum);
    };
    if (key(genesOfB) < key(genesOfA)) return pairBest(b, a, pairedB, pairedA, genesOfB, genesOfA);
    reset(a, b, genesOfA, genesOfB);
    best_ = byContext();
    partnersInB(best_, bestInB_);
    linkAll(best_, bestInB_);
    for (std::size_t choice = 0; choice < choices().size(); ++choice) {
        const Choice& c = choices()[choice];
        if (!uncertain_[slotA_[c.inA[0]]] || c.inA.size() > maxTriedCopies ||
            c.inB.size() > maxTriedCopies)
            continue;
        alternatives(choice, others_);
        const std::size_t width = std::min(c.inA.size(), c.inB.size());
        const auto other = [&](std::size_t k) {
            return std::span<const std::size_t>(others_).subspan(k * width, width);
        };
        // The context's own pairing first, so that it stays unless another scores more.
        prepareChoice(best_, bestInB_, choice);
        long bestScore = componentScore(best_, bestInB_);
        std::size_t bestOther = others_.size();
        current_.assign(c.inA.size(), 0);
        for (std::size_t k = 0; k < c.inA.size(); ++k) current_[k] = best_[c.inA[k]];
        for (std::size_t k = 0; k * width < others_.size(); ++k) {
            apply(choice, other(k), best_, bestInB_);
            const long score = componentScore(best_, bestInB_);
            if (score > bestScore) {
                bestScore = score;
                bestOther = k;
            }
        }
        if (bestOther < others_.size()) {
            apply(choice, other(bestOther), best_, bestInB_);
        } else {
            for (const std::size_t y : c.inB) bestInB_[y] = unpaired;
            for (std::size_t k = 0; k < c.inA.size(); ++k) {
                best_[c.inA[k]] = current_[k];
                if (current_[k] != unpaired) bestInB_[current_[k]] = c.inA[k];
            }
        }
        // The links of the pairing kept.
        componentScore(best_, bestInB_);
    }
    renumber(best_, pairedA, pairedB);
}

void pairCopiesByContext(const GeneTable& genes, ChromosomalStructure& a, ChromosomalStructure& b) {
    std::vector<CopyPairing::Occurrence> genesOfA;
    std::vector<CopyPairing::Occurrence> genesOfB;
    CopyPairing::occurrencesOf(a, genes, genesOfA);
    CopyPairing::occurrencesOf(b, genes, genesOfB);
    ChromosomalStructure pairedA;
    ChromosomalStructure pairedB;
    CopyPairing().pairBest(a, b, pairedA, pairedB, genesOfA, genesOfB);
    a = std::move(pairedA);
    b = std::move(pairedB);
}

}  // namespace varnet
