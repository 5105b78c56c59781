#pragma once

#include "solver/chromosome_set.hpp"

namespace varnet {

// Moves every component of `cycles` and `paths` into the bucket of its category and leaves both
// lists empty. Side-A block cycles get no bucket; side-B block cycles wait in circularBlockB. A
// cost-only solve leaves out the components of `other` that carry no genes.
void bucketComponents(ChromosomeSet& state);

}  // namespace varnet
