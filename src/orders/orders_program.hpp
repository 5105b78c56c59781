#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace varnet {

// varnet-orders: turns a gene family table and the genomes' GFF3 annotations into a structure
// file (see the help text). `args` are the arguments after the program name. The structure file
// goes to --out as writeResultFile writes it (whole or not at all, a FIFO or a device written
// into), or else (or with "--out -") to `out`; notes and per genome a summary line, and every
// failure as one "varnet-orders: ..." line, go to `err`. Returns 0 on success and after --help,
// 1 on any failure, in which case nothing is written to --out or `out`.
int runOrdersProgram(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace varnet
