// Searches small structure pairs and weights for inputs whose shortest sequence takes each row of
// the solver's tables, by step label ("3.1" to "3.19", "4.1" to "4.23"). Inputs come from the
// random pair generator and, more and more often as the search goes on, from mutations of inputs
// that reached the rarest labels. The first input found for a label, and any later one that is
// smaller, is shrunk to the fewest genes that still reach it. At the end it prints, per label, how
// many inputs reached it and the smallest input found, as a weights line and a structure file.
// Usage: varnet_row_search [seconds, default 60] [seed, default 1]
#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <exception>
#include <iostream>
#include <map>
#include <optional>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "app/weight_files.hpp"
#include "graph/joint_graph.hpp"
#include "solver/chromosome_set.hpp"
#include "solver/solve.hpp"
#include "structures/adjacency.hpp"
#include "structures/gene_numbering.hpp"
#include "structures/structure_reader.hpp"
#include "structures/structure_validation.hpp"
#include "support/random_structures.hpp"

namespace varnet {
namespace {

// The weight files of the golden cases, so that a find can become a case as it stands. Between
// them they cover DP below, equal to and above SP, and J below and equal to C.
// Smaller inputs prefer the earlier sets.
const std::array<const char*, 5> weightFiles{"weights_dp_low.txt", "weights_sp_low.txt",
                                             "weights_unit.txt", "weights_c_one.txt",
                                             "weights_sp_1_5.txt"};
constexpr std::size_t weightSetCount = weightFiles.size();
std::array<OperationWeights, weightSetCount> weightSets;

struct RawChromosome {
    bool circular = false;
    std::vector<int> genes;  // sign * gene id
    bool operator==(const RawChromosome&) const = default;
};
using RawStructure = std::vector<RawChromosome>;

struct Input {
    RawStructure a;
    RawStructure b;
    std::size_t weightSet = 0;
    bool operator==(const Input&) const = default;
};

std::size_t geneCount(const Input& input) {
    std::size_t count = 0;
    for (const RawStructure* s : {&input.a, &input.b}) {
        for (const RawChromosome& c : *s) count += c.genes.size();
    }
    return count;
}

// Occurrences of a name after its first within one structure.
std::size_t copyCount(const Input& input) {
    std::size_t count = 0;
    for (const RawStructure* s : {&input.a, &input.b}) {
        std::set<int> seen;
        for (const RawChromosome& c : *s) {
            for (const int gene : c.genes) count += seen.insert(std::abs(gene)).second ? 0 : 1;
        }
    }
    return count;
}

// Fewer genes first, then fewer copies, fewer chromosomes, the earlier weight set.
bool smaller(const Input& x, const Input& y) {
    const auto key = [](const Input& i) {
        return std::array<std::size_t, 4>{geneCount(i), copyCount(i), i.a.size() + i.b.size(),
                                          i.weightSet};
    };
    return key(x) < key(y);
}

std::string geneName(int id) {
    return id <= 26 ? std::string(1, static_cast<char>('a' + id - 1)) : "g" + std::to_string(id);
}

std::string structureLine(const std::string& name, const RawStructure& s) {
    std::string line = name + " " + std::to_string(s.size());
    for (const RawChromosome& c : s) {
        line += std::string(" ") + (c.circular ? "C" : "L") + std::to_string(c.genes.size()) + " ";
        for (const int gene : c.genes) line += (gene < 0 ? "-" : "+") + geneName(std::abs(gene));
    }
    return line;
}

std::string structureFile(const Input& input) {
    return "2\n" + structureLine("A", input.a) + "\n" + structureLine("B", input.b) + "\n";
}

// Renumbers gene ids in order of first appearance, so that a shrunk input reads a, b, c, ...
Input renamed(const Input& input) {
    std::map<int, int> ids;
    Input out = input;
    for (RawStructure* s : {&out.a, &out.b}) {
        for (RawChromosome& c : *s) {
            for (int& gene : c.genes) {
                const auto [it, added] = ids.emplace(std::abs(gene), ids.size() + 1);
                gene = gene < 0 ? -it->second : it->second;
            }
        }
    }
    return out;
}

// The step labels of the shortest sequence, as the program computes it from the structure file;
// empty for inputs the program rejects.
std::set<std::string> labelsOf(const Input& input) {
    std::set<std::string> labels;
    try {
        std::istringstream in(structureFile(input));
        std::vector<ChromosomalStructure> structures;
        GeneNameTable names;
        readStructures(in, structures, names);
        validateForGraph(structures.front(), names);
        validateForGraph(structures.back(), names);
        numberCodesDensely(structures);
        ChromosomeSet state(buildJointGraph(buildAdjacency(groupChromosomes(structures.front())),
                                            buildAdjacency(groupChromosomes(structures.back()))));
        solve(state, weightSets[input.weightSet]);
        for (const OperationRecord& record : state.sequence) {
            if (record.step.size() > 2 && (record.step[0] == '3' || record.step[0] == '4'))
                labels.insert(record.step);
        }
    } catch (const std::exception&) {
        labels.clear();
    }
    return labels;
}

RawStructure decoded(const ChromosomalStructure& structure) {
    RawStructure raw;
    for (const Chromosome& c : structure.chromosomes) {
        RawChromosome r{c.circular, {}};
        for (const int32_t code : c.genes) r.genes.push_back(code / 10);
        raw.push_back(std::move(r));
    }
    return raw;
}

Input generated(std::mt19937& random) {
    const auto real = [&random](double high) {
        return std::uniform_real_distribution<double>(0.0, high)(random);
    };
    testing::GeneratorOptions options;
    options.geneCount = std::uniform_int_distribution<int>(1, 14)(random);
    options.maxChromosomes = std::uniform_int_distribution<int>(1, 4)(random);
    options.circularRate = real(0.6);
    options.duplicateRate = real(0.3);
    options.missingRate = real(0.4);
    options.wholeChromosomeRate = real(0.5);
    options.rearrangements = std::uniform_int_distribution<int>(0, 6)(random);
    const auto [a, b] = testing::generatePair(random, options);
    return {decoded(a), decoded(b),
            std::uniform_int_distribution<std::size_t>(0, weightSetCount - 1)(random)};
}

// Every input one step smaller than `input`: a gene name gone from both structures, one
// occurrence gone, a chromosome gone, a circular chromosome made linear, an earlier weight set.
std::vector<Input> shrinkSteps(const Input& input) {
    std::vector<Input> steps;
    std::set<int> ids;
    for (const RawStructure* s : {&input.a, &input.b}) {
        for (const RawChromosome& c : *s) {
            for (const int gene : c.genes) ids.insert(std::abs(gene));
        }
    }
    const auto dropEmpty = [](RawStructure& s) {
        std::erase_if(s, [](const RawChromosome& c) { return c.genes.empty(); });
    };
    for (const int id : ids) {
        Input next = input;
        for (RawStructure* s : {&next.a, &next.b}) {
            for (RawChromosome& c : *s)
                std::erase_if(c.genes, [id](int gene) { return std::abs(gene) == id; });
            dropEmpty(*s);
        }
        steps.push_back(std::move(next));
    }
    for (const bool sideA : {true, false}) {
        const RawStructure& s = sideA ? input.a : input.b;
        for (std::size_t c = 0; c < s.size(); ++c) {
            Input without = input;
            RawStructure& t = sideA ? without.a : without.b;
            t.erase(t.begin() + static_cast<std::ptrdiff_t>(c));
            steps.push_back(without);
            if (s[c].circular) {
                Input linear = input;
                (sideA ? linear.a : linear.b)[c].circular = false;
                steps.push_back(std::move(linear));
            }
            for (std::size_t g = 0; g < s[c].genes.size(); ++g) {
                Input next = input;
                RawStructure& u = sideA ? next.a : next.b;
                u[c].genes.erase(u[c].genes.begin() + static_cast<std::ptrdiff_t>(g));
                dropEmpty(u);
                steps.push_back(std::move(next));
            }
        }
    }
    for (std::size_t w = 0; w < input.weightSet; ++w) {
        Input next = input;
        next.weightSet = w;
        steps.push_back(std::move(next));
    }
    return steps;
}

// Greedy: takes the first smaller input that still reaches the label, until none does.
Input shrunk(Input input, const std::string& label) {
    for (bool progress = true; progress;) {
        progress = false;
        for (Input& next : shrinkSteps(input)) {
            if (next.a.empty() || next.b.empty() || labelsOf(next).count(label) == 0) continue;
            input = std::move(next);
            progress = true;
            break;
        }
    }
    return renamed(input);
}

Input mutated(Input input, std::mt19937& random) {
    const auto pick = [&random](std::size_t n) {
        return std::uniform_int_distribution<std::size_t>(0, n - 1)(random);
    };
    int nextId = 1;
    for (const RawStructure* s : {&input.a, &input.b}) {
        for (const RawChromosome& c : *s) {
            for (const int gene : c.genes) nextId = std::max(nextId, std::abs(gene) + 1);
        }
    }
    for (std::size_t n = 1 + pick(3); n > 0; --n) {
        RawStructure& s = pick(2) == 0 ? input.a : input.b;
        if (s.empty()) continue;
        RawChromosome& c = s[pick(s.size())];
        switch (pick(7)) {
            case 0: {  // inversion
                const std::size_t from = pick(c.genes.size());
                const std::size_t to = from + pick(c.genes.size() - from);
                std::reverse(c.genes.begin() + static_cast<std::ptrdiff_t>(from),
                             c.genes.begin() + static_cast<std::ptrdiff_t>(to) + 1);
                for (std::size_t k = from; k <= to; ++k) c.genes[k] = -c.genes[k];
                break;
            }
            case 1:
                c.circular = !c.circular;
                break;
            case 2:  // a gene of this side only
                c.genes.insert(
                    c.genes.begin() + static_cast<std::ptrdiff_t>(pick(c.genes.size() + 1)),
                    pick(2) == 0 ? nextId : -nextId);
                ++nextId;
                break;
            case 3:
                if (c.genes.size() > 1)
                    c.genes.erase(c.genes.begin() +
                                  static_cast<std::ptrdiff_t>(pick(c.genes.size())));
                break;
            case 4:  // another copy of a gene
                c.genes.push_back(c.genes[pick(c.genes.size())]);
                break;
            case 5:  // a whole chromosome of this side only
                s.push_back({pick(2) == 0, {nextId++}});
                break;
            default:
                input.weightSet = pick(weightSetCount);
        }
    }
    return input;
}

std::vector<std::string> allLabels() {
    std::vector<std::string> labels;
    for (int k = 1; k <= 19; ++k) labels.push_back("3." + std::to_string(k));
    for (int k = 1; k <= 23; ++k) labels.push_back("4." + std::to_string(k));
    return labels;
}

int search(double seconds, uint32_t seed) {
    for (std::size_t k = 0; k < weightSetCount; ++k) {
        weightSets[k] = readOperationWeights(std::string(VARNET_SOURCE_DIR) +
                                             "/tests/golden/inputs/" + weightFiles[k]);
    }
    std::mt19937 random(seed);
    const std::vector<std::string> labels = allLabels();
    std::map<std::string, std::size_t> reached;
    std::map<std::string, Input> smallest;
    std::vector<std::pair<Input, std::set<std::string>>> corpus;  // finds of rare labels
    const auto start = std::chrono::steady_clock::now();
    std::size_t tried = 0;
    while (std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() <
           seconds) {
        const bool mutate = !corpus.empty() && random() % 2 == 0;
        const Input input =
            mutate ? mutated(corpus[random() % corpus.size()].first, random) : generated(random);
        ++tried;
        const std::set<std::string> found = labelsOf(input);
        bool rare = false;
        for (const std::string& label : found) {
            const std::size_t count = ++reached[label];
            rare = rare || count <= 20;
            const auto best = smallest.find(label);
            if (best == smallest.end() || smaller(input, best->second)) {
                Input candidate = shrunk(input, label);
                if (best == smallest.end() || smaller(candidate, best->second))
                    smallest[label] = std::move(candidate);
            }
        }
        if (rare) corpus.emplace_back(input, found);
    }

    std::cout << tried << " inputs in " << seconds << " s (seed " << seed << ")\n\n";
    std::cout << "label\tinputs\tgenes of the smallest\n";
    std::string reachable;
    std::string unreached;
    for (const std::string& label : labels) {
        const auto it = smallest.find(label);
        std::cout << label << "\t" << reached[label] << "\t"
                  << (it == smallest.end() ? std::string("-")
                                           : std::to_string(geneCount(it->second)))
                  << "\n";
        (it == smallest.end() ? unreached : reachable) += " \"" + label + "\",";
    }
    std::cout << "\nreached:" << reachable << "\nnot reached:" << unreached << "\n";
    for (const std::string& label : labels) {
        const auto it = smallest.find(label);
        if (it == smallest.end()) continue;
        std::cout << "\n== " << label << " with " << weightFiles[it->second.weightSet] << "\n"
                  << structureFile(it->second);
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
