// The move generator's speed and its deepest published counts: the start position to depth 5 and
// Kiwipete to depth 4, which the unit tests leave out to stay quick.
#include "Notation.h"
#include "Position.h"

#include <chrono>
#include <cstdio>
#include <ctime>

int main()
{
    struct Case {
        const char* name;
        const char* fen;
        int depth;
        unsigned long long expected;
    };
    const Case cases[] = {
        {"start position", "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1", 5, 4865609},
        {"Kiwipete", "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1", 4, 4085603},
    };
    int failures = 0;
    for (const Case& c : cases) {
        const auto start = std::chrono::steady_clock::now();
        const std::clock_t cpuStart = std::clock();
        const unsigned long long nodes = Perft(*ParseFen(c.fen), c.depth);
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        const double cpu = double(std::clock() - cpuStart) / CLOCKS_PER_SEC;
        const bool right = nodes == c.expected;
        failures += !right;
        std::printf(
            "perft %s depth %d: %llu nodes (published %llu, %s) in %.2f s (%.2f s of CPU), %.2f M nodes/s\n",
            c.name, c.depth, nodes, c.expected, right ? "right" : "WRONG", seconds, cpu,
            nodes / seconds / 1e6);
        std::printf("row: perft %s depth %d | %.2f M nodes/s, %s | %llu nodes | | |\n", c.name, c.depth,
                    nodes / seconds / 1e6, right ? "count right" : "COUNT WRONG", c.expected);
    }
    return failures == 0 ? 0 : 1;
}
