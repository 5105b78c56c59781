#include "modes/pair_svg.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <iterator>
#include <map>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "support/random_structures.hpp"
#include "support/svg_check.hpp"

namespace varnet {
namespace {

using testing::XmlElement;

const OperationWeights pictureWeights = {1, 2, 3, 4, 5, 6};  // DP, SP, J, C, bD, aD

std::set<std::string> classesOf(const XmlElement& element) {
    std::istringstream words(element.attribute("class"));
    return {std::istream_iterator<std::string>(words), std::istream_iterator<std::string>()};
}

// The numbers of a path's d attribute, in order.
std::vector<double> numbersOf(std::string path) {
    for (char& c : path)
        c = std::isdigit(static_cast<unsigned char>(c)) || c == '.' || c == '-' ? c : ' ';
    std::istringstream numbers(path);
    return {std::istream_iterator<double>(numbers), std::istream_iterator<double>()};
}

// The genes an arrow's title stands for: "first~last (n)" n (the picture's en dash read as
// '~'), a single name 1.
std::size_t genesOfTitle(const std::string& title) {
    if (title.find('~') == std::string::npos) return 1;
    return std::stoul(title.substr(title.rfind('(') + 1));
}

// What the picture shows, read from its elements: each track as its chromosomes left to right
// ("linear: " or "circular: ", then each arrow as its title, its direction (">", "<", or "="
// for a box) and its colour class or "grey"; chromosomes separated by " | "); each band as
// "above - below" or "above x below" (crossed); and the heading's texts. Checks the geometry:
// the arrows of a track at one height and 16 high, the lower track below the upper, arrows and
// chromosomes apart from each other and inside the page's margins, every band leaving its upper
// arrow's ends and reaching its lower arrow's, which stands for as many genes, crossing exactly
// when it is marked crossed.
struct PairView {
    std::string above;
    std::string below;
    std::vector<std::string> bands;
    std::string names;
    std::string settings;
    std::vector<std::string> summary;
    std::size_t genes[2] = {0, 0};
    std::size_t pairedGenes = 0;
};

PairView viewOf(const std::string& svg) {
    const std::vector<XmlElement> elements = testing::elementsOfSvg(svg);
    struct Arrow {
        double x0, x1;
        std::string token;
    };
    struct Row {
        double x0, x1;
        bool circular;
        std::vector<Arrow> arrows;
    };
    std::vector<Row> rows[2];
    std::vector<Arrow> arrows[2];
    PairView view;
    // Per group of class "block": its arrows' ranges and titles, and its band's numbers.
    struct Group {
        std::pair<double, double> range[2];
        std::string title[2];
        std::vector<double> band;
        bool crossed = false;
    };
    std::map<std::size_t, Group> groups;
    double trackTop[2] = {NAN, NAN};
    const double pageWidth = std::stod(elements[0].attribute("width"));
    for (std::size_t e = 0; e < elements.size(); ++e) {
        const XmlElement& element = elements[e];
        const std::set<std::string> classes = classesOf(element);
        if (element.name == "text") {
            if (classes.contains("names")) view.names = element.text;
            if (classes.contains("settings")) view.settings = element.text;
            if (classes.contains("summary")) view.summary.push_back(element.text);
            continue;
        }
        if (element.name != "path") continue;
        const std::vector<double> numbers = numbersOf(element.attribute("d"));
        if (classes.contains("band")) {
            groups[element.parent].band = numbers;
            groups[element.parent].crossed = classes.contains("crossed");
            continue;
        }
        // Every other path is an arrow or a chromosome of the upper or the lower track.
        const std::size_t t = classes.contains("above") ? 0 : 1;
        if (classes.contains("chromosome")) {
            EXPECT_GE(numbers[0], 16);
            EXPECT_LE(numbers[2], pageWidth - 16);
            if (classes.contains("circular")) {
                // A loop 7 px outside the track, bending at most 7 px (a little over half
                // the length of a short chromosome), alike at both ends.
                const double x0 = numbers[0], m = numbers[1], x1 = numbers[2];
                const double b = std::min(7.0, (x1 - x0) / 2 + 2);
                const double o = t == 0 ? m - 15 : m + 15;
                const std::vector<double> loop = {x0, m,  x1,     x1 + b, m,      x1 + b, o,  x1,
                                                  o,  x0, x0 - b, o,      x0 - b, m,      x0, m};
                EXPECT_EQ(numbers.size(), loop.size());
                for (std::size_t k = 0; k < std::min(numbers.size(), loop.size()); ++k)
                    EXPECT_NEAR(numbers[k], loop[k], 0.11) << "loop number " << k;
            }
            rows[t].push_back({numbers[0], numbers[2], classes.contains("circular"), {}});
            continue;
        }
        std::string title;
        for (std::size_t k = e + 1; k < elements.size() && elements[k].parent == e; ++k) {
            if (elements[k].name == "title") title = elements[k].text;
        }
        for (std::size_t at; (at = title.find("\xE2\x80\x93")) != std::string::npos;)
            title.replace(at, 3, "~");
        // A box: M x0,top H x1 V bottom H x0 Z; an arrow: M back,top H neck L tip,middle L
        // neck,bottom H back Z.
        const bool box = numbers.size() == 5;
        const double top = numbers[1];
        if (std::isnan(trackTop[t])) trackTop[t] = top;
        EXPECT_EQ(top, trackTop[t]) << title;
        EXPECT_EQ(numbers[box ? 3 : 6] - top, 16) << title;
        if (!box) {
            EXPECT_EQ(numbers[4], top + 8) << title;
            EXPECT_TRUE(std::min(numbers[0], numbers[3]) <= numbers[2] &&
                        numbers[2] <= std::max(numbers[0], numbers[3]))
                << title << ": the neck lies outside the arrow";
        }
        const double end = numbers[box ? 2 : 3];
        const double x0 = std::min(numbers[0], end);
        const double x1 = std::max(numbers[0], end);
        const char* direction = box ? "=" : numbers[3] > numbers[0] ? ">" : "<";
        std::string colour = "grey";
        if (!classes.contains("only")) {
            colour = elements[element.parent].attribute("class").substr(6);
            Group& group = groups[element.parent];
            group.range[t] = {x0, x1};
            group.title[t] = title;
            if (t == 0) view.pairedGenes += genesOfTitle(title);
        }
        view.genes[t] += genesOfTitle(title);
        arrows[t].push_back({x0, x1, title + direction + ":" + colour});
    }
    for (std::size_t t = 0; t < 2; ++t) {
        std::ranges::sort(rows[t], {}, &Row::x0);
        std::ranges::sort(arrows[t], {}, &Arrow::x0);
        for (const Arrow& arrow : arrows[t]) {
            const auto row = std::find_if(rows[t].begin(), rows[t].end(), [&](const Row& r) {
                return r.x0 <= arrow.x0 && arrow.x1 <= r.x1;
            });
            if (row == rows[t].end()) {
                ADD_FAILURE() << arrow.token << " lies on no chromosome";
                continue;
            }
            if (!row->arrows.empty()) {
                // Ends are written to a tenth, each rounded on its own.
                EXPECT_LE(row->arrows.back().x1, arrow.x0 + 0.11) << arrow.token << " overlaps";
            }
            row->arrows.push_back(arrow);
        }
        for (std::size_t k = 1; k < rows[t].size(); ++k)
            EXPECT_LE(rows[t][k - 1].x1, rows[t][k].x0 + 0.11) << "chromosomes overlap";
        std::string& text = t == 0 ? view.above : view.below;
        for (const Row& row : rows[t]) {
            if (!text.empty()) text += " | ";
            text += row.circular ? "circular: " : "linear: ";
            for (std::size_t k = 0; k < row.arrows.size(); ++k)
                text += (k > 0 ? " " : "") + row.arrows[k].token;
        }
    }
    for (const auto& [index, group] : groups) {
        SCOPED_TRACE(group.title[0]);
        // M a0,top H a1 C a1,m b,m b,bottom H b' C b',m a0,m a0,top Z
        EXPECT_EQ(group.band.size(), 16u);
        if (group.band.size() != 16) continue;
        EXPECT_EQ(group.band[1], trackTop[0] + 16);
        EXPECT_EQ(group.band[8], trackTop[1]);
        EXPECT_GT(trackTop[1], trackTop[0] + 16);
        EXPECT_NEAR(group.band[0], group.range[0].first, 0.05);
        EXPECT_NEAR(group.band[2], group.range[0].second, 0.05);
        const double reached = group.band[7];
        const double other = group.band[9];
        EXPECT_NEAR(std::min(reached, other), group.range[1].first, 0.05);
        EXPECT_NEAR(std::max(reached, other), group.range[1].second, 0.05);
        if (std::abs(reached - other) > 0.05) {  // a band too narrow to tell is not checked
            EXPECT_EQ(reached < other, group.crossed)
                << "the upper right end goes to the lower left";
        }
        EXPECT_EQ(genesOfTitle(group.title[0]), genesOfTitle(group.title[1]));
        view.bands.push_back(group.title[0] + (group.crossed ? " x " : " - ") + group.title[1]);
    }
    return view;
}

struct Drawn {
    std::string svg;
    std::size_t genes[2] = {0, 0};
    std::size_t sharedCodes = 0;
};

// The picture of the first and the last structure read, as dist mode draws it, unsolved:
// the cost line is checked by every golden case with a step file.
Drawn drawnPair(testing::ReadResult read, CopyRule copies, const PairDrawingLimits& limits) {
    PairSettings settings(pictureWeights);
    settings.copies = copies;
    const DistPair pair = prepareDistPair(std::move(read.structures), read.table, settings);
    std::ostringstream out;
    writePairSvg(out, pair, settings, 0.0, EventCounts{}, limits);
    Drawn drawn{out.str()};
    std::set<uint32_t> codes[2];
    const ChromosomalStructure* structures[] = {&pair.first, &pair.last};
    for (std::size_t t = 0; t < 2; ++t) {
        for (const Chromosome& chromosome : structures[t]->chromosomes) {
            drawn.genes[t] += chromosome.genes.size();
            for (const int32_t code : chromosome.genes) codes[t].insert(absoluteCode(code));
        }
    }
    for (const uint32_t code : codes[0]) drawn.sharedCodes += codes[1].count(code);
    return drawn;
}

constexpr PairDrawingLimits singly{};
constexpr PairDrawingLimits asRuns{0, 2500, 400};

TEST(PairSvg, DrawsBlocksBandsAndCrossingsOfHandWorkedPairs) {
    struct Case {
        const char* name;
        const char* structures;
        const char* above;
        const char* below;
        std::vector<std::string> bands;
        std::vector<std::string> summary = {};
        PairDrawingLimits limits = asRuns;
        CopyRule copies = CopyRule::order;
    };
    const Case cases[] = {
        {"a translocation between two chromosomes, coloured by the chromosome below",
         "2\nA 2 L3 +a+b+c L3 +x+y+z\nB 2 L3 +a+b+z L3 +x+y+c\n",
         "linear: a~b (2)>:c0 c>:c1 | linear: x~y (2)>:c1 z>:c0",
         "linear: a~b (2)>:c0 z>:c0 | linear: x~y (2)>:c1 c>:c1",
         {"a~b (2) - a~b (2)", "c - c", "x~y (2) - x~y (2)", "z - z"}},
        {"a deletion: grey, no band, and it breaks the run",
         "2\nA 1 L4 +a+b+c+d\nB 1 L3 +a+b+d\n",
         "linear: a~b (2)>:c0 c>:grey d>:c0",
         "linear: a~b (2)>:c0 d>:c0",
         {"a~b (2) - a~b (2)", "d - d"}},
        {"a duplicated gene: copies numbered, the extra copy grey, mixed strands in a box",
         "2\nA 1 L4 +a+b+a+c\nB 1 L5 +a+b+c-x+y\n",
         "linear: a#1~b (2)>:c0 a#2>:grey c>:c0",
         "linear: a#1~b (2)>:c0 c>:c0 x~y (2)=:grey",
         {"a#1~b (2) - a#1~b (2)", "c - c"}},
        {"copies paired by context: each with the copy between the same neighbours",
         "2\nA 1 L6 +p+a+q+r+a+s\nB 1 L6 +r+a+s+p+a+q\n",
         "linear: p>:c0 a#1>:c0 q>:c0 r>:c0 a#2>:c0 s>:c0",
         "linear: r>:c0 a#1>:c0 s>:c0 p>:c0 a#2>:c0 q>:c0",
         {"p - p", "a#1 - a#2", "q - q", "r - r", "a#2 - a#1", "s - s"},
         {},
         singly,
         CopyRule::context},
        {"a circular chromosome, runs broken where it is written to start",
         "2\nA 2 C3 +a+b+c L2 +x+y\nB 2 L2 +x-y C3 +b+c+a\n",
         "circular: a>:c1 b~c (2)>:c1 | linear: x>:c0 y>:c0",
         "linear: x>:c0 y<:c0 | circular: b~c (2)>:c1 a>:c1",
         {"a - a", "b~c (2) - b~c (2)", "x - x", "y x y"}},
        {"a long name cut to 24 characters",
         "2\nA 1 L1 +abcdefghijklmnopqrstuvwxyz\nB 1 C1 -abcdefghijklmnopqrstuvwxyz\n",
         "linear: abcdefghijklmnopqrstuvwx\xE2\x80\xA6>:c0",
         "circular: abcdefghijklmnopqrstuvwx\xE2\x80\xA6<:c0",
         {"abcdefghijklmnopqrstuvwx\xE2\x80\xA6 x abcdefghijklmnopqrstuvwx\xE2\x80\xA6"},
         {},
         singly},
        {"an inversion as conserved runs, each read along its own genome; the smallest blocks "
         "left out and counted",
         "2\nA 1 L4 +a+b+c+d\nB 1 L4 +a-c-b+d\n",
         "linear: a>:c0 b~c (2)>:c0",
         "linear: a>:c0 c~b (2)<:c0",
         {"a - a", "b~c (2) x c~b (2)"},
         {"blocks not drawn: 1, with 1 genes in all, at most 1 in a block"},
         {0, 2, 400}},
        {"the smaller chromosome of one genome left out with every block on it",
         "2\nA 2 L2 +x+y L3 +a+b+c\nB 1 L5 +a+b+y+x+c\n",
         "linear: a~b (2)>:c0 c>:c0",
         "linear: a~b (2)>:c0 c>:c0",
         {"a~b (2) - a~b (2)", "c - c"},
         {"blocks not drawn: 2, with 2 genes in all, at most 1 in a block",
          "chromosomes not drawn (the smallest, with their blocks): 1 above, 0 below"},
         {0, 2500, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Drawn drawn = drawnPair(testing::readText(c.structures), c.copies, c.limits);
        const PairView view = viewOf(drawn.svg);
        EXPECT_EQ(view.above, c.above);
        EXPECT_EQ(view.below, c.below);
        EXPECT_EQ(view.names, "A (above) into B (below)");
        EXPECT_EQ(view.bands, c.bands);
        EXPECT_EQ(view.settings, std::string("copies paired by ") +
                                     (c.copies == CopyRule::context ? "context" : "order") +
                                     "; weights DP=1, SP=2, J=3, C=4, aD=6, bD=5");
        EXPECT_EQ(view.summary, c.summary);
    }
}

TEST(PairSvg, EveryGeneDrawnOnceAndEverySharedGeneBanded) {
    for (uint32_t seed = 1; seed <= 150; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        std::mt19937 random(seed);
        testing::GeneratorOptions options;
        options.geneCount = 8 + static_cast<int>(seed % 40);
        options.rearrangements = static_cast<int>(seed % 6);
        GeneTable genes;
        const auto [a, b] = testing::generatePair(random, options, &genes);
        for (const PairDrawingLimits& limits : {singly, asRuns}) {
            const Drawn drawn = drawnPair(
                {{a, b}, genes}, seed % 2 == 0 ? CopyRule::order : CopyRule::context, limits);
            const PairView view = viewOf(drawn.svg);
            EXPECT_EQ(view.genes[0], drawn.genes[0]);
            EXPECT_EQ(view.genes[1], drawn.genes[1]);
            EXPECT_EQ(view.pairedGenes, drawn.sharedCodes);
        }
    }
}

}  // namespace
}  // namespace varnet
