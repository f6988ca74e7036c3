// Prints the bash completion script of vexogauge-cli and vexogauge; the build installs what it
// prints.
#include "CommandLine.h"

#include <iostream>

int main() {
    std::cout << vexo::bashCompletion();
    return std::cout.flush() ? 0 : 1;
}
