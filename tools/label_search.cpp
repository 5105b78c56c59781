#include "label_search.hpp"

#include <algorithm>
#include <cstdlib>
#include <exception>
#include <sstream>

#include "graph/joint_graph.hpp"
#include "solver/chromosome_set.hpp"
#include "solver/solve.hpp"
#include "structures/adjacency.hpp"
#include "structures/gene_numbering.hpp"
#include "structures/structure_reader.hpp"
#include "structures/structure_validation.hpp"
#include "support/random_structures.hpp"

namespace varnet::testing {
namespace {

std::string geneName(int id) {
    return id <= 26 ? std::string(1, static_cast<char>('a' + id - 1)) : "g" + std::to_string(id);
}

std::string structureLine(const std::string& name, const std::vector<SearchChromosome>& s) {
    std::string line = name + " " + std::to_string(s.size());
    for (const SearchChromosome& c : s) {
        line += std::string(" ") + (c.circular ? "C" : "L") + std::to_string(c.genes.size()) + " ";
        for (const int gene : c.genes) line += (gene < 0 ? "-" : "+") + geneName(std::abs(gene));
    }
    return line;
}

std::vector<SearchChromosome> decoded(const ChromosomalStructure& structure,
                                      const GeneTable& genes) {
    std::vector<SearchChromosome> raw;
    for (const Chromosome& c : structure.chromosomes) {
        SearchChromosome r{c.circular, {}};
        for (const int32_t code : c.genes)
            r.genes.push_back(code < 0 ? -genes.geneOf(code) : genes.geneOf(code));
        raw.push_back(std::move(r));
    }
    return raw;
}

// Reads the input's structure file as the program does; throws what the reader throws.
std::vector<ChromosomalStructure> readInput(const SearchInput& input, GeneTable& names) {
    std::istringstream in(structureFileOf(input));
    std::vector<ChromosomalStructure> structures;
    readStructures(in, structures, names);
    return structures;
}

// Appends the chromosomes of `other` to `input`, its gene ids shifted past those of `input`.
void joinInto(SearchInput& input, const SearchInput& other) {
    int highest = 0;
    for (const std::vector<SearchChromosome>* s : {&input.a, &input.b}) {
        for (const SearchChromosome& c : *s) {
            for (const int gene : c.genes) highest = std::max(highest, std::abs(gene));
        }
    }
    for (auto [from, to] : {std::pair{&other.a, &input.a}, std::pair{&other.b, &input.b}}) {
        for (SearchChromosome c : *from) {
            for (int& gene : c.genes) gene += gene < 0 ? -highest : highest;
            to->push_back(std::move(c));
        }
    }
}

}  // namespace

std::size_t geneCount(const SearchInput& input) {
    std::size_t count = 0;
    for (const std::vector<SearchChromosome>* s : {&input.a, &input.b}) {
        for (const SearchChromosome& c : *s) count += c.genes.size();
    }
    return count;
}

std::string structureFileOf(const SearchInput& input) {
    return "2\n" + structureLine("A", input.a) + "\n" + structureLine("B", input.b) + "\n";
}

std::pair<ChromosomalStructure, ChromosomalStructure> structuresOf(const SearchInput& input) {
    GeneTable names;
    std::vector<ChromosomalStructure> structures = readInput(input, names);
    return {structures.front(), structures.back()};
}

std::set<std::string> rowLabelsOf(const SearchInput& input, const OperationWeights& weights) {
    std::set<std::string> labels;
    try {
        GeneTable names;
        std::vector<ChromosomalStructure> structures = readInput(input, names);
        validateForGraph(structures);
        ChromosomeSet state(
            buildJointGraph(adjacencyOf(structures.front()), adjacencyOf(structures.back())));
        solve(state, weights);
        for (const OperationRecord& record : state.log.records()) {
            if (record.step.size() > 2 && (record.step[0] == '3' || record.step[0] == '4'))
                labels.insert(record.step);
        }
    } catch (const std::exception&) {
        labels.clear();
    }
    return labels;
}

LabelSearch::LabelSearch(uint32_t seed, std::vector<OperationWeights> weightSets)
    : random_(seed), weightSets_(std::move(weightSets)) {}

const LabelSearch::Find& LabelSearch::next() {
    // Three inputs in four are mutations of an input that reached one of the three rarest labels
    // so far.
    if (!kept_.empty() && random_() % 4 != 0) {
        std::vector<std::pair<std::size_t, const std::string*>> rarest;
        for (const auto& [label, inputs] : kept_) rarest.emplace_back(reached_[label], &label);
        std::stable_sort(rarest.begin(), rarest.end(),
                         [](const auto& x, const auto& y) { return x.first < y.first; });
        const std::string& label =
            *rarest[random_() % std::min<std::size_t>(3, rarest.size())].second;
        const std::vector<SearchInput>& inputs = kept_[label];
        last_.input = mutated(inputs[random_() % inputs.size()]);
        // Or joined with an input of another label: rows that take several kinds of path at
        // once need what two inputs hold apart.
        if (random_() % 2 == 0 && geneCount(last_.input) < maxJoinedGenes) {
            auto other = kept_.begin();
            std::advance(other, static_cast<std::ptrdiff_t>(random_() % kept_.size()));
            joinInto(last_.input, other->second[random_() % other->second.size()]);
        }
    } else {
        last_.input = generated();
    }
    last_.labels = rowLabelsOf(last_.input, weightSets_[last_.input.weightSet]);
    ++tried_;
    for (const std::string& label : last_.labels) {
        ++reached_[label];
        std::vector<SearchInput>& inputs = kept_[label];
        if (inputs.size() < keptPerLabel) inputs.push_back(last_.input);
    }
    return last_;
}

SearchInput LabelSearch::generated() {
    const auto real = [this](double high) {
        return std::uniform_real_distribution<double>(0.0, high)(random_);
    };
    GeneratorOptions options;
    options.geneCount = std::uniform_int_distribution<int>(1, 14)(random_);
    options.maxChromosomes = std::uniform_int_distribution<int>(1, 4)(random_);
    options.circularRate = real(0.6);
    options.duplicateRate = real(0.3);
    options.missingRate = real(0.4);
    options.wholeChromosomeRate = real(0.5);
    options.rearrangements = std::uniform_int_distribution<int>(0, 6)(random_);
    GeneTable genes;
    const auto [a, b] = generatePair(random_, options, &genes);
    return {decoded(a, genes), decoded(b, genes),
            std::uniform_int_distribution<std::size_t>(0, weightSets_.size() - 1)(random_)};
}

// One to three changes: an inversion, a chromosome turned circular or linear, a gene or a whole
// chromosome that only one structure holds, a gene removed or copied, other weights.
SearchInput LabelSearch::mutated(SearchInput input) {
    const auto pick = [this](std::size_t n) {
        return std::uniform_int_distribution<std::size_t>(0, n - 1)(random_);
    };
    const auto at = [](std::size_t k) { return static_cast<std::ptrdiff_t>(k); };
    int nextId = 1;
    for (const std::vector<SearchChromosome>* s : {&input.a, &input.b}) {
        for (const SearchChromosome& c : *s) {
            for (const int gene : c.genes) nextId = std::max(nextId, std::abs(gene) + 1);
        }
    }
    for (std::size_t n = 1 + pick(3); n > 0; --n) {
        std::vector<SearchChromosome>& s = pick(2) == 0 ? input.a : input.b;
        if (s.empty()) continue;
        SearchChromosome& c = s[pick(s.size())];
        std::vector<int>& genes = c.genes;
        switch (pick(7)) {
            case 0: {
                const std::size_t from = pick(genes.size());
                const std::size_t to = from + pick(genes.size() - from);
                std::reverse(genes.begin() + at(from), genes.begin() + at(to) + 1);
                for (std::size_t k = from; k <= to; ++k) genes[k] = -genes[k];
                break;
            }
            case 1:
                c.circular = !c.circular;
                break;
            case 2:
                genes.insert(genes.begin() + at(pick(genes.size() + 1)),
                             pick(2) == 0 ? nextId : -nextId);
                ++nextId;
                break;
            case 3:
                if (genes.size() > 1) genes.erase(genes.begin() + at(pick(genes.size())));
                break;
            case 4:
                genes.push_back(genes[pick(genes.size())]);
                break;
            case 5:
                s.push_back({pick(2) == 0, {nextId++}});
                break;
            default:
                input.weightSet = pick(weightSets_.size());
        }
    }
    return input;
}

std::vector<std::string> rowLabels() {
    std::vector<std::string> labels;
    for (int k = 1; k <= 19; ++k) labels.push_back("3." + std::to_string(k));
    for (int k = 1; k <= 23; ++k) labels.push_back("4." + std::to_string(k));
    return labels;
}

}  // namespace varnet::testing
