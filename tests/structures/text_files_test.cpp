#include "structures/text_files.hpp"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <sstream>
#include <stdexcept>

#include "modes/weight_files.hpp"
#include "structures/structure_reader.hpp"
#include "support/expect_throws.hpp"
#include "support/program_run.hpp"

namespace varnet {
namespace {

using Files = std::map<std::string, std::string>;  // by name, as testing::filesIn lists them

TEST(LineReader, SplitsAtLineFeedsAcrossChunkBoundaries) {
    // The reader takes a line in chunks of 65536 bytes; lines around that size must come back
    // whole, and carriage returns stay in the line.
    const std::string chunkLess(65535, 'a');
    const std::string chunk(65536, 'b');
    const std::string longer(200000, 'c');
    std::istringstream in(chunkLess + "\n" + chunk + "\n\nx\r\n" + longer + "\nlast");
    LineReader reader(in, "test");
    std::string line;
    for (const std::string& expected :
         {chunkLess, chunk, std::string(), std::string("x\r"), longer, std::string("last")}) {
        ASSERT_TRUE(reader.next(line));
        EXPECT_EQ(line, expected) << "line " << reader.lineNumber();
    }
    EXPECT_FALSE(reader.next(line));
    EXPECT_EQ(line, "");
}

TEST(LineReader, EndlessInputIsAnErrorNamingFileAndLineInEveryReader) {
    // /dev/zero is one endless line: each reader stops after 256 MiB instead of filling memory.
    const std::string message = "/dev/zero, line 1: the line is longer than 256 MiB";
    std::vector<ChromosomalStructure> structures;
    GeneTable names;
    testing::expectThrowsWith([&] { readStructureFile("/dev/zero", structures, names); }, message);
    testing::expectThrowsWith([&] { readOperationWeights("/dev/zero"); }, message);
    testing::expectThrowsWith([&] { readDistanceWeights("/dev/zero"); }, message);
}

TEST(ResultFiles, AreReplacedWholeOrLeftAsTheyWere) {
    const testing::TempDir dir;
    const std::string path = dir.write("final.txt", "earlier run\n");
    const std::string blocked = dir.write("plain_file", "x") + "/distance.tsv";
    testing::expectThrowsWith([&] { writeResultFile(blocked, [](std::ostream&) {}); },
                              "Failed to create file " + blocked);

    // A write that fails part-way leaves the earlier file and no temporary file behind.
    testing::expectThrowsWith(
        [&] {
            writeResultFile(path, [](std::ostream& out) {
                out << std::string(100000, 'x');
                throw std::runtime_error("stopped part-way");
            });
        },
        "stopped part-way");
    EXPECT_EQ(testing::filesIn(dir.path()),
              (Files{{"final.txt", "earlier run\n"}, {"plain_file", "x"}}));

    writeResultFile(path, [](std::ostream& out) { out << "new run\n"; });
    EXPECT_EQ(testing::filesIn(dir.path()),
              (Files{{"final.txt", "new run\n"}, {"plain_file", "x"}}));
}

TEST(ResultFiles, AFifoIsWrittenIntoAndALinkKept) {
    namespace fs = std::filesystem;
    const testing::TempDir dir;
    const fs::path fifo = dir.path() / "tree.tre";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    // The reader is open before the writer comes, so opening the FIFO to write does not wait,
    // and the text, far below a pipe's capacity, waits in the pipe until it is read here: no
    // step can block, whatever the writer does.
    const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    ASSERT_GE(reader, 0);
    writeResultFile(fifo.string(), [](std::ostream& out) { out << "(A,B);\n"; });
    std::string text;
    char chunk[4096];
    for (ssize_t count; (count = ::read(reader, chunk, sizeof chunk)) > 0;)
        text.append(chunk, count);
    EXPECT_EQ(text, "(A,B);\n");  // a FIFO replaced by a file would give the reader nothing
    ::close(reader);

    // A link to a regular file: the file is replaced (a link replaced instead would leave it as it
    // was), the link stays.
    const std::string target = dir.write("runs/final.txt", "earlier run\n");
    fs::create_symlink(target, dir.path() / "final.txt");
    writeResultFile((dir.path() / "final.txt").string(), [](std::ostream& out) { out << "new\n"; });
    EXPECT_EQ(testing::filesIn(dir.path() / "runs"), (Files{{"final.txt", "new\n"}}));
}

}  // namespace
}  // namespace varnet
