// Reader of TSPLIB files with a NODE_COORD_SECTION.
#include <string>

#include "conversion/conversion.hpp"
#include "conversion/text_lines.hpp"

namespace dispersao {

namespace {

// The header entries the conversion needs, as read so far.
struct Header {
    std::optional<std::int64_t> dimension;
    std::optional<std::string> edge_weight_type;
};

[[nodiscard]] ConversionError at(std::size_t index, std::string message) {
    return {static_cast<long>(index) + 1, std::move(message)};
}

// A header line split into its key and its value, both without surrounding blanks.
struct HeaderEntry {
    std::string_view key;
    std::string_view value;
};

// Splits a non-blank header line "KEY : VALUE", "KEY: VALUE" or "KEY VALUE"; the colon and the
// value may be missing ("NODE_COORD_SECTION", "NODE_COORD_SECTION :").
[[nodiscard]] HeaderEntry split_header_line(std::string_view line) {
    const std::size_t colon = line.find(':');
    if (colon != std::string_view::npos) {
        return {trim(line.substr(0, colon)), trim(line.substr(colon + 1))};
    }
    const std::vector<std::string_view> words = split_words(line);
    const std::string_view key = words.front();
    return {key,
            trim(line.substr(static_cast<std::size_t>(key.data() - line.data()) + key.size()))};
}

// Reads one header line into `header`; returns what is wrong.
std::optional<ConversionError> read_header_line(std::string_view line, std::size_t index,
                                                Header& header) {
    const auto [key, value] = split_header_line(line);
    if (key == "NODE_COORD_SECTION") {
        return at(index, "NODE_COORD_SECTION seguido de " + quoted(value) +
                             "; as coordenadas comecam na linha seguinte.");
    }
    if (key == "DIMENSION") {
        std::int64_t dimension = 0;
        if (!parse_whole(value, dimension)) {
            return at(index, "DIMENSION " + quoted(value) + " nao e um numero inteiro.");
        }
        if (dimension < 3 || dimension > kMaxTsplibCities) {
            return at(index, "DIMENSION " + std::to_string(dimension) +
                                 ": o conversor aceita de 3 a " + std::to_string(kMaxTsplibCities) +
                                 " cidades.");
        }
        header.dimension = dimension;
    } else if (key == "EDGE_WEIGHT_TYPE") {
        if (value != "EUC_2D" && value != "ATT") {
            return at(index, "EDGE_WEIGHT_TYPE " + quoted(value) +
                                 " nao e suportado (apenas EUC_2D e ATT).");
        }
        header.edge_weight_type = std::string(value);
    } else if (key == "TYPE") {
        if (value != "TSP") {
            return at(index, "TYPE " + quoted(value) + " nao e suportado (apenas TSP).");
        }
    } else if (key == "NODE_COORD_TYPE") {
        if (value != "TWOD_COORDS") {
            return at(index, "NODE_COORD_TYPE " + quoted(value) +
                                 " nao e suportado (apenas TWOD_COORDS).");
        }
    } else if (key.ends_with("_SECTION") || key == "EOF") {
        return at(index, "secao " + quoted(key) + " antes de NODE_COORD_SECTION nao e suportada.");
    }
    // NAME, COMMENT and the other descriptive entries do not affect the distances.
    return std::nullopt;
}

}  // namespace

std::optional<ConversionError> parse_tsplib(std::string_view text, std::vector<Point>& cities) {
    const std::vector<std::string_view> lines = split_lines(text);
    Header header;
    std::size_t index = 0;
    for (; index < lines.size(); ++index) {
        const std::string_view line = trim(lines[index]);
        if (line.empty()) {
            continue;
        }
        if (const HeaderEntry entry = split_header_line(line);
            entry.key == "NODE_COORD_SECTION" && entry.value.empty()) {
            break;
        }
        if (auto error = read_header_line(line, index, header)) {
            return error;
        }
    }
    if (index == lines.size()) {
        return ConversionError{0, "o arquivo nao tem NODE_COORD_SECTION."};
    }
    if (!header.dimension) {
        return at(index, "NODE_COORD_SECTION sem DIMENSION antes.");
    }
    if (!header.edge_weight_type) {
        return at(index, "NODE_COORD_SECTION sem EDGE_WEIGHT_TYPE antes.");
    }

    const auto n = static_cast<std::size_t>(*header.dimension);
    cities.assign(n, Point{0.0, 0.0});
    std::vector<bool> seen(n, false);
    std::size_t read = 0;
    for (++index; index < lines.size() && read < n; ++index) {
        const std::vector<std::string_view> words = split_words(lines[index]);
        if (words.empty()) {
            continue;
        }
        if (words.size() != 3) {
            return at(index, "esperava \"id x y\", encontrou " + quoted(trim(lines[index])) + ".");
        }
        std::int64_t id = 0;
        if (!parse_whole(words[0], id) || id < 1 || id > *header.dimension) {
            return at(index,
                      "o id " + quoted(words[0]) + " nao esta em 1.." + std::to_string(n) + ".");
        }
        const auto slot = static_cast<std::size_t>(id - 1);
        if (seen[slot]) {
            return at(index, "o id " + std::to_string(id) + " aparece duas vezes.");
        }
        Point& city = cities[slot];
        if (!parse_real(words[1], city.x) || !parse_real(words[2], city.y)) {
            const std::string_view bad = parse_real(words[1], city.x) ? words[2] : words[1];
            return at(index, "a coordenada " + quoted(bad) + " nao e um numero real finito.");
        }
        seen[slot] = true;
        ++read;
    }
    if (read < n) {
        return ConversionError{0, "o arquivo termina depois de " + std::to_string(read) + " de " +
                                      std::to_string(n) + " cidades."};
    }
    for (; index < lines.size(); ++index) {
        const std::string_view line = trim(lines[index]);
        if (line == "EOF") {
            break;
        }
        if (!line.empty()) {
            return at(index, "texto inesperado depois das " + std::to_string(n) +
                                 " cidades: " + quoted(line) + ".");
        }
    }
    return std::nullopt;
}

}  // namespace dispersao
