// Opens one port in its own process and reports OpenPort's result as the exit code (255 for -1).
#include "senslink.h"

#include <cstdlib>

int main(int argc, char **argv) {
    if (argc != 2) return 2;
    const int rc = OpenPort(std::atoi(argv[1]));
    if (rc == 0) ClosePort(std::atoi(argv[1]));
    return rc == 0 ? 0 : 255;
}
