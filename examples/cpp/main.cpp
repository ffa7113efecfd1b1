// Reads a CSV file of lat,lon,name rows (after a header line), chooses the p places farthest
// from each other on the globe and prints their names.
#include <dispersao/dispersao.hpp>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: spread_cities FILE.csv P\n";
        return 2;
    }
    std::ifstream file(argv[1]);
    std::string line;
    std::getline(file, line);  // the header
    std::vector<double> lat_lon;
    std::vector<std::string> names;
    while (std::getline(file, line)) {
        std::istringstream row(line);
        std::string lat;
        std::string lon;
        std::string name;
        std::getline(std::getline(std::getline(row, lat, ','), lon, ','), name);
        lat_lon.push_back(std::stod(lat));
        lat_lon.push_back(std::stod(lon));
        names.push_back(name);
    }
    const dispersao::SolveResult result =
        dispersao::solve(dispersao::PointsView::interleaved(lat_lon), std::stoi(argv[2]),
                         dispersao::Metric::haversine);
    for (const std::size_t id : result.ids) {
        std::cout << names[id] << '\n';
    }
    std::cout << "smallest distance " << result.value << " km"
              << (result.proven ? ", proven optimal" : ", not proven") << '\n';
}
