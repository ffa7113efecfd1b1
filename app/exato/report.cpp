// The reports of dispersao-exato.
#include "exato/report.hpp"

#include "output/chosen_sites.hpp"
#include "points/point_files.hpp"

#include <algorithm>
#include <array>
#include <cassert>
#include <charconv>
#include <cmath>
#include <numeric>

namespace dispersao {

namespace {

// A few words on how `rule` measures distances.
[[nodiscard]] std::string rule_words(DistanceRule rule) {
    switch (rule) {
        case DistanceRule::tsplib_euc_2d:
        case DistanceRule::tsplib_ceil_2d:
        case DistanceRule::tsplib_att:
        case DistanceRule::tsplib_geo:
            return std::string(tsplib_rule_name(rule)) + " (TSPLIB)";
        case DistanceRule::euclidean:
            return "euclidiana";
        case DistanceRule::great_circle_km:
            return "km sobre a esfera de raio 6371";
    }
    return "";
}

// Fills the parts of an answer that come straight from the result.
[[nodiscard]] ExactAnswer answer_from(const DispersionResult& result, int p, double seconds) {
    ExactAnswer answer;
    answer.p = p;
    answer.value = result.value;
    answer.upper_bound = result.upper_bound;
    answer.proven = result.proven;
    answer.interrupted = result.interrupted;
    answer.gave_up = result.gave_up;
    answer.seconds = seconds;
    return answer;
}

// Returns `value` (finite, below 10^15) written with `decimals` digits after the point.
[[nodiscard]] std::string fixed_decimals(double value, int decimals) {
    std::array<char, 48> text{};
    const auto [end, error] = std::to_chars(text.data(), text.data() + text.size(), value,
                                            std::chars_format::fixed, decimals);
    return error == std::errc{} ? std::string(text.data(), end) : std::string("0");
}

// Returns `name` with control bytes shown as '?', so that a name cannot move the cursor or
// change the colours of the terminal the report goes to; other bytes (UTF-8 included) stay.
[[nodiscard]] std::string printable(std::string name) {
    for (char& c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) {
            c = '?';
        }
    }
    return name;
}

// Returns `items` as a JSON list, each item written by `write`.
template <class Item, class Write>
[[nodiscard]] std::string json_list(const std::vector<Item>& items, const Write& write) {
    std::string text = "[";
    for (std::size_t i = 0; i < items.size(); ++i) {
        text += i > 0 ? "," : "";
        text += write(items[i]);
    }
    return text + "]";
}

}  // namespace

bool integer_distances(DistanceRule rule) {
    return rule != DistanceRule::euclidean && rule != DistanceRule::great_circle_km;
}

ExactAnswer point_answer(const PointSet& points, int p, const DispersionResult& result,
                         double seconds) {
    ExactAnswer answer = answer_from(result, p, seconds);
    answer.rule = rule_words(points.rule);
    answer.integer_values = integer_distances(points.rule);
    answer.n = points.size();
    std::vector<std::size_t> chosen = result.chosen;
    std::sort(chosen.begin(), chosen.end(),
              [&](std::size_t a, std::size_t b) { return points.ids[a] < points.ids[b]; });
    for (const std::size_t position : chosen) {
        assert(position < points.size());
        answer.ids.push_back(points.ids[position]);
        if (!points.names.empty()) {
            answer.names.push_back(points.names[position]);
        }
        if (!points.codes.empty()) {
            answer.codes.push_back(points.codes[position]);
        }
    }
    return answer;
}

ExactAnswer matrix_answer(int n, int p, const DispersionResult& result, double seconds,
                          const std::vector<std::string>& position_names) {
    ExactAnswer answer = answer_from(result, p, seconds);
    answer.rule = "a do arquivo, truncada e limitada a 100";
    answer.integer_values = true;
    answer.n = static_cast<std::size_t>(n);
    for (const std::size_t position : result.chosen) {
        answer.ids.push_back(static_cast<std::int64_t>(position));
    }
    std::sort(answer.ids.begin(), answer.ids.end());
    if (!position_names.empty()) {
        for (const std::int64_t id : answer.ids) {
            answer.names.push_back(position_names[static_cast<std::size_t>(id)]);
        }
    }
    return answer;
}

