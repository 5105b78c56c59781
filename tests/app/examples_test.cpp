// The bundled examples must stay readable and within what the graph can hold.
#include <gtest/gtest.h>

#include <string>

#include "app/weight_files.hpp"
#include "structures/structure_reader.hpp"
#include "structures/structure_validation.hpp"

namespace varnet {
namespace {

const std::string sourceDir = VARNET_SOURCE_DIR;

TEST(Examples, StructureFilesReadAndPassTheGraphChecks) {
    struct Case {
        const char* file;
        std::size_t structures;
    };
    for (const Case& c : {Case{"examples/dist_pair.txt", 2}, Case{"examples/tree_six.txt", 6}}) {
        SCOPED_TRACE(c.file);
        std::vector<ChromosomalStructure> structures;
        GeneNameTable table;
        readStructureFile(sourceDir + "/" + c.file, structures, table);
        ASSERT_EQ(structures.size(), c.structures);
        for (const ChromosomalStructure& structure : structures) {
            EXPECT_GE(structure.name.size(), 10u) << "names must survive the PHYLIP cut";
            EXPECT_NO_THROW(validateForGraph(structure, table));
        }
    }
}

TEST(Examples, WeightFilesHoldTheDocumentedValues) {
    EXPECT_EQ(readOperationWeights(sourceDir + "/examples/operation_weights.txt"),
              (OperationWeights{1, 1, 0.5, 0.5, 2, 2}));
    EXPECT_EQ(readDistanceWeights(sourceDir + "/distance_weights.ini"), (DistanceWeights{1, 0}));
}

}  // namespace
}  // namespace varnet
