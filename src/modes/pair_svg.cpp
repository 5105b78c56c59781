#include "modes/pair_svg.hpp"

#include <algorithm>
#include <array>
#include <cstdint>
#include <iomanip>
#include <ios>
#include <numeric>
#include <sstream>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "structures/gene_code.hpp"
#include "tree/svg_text.hpp"

namespace varnet {
namespace {

// Sizes in pixels. Text is 11 px, as in the tree picture, readable at a browser's default zoom.
constexpr double margin = 16.0;
constexpr double lineHeight = 18.0;
constexpr double characterWidth = 6.8;  // generous for a sans-serif face at 11 px
constexpr double maxUnit = 64.0;        // the width of one gene
constexpr double maxTrackWidth = 1600.0;
constexpr double maxGap = 16.0;  // between chromosomes
constexpr double arrowHeight = 16.0;
constexpr double headLength = 6.0;
constexpr double bandHeight = 150.0;
constexpr double loopHeight = 7.0;  // the loop of a circular chromosome
constexpr double rowHeight = 16.0;  // of the rows of text above or below a track
constexpr double minimumWidth = 720.0;
constexpr std::size_t geneNameLimit = 24;
constexpr std::size_t structureNameLimit = 80;
// The text of the blocks drawn (their shapes, titles and labels) stops short of this: with the
// heading, the style and at most 800 chromosomes (each under 300 bytes), under 2 MB.
constexpr std::size_t maxBlockBytes = 1700000;

// Ten strong colours, then ten light ones, for the chromosomes of the second genome; none grey,
// which marks genes only one genome holds.
constexpr std::array<const char*, 20> palette = {
    "#1f77b4", "#ff7f0e", "#2ca02c", "#d62728", "#9467bd", "#8c564b", "#e377c2",
    "#bcbd22", "#17becf", "#393b79", "#aec7e8", "#ffbb78", "#98df8a", "#ff9896",
    "#c5b0d5", "#c49c94", "#f7b6d2", "#dbdb8d", "#9edae5", "#9c9ede"};

constexpr const char* styleSheet =
    "text{font-family:\"DejaVu Sans\",Arial,sans-serif;font-size:11px;fill:#222}\n"
    ".page{fill:#fff}\n"
    ".names{font-size:14px;font-weight:bold}\n"
    ".summary{fill:#a40000}\n"
    ".genome{font-weight:bold}\n"
    ".chromosome-name{fill:#555}\n"
    ".label{text-anchor:middle}\n"
    ".chromosome{fill:none;stroke:#777;stroke-width:1.5}\n"
    ".band{fill-opacity:.3;stroke-opacity:.5;stroke-width:.5}\n"
    ".only{fill:#bdbdbd}\n";

// Where a gene stands in its genome.
struct Place {
    uint32_t chromosome = 0;
    uint32_t position = 0;
    int32_t strand = 0;  // 0 when the genome lacks the gene
};

// A run of consecutive genes of one chromosome, positions `from` to `to`.
struct Run {
    uint32_t chromosome = 0;
    uint32_t from = 0;
    uint32_t to = 0;
};

// A block as drawn: in one genome (genes only that one holds) or in both (a conserved run).
struct Block {
    std::array<Run, 2> runs;
    std::array<bool, 2> in{false, false};
    std::array<int32_t, 2> strand{0, 0};  // where it points in each genome; 0 for mixed strands
    bool inverted = false;
    std::size_t genes = 0;
};

// One of the two genomes, read for drawing.
struct Track {
    const ChromosomalStructure* structure = nullptr;
    std::vector<std::vector<uint32_t>> copy;  // per gene: its copy number in this genome
    std::vector<double> start;                // x of each chromosome
    std::vector<bool> drawn;                  // per chromosome
    std::size_t genes = 0;
    double gap = 0.0;
    double width = 0.0;
};

int32_t strandOf(int32_t code) {
    return code < 0 ? -1 : 1;
}

// Numbers in the default format (for the heading), whatever the picture's stream does.
template <typename T>
std::string plain(const T& value) {
    std::ostringstream text;
    text << value;
    return text.str();
}

class PairDrawing {
public:
    PairDrawing(const ChromosomalStructure& first, const ChromosomalStructure& second,
                const GeneTable& names, const PairDrawingLimits& limits)
        : names_(names), limits_(limits) {
        tracks_[0].structure = &first;
        tracks_[1].structure = &second;
        readGenes();
        findBlocks();
        chooseChromosomes();
        layOut();
        chooseBlocks();
    }

