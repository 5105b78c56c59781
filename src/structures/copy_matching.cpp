#include "structures/copy_matching.hpp"

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

}  // namespace

CopyRule parseCopyRule(const std::string& text) {
    if (text == "order") return CopyRule::order;
    if (text == "context") return CopyRule::context;
    throw std::runtime_error("the argument ('" + text +
                             "') for option '--copies' is invalid: use order or context");
}

GeneGroups geneGroupsFromNames(const GeneNameTable& names) {
    std::vector<int32_t> firstGroups{1};
    const std::string* previous = nullptr;
    int32_t end = 1;
    for (const auto& [group, name] : names) {
        if (group == 0) continue;
        if (previous == nullptr || *previous != name) firstGroups.push_back(group);
        previous = &name;
        end = group + 1;
    }
    firstGroups.push_back(end);
    return GeneGroups(std::move(firstGroups));
}

int32_t GeneGroups::geneOf(uint32_t code) const {
    const auto group = static_cast<int32_t>(code / 10);
    if (firstGroups_.empty()) return group;
    return static_cast<int32_t>(
        std::upper_bound(firstGroups_.begin() + 1, firstGroups_.end(), group) -
        firstGroups_.begin() - 1);
}

std::vector<CopyPairing::Occurrence> CopyPairing::occurrencesOf(
    const ChromosomalStructure& s, const std::function<int32_t(uint32_t)>& geneOf) {
    std::vector<Occurrence> result;
    for (std::size_t c = 0; c < s.chromosomes.size(); ++c) {
        const Chromosome& chromosome = s.chromosomes[c];
        const std::size_t first = result.size();
        for (std::size_t k = 0; k < chromosome.genes.size(); ++k) {
            Occurrence& o = result.emplace_back();
            o.code = absoluteCode(chromosome.genes[k]);
            o.gene = geneOf(o.code);
            o.chromosome = c;
            o.position = k;
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
    return result;
}

CopyPairing::ByGene CopyPairing::byGene(const std::vector<Occurrence>& occurrences,
                                        std::size_t genes) {
    ByGene result;
    result.start.assign(genes + 1, 0);
    for (const Occurrence& o : occurrences) ++result.start[static_cast<std::size_t>(o.gene) + 1];
    for (std::size_t g = 0; g < genes; ++g) result.start[g + 1] += result.start[g];
    result.items.resize(occurrences.size());
    std::vector<std::size_t> next(result.start.begin(), result.start.end() - 1);
    for (std::size_t k = 0; k < occurrences.size(); ++k)
        result.items[next[static_cast<std::size_t>(occurrences[k].gene)]++] = k;
    return result;
}

void CopyPairing::fingerprint(std::vector<Occurrence>& occurrences) const {
    const auto copies = [&](int32_t gene) {
        const auto g = static_cast<std::size_t>(gene);
        return std::max(genesInA_[g].size(), genesInB_[g].size());
    };
    for (Occurrence& o : occurrences) {
        if (copies(o.gene) < 2) continue;
        uint64_t value = mix(0, static_cast<uint64_t>(o.gene));
        for (std::size_t end = 0; end < 2; ++end) {
            value = mix(value, end + 5);
            std::size_t at = static_cast<std::size_t>(&o - occurrences.data());
            std::size_t leaving = end;
            for (int step = 0; step < fingerprintRounds; ++step) {
                const std::size_t n = occurrences[at].neighbour[leaving];
                if (n == none) {
                    value = mix(value, 1);
                    break;
                }
                at = n / 2;
                value = mix(value, mix(static_cast<uint64_t>(occurrences[at].gene), n % 2 + 2));
                leaving = 1 - n % 2;
            }
        }
        o.fingerprint = value;
    }
}

CopyPairing::CopyPairing(const ChromosomalStructure& a, const ChromosomalStructure& b,
                         const std::function<int32_t(uint32_t)>& geneOf)
    : a_(a), b_(b), inA_(occurrencesOf(a, geneOf)), inB_(occurrencesOf(b, geneOf)) {
    int32_t genes = 0;
    for (const auto* side : {&inA_, &inB_}) {
        for (const Occurrence& o : *side) genes = std::max(genes, o.gene + 1);
    }
    geneCount_ = static_cast<std::size_t>(genes);
    genesInA_ = byGene(inA_, geneCount_);
    genesInB_ = byGene(inB_, geneCount_);
    fingerprint(inA_);
    fingerprint(inB_);
    for (std::size_t g = 0; g < geneCount_; ++g) {
        const std::size_t m = genesInA_[g].size();
        const std::size_t n = genesInB_[g].size();
        if (m > 0 && n > 0 && std::max(m, n) > 1) choices_.push_back({genesInA_[g], genesInB_[g]});
    }
    pairByContext();
}

void CopyPairing::pair(std::size_t x, std::size_t y) {
    context_[x] = y;
    partnerOfB_[y] = x;
}

void CopyPairing::spread(std::vector<std::size_t> queue) {
    while (!queue.empty()) {
        const std::size_t x = queue.back();
        queue.pop_back();
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
            queue.push_back(u);
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
    std::vector<std::size_t> anchors;
    for (std::size_t g = 0; g < geneCount_; ++g) {
        if (genesInA_[g].size() == 1 && genesInB_[g].size() == 1) {
            pair(genesInA_[g][0], genesInB_[g][0]);
            anchors.push_back(genesInA_[g][0]);
        }
    }
    // Anchors spread in reverse gene order, the queue being taken from its back.
    std::reverse(anchors.begin(), anchors.end());
    spread(anchors);
    std::vector<bool> uncertain(geneCount_, false);
    const auto byFingerprint = [](const std::vector<Occurrence>& side) {
        return [&side](std::size_t x, std::size_t y) {
            return std::tie(side[x].fingerprint, x) < std::tie(side[y].fingerprint, y);
        };
    };
    for (std::size_t g = 0; g < geneCount_; ++g) {
        for (;;) {
            std::vector<std::size_t> leftA;
            std::vector<std::size_t> leftB;
            for (const std::size_t x : genesInA_[g])
                if (context_[x] == unpaired) leftA.push_back(x);
            for (const std::size_t y : genesInB_[g])
                if (partnerOfB_[y] == unpaired) leftB.push_back(y);
            if (leftA.empty() || leftB.empty()) break;
            std::sort(leftA.begin(), leftA.end(), byFingerprint(inA_));
            std::sort(leftB.begin(), leftB.end(), byFingerprint(inB_));
            if (leftA.size() * leftB.size() > maxScoredCandidates) {
                for (std::size_t k = 0; k < std::min(leftA.size(), leftB.size()); ++k)
                    pair(leftA[k], leftB[k]);
                uncertain[g] = true;
                break;
            }
            // The pair whose neighbours agree most, the first in fingerprint order. It is certain
            // when it is the only candidate left, or when both neighbours agree and no other
            // candidate of either copy does so too.
            std::size_t bestX = leftA[0];
            std::size_t bestY = leftB[0];
            std::size_t best = agreement(bestX, bestY);
            for (const std::size_t x : leftA) {
                for (const std::size_t y : leftB) {
                    const std::size_t score = agreement(x, y);
                    if (score > best) {
                        best = score;
                        bestX = x;
                        bestY = y;
                    }
                }
            }
            bool rivalled = false;
            for (const std::size_t x : leftA)
                rivalled = rivalled || (x != bestX && agreement(x, bestY) == best);
            for (const std::size_t y : leftB)
                rivalled = rivalled || (y != bestY && agreement(bestX, y) == best);
            const bool forced = leftA.size() == 1 && leftB.size() == 1;
            if (!forced && (best < 2 || rivalled)) uncertain[g] = true;
            pair(bestX, bestY);
            spread({bestX});
        }
    }
    partnerOfB_.clear();
    settled_.clear();
    for (const Choice& choice : choices_)
        settled_.push_back(!uncertain[static_cast<std::size_t>(inA_[choice.inA[0]].gene)]);
}

void CopyPairing::renumber(const Pairing& pairing, ChromosomalStructure& a,
                           ChromosomalStructure& b) const {
    std::vector<uint32_t> codeOfA(inA_.size(), 0);
    std::vector<uint32_t> codeOfB(inB_.size(), 0);
    std::vector<std::size_t> partnerOfB(inB_.size(), unpaired);
    for (std::size_t x = 0; x < pairing.size(); ++x)
        if (pairing[x] != unpaired) partnerOfB[pairing[x]] = x;
    std::vector<std::size_t> paired;
    std::vector<std::size_t> aloneA;
    std::vector<std::size_t> aloneB;
    std::vector<uint32_t> codes;
    const auto key = [](const Occurrence& o, std::size_t k) {
        return std::make_tuple(o.fingerprint, o.chromosome, o.position, k);
    };
    for (std::size_t g = 0; g < geneCount_; ++g) {
        const std::span<const std::size_t> inA = genesInA_[g];
        const std::span<const std::size_t> inB = genesInB_[g];
        // A gene held at most once on each side keeps its code.
        if (inA.size() <= 1 && inB.size() <= 1) {
            for (const std::size_t x : inA) codeOfA[x] = inA_[x].code;
            for (const std::size_t y : inB) codeOfB[y] = inB_[y].code;
            continue;
        }
        // The gene's codes in the pair: those of the side with more copies.
        codes.clear();
        for (const std::size_t k : inA.size() >= inB.size() ? inA : inB)
            codes.push_back((inA.size() >= inB.size() ? inA_ : inB_)[k].code);
        std::sort(codes.begin(), codes.end());
        paired.clear();
        aloneA.clear();
        aloneB.clear();
        for (const std::size_t x : inA) (pairing[x] != unpaired ? paired : aloneA).push_back(x);
        for (const std::size_t y : inB)
            if (partnerOfB[y] == unpaired) aloneB.push_back(y);
        std::sort(paired.begin(), paired.end(), [&](std::size_t x, std::size_t y) {
            return std::tuple_cat(std::make_tuple(inA_[x].fingerprint),
                                  key(inB_[pairing[x]], pairing[x]), key(inA_[x], x)) <
                   std::tuple_cat(std::make_tuple(inA_[y].fingerprint),
                                  key(inB_[pairing[y]], pairing[y]), key(inA_[y], y));
        });
        for (const auto& [alone, side] : {std::pair{&aloneA, &inA_}, std::pair{&aloneB, &inB_}}) {
            std::sort(alone->begin(), alone->end(), [&, side = side](std::size_t x, std::size_t y) {
                return key((*side)[x], x) < key((*side)[y], y);
            });
        }
        std::size_t next = 0;
        for (const std::size_t x : paired) {
            codeOfA[x] = codes[next];
            codeOfB[pairing[x]] = codes[next];
            ++next;
        }
        for (std::size_t k = 0; k < aloneA.size(); ++k) codeOfA[aloneA[k]] = codes[next + k];
        for (std::size_t k = 0; k < aloneB.size(); ++k) codeOfB[aloneB[k]] = codes[next + k];
    }
    const auto write = [](const ChromosomalStructure& from, const std::vector<uint32_t>& codeOf,
                          ChromosomalStructure& into) {
        into.name = from.name;
        into.line = from.line;
        into.chromosomes.resize(from.chromosomes.size());
        std::size_t k = 0;
        for (std::size_t c = 0; c < from.chromosomes.size(); ++c) {
            into.chromosomes[c].circular = from.chromosomes[c].circular;
            std::vector<int32_t>& genes = into.chromosomes[c].genes;
            genes.clear();
            for (const int32_t code : from.chromosomes[c].genes) {
                const auto renumbered = static_cast<int32_t>(codeOf[k++]);
                genes.push_back(code < 0 ? -renumbered : renumbered);
            }
        }
    };
    write(a_, codeOfA, a);
    write(b_, codeOfB, b);
}

std::vector<CopyPairing::Pairing> CopyPairing::alternatives(const Pairing& base,
                                                            std::size_t choice) const {
    const Choice& c = choices_[choice];
    const bool fromA = c.inA.size() <= c.inB.size();
    const std::span<const std::size_t> smaller = fromA ? c.inA : c.inB;
    const std::span<const std::size_t> larger = fromA ? c.inB : c.inA;
    std::vector<Pairing> result;
    // Every ordered choice of smaller.size() distinct copies of the larger side.
    std::vector<std::size_t> order(larger.size());
    std::iota(order.begin(), order.end(), 0);
    do {
        Pairing pairing = base;
        for (const std::size_t x : c.inA) pairing[x] = unpaired;
        for (std::size_t k = 0; k < smaller.size(); ++k) {
            const std::size_t partner = larger[order[k]];
            if (fromA) {
                pairing[smaller[k]] = partner;
            } else {
                pairing[partner] = smaller[k];
            }
        }
        if (std::find(result.begin(), result.end(), pairing) == result.end())
            result.push_back(std::move(pairing));
    } while (std::next_permutation(order.begin(), order.end()));
    return result;
}

std::optional<double> pairCopiesByContext(
    const std::function<int32_t(uint32_t)>& geneOf,
    const std::function<double(const ChromosomalStructure&, const ChromosomalStructure&)>& cost,
    ChromosomalStructure& a, ChromosomalStructure& b) {
    const CopyPairing pairing(a, b, geneOf);
    CopyPairing::Pairing best = pairing.byContext();
    ChromosomalStructure triedA;
    ChromosomalStructure triedB;
    double bestCost = 0.0;
    std::size_t tried = 0;
    for (std::size_t choice = 0; choice < pairing.choices().size(); ++choice) {
        const CopyPairing::Choice& c = pairing.choices()[choice];
        if (pairing.settledByNeighbours(choice) || c.inA.size() > maxTriedCopies ||
            c.inB.size() > maxTriedCopies)
            continue;
        if (tried == 0) {
            pairing.renumber(best, triedA, triedB);
            bestCost = cost(triedA, triedB);
            tried = 1;
        }
        for (const CopyPairing::Pairing& other : pairing.alternatives(best, choice)) {
            if (other == best) continue;
            if (tried == maxPairingsTried) break;
            pairing.renumber(other, triedA, triedB);
            const double otherCost = cost(triedA, triedB);
            ++tried;
            if (otherCost < bestCost) {
                bestCost = otherCost;
                best = other;
            }
        }
    }
    pairing.renumber(best, triedA, triedB);
    a = std::move(triedA);
    b = std::move(triedB);
    if (tried == 0) return std::nullopt;
    return bestCost;
}

}  // namespace varnet
