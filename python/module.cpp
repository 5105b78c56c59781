// varnet._core: the program's structure reading, operation weights, pair comparison and picture,
// distance matrix and trees over plain Python values (varnet/__init__.py gives them their Python
// face). Long computations run without the interpreter lock; the distance matrix also watches for
// Ctrl-C, which stops its workers.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <cerrno>
#include <chrono>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <filesystem>
#include <fstream>
#include <future>
#include <new>
#include <sstream>
#include <stdexcept>
#include <stop_token>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

#include "varnet.hpp"

namespace py = pybind11;

namespace varnet {
namespace {

// A structure as Python hands it over: its name and its chromosomes, each a circular flag and
// the genes as signed names ("+dnaA", "-recF"; a name without a sign is forward).
using PyChromosome = std::pair<bool, std::vector<std::string>>;
using PyStructure = std::pair<std::string, std::vector<PyChromosome>>;

// One step of a shortest sequence as its line in the sequence file shows it.
using PyStep = std::tuple<std::vector<std::string>, std::vector<std::string>,
                          std::vector<std::string>, std::string, bool, std::string>;

// How often the waiting thread looks for Ctrl-C while the workers compute.
constexpr std::chrono::milliseconds signalCheckInterval{50};

// A file that cannot be opened is an OSError (FileNotFoundError and the like) carrying the
// program's message, before the reader opens it again.
void checkReadable(const std::string& path, const std::string& message) {
    std::error_code ignored;
    errno = 0;
    if (std::filesystem::is_directory(path, ignored)) {
        errno = EISDIR;
    } else if (std::ifstream(path).is_open()) {
        return;
    }
    const int error = errno == 0 ? ENOENT : errno;
    PyErr_SetObject(PyExc_OSError, py::make_tuple(error, message, path).ptr());
    throw py::error_already_set();
}

std::vector<PyStructure> toPython(const std::vector<ChromosomalStructure>& structures,
                                  const GeneTable& table) {
    std::vector<PyStructure> result;
    result.reserve(structures.size());
    for (const ChromosomalStructure& structure : structures) {
        PyStructure& out = result.emplace_back(structure.name, std::vector<PyChromosome>());
        for (const Chromosome& chromosome : structure.chromosomes) {
            std::vector<std::string> genes;
            genes.reserve(chromosome.genes.size());
            for (const int32_t code : chromosome.genes)
                genes.push_back((code < 0 ? "-" : "+") + table.nameOf(code));
            out.second.emplace_back(chromosome.circular, std::move(genes));
        }
    }
    return result;
}

// Structures with their genes numbered as the reader numbers a file holding them in this order.
struct NumberedStructures {
    std::vector<ChromosomalStructure> structures;
    GeneTable table;
};

bool holdsWhitespace(std::string_view name) {
    return name.find_first_of(" \t\n\v\f\r") != std::string_view::npos;
}

NumberedStructures fromPython(const std::vector<PyStructure>& input) {
    NumberedStructures result;
    GeneNumbering numbering;
    for (const auto& [name, chromosomes] : input) {
        numbering.startStructure();
        ChromosomalStructure& structure = result.structures.emplace_back();
        structure.name = name;
        for (std::size_t c = 0; c < chromosomes.size(); ++c) {
            const std::string where =
                "structure \"" + name + "\", chromosome " + std::to_string(c + 1);
            Chromosome& chromosome = structure.chromosomes.emplace_back();
            chromosome.circular = chromosomes[c].first;
            for (const std::string& gene : chromosomes[c].second) {
                std::string_view geneName = gene;
                int orientation = 1;
                if (!geneName.empty() && (geneName[0] == '+' || geneName[0] == '-')) {
                    orientation = geneName[0] == '-' ? -1 : 1;
                    geneName.remove_prefix(1);
                }
                if (geneName.empty() || holdsWhitespace(geneName)) {
                    throw std::invalid_argument(where + ": \"" + gene +
                                                "\" is not a gene name (a name, after an "
                                                "optional + or -, without whitespace)");
                }
                chromosome.genes.push_back(numbering.code(geneName, orientation, where));
            }
        }
    }
    result.table = numbering.finish(result.structures);
    return result;
}

std::vector<PyStructure> readStructuresAt(const std::string& path) {
    checkReadable(path, "Failed to open file " + path);
    std::vector<ChromosomalStructure> structures;
    GeneTable table;
    readStructureFile(path, structures, table);
    return toPython(structures, table);
}

std::vector<PyStructure> parseStructureText(const std::string& text) {
    std::istringstream in(text);
    std::vector<ChromosomalStructure> structures;
    GeneTable table;
    readStructures(in, structures, table, "the structure text");
    return toPython(structures, table);
}

OperationWeights readWeightsAt(const std::string& path) {
    checkReadable(path, "failed to open file with weights");
    return readOperationWeights(path);
}

RunSettings settingsOf(const OperationWeights& weights, const std::string& copies) {
    RunSettings settings;
    settings.operationWeights = weights;
    settings.copies = parseCopyRule(copies);
    return settings;
}

// The comparison of the first structure with the second, as dist mode makes it.
DistPair preparePair(const std::vector<PyStructure>& pair, NumberedStructures& numbered,
                     const RunSettings& settings) {
    if (pair.size() != 2) throw std::invalid_argument("A comparison needs two structures");
    numbered = fromPython(pair);
    return prepareDistPair(std::move(numbered.structures), numbered.table,
                           settings.pairSettings(&numbered.table));
}

double pairCost(const std::vector<PyStructure>& pair, const OperationWeights& weights,
                const std::string& copies) {
    const py::gil_scoped_release unlocked;
    NumberedStructures numbered;
    DistPair prepared = preparePair(pair, numbered, settingsOf(weights, copies));
    prepared.graph.log.restartCostOnly();
    return solveDistPair(prepared, weights);
}

std::string printed(const auto& print) {
    std::ostringstream text;
    print(text);
    return text.str();
}

PyStep stepOf(const OperationRecord& record, const GeneTable& names) {
    std::vector<std::string> consumed;
    for (const ComponentItem& item : record.before)
        consumed.push_back(
            printed([&](std::ostream& out) { printComponentItem(out, item, names); }));
    std::vector<std::string> events;
    for (const int32_t event : record.events) events.emplace_back(eventName(event));
    std::vector<std::string> produced;
    for (std::size_t k = 0; k < listedProducedCount(record); ++k) {
        produced.push_back(
            printed([&](std::ostream& out) { printComponentItem(out, record.after[k], names); }));
    }
    std::string line =
        printed([&](std::ostream& out) { printOperationRecord(out, record, names); });
    line.pop_back();  // the line feed
    return {std::move(consumed), std::move(events),         std::move(produced),
            record.step,         listsAlternatives(record), std::move(line)};
}

// The cost, the first line of the sequence file and the steps.
std::tuple<double, std::string, std::vector<PyStep>> pairSequence(
    const std::vector<PyStructure>& pair, const OperationWeights& weights,
    const std::string& copies) {
    const py::gil_scoped_release unlocked;
    NumberedStructures numbered;
    DistPair prepared = preparePair(pair, numbered, settingsOf(weights, copies));
    std::vector<PyStep> steps;
    std::size_t eventCount = 0;
    prepared.graph.log.setWriter([&](const OperationRecord& record) {
        eventCount += record.events.size();
        steps.push_back(stepOf(record, *prepared.genes));
    });
    const double cost = solveDistPair(prepared, weights);
    std::string heading =
        printed([&](std::ostream& out) { printSequenceHeading(out, eventCount, cost); });
    heading.pop_back();
    return {cost, std::move(heading), std::move(steps)};
}

// The text of the pair.svg that `varnet -m dist` writes for the pair with these settings.
std::string pairPicture(const std::vector<PyStructure>& pair, const OperationWeights& weights,
                        const std::string& copies) {
    const py::gil_scoped_release unlocked;
    const RunSettings settings = settingsOf(weights, copies);
    NumberedStructures numbered;
    DistPair prepared = preparePair(pair, numbered, settings);
    EventCounts events{};
    prepared.graph.log.setWriter(
        [&events](const OperationRecord& record) { countEvents(record, events); });
    const double cost = solveDistPair(prepared, weights);
    return printed([&](std::ostream& out) {
        writePairSvg(out, prepared, settings.pairSettings(&numbered.table), cost, events);
    });
}

// The special distances on the workers of `PairDistances`, which stop when `stop` says so.
class StoppablePairDistances final : public PairDistribution {
public:
    explicit StoppablePairDistances(std::stop_token stop) : stop_(std::move(stop)) {}

