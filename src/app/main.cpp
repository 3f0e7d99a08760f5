#include <cstdio>

int main() {
    std::puts("kitchen-print-server " KPS_VERSION);
    return 0;
}
