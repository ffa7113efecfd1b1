// Reader of TSPLIB node coordinates.
#include <algorithm>
#include <cctype>
#include <string_view>
#include <vector>

#include "points/line_reader.hpp"
#include "points/point_files.hpp"
#include "points/point_set.hpp"
#include "points/text_encoding.hpp"
#include "points/text_fields.hpp"

namespace dispersao {

namespace {

// Largest DIMENSION accepted: point positions and counts stay well inside 32 bits.
constexpr std::int64_t kMaxDimension = std::int64_t{1} << 30;

// The EDGE_WEIGHT_TYPE names read, with the rule each stands for.
struct RuleName {
    std::string_view name;
    DistanceRule rule;
};
constexpr RuleName kRuleNames[] = {
    {"EUC_2D", DistanceRule::tsplib_euc_2d},
    {"CEIL_2D", DistanceRule::tsplib_ceil_2d},
    {"ATT", DistanceRule::tsplib_att},
    {"GEO", DistanceRule::tsplib_geo},
};

// Header keywords that say nothing the points need.
constexpr std::string_view kIgnoredKeywords[] = {
    "NAME",
    "TYPE",
    "COMMENT",
    "CAPACITY",
    "EDGE_WEIGHT_FORMAT",
    "EDGE_DATA_FORMAT",
    "DISPLAY_DATA_TYPE",
};

// Returns true when `a` and `b` are equal ignoring the case of ASCII letters.
[[nodiscard]] bool same_word(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char c, char d) {
               return std::toupper(static_cast<unsigned char>(c)) ==
                      std::toupper(static_cast<unsigned char>(d));
           });
}

// A header line cut into its keyword and its value: "KEY : value", "KEY: value", "KEY value"
// and "KEY :" all have the keyword KEY.
struct KeywordLine {
    std::string_view keyword;
    std::string_view value;
};

[[nodiscard]] KeywordLine split_keyword(std::string_view line) {
    line = trim(line);
    std::size_t end = 0;
    while (end < line.size() && !is_blank(line[end]) && line[end] != ':') {
        ++end;
    }
    std::string_view value = trim(line.substr(end));
    if (!value.empty() && value.front() == ':') {
        value = trim(value.substr(1));
    }
    return {line.substr(0, end), value};
}

[[nodiscard]] PointError fault(long line, std::string detail) {
    return {PointFailure::malformed, line, std::move(detail)};
}

// The reader's state between lines.
class TsplibReader {
  public:
    explicit TsplibReader(PointSet& points) : points_(points) {}

    // Reads every line of `lines`; returns the first fault.
    std::optional<PointError> read(LineReader& lines) {
        std::string_view line;
        while (lines.next(line)) {
            const long number = lines.line_number();
            if (lines.too_long()) {
                return fault(number, LineReader::overlong_line(line));
            }
            // A byte-order mark, as some editors write it, is not part of the first keyword.
            if (number == 1) {
                drop_byte_order_mark(line);
            }
            std::optional<PointError> error;
            bool finished = false;
            if (in_section_) {
                error = coordinate_line(line, number, finished);
            } else {
                error = header_line(line, number);
            }
            if (error) {
                return error;
            }
            if (finished) {
                return check_count(number);
            }
            last_line_ = number;
        }
        if (!in_section_) {
            return fault(0, "falta a secao NODE_COORD_SECTION");
        }
        return check_count(last_line_);
    }

  private:
    std::optional<PointError> header_line(std::string_view line, long number) {
        const auto [keyword, value] = split_keyword(line);
        if (keyword.empty()) {
            return std::nullopt;
        }
        if (same_word(keyword, "NODE_COORD_SECTION")) {
            return start_section(number);
        }
        if (same_word(keyword, "DIMENSION")) {
            std::int64_t dimension = 0;
            if (!parse_whole(value, dimension) || dimension < 1 || dimension > kMaxDimension) {
                return fault(number, "DIMENSION " + quoted(value) + " nao e um inteiro de 1 a " +
                                         std::to_string(kMaxDimension));
            }
            dimension_ = dimension;
            return std::nullopt;
        }
        if (same_word(keyword, "EDGE_WEIGHT_TYPE")) {
            for (const RuleName& known : kRuleNames) {
                if (same_word(value, known.name)) {
                    rule_ = known.rule;
                    return std::nullopt;
                }
            }
            return fault(number, "EDGE_WEIGHT_TYPE " + quoted(value) +
                                     " nao e suportado (use EUC_2D, CEIL_2D, ATT ou GEO)");
        }
        if (same_word(keyword, "NODE_COORD_TYPE")) {
            if (same_word(value, "TWOD_COORDS")) {
                return std::nullopt;
            }
            return fault(number,
                         "NODE_COORD_TYPE " + quoted(value) + " nao e suportado (so TWOD_COORDS)");
        }
        if (same_word(keyword, "EOF")) {
            return fault(number, "o arquivo termina antes de NODE_COORD_SECTION");
        }
        for (const std::string_view ignored : kIgnoredKeywords) {
            if (same_word(keyword, ignored)) {
                return std::nullopt;
            }
        }
        return fault(number, quoted(keyword) + " nao e uma palavra-chave TSPLIB aceita");
    }