    DistanceMatrix calculate(const PairSettings& settings,
                             const std::vector<ChromosomalStructure>& structures,
                             std::ostream& progress, const PairWork& work) override {
        PairDistances calculation(settings, structures, progress, work);
        calculation.stopWhen(stop_);
        return calculation.calculate();
    }

private:
    std::stop_token stop_;
};

py::array_t<double> toArray(const DistanceMatrix& matrix) {
    const auto n = static_cast<py::ssize_t>(matrix.size());
    py::array_t<double> result({n, n});
    auto cells = result.mutable_unchecked<2>();
    for (py::ssize_t i = 0; i < n; ++i) {
        for (py::ssize_t j = 0; j < n; ++j)
            cells(i, j) = matrix[static_cast<std::size_t>(i)][static_cast<std::size_t>(j)];
    }
    return result;
}

// What tree mode warns of when the breakpoint weight is 0 and some pair shares fewer than half
// the genes of the smaller structure; empty when no pair does.
std::string sharedGeneText(const std::vector<PyStructure>& input) {
    const py::gil_scoped_release unlocked;
    const NumberedStructures numbered = fromPython(input);
    return sharedGeneWarning(numbered.structures);
}

// What distance_matrix and jackknife are given besides the structures.
struct MatrixArguments {
    OperationWeights weights{};
    double special = 0;
    double breakpoint = 0;
    unsigned threads = 0;
    std::string copies;
};

// Runs `compute` on the structures, with the settings of `arguments`, on a thread of its own
// while the calling thread, without the interpreter lock, looks for Ctrl-C: a KeyboardInterrupt
// stops the workers before their next pair and is raised here.
template <typename Compute>
auto stoppable(const std::vector<PyStructure>& input, const MatrixArguments& arguments,
               RunSettings settings, Compute compute) {
    settings.operationWeights = arguments.weights;
    settings.distanceWeights = {arguments.special, arguments.breakpoint};
    settings.threads = arguments.threads;
    settings.copies = parseCopyRule(arguments.copies);
    std::stop_source stop;
    StoppablePairDistances distances(stop.get_token());
    settings.distribution = &distances;
    decltype(compute(settings, NumberedStructures())) result{};
    bool interrupted = false;
    {
        const py::gil_scoped_release unlocked;
        const NumberedStructures numbered = fromPython(input);
        validateForGraph(numbered.structures);
        auto computed = std::async(std::launch::async, [&] { return compute(settings, numbered); });
        while (computed.wait_for(signalCheckInterval) != std::future_status::ready) {
            const py::gil_scoped_acquire locked;
            if (PyErr_CheckSignals() != 0) {
                interrupted = true;
                stop.request_stop();
                break;
            }
        }
        computed.wait();
        if (!interrupted) result = computed.get();
    }
    if (interrupted) throw py::error_already_set();  // the exception the signal handler raised
    return result;
}

py::array_t<double> distanceMatrix(const std::vector<PyStructure>& input,
                                   const MatrixArguments& arguments) {
    return toArray(stoppable(
        input, arguments, {}, [](const RunSettings& settings, const NumberedStructures& numbered) {
            std::ostream discard(nullptr);
            return computeDistanceMatrix(settings, numbered.structures, &numbered.table, discard);
        }));
}

// The tree with support, the support table and the replicates' trees.
std::tuple<std::string, std::string, std::string> jackknife(const std::vector<PyStructure>& input,
                                                            const MatrixArguments& arguments,
                                                            const JackknifeSettings& replicates,
                                                            const std::string& method) {
    RunSettings settings;
    settings.method = method;
    settings.jackknife = replicates;
    const JackknifeResult result = stoppable(
        input, arguments, settings, [](const RunSettings& run, const NumberedStructures& numbered) {
            std::ostream discard(nullptr);
            return jackknifeTree(run, numbered.structures, &numbered.table, discard);
        });
    return {result.tree, result.support, result.replicates};
}

std::string treeText(const py::array_t<double, py::array::c_style | py::array::forcecast>& cells,
                     const std::vector<std::string>& names, const std::string& method) {
    const std::size_t n = names.size();
    if (cells.ndim() != 2 || static_cast<std::size_t>(cells.shape(0)) != n ||
        static_cast<std::size_t>(cells.shape(1)) != n)
        throw std::invalid_argument("The matrix must have one row and one column per name");
    DistanceMatrix matrix(n, std::vector<double>(n));
    const auto view = cells.unchecked<2>();
    for (std::size_t i = 0; i < n; ++i) {
        for (std::size_t j = 0; j < n; ++j)
            matrix[i][j] = view(static_cast<py::ssize_t>(i), static_cast<py::ssize_t>(j));
    }
    std::vector<ChromosomalStructure> structures(n);
    for (std::size_t k = 0; k < n; ++k) structures[k].name = names[k];
    const py::gil_scoped_release unlocked;
    return treeOfMethod(method, std::move(matrix), structures).text;
}

// The program's failures are exceptions carrying its message: ValueError in Python.
void translateFailure(std::exception_ptr failure) {
    try {
        std::rethrow_exception(failure);
    } catch (const py::builtin_exception&) {
        throw;  // pybind11's own, e.g. TypeError, translated by pybind11
    } catch (const std::bad_alloc&) {
        throw;
    } catch (const std::exception& e) {
        PyErr_SetString(PyExc_ValueError, e.what());
    }
}

}  // namespace
}  // namespace varnet

