#include "mpi/job_message.hpp"

#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <type_traits>
#include <utility>

namespace varnet {
namespace {

[[noreturn]] void malformed() {
    throw std::runtime_error("A message between the processes of the job is malformed");
}

class ByteWriter {
public:
    template <typename T>
    void put(const T& value) {
        static_assert(std::is_trivially_copyable_v<T>);
        putBytes(&value, sizeof value);
    }
    void putString(const std::string& text) {
        put<uint64_t>(text.size());
        putBytes(text.data(), text.size());
    }
    std::vector<char> take() { return std::move(bytes_); }

private:
    void putBytes(const void* data, std::size_t size) {
        const char* begin = static_cast<const char*>(data);
        bytes_.insert(bytes_.end(), begin, begin + size);
    }

    std::vector<char> bytes_;
};

class ByteReader {
public:
    explicit ByteReader(const std::vector<char>& bytes) : bytes_(bytes) {}

    template <typename T>
    T get() {
        static_assert(std::is_trivially_copyable_v<T>);
        T value;
        std::memcpy(&value, take(sizeof value), sizeof value);
        return value;
    }
    std::string getString() {
        const auto size = get<uint64_t>();
        const char* begin = take(size);
        return std::string(begin, size);
    }
    // A count of items of at least `itemBytes` each, checked against the bytes left.
    uint64_t getCount(std::size_t itemBytes) {
        const auto count = get<uint64_t>();
        if (count > (bytes_.size() - at_) / itemBytes) malformed();
        return count;
    }
    void expectEnd() const {
        if (at_ != bytes_.size()) malformed();
    }

private:
    const char* take(uint64_t size) {
        if (size > bytes_.size() - at_) malformed();
        const char* begin = bytes_.data() + at_;
        at_ += size;
        return begin;
    }
    const std::vector<char>& bytes_;
    std::size_t at_ = 0;
};

}  // namespace

std::vector<char> encodeJob(const PairSettings& settings,
                            const std::vector<ChromosomalStructure>& structures) {
    ByteWriter writer;
    writer.put(settings.weights);
    writer.put<uint8_t>(settings.copies == CopyRule::context ? 1 : 0);
    const GeneTable genes = settings.genes != nullptr ? *settings.genes : GeneTable();
    writer.put<uint64_t>(genes.geneCount());
    for (std::size_t gene = 1; gene <= genes.geneCount(); ++gene) {
        writer.putString(genes.geneName(gene));
        const auto [first, end] = genes.codesOfGene(gene);
        writer.put<int32_t>(end - first);
    }
    writer.put<uint64_t>(structures.size());
    for (const ChromosomalStructure& structure : structures) {
        writer.putString(structure.name);
        writer.put<uint64_t>(structure.chromosomes.size());
        for (const Chromosome& chromosome : structure.chromosomes) {
            writer.put<uint8_t>(chromosome.circular ? 1 : 0);
            writer.put<uint64_t>(chromosome.genes.size());
            for (const int32_t code : chromosome.genes) writer.put(code);
        }
    }
    return writer.take();
}

PairJob decodeJob(const std::vector<char>& bytes) {
    ByteReader reader(bytes);
    PairJob job;
    job.weights = reader.get<OperationWeights>();
    job.copies = reader.get<uint8_t>() != 0 ? CopyRule::context : CopyRule::order;
    // Every gene takes at least its name's length and its copy count.
    const uint64_t geneCount = reader.getCount(sizeof(uint64_t) + sizeof(int32_t));
    std::vector<std::string> names(geneCount + 1);
    std::vector<int32_t> copies(geneCount + 1, 0);
    for (uint64_t gene = 1; gene <= geneCount; ++gene) {
        names[gene] = reader.getString();
        copies[gene] = reader.get<int32_t>();
        if (copies[gene] < 0) malformed();
    }
    job.genes = GeneTable(std::move(names), copies);
    // Every structure takes at least its name's length and its chromosome count.
    job.structures.resize(reader.getCount(2 * sizeof(uint64_t)));
    for (ChromosomalStructure& structure : job.structures) {
        structure.name = reader.getString();
        structure.chromosomes.resize(reader.getCount(1 + sizeof(uint64_t)));
        for (Chromosome& chromosome : structure.chromosomes) {
            chromosome.circular = reader.get<uint8_t>() != 0;
            chromosome.genes.resize(reader.getCount(sizeof(int32_t)));
            for (int32_t& code : chromosome.genes) code = reader.get<int32_t>();
        }
    }
    reader.expectEnd();
    return job;
}

}  // namespace varnet
