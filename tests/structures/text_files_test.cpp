#include "structures/text_files.hpp"

#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <stdexcept>

#include "app/weight_files.hpp"
#include "structures/structure_reader.hpp"
#include "support/expect_throws.hpp"
#include "support/program_run.hpp"

namespace varnet {
namespace {

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
    const std::string endless = "/dev/zero";
    const std::string message = endless + ", line 1: the line is longer than 256 MiB";
    std::vector<ChromosomalStructure> structures;
    GeneNameTable names;
    testing::expectThrowsWith([&] { readStructureFile(endless, structures, names); }, message);
    testing::expectThrowsWith([&] { readOperationWeights(endless); }, message);
    testing::expectThrowsWith([&] { readDistanceWeights(endless); }, message);
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
    testing::expectThrowsWith(
        [&] {
            writeResultFile(path, [](std::ostream& out) {
                out << "partial";
                out.setstate(std::ios::badbit);  // what a full device leaves
            });
        },
        "Failed to write file " + path);
    using Files = std::map<std::string, std::string>;
    EXPECT_EQ(testing::filesIn(dir.path()),
              (Files{{"final.txt", "earlier run\n"}, {"plain_file", "x"}}));

    writeResultFile(path, [](std::ostream& out) { out << "new run\n"; });
    EXPECT_EQ(testing::filesIn(dir.path()),
              (Files{{"final.txt", "new run\n"}, {"plain_file", "x"}}));
}

}  // namespace
}  // namespace varnet
