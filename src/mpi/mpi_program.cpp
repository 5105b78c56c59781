#include "mpi/mpi_program.hpp"

#include <mpi.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <exception>
#include <iostream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "mpi/job_message.hpp"
#include "varnet.hpp"

namespace varnet {
namespace {

constexpr int rootRank = 0;
constexpr int failureTag = 1;
constexpr int blockTag = 2;

// One MPI call moves at most this many bytes (its counts are ints), and rank 0 receives a
// block in pieces of this many distances, so that it needs no buffer of a whole block.
constexpr std::size_t maxMessageBytes = std::size_t{1} << 30;
constexpr std::size_t piecePairs = std::size_t{1} << 20;

// What rank 0 tells the others: compute the pairs of the job that follows, or end with a status.
struct Command {
    enum Kind : uint64_t { job = 0, finish = 1 };
    uint64_t kind = finish;
    uint64_t value = 0;  // the job's size in bytes, or the exit status
};

// Completes a request. A blocking call would keep a processor busy for as long as it waits, one
// that the worker threads of this or another rank need while the other side computes; so after a
// short spin, which is enough for a transfer under way, it sleeps between tests.
void await(MPI_Request& request) {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point spinEnd = Clock::now() + std::chrono::milliseconds(20);
    for (;;) {
        int done = 0;
        MPI_Test(&request, &done, MPI_STATUS_IGNORE);
        if (done != 0) return;
        if (Clock::now() >= spinEnd) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

// Moves `bytes` in as many calls as the int counts of MPI need (one call when empty), each
// started by `start` and then awaited.
template <typename Start>
void inPieces(void* data, std::size_t bytes, Start start) {
    char* begin = static_cast<char*>(data);
    std::size_t offset = 0;
    do {
        const std::size_t size = std::min(maxMessageBytes, bytes - offset);
        MPI_Request request;
        start(begin + offset, static_cast<int>(size), &request);
        await(request);
        offset += size;
    } while (offset < bytes);
}

void broadcast(void* data, std::size_t bytes) {
    inPieces(data, bytes, [](char* piece, int size, MPI_Request* request) {
        MPI_Ibcast(piece, size, MPI_BYTE, rootRank, MPI_COMM_WORLD, request);
    });
}

void send(const void* data, std::size_t bytes, int destination, int tag) {
    // MPI_Isend does not write to the buffer.
    inPieces(const_cast<void*>(data), bytes, [&](char* piece, int size, MPI_Request* request) {
        MPI_Isend(piece, size, MPI_BYTE, destination, tag, MPI_COMM_WORLD, request);
    });
}

void receive(void* data, std::size_t bytes, int source, int tag) {
    inPieces(data, bytes, [&](char* piece, int size, MPI_Request* request) {
        MPI_Irecv(piece, size, MPI_BYTE, source, tag, MPI_COMM_WORLD, request);
    });
}

// Rank 0 gives `command`; every rank returns it.
Command broadcastCommand(Command command) {
    broadcast(&command, sizeof command);
    return command;
}

PairRange blockOf(uint64_t structures, int rank, int ranks) {
    return pairBlock(pairCount(structures), static_cast<unsigned>(rank),
                     static_cast<unsigned>(ranks));
}

[[noreturn]] void abortJob(const std::string& message) {
    std::cerr << "Error occured: " << message << std::flush;
    MPI_Abort(MPI_COMM_WORLD, failureStatus);
    std::abort();
}

// Rank 0's side of the matrix computation: hands the job to every rank, computes its own block
// into the matrix, then places the other blocks in rank order.
class RankDistribution final : public PairDistribution {
public:
    explicit RankDistribution(int ranks) : ranks_(ranks) {}

    DistanceMatrix calculate(const PairSettings& settings,
                             const std::vector<ChromosomalStructure>& structures,
                             std::ostream& progress, const PairWork& work) override {
        std::vector<char> job = encodeJob(settings, structures);
        broadcastCommand({Command::job, job.size()});
        broadcast(job.data(), job.size());
        job = std::vector<char>();

        // From here on every rank sends an answer, and all are received whatever fails: the
        // earliest failure is the own block's, else that of the lowest rank.
        const uint64_t count = structures.size();
        std::exception_ptr failure;
        DistanceMatrix matrix;
        try {
            matrix = PairDistances(settings, structures, progress, work,
                                   blockOf(count, rootRank, ranks_))
                         .calculate();
        } catch (...) {
            failure = std::current_exception();
        }
        try {
            receiveBlocks(count, progress, matrix, failure);
        } catch (const std::exception& e) {
            // A rank left waiting for its answer to be taken would hang the job.
            abortJob(e.what());
        }
        if (failure) std::rethrow_exception(failure);
        return matrix;
    }

    // Ends the wait of the other ranks; they return `status`.
    void finish(int status) { broadcastCommand({Command::finish, static_cast<uint64_t>(status)}); }

private:
    void receiveBlocks(uint64_t count, std::ostream& progress, DistanceMatrix& matrix,
                       std::exception_ptr& failure) const {
        std::vector<double> piece;
        for (int rank = 1; rank < ranks_; ++rank) {
            uint64_t size = 0;
            receive(&size, sizeof size, rank, failureTag);
            std::vector<char> answer(size);
            receive(answer.data(), answer.size(), rank, failureTag);
            if (answer.empty())
                throw std::runtime_error("A message between the processes of the job is malformed");
            if (answer[0] != 0) {
                const std::string message(answer.begin() + 1, answer.end());
                if (!failure) failure = std::make_exception_ptr(std::runtime_error(message));
                continue;
            }
            const PairRange block = blockOf(count, rank, ranks_);
            for (const PairRange& part : piecesOf(block, piecePairs)) {
                piece.resize(part.size());
                receive(piece.data(), piece.size() * sizeof(double), rank, blockTag);
                if (!failure) placeBlock(matrix, part, piece);
            }
            if (!failure) printRowsStartingIn(block, count, progress);
        }
    }

    int ranks_;
};

// A rank other than 0: computes the blocks rank 0 asks for until it says to end.
int serveRoot(int rank, int ranks) {
    try {
        for (;;) {
            const Command command = broadcastCommand({});
            if (command.kind == Command::finish) return static_cast<int>(command.value);
            std::vector<char> bytes(command.value);
            broadcast(bytes.data(), bytes.size());
            const PairJob job = decodeJob(bytes);
            bytes = std::vector<char>();

            // This rank's distances, or its earliest failure: a flag, then the message.
            std::vector<double> block;
            std::string answer(1, '\0');
            try {
                keepFreedMemoryForReuse();
                std::ostream noProgress(nullptr);
                // As many workers as rank 0 has, without a terminal.
                block =
                    PairDistances(job.settings(), job.structures, noProgress, RunSettings().work(),
                                  blockOf(job.structures.size(), rank, ranks))
                        .calculateBlock();
            } catch (const std::exception& e) {
                answer = std::string("\1") + e.what();
            }
            const uint64_t size = answer.size();
            send(&size, sizeof size, rootRank, failureTag);
            send(answer.data(), answer.size(), rootRank, failureTag);
            for (const PairRange& part : piecesOf({0, block.size()}, piecePairs))
                send(block.data() + part.first, part.size() * sizeof(double), rootRank, blockTag);
        }
    } catch (const std::exception& e) {
        abortJob(e.what());
    }
}

}  // namespace

int runMpiProgram(int argc, char* argv[]) {
    int provided = 0;
    MPI_Init_thread(&argc, &argv, MPI_THREAD_FUNNELED, &provided);
    int rank = 0;
    int ranks = 0;
    MPI_Comm_rank(MPI_COMM_WORLD, &rank);
    MPI_Comm_size(MPI_COMM_WORLD, &ranks);
    // Worker threads never call MPI; only the main thread does.
    if (provided < MPI_THREAD_FUNNELED) {
        if (rank == rootRank) abortJob("The MPI library does not allow threads in its processes");
        MPI_Finalize();
        return failureStatus;
    }
    int status = failureStatus;
    if (rank == rootRank) {
        RankDistribution distribution(ranks);
        status = runCommandLine(std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc),
                                std::cout, std::cerr, isatty(STDERR_FILENO) == 1, &distribution);
        distribution.finish(status);
    } else {
        status = serveRoot(rank, ranks);
    }
    MPI_Finalize();
    return status;
}

}  // namespace varnet
