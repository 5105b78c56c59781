#include "structures/gene_numbering.hpp"

#include <algorithm>
#include <climits>
#include <stdexcept>

#include "structures/gene_code.hpp"

namespace varnet {
namespace {

// The largest gene code whose second end, 10g+2, still fits an int32 adjacency entry.
constexpr int64_t maxGeneCode = (INT32_MAX - 2) / 10;

// Copy numbers fill the digits 1 to 9 of one code group before the next group.
constexpr int32_t copiesPerGroup = 9;

int64_t groupsFor(int64_t copies) {
    return (copies + copiesPerGroup - 1) / copiesPerGroup;
}

}  // namespace

int32_t GeneNumbering::code(std::string_view name, int orientation, const std::string& where) {
    auto found = ids_.find(name);
    if (found == ids_.end()) {
        const int32_t id = static_cast<int32_t>(mostCopies_.size());
        const std::string& stored = names_.emplace_hint(names_.end(), id, name)->second;
        found = ids_.emplace(stored, id).first;
        copies_.addId();
        mostCopies_.push_back(0);
    }
    const auto id = static_cast<std::size_t>(found->second);
    const int32_t copy = copies_.next(id);
    if (copy > mostCopies_[id]) {
        groups_ += groupsFor(copy) - groupsFor(mostCopies_[id]);
        mostCopies_[id] = copy;
        if (10 * groups_ + copiesPerGroup > maxGeneCode) {
            throw std::runtime_error(
                where + ": gene \"" + std::string(name) + "\" would need a gene code above " +
                std::to_string(maxGeneCode) + " (too many distinct names or copies)");
        }
    }
    return orientation * found->second;
}

void GeneNumbering::startStructure() {
    copies_.restart();
}

GeneNameTable GeneNumbering::finish(std::vector<ChromosomalStructure>& structures) {
    const std::vector<int32_t> firstGroup = numberCopies(structures);
    GeneNameTable table;
    table.emplace_hint(table.end(), 0, "0");
    for (auto& [id, name] : names_) {
        const auto index = static_cast<std::size_t>(id);
        if (index + 1 >= firstGroup.size()) break;  // ids of names no structure kept
        for (int32_t group = firstGroup[index]; group < firstGroup[index + 1]; ++group)
            table.emplace_hint(table.end(), group, name);
    }
    names_.clear();
    ids_.clear();
    return table;
}

std::vector<int32_t> numberCopies(std::vector<ChromosomalStructure>& structures) {
    std::size_t largestId = 0;
    for (const ChromosomalStructure& structure : structures) {
        for (const Chromosome& chromosome : structure.chromosomes) {
            for (const int32_t gene : chromosome.genes)
                largestId = std::max<std::size_t>(largestId, absoluteCode(gene));
        }
    }
    CopyCounter counter(largestId + 1);
    std::vector<int32_t> mostCopies(largestId + 1, 0);
    for (const ChromosomalStructure& structure : structures) {
        for (const Chromosome& chromosome : structure.chromosomes) {
            for (const int32_t gene : chromosome.genes) {
                int32_t& most = mostCopies[absoluteCode(gene)];
                most = std::max(most, counter.next(absoluteCode(gene)));
            }
        }
        counter.restart();
    }
    std::vector<int32_t> firstGroup(largestId + 2, 1);
    for (std::size_t id = 1; id <= largestId; ++id) {
        // An id no structure holds keeps one group, so that the codes of the others do not
        // depend on which ids were left out.
        const int64_t groups = std::max<int64_t>(1, groupsFor(mostCopies[id]));
        firstGroup[id + 1] = static_cast<int32_t>(firstGroup[id] + groups);
    }
    for (ChromosomalStructure& structure : structures) {
        for (Chromosome& chromosome : structure.chromosomes) {
            for (int32_t& gene : chromosome.genes) {
                const std::size_t id = absoluteCode(gene);
                const int32_t copy = counter.next(id) - 1;
                const int32_t code =
                    10 * (firstGroup[id] + copy / copiesPerGroup) + copy % copiesPerGroup + 1;
                gene = gene < 0 ? -code : code;
            }
        }
        counter.restart();
    }
    return firstGroup;
}

std::vector<int32_t> numberCodesDensely(std::vector<ChromosomalStructure>& structures) {
    std::vector<int32_t> codes;
    for (const ChromosomalStructure& structure : structures) {
        for (const Chromosome& chromosome : structure.chromosomes) {
            for (const int32_t code : chromosome.genes)
                codes.push_back(static_cast<int32_t>(absoluteCode(code)));
        }
    }
    std::sort(codes.begin(), codes.end());
    codes.erase(std::unique(codes.begin(), codes.end()), codes.end());
    for (ChromosomalStructure& structure : structures) {
        for (Chromosome& chromosome : structure.chromosomes) {
            for (int32_t& code : chromosome.genes) {
                const auto original = static_cast<int32_t>(absoluteCode(code));
                const int32_t dense = denseCodeOfRank(static_cast<std::size_t>(
                    std::lower_bound(codes.begin(), codes.end(), original) - codes.begin()));
                code = code < 0 ? -dense : dense;
            }
        }
    }
    std::vector<int32_t> originals(codes.empty() ? 1 : denseCodeOfRank(codes.size() - 1) + 1, 0);
    for (std::size_t rank = 0; rank < codes.size(); ++rank)
        originals[static_cast<std::size_t>(denseCodeOfRank(rank))] = codes[rank];
    return originals;
}

std::vector<uint32_t> ranksOfDenseCodes(std::size_t codeCount) {
    std::vector<uint32_t> ranks(codeCount, 0);
    for (std::size_t code = 1; code < codeCount; ++code) {
        if (code % 10 != 0) ranks[code] = rankOfDenseCode(static_cast<uint32_t>(code));
    }
    return ranks;
}

}  // namespace varnet
