// board-server: the board's own web host.
#include <cstdio>

int main() {
    std::fprintf(stderr, "board-server: no pages are built yet; nothing to serve.\n");
    return 1;
}
