#include "mpi/job_message.hpp"

#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <type_traits>
#include <utility>

namespace varnet {
namespace {

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
    [[noreturn]] static void malformed() {
        throw std::runtime_error("A message between the processes of the job is malformed");
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
    writer.put<uint64_t>(settings.genes.firstGroups().size());
    for (const int32_t group : settings.genes.firstGroups()) writer.put(group);
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
    job.settings.weights = reader.get<OperationWeights>();
    job.settings.copies = reader.get<uint8_t>() != 0 ? CopyRule::context : CopyRule::order;
    std::vector<int32_t> firstGroups(reader.getCount(sizeof(int32_t)));
    for (int32_t& group : firstGroups) group = reader.get<int32_t>();
    job.settings.genes = GeneGroups(std::move(firstGroups));
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

std::vector<char> encodeFailure(const BlockFailure& failure) {
    ByteWriter writer;
    writer.put<uint8_t>(failure.failed ? 1 : 0);
    writer.putString(failure.message);
    return writer.take();
}

BlockFailure decodeFailure(const std::vector<char>& bytes) {
    ByteReader reader(bytes);
    BlockFailure failure;
    failure.failed = reader.get<uint8_t>() != 0;
    failure.message = reader.getString();
    reader.expectEnd();
    return failure;
}

}  // namespace varnet
