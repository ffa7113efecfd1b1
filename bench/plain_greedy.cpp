// dispersao-guloso: the plain farthest-point greedy, the baseline of the large-p benchmark.
//
// Usage: dispersao-guloso P ARQUIVO.csv
// Reads the x,y rows of a CSV file as dispersao-gerar writes them, starts at the point farthest
// from their centroid and adds, p - 1 times, the point farthest from those already picked, in
// O(n p) time with no acceleration of any kind. Prints one JSON object: n, p, the smallest
// Euclidean distance between two picked points ("valor") and the greedy's seconds.
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <limits>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "uso: %s P ARQUIVO.csv\n", argv[0]);
        return 2;
    }
    const long p = std::atol(argv[1]);
    std::ifstream file(argv[2]);
    std::string line;
    std::getline(file, line);  // the header
    std::vector<double> x;
    std::vector<double> y;
    while (std::getline(file, line)) {
        const std::size_t comma = line.find(',');
        if (comma == std::string::npos) {
            continue;
        }
        x.push_back(std::strtod(line.c_str(), nullptr));
        y.push_back(std::strtod(line.c_str() + comma + 1, nullptr));
    }
    const std::size_t n = x.size();
    if (p < 2 || static_cast<std::size_t>(p) > n) {
        std::fprintf(stderr, "P fora de 2..%zu\n", n);
        return 2;
    }
    const auto start = std::chrono::steady_clock::now();
    double cx = 0;
    double cy = 0;
    for (std::size_t i = 0; i < n; ++i) {
        cx += x[i];
        cy += y[i];
    }
    cx /= static_cast<double>(n);
    cy /= static_cast<double>(n);
    std::size_t next = 0;
    double far = -1;
    for (std::size_t i = 0; i < n; ++i) {
        const double d = std::hypot(x[i] - cx, y[i] - cy);
        if (d > far) {
            far = d;
            next = i;
        }
    }
    // nearest[i]: distance from point i to the nearest pick; -1 once picked.
    std::vector<double> nearest(n, std::numeric_limits<double>::infinity());
    double value = std::numeric_limits<double>::infinity();
    for (long picked = 0; picked < p; ++picked) {
        if (picked > 0) {
            value = std::min(value, nearest[next]);
        }
        const std::size_t last = next;
        nearest[last] = -1;
        far = -1;
        for (std::size_t i = 0; i < n; ++i) {
            if (nearest[i] >= 0) {
                nearest[i] = std::min(nearest[i], std::hypot(x[i] - x[last], y[i] - y[last]));
                if (nearest[i] > far) {
                    far = nearest[i];
                    next = i;
                }
            }
        }
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("{\"n\":%zu,\"p\":%ld,\"valor\":%.17g,\"segundos\":%f}\n", n, p, value, seconds);
    return 0;
}
