// A program holding the simulated generator's SCPI server open: prints its
// port, then waits until its standard input ends.
#include "k740sim.h"

#include <cstdio>

int main() {
    std::printf("%d\n", k740sim_ScpiOpen());
    std::fflush(stdout);
    while (std::getchar() != EOF) {
    }
    k740sim_ScpiClose();
    return 0;
}
