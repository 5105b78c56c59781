#pragma once

namespace varnet {

// The program on every process of an MPI job. Rank 0 runs the command line as the one-process
// program does, writing every result file and every console line; in tree mode the pairs of the
// distance matrix are split over all ranks in consecutive blocks of nearly equal size, each rank
// computing its block on its own worker threads and sending it to rank 0. The other ranks print
// nothing and wait for rank 0, whose exit status every rank returns. A failure in any block is
// agreed on by all ranks and reported once by rank 0, as the one-process program reports it; a
// process that cannot take part any more prints its message and aborts the job.
int runMpiProgram(int argc, char* argv[]);

}  // namespace varnet
