// Lines, fields and numbers of matrix files, and the faults both readers report alike.
#include "matrix/matrix_lines.hpp"

#include <algorithm>
#include <cassert>
#include <charconv>
#include <cmath>
#include <cstring>

#include "instance/instance_files.hpp"
#include "points/text_encoding.hpp"
#include "points/text_fields.hpp"

namespace dispersao {

namespace {

// Bytes pulled from the source at a time.
constexpr std::size_t kBlockBytes = std::size_t{1} << 20;
// Bytes of an overlong line kept for its message: more than quote_text shows, so that it marks
// the cut.
constexpr std::size_t kQuotedStart = 64;

// Returns a distance as a message writes it: the shortest text that reads back the same.
[[nodiscard]] std::string number_text(double value) {
    char text[32];
    const auto [end, error] = std::to_chars(text, text + sizeof text, value);
    return error == std::errc{} ? std::string(text, end) : std::string("?");
}

}  // namespace

bool MatrixLines::next(std::string_view& line) {
    if (replayed_ < replay_.size()) {
        line_number_ = replay_[replayed_].first;
        line = replay_[replayed_].second;
        ++replayed_;
        return true;
    }
    for (;;) {
        // The unread text before `unscanned_` holds no '\n': a long line is scanned once.
        const std::size_t newline = buffer_.find('\n', std::max(start_, unscanned_));
        if (newline == std::string::npos && !ended_) {
            // Keep the unread tail, then pull the next block after it.
            buffer_.erase(0, start_);
            start_ = 0;
            const std::size_t kept = buffer_.size();
            unscanned_ = kept;
            if (kept > kLongestMatrixLine) {
                throw MatrixLineTooLong{raw_lines_ + 1, buffer_.substr(0, kQuotedStart)};
            }
            buffer_.resize(kept + kBlockBytes);
            const std::size_t got = source_(buffer_.data() + kept, kBlockBytes);
            buffer_.resize(kept + got);
            ended_ = got == 0;
            continue;
        }
        if (newline == std::string::npos && start_ == buffer_.size()) {
            return false;
        }
        const std::size_t end = newline == std::string::npos ? buffer_.size() : newline;
        line = std::string_view(buffer_).substr(start_, end - start_);
        start_ = newline == std::string::npos ? buffer_.size() : newline + 1;
        // A byte-order mark, as spreadsheets write it, is not part of the first field.
        if (raw_lines_ == 0) {
            drop_byte_order_mark(line);
        }
        ++raw_lines_;
        if (!trim(line).empty()) {
            line_number_ = raw_lines_;
            if (!line.empty() && line.back() == '\r') {
                line.remove_suffix(1);
            }
            return true;
        }
    }
}

Separator separator_of(std::string_view line) {
    if (line.find(';') != std::string_view::npos) {
        return Separator::semicolon;
    }
    if (line.find(',') != std::string_view::npos) {
        return Separator::comma;
    }
    if (line.find('\t') != std::string_view::npos) {
        return Separator::tab;
    }
    return Separator::spaces;
}

void split_fields(std::string_view line, Separator separator,
                  std::vector<std::string_view>& fields) {
    if (separator == Separator::spaces) {
        split_words(line, fields);
        return;
    }
    fields.clear();
    const char cut = separator == Separator::semicolon ? ';'
                     : separator == Separator::comma   ? ','
                                                       : '\t';
    std::size_t start = 0;
    for (;;) {
        const std::size_t at = line.find(cut, start);
        fields.push_back(trim(line.substr(start, at - start)));
        if (at == std::string_view::npos) {
            return;
        }
        start = at + 1;
    }
}

bool parse_distance(std::string_view field, bool decimal_comma, double& value) {
    return parse_number(field, decimal_comma, value) && std::isfinite(value);
}

bool parse_number(std::string_view field, bool decimal_comma, double& value) {
    if (!field.empty() && field.front() == '+') {
        field.remove_prefix(1);
    }
    // A number longer than this is no distance anyone writes.
    constexpr std::size_t kLongest = 400;
    if (field.empty() || field.size() > kLongest) {
        return false;
    }
    char text[kLongest];
    std::memcpy(text, field.data(), field.size());
    if (decimal_comma) {
        for (std::size_t i = 0; i < field.size(); ++i) {
            text[i] = text[i] == ',' ? '.' : text[i];
        }
    }
    const auto [end, error] = std::from_chars(text, text + field.size(), value);
    return error == std::errc{} && end == text + field.size();
}

std::string quote_text(std::string_view word) {
    std::string text = "\"";
    for (const char c : word.substr(0, 40)) {
        text += (c >= 0x20 && c < 0x7F) ? c : '?';
    }
    return text + (word.size() > 40 ? "...\"" : "\"");
}

std::optional<MatrixError> check_matrix_fits(std::size_t n, std::size_t copies) {
    assert(n >= 1 && copies >= 1);
    const double cells = static_cast<double>(n) * static_cast<double>(n);
    const auto most_cells = static_cast<double>(std::vector<double>().max_size());
    if (cells > most_cells ||
        !bytes_fit_in_memory(cells * sizeof(double) * static_cast<double>(copies))) {
        return MatrixError{MatrixFailure::no_memory, 0, ""};
    }
    return std::nullopt;
}

std::optional<MatrixError> check_distance(long line, std::string_view text, double value,
                                          std::size_t a, std::size_t b,
                                          std::optional<double> mirror) {
    const std::string pair = " de " + std::to_string(a) + " a " + std::to_string(b);
    if (value < 0) {
        return matrix_fault(line, "a distancia " + quote_text(text) + pair + " e negativa");
    }
    if (mirror && *mirror != value) {
        return matrix_fault(line, "a distancia " + quote_text(text) + pair + " difere da de " +
                                      std::to_string(b) + " a " + std::to_string(a) + " (" +
                                      number_text(*mirror) + ")");
    }
    return std::nullopt;
}

}  // namespace dispersao