    void write(std::ostream& out, const PairComparison& comparison);

private:
    void readGenes();
    void findBlocks();
    void chooseChromosomes();
    void layOut();
    void chooseBlocks();

    const std::vector<int32_t>& genesOf(std::size_t t, uint32_t chromosome) const {
        return tracks_[t].structure->chromosomes[chromosome].genes;
    }
    // Whether gene y, after gene x in the first genome, continues x's conserved run.
    bool continuesRun(int32_t x, int32_t y) const;
    std::string geneLabel(std::size_t t, uint32_t chromosome, uint32_t position,
                          std::size_t& characters) const;
    std::string blockLabel(const Block& block, std::size_t t, std::size_t& characters) const;
    double left(const Block& block, std::size_t t) const;
    double right(const Block& block, std::size_t t) const;
    // The baseline of row `row` of text beside track t, counted away from it: 0 block labels,
    // 1 chromosome names, 2 the genome's name.
    double rowY(std::size_t t, int row) const;
    void writeArrow(std::ostream& out, const Block& block, std::size_t t, const char* classes,
                    std::string& labels) const;
    // The shapes of block b (its arrows, and its band when both genomes hold it) and its labels.
    void renderBlock(std::size_t b, std::string& shapes, std::string& labels) const;
    void writeChromosomes(std::ostream& out, std::size_t t);