    std::optional<PointError> start_section(long number) {
        if (dimension_ == 0) {
            return fault(number, "falta DIMENSION antes de NODE_COORD_SECTION");
        }
        if (!rule_) {
            return fault(number, "falta EDGE_WEIGHT_TYPE antes de NODE_COORD_SECTION");
        }
        points_.rule = *rule_;
        // A lying DIMENSION costs nothing beyond what its lines fill.
        const auto expected = static_cast<std::size_t>(std::min<std::int64_t>(dimension_, 1 << 20));
        points_.x.reserve(expected);
        points_.y.reserve(expected);
        points_.ids.reserve(expected);
        in_section_ = true;
        return std::nullopt;
    }

    std::optional<PointError> coordinate_line(std::string_view line, long number, bool& finished) {
        const std::vector<std::string_view> words = split_words(line);
        if (words.empty()) {
            return std::nullopt;
        }
        if (same_word(words[0], "EOF") ||
            (words[0].size() > 8 && same_word(words[0].substr(words[0].size() - 8), "_SECTION"))) {
            finished = true;
            return std::nullopt;
        }
        if (words.size() != 3) {
            return fault(number, quoted(line) + " nao e uma linha \"id x y\"");
        }
        std::int64_t id = 0;
        if (!parse_whole(words[0], id)) {
            return fault(number, "o id " + quoted(words[0]) + " nao e um numero inteiro");
        }
        double x = 0;
        double y = 0;
        for (const auto& [word, value] : {std::pair{words[1], &x}, std::pair{words[2], &y}}) {
            if (!parse_real(word, *value)) {
                return fault(number, "a coordenada " + quoted(word) + " nao e um numero");
            }
        }
        if (rule_ == DistanceRule::tsplib_geo && !latitude_in_range(x)) {
            return fault(number, "a latitude " + quoted(words[1]) +
                                     " esta fora do intervalo -90..90 (em GEO, x e a latitude)");
        }
        if (static_cast<std::int64_t>(points_.size()) == dimension_) {
            return fault(number,
                         "ha mais pontos que DIMENSION (" + std::to_string(dimension_) + ")");
        }
        if (id < 1 || id > dimension_) {
            return fault(number, "o id " + std::to_string(id) + " esta fora do intervalo 1.." +
                                     std::to_string(dimension_));
        }
        const auto slot = static_cast<std::size_t>(id);
        if (seen_.size() <= slot) {
            seen_.resize(std::max(slot + 1, 2 * seen_.size()));
        }
        if (seen_[slot]) {
            return fault(number, "o id " + std::to_string(id) + " aparece mais de uma vez");
        }
        seen_[slot] = true;
        points_.x.push_back(x);
        points_.y.push_back(y);
        points_.ids.push_back(id);
        return std::nullopt;
    }

    [[nodiscard]] std::optional<PointError> check_count(long number) const {
        if (static_cast<std::int64_t>(points_.size()) != dimension_) {
            return fault(number, "o arquivo tem " + std::to_string(points_.size()) +
                                     " pontos, mas DIMENSION indica " + std::to_string(dimension_));
        }
        return std::nullopt;
    }

    PointSet& points_;
    std::int64_t dimension_ = 0;  // 0 until DIMENSION is read
    std::optional<DistanceRule> rule_;
    bool in_section_ = false;
    long last_line_ = 0;
    // seen_[id] is true once a line has given id; indexed by id, grown as ids come.
    std::vector<bool> seen_;
};

}  // namespace

std::string_view tsplib_rule_name(DistanceRule rule) {
    for (const RuleName& known : kRuleNames) {
        if (known.rule == rule) {
            return known.name;
        }
    }
    return {};
}

std::optional<PointError> parse_tsplib_points(ByteSource source, PointSet& points) {
    points = PointSet{};
    LineReader lines(std::move(source));
    TsplibReader reader(points);
    return reader.read(lines);
}

}  // namespace dispersao
