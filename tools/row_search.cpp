// Searches small structure pairs under the golden weight files for inputs whose shortest sequence
// takes each row of the solver's tables, by step label ("3.1" to "3.19", "4.1" to "4.23"). When
// the time is up, the three smallest inputs found for each label are shrunk to the fewest genes
// that still reach it, and it prints, per label, how many inputs reached it and the smallest
// input, with the weight file it uses.
// Usage: varnet_row_search [seconds, default 60] [seed, default 1]
#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <iostream>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "label_search.hpp"
#include "modes/weight_files.hpp"

namespace varnet {
namespace {

using testing::geneCount;
using testing::SearchChromosome;
using testing::SearchInput;

// Smaller inputs prefer the earlier sets. Between them they order DP below, equal to and above
// SP, and J below and equal to C.
const std::array<const char*, 5> weightFiles{"weights_dp_low.txt", "weights_sp_low.txt",
                                             "weights_unit.txt", "weights_c_one.txt",
                                             "weights_sp_1_5.txt"};

// Occurrences of a name after its first within one structure.
std::size_t copyCount(const SearchInput& input) {
    std::size_t count = 0;
    for (const std::vector<SearchChromosome>* s : {&input.a, &input.b}) {
        std::set<int> seen;
        for (const SearchChromosome& c : *s) {
            for (const int gene : c.genes) count += seen.insert(std::abs(gene)).second ? 0 : 1;
        }
    }
    return count;
}

// Fewer genes first, then fewer copies, fewer chromosomes, the earlier weight set.
bool smaller(const SearchInput& x, const SearchInput& y) {
    const auto key = [](const SearchInput& i) {
        return std::array<std::size_t, 4>{geneCount(i), copyCount(i), i.a.size() + i.b.size(),
                                          i.weightSet};
    };
    return key(x) < key(y);
}

// Renumbers gene ids in order of first appearance, so that a shrunk input reads a, b, c, ...
SearchInput renamed(SearchInput input) {
    std::map<int, int> ids;
    for (std::vector<SearchChromosome>* s : {&input.a, &input.b}) {
        for (SearchChromosome& c : *s) {
            for (int& gene : c.genes) {
                const auto [it, added] =
                    ids.emplace(std::abs(gene), static_cast<int>(ids.size()) + 1);
                gene = gene < 0 ? -it->second : it->second;
            }
        }
    }
    return input;
}

// Every input one step smaller: a gene name gone from both structures, one occurrence gone, a
// chromosome gone, a circular chromosome made linear, an earlier weight set.
std::vector<SearchInput> shrinkSteps(const SearchInput& input) {
    std::vector<SearchInput> steps;
    std::set<int> ids;
    for (const std::vector<SearchChromosome>* s : {&input.a, &input.b}) {
        for (const SearchChromosome& c : *s) {
            for (const int gene : c.genes) ids.insert(std::abs(gene));
        }
    }
    const auto dropEmpty = [](std::vector<SearchChromosome>& s) {
        std::erase_if(s, [](const SearchChromosome& c) { return c.genes.empty(); });
    };
    const auto at = [](std::size_t k) { return static_cast<std::ptrdiff_t>(k); };
    for (const int id : ids) {
        SearchInput next = input;
        for (std::vector<SearchChromosome>* s : {&next.a, &next.b}) {
            for (SearchChromosome& c : *s)
                std::erase_if(c.genes, [id](int gene) { return std::abs(gene) == id; });
            dropEmpty(*s);
        }
        steps.push_back(std::move(next));
    }
    for (const bool sideA : {true, false}) {
        const std::vector<SearchChromosome>& s = sideA ? input.a : input.b;
        for (std::size_t c = 0; c < s.size(); ++c) {
            SearchInput without = input;
            std::vector<SearchChromosome>& t = sideA ? without.a : without.b;
            t.erase(t.begin() + at(c));
            steps.push_back(without);
            if (s[c].circular) {
                SearchInput linear = input;
                (sideA ? linear.a : linear.b)[c].circular = false;
                steps.push_back(std::move(linear));
            }
            for (std::size_t g = 0; g < s[c].genes.size(); ++g) {
                SearchInput next = input;
                std::vector<SearchChromosome>& u = sideA ? next.a : next.b;
                u[c].genes.erase(u[c].genes.begin() + at(g));
                dropEmpty(u);
                steps.push_back(std::move(next));
            }
        }
    }
    for (std::size_t w = 0; w < input.weightSet; ++w) {
        SearchInput next = input;
        next.weightSet = w;
        steps.push_back(std::move(next));
    }
    return steps;
}

// Greedy: takes the first smaller input that still reaches the label, until none does.
SearchInput shrunk(SearchInput input, const std::string& label,
                   const testing::LabelSearch& search) {
    for (bool progress = true; progress;) {
        progress = false;
        for (SearchInput& next : shrinkSteps(input)) {
            if (next.a.empty() || next.b.empty() ||
                testing::rowLabelsOf(next, search.weights(next.weightSet)).count(label) == 0)
                continue;
            input = std::move(next);
            progress = true;
            break;
        }
    }
    return renamed(std::move(input));
}

int search(double seconds, uint32_t seed) {
    std::vector<OperationWeights> weightSets;
    for (const char* file : weightFiles) {
        weightSets.push_back(
            readOperationWeights(std::string(VARNET_SOURCE_DIR) + "/tests/golden/inputs/" + file));
    }
    testing::LabelSearch search(seed, weightSets);
    // Per label the few smallest finds, shrunk once the time is up.
    constexpr std::size_t shrunkPerLabel = 3;
    std::map<std::string, std::vector<SearchInput>> finds;
    const auto start = std::chrono::steady_clock::now();
    while (std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() <
           seconds) {
        const testing::LabelSearch::Find& find = search.next();
        for (const std::string& label : find.labels) {
            std::vector<SearchInput>& kept = finds[label];
            kept.insert(std::upper_bound(kept.begin(), kept.end(), find.input, smaller),
                        find.input);
            if (kept.size() > shrunkPerLabel) kept.pop_back();
        }
    }
    std::map<std::string, SearchInput> smallest;
    for (const auto& [label, kept] : finds) {
        for (const SearchInput& input : kept) {
            SearchInput candidate = shrunk(input, label, search);
            const auto best = smallest.find(label);
            if (best == smallest.end() || smaller(candidate, best->second))
                smallest.insert_or_assign(label, std::move(candidate));
        }
    }

    std::cout << search.tried() << " inputs in " << seconds << " s (seed " << seed << ")\n\n"
              << "label\tinputs\tgenes of the smallest\n";
    std::string reachable;
    std::string unreached;
    const std::vector<std::string> labels = testing::rowLabels();
    for (const std::string& label : labels) {
        const auto it = smallest.find(label);
        const auto count = search.reached().find(label);
        std::cout << label << "\t" << (count == search.reached().end() ? 0 : count->second) << "\t"
                  << (it == smallest.end() ? "-" : std::to_string(geneCount(it->second))) << "\n";
        (it == smallest.end() ? unreached : reachable) += " \"" + label + "\",";
    }
    std::cout << "\nreached:" << reachable << "\nnot reached:" << unreached << "\n";
    for (const std::string& label : labels) {
        const auto it = smallest.find(label);
        if (it == smallest.end()) continue;
        std::cout << "\n== " << label << " with " << weightFiles[it->second.weightSet] << "\n"
                  << testing::structureFileOf(it->second);
    }
    return 0;
}

}  // namespace
}  // namespace varnet

int main(int argc, char** argv) {
    const double seconds = argc > 1 ? std::atof(argv[1]) : 60.0;
    const uint32_t seed = argc > 2 ? static_cast<uint32_t>(std::atol(argv[2])) : 1u;
    return varnet::search(seconds, seed);
}