    const GeneTable& names_;
    PairDrawingLimits limits_;
    std::array<Track, 2> tracks_;
    std::vector<std::array<Place, 2>> places_;  // per absolute code, in each genome
    std::unordered_map<std::string_view, std::array<uint32_t, 2>> nameCounts_;
    std::vector<Block> blocks_;
    std::vector<bool> drawnBlocks_;
    std::vector<std::string> shapes_;  // of the blocks drawn
    std::vector<std::string> labels_;  // of the blocks drawn, written after all shapes
    std::size_t leftOutBlocks_ = 0;
    std::size_t leftOutGenes_ = 0;
    std::size_t largestLeftOut_ = 0;
    std::array<std::size_t, 2> leftOutChromosomes_{0, 0};
    double unit_ = maxUnit;
    double width_ = 0.0;
    double height_ = 0.0;              // set with the heading
    double trackTop_[2] = {0.0, 0.0};  // below the heading
};

void PairDrawing::readGenes() {
    uint32_t largest = 0;
    for (const Track& track : tracks_) {
        for (const Chromosome& chromosome : track.structure->chromosomes) {
            for (const int32_t code : chromosome.genes)
                largest = std::max(largest, absoluteCode(code));
        }
    }
    places_.assign(static_cast<std::size_t>(largest) + 1, {});
    for (std::size_t t = 0; t < 2; ++t) {
        Track& track = tracks_[t];
        const std::vector<Chromosome>& chromosomes = track.structure->chromosomes;
        track.copy.resize(chromosomes.size());
        for (uint32_t c = 0; c < chromosomes.size(); ++c) {
            const std::vector<int32_t>& genes = chromosomes[c].genes;
            track.genes += genes.size();
            track.copy[c].resize(genes.size());
            for (uint32_t p = 0; p < genes.size(); ++p) {
                const uint32_t code = absoluteCode(genes[p]);
                places_[code][t] = {c, p, strandOf(genes[p])};
                track.copy[c][p] = ++nameCounts_[names_.nameOf(static_cast<int32_t>(code))][t];
            }
        }
    }
}

bool PairDrawing::continuesRun(int32_t x, int32_t y) const {
    const std::array<Place, 2>& px = places_[absoluteCode(x)];
    const std::array<Place, 2>& py = places_[absoluteCode(y)];
    if (px[1].strand == 0 || py[1].strand == 0) return px[1].strand == 0 && py[1].strand == 0;
    const int32_t relative = px[0].strand * px[1].strand;
    return py[1].chromosome == px[1].chromosome &&
           static_cast<int64_t>(py[1].position) == int64_t{px[1].position} + relative &&
           py[0].strand * py[1].strand == relative;
}

void PairDrawing::findBlocks() {
    const bool merge = std::max(tracks_[0].genes, tracks_[1].genes) > limits_.singleGenes;
    // The first genome's genes: conserved runs and runs of genes the second lacks.
    const std::vector<Chromosome>& firstChromosomes = tracks_[0].structure->chromosomes;
    for (uint32_t c = 0; c < firstChromosomes.size(); ++c) {
        const std::vector<int32_t>& genes = firstChromosomes[c].genes;
        for (uint32_t p = 0; p < genes.size(); ++p) {
            if (merge && p > 0 && continuesRun(genes[p - 1], genes[p])) {
                Block& block = blocks_.back();
                block.runs[0].to = p;
                ++block.genes;
                if (strandOf(genes[p]) != strandOf(genes[block.runs[0].from]) && !block.in[1])
                    block.strand[0] = 0;
                if (block.in[1]) {
                    const Place& place = places_[absoluteCode(genes[p])][1];
                    block.runs[1].from = std::min(block.runs[1].from, place.position);
                    block.runs[1].to = std::max(block.runs[1].to, place.position);
                }
                continue;
            }
            const std::array<Place, 2>& place = places_[absoluteCode(genes[p])];
            Block& block = blocks_.emplace_back();
            block.runs[0] = {c, p, p};
            block.in[0] = true;
            block.strand[0] = place[0].strand;
            block.genes = 1;
            if (place[1].strand != 0) {
                block.in[1] = true;
                block.runs[1] = {place[1].chromosome, place[1].position, place[1].position};
                block.strand[1] = place[1].strand;
                block.inverted = place[0].strand != place[1].strand;
            }
        }
    }
    // Runs of genes only the second genome holds.
    const std::vector<Chromosome>& secondChromosomes = tracks_[1].structure->chromosomes;
    for (uint32_t c = 0; c < secondChromosomes.size(); ++c) {
        const std::vector<int32_t>& genes = secondChromosomes[c].genes;
        bool open = false;
        for (uint32_t p = 0; p < genes.size(); ++p) {
            if (places_[absoluteCode(genes[p])][0].strand != 0) {
                open = false;
                continue;
            }
            if (merge && open) {
                Block& block = blocks_.back();
                block.runs[1].to = p;
                ++block.genes;
                if (strandOf(genes[p]) != strandOf(genes[block.runs[1].from])) block.strand[1] = 0;
                continue;
            }
            Block& block = blocks_.emplace_back();
            block.runs[1] = {c, p, p};
            block.in[1] = true;
            block.strand[1] = strandOf(genes[p]);
            block.genes = 1;
            open = true;
        }
    }
}

void PairDrawing::chooseChromosomes() {
    // The largest chromosomes of each genome are drawn.
    for (std::size_t t = 0; t < 2; ++t) {
        const std::vector<Chromosome>& chromosomes = tracks_[t].structure->chromosomes;
        std::vector<bool>& drawn = tracks_[t].drawn;
        drawn.assign(chromosomes.size(), true);
        if (chromosomes.size() <= limits_.chromosomes) continue;
        std::vector<std::size_t> order(chromosomes.size());
        std::iota(order.begin(), order.end(), 0);
        std::stable_sort(order.begin(), order.end(), [&](std::size_t x, std::size_t y) {
            return chromosomes[x].genes.size() > chromosomes[y].genes.size();
        });
        for (std::size_t k = limits_.chromosomes; k < order.size(); ++k) drawn[order[k]] = false;
        leftOutChromosomes_[t] = order.size() - limits_.chromosomes;
    }
}

// The largest blocks on the chromosomes drawn, as many as the limit and the bytes allow.
void PairDrawing::chooseBlocks() {
    std::vector<std::size_t> candidates;
    for (std::size_t b = 0; b < blocks_.size(); ++b) {
        const Block& block = blocks_[b];
        bool onDrawn = true;
        for (std::size_t t = 0; t < 2; ++t)
            onDrawn = onDrawn && (!block.in[t] || tracks_[t].drawn[block.runs[t].chromosome]);
        if (onDrawn) candidates.push_back(b);
    }
    std::stable_sort(candidates.begin(), candidates.end(), [&](std::size_t x, std::size_t y) {
        return blocks_[x].genes > blocks_[y].genes;
    });
    drawnBlocks_.assign(blocks_.size(), false);
    shapes_.resize(blocks_.size());
    labels_.resize(blocks_.size());
    std::size_t bytes = 0;
    for (std::size_t k = 0; k < candidates.size() && k < limits_.blocks; ++k) {
        const std::size_t b = candidates[k];
        renderBlock(b, shapes_[b], labels_[b]);
        bytes += shapes_[b].size() + labels_[b].size();
        if (bytes > maxBlockBytes) {
            shapes_[b].clear();
            labels_[b].clear();
            break;
        }
        drawnBlocks_[b] = true;
    }
    for (std::size_t b = 0; b < blocks_.size(); ++b) {
        if (drawnBlocks_[b]) continue;
        ++leftOutBlocks_;
        leftOutGenes_ += blocks_[b].genes;
        largestLeftOut_ = std::max(largestLeftOut_, blocks_[b].genes);
    }
}

void PairDrawing::layOut() {
    for (Track& track : tracks_) {
        const std::size_t count = track.structure->chromosomes.size();
        track.gap =
            count > 0 ? std::min(maxGap, 0.2 * maxTrackWidth / static_cast<double>(count)) : 0.0;
        if (track.genes > 0) {
            const double room =
                maxTrackWidth - track.gap * static_cast<double>(count > 0 ? count - 1 : 0);
            unit_ = std::min(unit_, room / static_cast<double>(track.genes));
        }
    }
    double widest = 0.0;
    for (Track& track : tracks_) {
        double x = margin;
        for (const Chromosome& chromosome : track.structure->chromosomes) {
            track.start.push_back(x);
            x += unit_ * static_cast<double>(chromosome.genes.size()) + track.gap;
        }
        track.width = track.start.empty() ? 0.0 : x - track.gap - margin;
        widest = std::max(widest, track.width);
    }
    width_ = std::max(widest + 2 * margin, minimumWidth);
    // Below the heading: above the first track and below the second, three rows of text (block
    // labels, chromosome names, the genome's name); the bands between the tracks.
    trackTop_[0] = 3 * rowHeight + 10;
    trackTop_[1] = trackTop_[0] + arrowHeight + bandHeight;
}

double PairDrawing::rowY(std::size_t t, int row) const {
    return t == 0 ? trackTop_[0] - 10 - rowHeight * row
                  : trackTop_[1] + arrowHeight + 18 + rowHeight * row;
}

std::string PairDrawing::geneLabel(std::size_t t, uint32_t chromosome, uint32_t position,
                                   std::size_t& characters) const {
    const uint32_t code = absoluteCode(genesOf(t, chromosome)[position]);
    const std::string& name = names_.nameOf(static_cast<int32_t>(code));
    std::string label = shortXmlText(name, geneNameLimit, characters);
    const std::array<uint32_t, 2>& counts = nameCounts_.at(name);
    if (counts[0] > 1 || counts[1] > 1) {
        const std::string copy = std::to_string(tracks_[t].copy[chromosome][position]);
        label += '#';
        label += copy;
        characters += 1 + copy.size();
    }
    return label;
}

// "first–last (n)", read along the genome's own chromosome; a single gene by its name alone.
std::string PairDrawing::blockLabel(const Block& block, std::size_t t,
                                    std::size_t& characters) const {
    const Run& run = block.runs[t];
    std::string label = geneLabel(t, run.chromosome, run.from, characters);
    if (run.to == run.from) return label;
    std::size_t more = 0;
    label += "\xE2\x80\x93" + geneLabel(t, run.chromosome, run.to, more);
    const std::string count = " (" + std::to_string(block.genes) + ")";
    characters += 1 + more + count.size();
    return label + count;
}

double PairDrawing::left(const Block& block, std::size_t t) const {
    const Run& run = block.runs[t];
    const double inset = unit_ >= 6.0 ? 0.75 : 0.0;  // a gap between neighbouring blocks
    return tracks_[t].start[run.chromosome] + unit_ * static_cast<double>(run.from) + inset;
}

double PairDrawing::right(const Block& block, std::size_t t) const {
    const Run& run = block.runs[t];
    const double inset = unit_ >= 6.0 ? 0.75 : 0.0;
    return tracks_[t].start[run.chromosome] + unit_ * static_cast<double>(run.to + 1) - inset;
}

// An arrow pointing with the block's strand in genome t (a box for mixed strands), its label as
// its title, and the label shown where it fits.
void PairDrawing::writeArrow(std::ostream& out, const Block& block, std::size_t t,
                             const char* classes, std::string& labels) const {
    const double x0 = left(block, t);
    const double x1 = right(block, t);
    const double top = trackTop_[t];
    const double middle = top + arrowHeight / 2;
    const double bottom = top + arrowHeight;
    const double head = std::min(headLength, (x1 - x0) / 2);
    out << "<path class=\"" << classes << "\" d=\"";
    if (block.strand[t] == 0) {
        out << 'M' << x0 << ',' << top << 'H' << x1 << 'V' << bottom << 'H' << x0 << 'Z';
    } else {
        const bool forward = block.strand[t] > 0;
        const double back = forward ? x0 : x1;
        const double tip = forward ? x1 : x0;
        const double neck = forward ? x1 - head : x0 + head;
        out << 'M' << back << ',' << top << 'H' << neck << 'L' << tip << ',' << middle << 'L'
            << neck << ',' << bottom << 'H' << back << 'Z';
    }
    std::size_t characters = 0;
    const std::string label = blockLabel(block, t, characters);
    out << "\"><title>" << label << "</title></path>\n";
    if (characterWidth * static_cast<double>(characters) + 2 <= x1 - x0) {
        std::ostringstream text;
        text << std::fixed << std::setprecision(1) << "<text class=\"label\" x=\"" << (x0 + x1) / 2
             << "\" y=\"" << rowY(t, 0) << "\">" << label << "</text>\n";
        labels += text.str();
    }
}

// The chromosomes of genome t: a line each, with a bar at each end of a linear one and a loop
// back to the start of a circular one (above the first genome, below the second), and a name.
void PairDrawing::writeChromosomes(std::ostream& out, std::size_t t) {
    const Track& track = tracks_[t];
    const std::vector<Chromosome>& chromosomes = track.structure->chromosomes;
    const double middle = trackTop_[t] + arrowHeight / 2;
    const double outer =
        t == 0 ? trackTop_[t] - loopHeight : trackTop_[t] + arrowHeight + loopHeight;
    const double nameY = rowY(t, 1);
    for (uint32_t c = 0; c < chromosomes.size(); ++c) {
        if (!track.drawn[c]) continue;
        const double x0 = track.start[c];
        const double x1 = x0 + unit_ * static_cast<double>(chromosomes[c].genes.size());
        const bool circular = chromosomes[c].circular;
        out << "<path class=\"chromosome " << (circular ? "circular " : "linear ")
            << (t == 0 ? "above" : "below") << "\" d=\"M" << x0 << ',' << middle << 'H' << x1;
        if (circular) {
            const double bend = std::min(loopHeight, (x1 - x0) / 2 + 2);
            out << 'C' << x1 + bend << ',' << middle << ' ' << x1 + bend << ',' << outer << ' '
                << x1 << ',' << outer << 'H' << x0 << 'C' << x0 - bend << ',' << outer << ' '
                << x0 - bend << ',' << middle << ' ' << x0 << ',' << middle;
        } else {
            out << 'M' << x0 << ',' << trackTop_[t] - 3 << 'V' << trackTop_[t] + arrowHeight + 3
                << 'M' << x1 << ',' << trackTop_[t] - 3 << 'V' << trackTop_[t] + arrowHeight + 3;
        }
        out << "\"/>\n";
        const std::string number = std::to_string(c + 1);
        const std::string name = number + (circular ? " (circular)" : " (linear)");
        const double room = x1 - x0 + track.gap - 2;
        const std::string& shown =
            characterWidth * static_cast<double>(name.size()) <= room ? name : number;
        if (characterWidth * static_cast<double>(shown.size()) <= room) {
            out << "<text class=\"chromosome-name\" x=\"" << x0 << "\" y=\"" << nameY << "\">"
                << shown << "</text>\n";
        }
    }
}

void PairDrawing::write(std::ostream& out, const PairComparison& comparison) {
    std::size_t characters = 0;
    const std::string firstName =
        shortXmlText(tracks_[0].structure->name, structureNameLimit, characters);
    const std::string secondName =
        shortXmlText(tracks_[1].structure->name, structureNameLimit, characters);
    const EventCounts& events = comparison.events;
    const OperationWeights& w = comparison.weights;
    std::vector<std::pair<const char*, std::string>> heading = {
        {"names", firstName + " (above) into " + secondName + " (below)"},
        {"cost", "cost " + plain(comparison.cost) + ": " + plain(events[dpEvent]) + " DP, " +
                     plain(events[spEvent]) + " SP, " + plain(events[joinEvent]) + " J, " +
                     plain(events[cutEvent]) + " C, " + plain(events[aDeletionEvent]) + " aD, " +
                     plain(events[bDeletionEvent]) + " bD"},
        {"settings", "copies paired by " + comparison.copyRule + "; weights DP=" + plain(w[0]) +
                         ", SP=" + plain(w[1]) + ", J=" + plain(w[2]) + ", C=" + plain(w[3]) +
                         ", aD=" + plain(w[5]) + ", bD=" + plain(w[4])},
        {"note",
         "bands: the colour of the chromosome below, crossed where inverted; grey: genes only one "
         "genome holds; name#k: the k-th copy of a name"}};
    if (leftOutBlocks_ > 0) {
        heading.emplace_back("summary", "blocks not drawn: " + plain(leftOutBlocks_) + ", with " +
                                            plain(leftOutGenes_) + " genes in all, at most " +
                                            plain(largestLeftOut_) + " in a block");
    }
    if (leftOutChromosomes_[0] + leftOutChromosomes_[1] > 0) {
        heading.emplace_back("summary",
                             "chromosomes not drawn (the smallest, with their "
                             "blocks): " +
                                 plain(leftOutChromosomes_[0]) + " above, " +
                                 plain(leftOutChromosomes_[1]) + " below");
    }
    // The widest line sets the picture's width when the genomes are narrower.
    for (const auto& line : heading) {
        const double needed =
            characterWidth * static_cast<double>(line.second.size()) * 0.9 + 2 * margin;
        width_ = std::max(width_, needed);
    }

    // The genomes are drawn below the heading, however many lines it has.
    const double top = margin + 12 + lineHeight * static_cast<double>(heading.size() - 1) + 8;
    height_ = top + rowY(1, 2) + 6 + margin;

    std::ios savedFormat(nullptr);
    savedFormat.copyfmt(out);
    out << std::fixed << std::setprecision(1);
    out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << width_ << "\" height=\""
        << height_ << "\" viewBox=\"0 0 " << width_ << ' ' << height_ << "\">\n"
        << "<style>\n"
        << styleSheet;
    for (std::size_t k = 0; k < palette.size(); ++k)
        out << ".c" << k << "{fill:" << palette[k] << ";stroke:" << palette[k] << "}\n";
    out << "</style>\n<rect class=\"page\" width=\"100%\" height=\"100%\"/>\n";
    double y = margin + 12;
    for (const auto& [kind, text] : heading) {
        out << "<text class=\"" << kind << "\" x=\"" << margin << "\" y=\"" << y << "\">" << text
            << "</text>\n";
        y += lineHeight;
    }
    out << "<g transform=\"translate(0," << top << ")\">\n";
    const std::string* genomeNames[] = {&firstName, &secondName};
    for (std::size_t t = 0; t < 2; ++t) {
        out << "<text class=\"genome\" x=\"" << margin << "\" y=\"" << rowY(t, 2) << "\">"
            << *genomeNames[t]
            << (tracks_[t].structure->chromosomes.empty() ? " (no chromosomes)" : "")
            << "</text>\n";
        writeChromosomes(out, t);
    }
    for (const std::string& text : shapes_) out << text;
    for (const std::string& text : labels_) out << text;
    out << "</g>\n</svg>\n";
    out.copyfmt(savedFormat);
}

void PairDrawing::renderBlock(std::size_t b, std::string& shapes, std::string& labels) const {
    std::ostringstream out;
    out << std::fixed << std::setprecision(1);
    const Block& block = blocks_[b];
    if (!(block.in[0] && block.in[1])) {
        const std::size_t t = block.in[0] ? 0 : 1;
        writeArrow(out, block, t, t == 0 ? "only above" : "only below", labels);
    } else {
        const double bandTop = trackTop_[0] + arrowHeight;
        const double bandBottom = trackTop_[1];
        const double bandMiddle = (bandTop + bandBottom) / 2;
        out << "<g class=\"block c" << block.runs[1].chromosome % palette.size() << "\">\n";
        writeArrow(out, block, 0, "above", labels);
        // The band leaves the upper block's right end for the lower block's right end, or, for
        // an inverted block, for its left end, so that its sides cross.
        const double a0 = left(block, 0);
        const double a1 = right(block, 0);
        const double b0 = block.inverted ? right(block, 1) : left(block, 1);
        const double b1 = block.inverted ? left(block, 1) : right(block, 1);
        out << "<path class=\"band" << (block.inverted ? " crossed" : "") << "\" d=\"M" << a0 << ','
            << bandTop << 'H' << a1 << 'C' << a1 << ',' << bandMiddle << ' ' << b1 << ','
            << bandMiddle << ' ' << b1 << ',' << bandBottom << 'H' << b0 << 'C' << b0 << ','
            << bandMiddle << ' ' << a0 << ',' << bandMiddle << ' ' << a0 << ',' << bandTop
            << "Z\"/>\n";
        writeArrow(out, block, 1, "below", labels);
        out << "</g>\n";
    }
    shapes = out.str();
}

}  // namespace

void writePairSvg(std::ostream& out, const ChromosomalStructure& first,
                  const ChromosomalStructure& second, const GeneTable& names,
                  const PairComparison& comparison, const PairDrawingLimits& limits) {
    PairDrawing(first, second, names, limits).write(out, comparison);
}

void writePairSvg(std::ostream& out, const DistPair& pair, const PairSettings& settings,
                  double cost, const EventCounts& events, const PairDrawingLimits& limits) {
    writePairSvg(out, pair.first, pair.last, *pair.genes,
                 {cost, events, settings.copies == CopyRule::context ? "context" : "order",
                  settings.weights},
                 limits);
}

}  // namespace varnet
