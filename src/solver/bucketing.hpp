#pragma once

#include "solver/chromosome_set.hpp"

namespace varnet {

// Files a copy of every component of `cycles` and `paths` into the bucket of its category.
// Side-A block cycles get no bucket; side-B block cycles wait in circularBlockB.
void bucketComponents(ChromosomeSet& state);

}  // namespace varnet