PYBIND11_MODULE(_core, module) {
    using namespace varnet;
    module.doc() = "varnet's core, wrapped for the package varnet";
    py::register_exception_translator(&translateFailure);
    module.attr("version") = versionText();
    module.def("read_structures", &readStructuresAt, py::arg("path"));
    module.def("parse_structures", &parseStructureText, py::arg("text"));
    module.def("read_weights", &readWeightsAt, py::arg("path"));
    module.attr("tree_methods") = treeMethodNames();
    module.def("distance", &pairCost, py::arg("pair"), py::arg("weights"), py::arg("copies"));
    module.def("sequence", &pairSequence, py::arg("pair"), py::arg("weights"), py::arg("copies"));
    module.def("draw_pair", &pairPicture, py::arg("pair"), py::arg("weights"), py::arg("copies"));
    module.def(
        "distance_matrix",
        [](const std::vector<PyStructure>& structures, const OperationWeights& weights,
           double special, double breakpoint, unsigned threads, const std::string& copies) {
            return distanceMatrix(structures, {weights, special, breakpoint, threads, copies});
        },
        py::arg("structures"), py::arg("weights"), py::arg("special"), py::arg("breakpoint"),
        py::arg("threads"), py::arg("copies"));
    module.def(
        "jackknife",
        [](const std::vector<PyStructure>& structures, uint64_t replicates, double fraction,
           uint64_t seed, const std::string& method, const OperationWeights& weights,
           double special, double breakpoint, unsigned threads, const std::string& copies) {
            return jackknife(structures, {weights, special, breakpoint, threads, copies},
                             {replicates, fraction, seed}, method);
        },
        py::arg("structures"), py::arg("replicates"), py::arg("fraction"), py::arg("seed"),
        py::arg("method"), py::arg("weights"), py::arg("special"), py::arg("breakpoint"),
        py::arg("threads"), py::arg("copies"));
    module.def("shared_gene_warning", &sharedGeneText, py::arg("structures"));
    module.def("tree", &treeText, py::arg("matrix"), py::arg("names"), py::arg("method"));
}
