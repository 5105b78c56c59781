#include "tree/tree_svg.hpp"

#include <algorithm>
#include <cmath>
#include <iomanip>
#include <ios>
#include <sstream>

#include "tree/svg_text.hpp"

namespace varnet {
namespace {

// Sizes in pixels. Rows keep their height whatever the leaf count, so a tree of 500 leaves is as
// legible as one of 6 (the picture grows downwards).
constexpr double rowHeight = 18.0;
constexpr double fontSize = 12.0;
constexpr double characterWidth = 7.4;  // generous for a sans-serif face at fontSize
constexpr double treeWidth = 480.0;
constexpr double minimumStep = 6.0;
constexpr double margin = 16.0;
constexpr double labelGap = 5.0;
constexpr double footerHeight = 44.0;
constexpr double supportFontSize = 10.0;
constexpr double supportNoteHeight = 18.0;
constexpr double supportWidth = 20.0;  // room for "100" left of a node at the root's depth

// A round length of at most a fifth of the tree's depth: 1, 2 or 5 times a power of ten.
double scaleBarLength(double depth) {
    const double target = depth / 5.0;
    const double power = std::pow(10.0, std::floor(std::log10(target)));
    double length = power;
    for (const double step : {2.0, 5.0}) {
        if (step * power <= target) length = step * power;
    }
    return length;
}

}  // namespace

void writeTreeSvg(std::ostream& out, const RootedTree& tree,
                  const std::vector<ChromosomalStructure>& structures) {
    const std::size_t count = tree.nodes.size();
    // Distance from the root along the branches; negative and non-finite lengths count as 0.
    std::vector<double> depth(count, 0.0);
    for (std::size_t v = 1; v < count; ++v) {
        const double length = tree.nodes[v].length;
        depth[v] = depth[static_cast<std::size_t>(tree.nodes[v].parent)] +
                   (std::isfinite(length) && length > 0 ? length : 0.0);
    }
    double deepest = 0.0;
    for (std::size_t v = 0; v < count; ++v) deepest = std::max(deepest, depth[v]);
    const bool toScale = tree.toScale && deepest > 0 && std::isfinite(deepest);
    if (!toScale) {
        // Clusters only: leaves in one column, every inner node one step left of its highest child.
        std::vector<double> steps(count, 0.0);
        for (std::size_t v = count; v-- > 1;) {
            const auto parent = static_cast<std::size_t>(tree.nodes[v].parent);
            steps[parent] = std::max(steps[parent], steps[v] + 1);
        }
        deepest = count > 0 ? steps[0] : 0.0;
        for (std::size_t v = 0; v < count; ++v) depth[v] = deepest - steps[v];
    }
    // Cluster steps keep a legible width even in a deep, comb-like tree.
    const double unit = deepest <= 0 ? 0.0
                        : toScale    ? treeWidth / deepest
                                     : std::max(treeWidth / deepest, minimumStep);
    const double drawnWidth = deepest * unit;

    std::vector<double> y(count, 0.0);
    std::vector<std::string> labels(count);
    std::size_t leaves = 0;
    std::size_t widestLabel = 0;
    for (std::size_t v = 0; v < count; ++v) {
        if (!tree.nodes[v].children.empty()) continue;
        y[v] = margin + rowHeight * (static_cast<double>(leaves++) + 0.5);
        std::size_t characters = 0;
        labels[v] =
            xmlText(structures[static_cast<std::size_t>(tree.nodes[v].leaf)].name, characters);
        widestLabel = std::max(widestLabel, characters);
    }
    for (std::size_t v = count; v-- > 0;) {
        const std::vector<int32_t>& children = tree.nodes[v].children;
        if (!children.empty())
            y[v] = (y[static_cast<std::size_t>(children.front())] +
                    y[static_cast<std::size_t>(children.back())]) /
                   2.0;
    }
    const bool hasSupport = !tree.support.empty();
    const double left = margin + (hasSupport ? supportWidth : 0.0);
    const auto x = [&](std::size_t v) { return left + depth[v] * unit; };
    const double width =
        left + margin + drawnWidth + labelGap + characterWidth * static_cast<double>(widestLabel);
    const double height = 2 * margin + rowHeight * static_cast<double>(leaves) + footerHeight +
                          (hasSupport ? supportNoteHeight : 0.0);

    std::ios savedFormat(nullptr);
    savedFormat.copyfmt(out);
    out << std::fixed << std::setprecision(1);
    out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << width << "\" height=\"" << height
        << "\" viewBox=\"0 0 " << width << ' ' << height << "\">\n"
        << "<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n";
    if (count > 0) {
        out << "<path fill=\"none\" stroke=\"black\" stroke-width=\"1.5\" "
               "stroke-linecap=\"square\" d=\"";
        for (std::size_t v = 0; v < count; ++v) {
            const std::vector<int32_t>& children = tree.nodes[v].children;
            if (v > 0) {
                out << 'M' << x(static_cast<std::size_t>(tree.nodes[v].parent)) << ',' << y[v]
                    << 'H' << x(v);
            }
            if (children.size() > 1) {
                out << 'M' << x(v) << ',' << y[static_cast<std::size_t>(children.front())] << 'V'
                    << y[static_cast<std::size_t>(children.back())];
            }
        }
        out << "\"/>\n<g font-family=\"DejaVu Sans, Arial, sans-serif\" font-size=\"" << fontSize
            << "\">\n";
        for (std::size_t v = 0; v < count; ++v) {
            if (!tree.nodes[v].children.empty()) continue;
            out << "<text class=\"leaf\" x=\"" << x(v) + labelGap << "\" y=\""
                << y[v] + fontSize * 0.35 << "\">" << labels[v] << "</text>\n";
        }
        out << "</g>\n";
    }
    if (hasSupport) {
        // Each value just left of its node, above the branch that leads to it.
        out << "<g font-family=\"DejaVu Sans, Arial, sans-serif\" font-size=\"" << supportFontSize
            << "\" fill=\"#444\" text-anchor=\"end\">\n";
        for (std::size_t v = 0; v < count; ++v) {
            if (v >= tree.support.size() || tree.support[v] < 0) continue;
            out << "<text class=\"support\" x=\"" << x(v) - 2 << "\" y=\"" << y[v] - 3 << "\">"
                << tree.support[v] << "</text>\n";
        }
        out << "</g>\n";
    }
    const double footer = margin + rowHeight * static_cast<double>(leaves) + 20.0;
    out << "<g font-family=\"DejaVu Sans, Arial, sans-serif\" font-size=\"" << fontSize - 1
        << "\" fill=\"#444\">\n";
    if (count == 0) {
        out << "<text x=\"" << margin << "\" y=\"" << footer << "\">no tree was built</text>\n";
    } else if (count == 1) {
        // One leaf: nothing to measure.
    } else if (toScale) {
        const double bar = scaleBarLength(deepest);
        const double end = margin + bar * unit;
        std::ostringstream value;
        value << bar;
        out << "<path stroke=\"#444\" stroke-width=\"1.5\" d=\"M" << margin << ',' << footer << 'H'
            << end << 'M' << margin << ',' << footer - 4 << "v8M" << end << ',' << footer - 4
            << "v8\"/>\n"
            << "<text x=\"" << end + labelGap << "\" y=\"" << footer + 4 << "\">" << value.str()
            << "</text>\n";
    } else {
        out << "<text x=\"" << margin << "\" y=\"" << footer << "\">"
            << (tree.toScale ? "every branch length is 0"
                             : "clusters only: branch lengths are not drawn to scale")
            << "</text>\n";
    }
    if (hasSupport) {
        out << "<text x=\"" << margin << "\" y=\"" << footer + supportNoteHeight + 4
            << "\">numbers at inner nodes: jackknife support, % of replicates</text>\n";
    }
    out << "</g>\n</svg>\n";
    out.copyfmt(savedFormat);
}

}  // namespace varnet