ExactAnswer distance_matrix_answer(std::size_t n, int p, const DispersionResult& result,
                                   double seconds, const std::vector<std::string>& row_names) {
    ExactAnswer answer = answer_from(result, p, seconds);
    answer.rule = "a da matriz, real";
    answer.integer_values = false;
    answer.n = n;
    for (const std::size_t row : result.chosen) {
        assert(row < n);
        answer.ids.push_back(static_cast<std::int64_t>(row) + 1);
    }
    std::sort(answer.ids.begin(), answer.ids.end());
    if (!row_names.empty()) {
        for (const std::int64_t id : answer.ids) {
            answer.names.push_back(row_names[static_cast<std::size_t>(id - 1)]);
        }
    }
    return answer;
}

std::string chosen_names_line(const std::vector<int>& positions,
                              const std::vector<std::string>& position_names) {
    std::string line = "Cidades escolhidas:";
    for (std::size_t i = 0; i < positions.size(); ++i) {
        const auto position = static_cast<std::size_t>(positions[i]);
        assert(position < position_names.size());
        line += i == 0 ? " " : ", ";
        line += std::to_string(positions[i]);
        if (!position_names[position].empty()) {
            line += ' ';
            line += printable(position_names[position]);
        }
    }
    return line + "\n";
}

std::string format_value(double value, bool integer) {
    if (!std::isfinite(value)) {
        return value > 0 ? "infinito" : "indefinido";
    }
    if (value == 0) {
        value = 0;  // a negative zero is written as zero
    }
    // Whole numbers in all their digits, past 2^53 too (the shortest that reads back the same
    // double); anything else with as many decimals as it takes to read back the same double.
    const bool whole = integer && std::trunc(value) == value;
    std::array<char, 400> text{};
    const auto [end, error] = whole ? std::to_chars(text.data(), text.data() + text.size(), value,
                                                    std::chars_format::fixed)
                                    : std::to_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc{} ? std::string(text.data(), end) : std::string("?");
}

std::string plain_report(const ExactAnswer& answer) {
    const auto value = [&](double v) { return format_value(v, answer.integer_values); };
    std::string text = "Entrada: " + answer.input + " (" + std::to_string(answer.n) +
                       " pontos; distancia " + answer.rule + ")\n";
    text += "Pontos escolhidos (p = " + std::to_string(answer.p) + "):";
    if (answer.names.empty() && answer.codes.empty()) {
        for (const std::int64_t id : answer.ids) {
            text += ' ';
            text += std::to_string(id);
        }
        text += "\n";
    } else {
        text += "\n";
        for (std::size_t i = 0; i < answer.ids.size(); ++i) {
            text += "  " + std::to_string(answer.ids[i]);
            // A point without a code or a name shows none: no "[]", no trailing blanks.
            if (!answer.codes.empty() && !answer.codes[i].empty()) {
                text += "  [" + printable(answer.codes[i]) + "]";
            }
            if (!answer.names.empty() && !answer.names[i].empty()) {
                text += "  " + printable(answer.names[i]);
            }
            text += "\n";
        }
    }
    text += "Menor distancia: " + value(answer.value) + "\n";
    if (answer.proven) {
        text += "Otimo provado.\n";
    } else {
        text += "Otimo nao provado (" +
                std::string(answer.interrupted ? "busca interrompida"
                            : answer.gave_up   ? "busca encerrada sem prova"
                                               : "tempo esgotado") +
                "): nenhuma selecao passa de " + value(answer.upper_bound) + ".\n";
    }
    text += "Tempo da busca: " + fixed_decimals(answer.seconds, 3) + " segundos\n";
    return text;
}

std::string json_report(const ExactAnswer& answer) {
    // JSON has no infinity; a bound that is not a number is written as null.
    const auto number = [&](double v) {
        return std::isfinite(v) ? format_value(v, answer.integer_values) : std::string("null");
    };
    std::string text =
        "{\"n\":" + std::to_string(answer.n) + ",\"p\":" + std::to_string(answer.p) +
        ",\"valor\":" + number(answer.value) + ",\"otimo\":" + (answer.proven ? "true" : "false") +
        ",\"limite_superior\":" + number(answer.upper_bound) +
        ",\"ids\":" + json_list(answer.ids, [](std::int64_t id) { return std::to_string(id); });
    const auto quoted = [](const std::string& item) { return json_string(item); };
    if (!answer.names.empty()) {
        text += ",\"nomes\":" + json_list(answer.names, quoted);
    }
    if (!answer.codes.empty()) {
        text += ",\"codigos\":" + json_list(answer.codes, quoted);
    }
    return text + ",\"segundos\":" + fixed_decimals(answer.seconds, 6) + "}\n";
}

}  // namespace dispersao
