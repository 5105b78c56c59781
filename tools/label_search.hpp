#pragma once

#include <cstdint>
#include <map>
#include <random>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "structures/chromosomal_structure.hpp"
#include "structures/operation_weights.hpp"

// A search over small structure pairs for inputs whose shortest sequence takes each row of the
// solver's tables, recognised by the step labels of its records ("3.1" to "4.23"). It generates
// pairs and, more and more as it goes, mutates the inputs that reached a rare label, so that it
// finds rows that need several kinds of path at once. Deterministic for a given seed.
namespace varnet::testing {

struct SearchChromosome {
    bool circular = false;
    std::vector<int> genes;  // orientation * gene id; copies are numbered when read
    bool operator==(const SearchChromosome&) const = default;
};

struct SearchInput {
    std::vector<SearchChromosome> a;
    std::vector<SearchChromosome> b;
    std::size_t weightSet = 0;  // index into the search's weight sets
    bool operator==(const SearchInput&) const = default;
};

// Gene occurrences in both structures.
std::size_t geneCount(const SearchInput& input);

// The structure file of the input: "2", then A and B, genes named a to z and then g<id>.
std::string structureFileOf(const SearchInput& input);

// The input's structures as the program reads them from its structure file.
std::pair<ChromosomalStructure, ChromosomalStructure> structuresOf(const SearchInput& input);

// The step labels "3.x" and "4.x" of the shortest sequence the program computes for the input;
// empty for an input the program rejects.
std::set<std::string> rowLabelsOf(const SearchInput& input, const OperationWeights& weights);

class LabelSearch {
public:
    LabelSearch(uint32_t seed, std::vector<OperationWeights> weightSets);

    struct Find {
        SearchInput input;
        std::set<std::string> labels;
    };
    // One more input, generated or mutated, with the labels it reaches; counted in `reached`.
    const Find& next();

    // Inputs tried, and per label how many of them reached it.
    std::size_t tried() const { return tried_; }
    const std::map<std::string, std::size_t>& reached() const { return reached_; }
    const OperationWeights& weights(std::size_t set) const { return weightSets_[set]; }

private:
    SearchInput generated();
    SearchInput mutated(SearchInput input);

    std::mt19937 random_;
    std::vector<OperationWeights> weightSets_;
    static constexpr std::size_t keptPerLabel = 20;
    static constexpr std::size_t maxJoinedGenes = 30;       // inputs stay small
    std::map<std::string, std::vector<SearchInput>> kept_;  // the first inputs to reach each label
    std::map<std::string, std::size_t> reached_;
    std::size_t tried_ = 0;
    Find last_;
};

// Every row label of the two tables: "3.1" to "3.19", "4.1" to "4.23".
std::vector<std::string> rowLabels();

}  // namespace varnet::testing
