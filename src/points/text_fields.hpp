// Word and field helpers shared by the readers of text files: blanks, numbers, quoting.
#pragma once

#include <charconv>
#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace dispersao {

[[nodiscard]] inline bool is_blank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

// Returns `text` without blanks at either end.
[[nodiscard]] inline std::string_view trim(std::string_view text) {
    while (!text.empty() && is_blank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && is_blank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

// Replaces the contents of `words` with the blank-separated words of `line`; reusing one
// vector across lines keeps its storage.
inline void split_words(std::string_view line, std::vector<std::string_view>& words) {
    words.clear();
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && is_blank(line[i])) {
            ++i;
        }
        const std::size_t start = i;
        while (i < line.size() && !is_blank(line[i])) {
            ++i;
        }
        if (i > start) {
            words.push_back(line.substr(start, i - start));
        }
    }
}

// Returns the blank-separated words of `line`.
[[nodiscard]] inline std::vector<std::string_view> split_words(std::string_view line) {
    std::vector<std::string_view> words;
    split_words(line, words);
    return words;
}

// Parses all of `word` as a decimal integer (a leading '+' allowed); false otherwise.
[[nodiscard]] inline bool parse_whole(std::string_view word, std::int64_t& value) {
    if (!word.empty() && word.front() == '+') {
        word.remove_prefix(1);
    }
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
    return error == std::errc{} && end == word.data() + word.size() && !word.empty();
}

// Parses all of `word` as a finite real number (a leading '+' allowed); false otherwise.
[[nodiscard]] inline bool parse_real(std::string_view word, double& value) {
    if (!word.empty() && word.front() == '+') {
        word.remove_prefix(1);
    }
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
    return error == std::errc{} && end == word.data() + word.size() && !word.empty() &&
           std::isfinite(value);
}

// Returns `word` quoted for a message, cut to 40 bytes, unprintable bytes shown as '?'.
[[nodiscard]] inline std::string quoted(std::string_view word) {
    std::string text = "\"";
    for (const char c : word.substr(0, 40)) {
        text += (c >= 0x20 && c < 0x7F) ? c : '?';
    }
    return text + (word.size() > 40 ? "...\"" : "\"");
}

}  // namespace dispersao
