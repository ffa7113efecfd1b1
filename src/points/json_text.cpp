// Reading JSON text into a tree of values.
#include "points/json_text.hpp"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdint>

#include "points/text_encoding.hpp"
#include "points/text_fields.hpp"

namespace dispersao {

namespace {

// Reads one document; every method either consumes a well-formed part or records the fault
// and returns false.
class JsonReader {
  public:
    explicit JsonReader(std::string_view text) : text_(text) {}

    [[nodiscard]] bool document(JsonValue& value) {
        skip_blanks();
        if (!read_value(value, 0)) {
            return false;
        }
        skip_blanks();
        return at_end() || fail("texto depois do fim do documento JSON");
    }

    [[nodiscard]] JsonFault fault() const { return fault_; }

  private:
    [[nodiscard]] bool at_end() const { return pos_ >= text_.size(); }
    [[nodiscard]] char peek() const { return at_end() ? '\0' : text_[pos_]; }

    bool fail(std::string detail) {
        fault_ = {pos_, std::move(detail)};
        return false;
    }

    void skip_blanks() {
        while (!at_end() && (peek() == ' ' || peek() == '\t' || peek() == '\n' || peek() == '\r')) {
            ++pos_;
        }
    }

    bool expect_word(std::string_view word) {
        if (text_.substr(pos_, word.size()) != word) {
            return fail("esperava um valor JSON, encontrou " + quoted(text_.substr(pos_, 20)));
        }
        pos_ += word.size();
        return true;
    }

    bool read_value(JsonValue& value, int depth) {
        value.begin = pos_;
        bool good = false;
        switch (peek()) {
            case '{':
                good = read_object(value, depth);
                break;
            case '[':
                good = read_array(value, depth);
                break;
            case '"':
                value.type = JsonValue::Type::string;
                good = read_string(value.text);
                break;
            case 't':
                value.type = JsonValue::Type::boolean;
                value.boolean = true;
                good = expect_word("true");
                break;
            case 'f':
                value.type = JsonValue::Type::boolean;
                good = expect_word("false");
                break;
            case 'n':
                good = expect_word("null");
                break;
            default:
                good = read_number(value);
        }
        value.end = pos_;
        return good;
    }

    // Reads a container whose opening byte is at pos_: elements, each read by `read_element`
    // (false on a fault), separated by ',' and ended by `close`; `separator_fault` tells what a
    // missing separator is. A container deeper than kJsonMostDepth is a fault.
    template <class ReadElement>
    bool read_container(int depth, char close, const char* separator_fault,
                        const ReadElement& read_element) {
        if (depth >= kJsonMostDepth) {
            return fail("o JSON aninha objetos e listas fundo demais");
        }
        ++pos_;
        skip_blanks();
        if (peek() == close) {
            ++pos_;
            return true;
        }
        for (;;) {
            skip_blanks();
            if (!read_element()) {
                return false;
            }
            skip_blanks();
            if (peek() == close) {
                ++pos_;
                return true;
            }
            if (peek() != ',') {
                return fail(separator_fault);
            }
            ++pos_;
        }
    }

    bool read_object(JsonValue& value, int depth) {
        value.type = JsonValue::Type::object;
        return read_container(depth, '}', "esperava ',' ou '}' no objeto", [&] {
            std::string key;
            if (peek() != '"') {
                return fail("esperava o nome de um membro entre aspas");
            }
            if (!read_string(key)) {
                return false;
            }
            skip_blanks();
            if (peek() != ':') {
                return fail("esperava ':' depois de " + quoted(key));
            }
            ++pos_;
            skip_blanks();
            value.members.push_back({std::move(key), JsonValue{}});
            return read_value(value.members.back().value, depth + 1);
        });
    }

    bool read_array(JsonValue& value, int depth) {
        value.type = JsonValue::Type::array;
        return read_container(depth, ']', "esperava ',' ou ']' na lista", [&] {
            value.items.emplace_back();
            return read_value(value.items.back(), depth + 1);
        });
    }

    bool read_number(JsonValue& value) {
        const std::size_t start = pos_;
        const auto digits = [this] {
            const std::size_t from = pos_;
            while (std::isdigit(static_cast<unsigned char>(peek())) != 0) {
                ++pos_;
            }
            return pos_ > from;
        };
        if (peek() == '-') {
            ++pos_;
        }
        bool good = digits();
        if (good && peek() == '.') {
            ++pos_;
            good = digits();
        }
        if (good && (peek() == 'e' || peek() == 'E')) {
            ++pos_;
            if (peek() == '+' || peek() == '-') {
                ++pos_;
            }
            good = digits();
        }
        const std::string_view written = text_.substr(start, pos_ - start);
        if (!good) {
            pos_ = start;
            return fail("esperava um valor JSON, encontrou " + quoted(text_.substr(start, 20)));
        }
        const auto [end, error] =
            std::from_chars(written.data(), written.data() + written.size(), value.number);
        if (error != std::errc{} || end != written.data() + written.size() ||
            !std::isfinite(value.number)) {
            pos_ = start;
            return fail("o numero " + quoted(written) + " nao cabe num double");
        }
        value.type = JsonValue::Type::number;
        value.text = std::string(written);
        return true;
    }

    // Reads four hex digits at pos_ into `code`.
    bool read_hex4(std::uint32_t& code) {
        code = 0;
        for (int k = 0; k < 4; ++k) {
            const char c = peek();
            const int digit = std::isdigit(static_cast<unsigned char>(c)) != 0 ? c - '0'
                              : c >= 'a' && c <= 'f'                           ? c - 'a' + 10
                              : c >= 'A' && c <= 'F'                           ? c - 'A' + 10
                                                                               : -1;
            if (digit < 0) {
                return fail("escape \\u sem quatro digitos hexadecimais");
            }
            code = code * 16 + static_cast<std::uint32_t>(digit);
            ++pos_;
        }
        return true;
    }

    static void append_utf8(std::string& out, std::uint32_t code) {
        if (code < 0x80) {
            out += static_cast<char>(code);
        } else if (code < 0x800) {
            out += static_cast<char>(0xC0 | (code >> 6U));
            out += static_cast<char>(0x80 | (code & 0x3FU));
        } else if (code < 0x10000) {
            out += static_cast<char>(0xE0 | (code >> 12U));
            out += static_cast<char>(0x80 | ((code >> 6U) & 0x3FU));
            out += static_cast<char>(0x80 | (code & 0x3FU));
        } else {
            out += static_cast<char>(0xF0 | (code >> 18U));
            out += static_cast<char>(0x80 | ((code >> 12U) & 0x3FU));
            out += static_cast<char>(0x80 | ((code >> 6U) & 0x3FU));
            out += static_cast<char>(0x80 | (code & 0x3FU));
        }
    }

    bool read_escape(std::string& out) {
        const char c = peek();
        ++pos_;
        switch (c) {
            case '"':
            case '\\':
            case '/':
                out += c;
                return true;
            case 'b':
                out += '\b';
                return true;
            case 'f':
                out += '\f';
                return true;
            case 'n':
                out += '\n';
                return true;
            case 'r':
                out += '\r';
                return true;
            case 't':
                out += '\t';
                return true;
            case 'u':
                break;
            default:
                --pos_;
                return fail("escape desconhecido na string JSON");
        }
        std::uint32_t code = 0;
        if (!read_hex4(code)) {
            return false;
        }
        if (code >= 0xD800 && code < 0xDC00 && text_.substr(pos_, 2) == "\\u") {
            pos_ += 2;
            std::uint32_t low = 0;
            if (!read_hex4(low)) {
                return false;
            }
            code = low >= 0xDC00 && low < 0xE000
                       ? 0x10000 + ((code - 0xD800) << 10U) + (low - 0xDC00)
                       : 0xFFFD;
        } else if (code >= 0xD800 && code < 0xE000) {
            code = 0xFFFD;  // a lone surrogate stands for no character
        }
        append_utf8(out, code);
        return true;
    }

    bool read_string(std::string& out) {
        ++pos_;
        for (;;) {
            if (at_end()) {
                return fail("a string JSON nao se fecha");
            }
            const auto c = static_cast<unsigned char>(peek());
            if (c == '"') {
                ++pos_;
                return true;
            }
            if (c == '\\') {
                ++pos_;
                if (!read_escape(out)) {
                    return false;
                }
                continue;
            }
            if (c < 0x20) {
                return fail("a string JSON tem um caractere de controle sem escape");
            }
            const std::size_t length = utf8_sequence_length(text_, pos_);
            if (length == 0) {
                return fail("a string JSON nao e UTF-8 valido");
            }
            out.append(text_.substr(pos_, length));
            pos_ += length;
        }
    }

    std::string_view text_;
    std::size_t pos_ = 0;
    JsonFault fault_;
};

}  // namespace

const JsonValue* JsonValue::member(std::string_view key) const {
    const JsonValue* found = nullptr;
    for (const JsonMember& candidate : members) {
        if (candidate.name == key) {
            found = &candidate.value;
        }
    }
    return found;
}

std::variant<JsonValue, JsonFault> parse_json(std::string_view text) {
    JsonReader reader(text);
    JsonValue value;
    if (!reader.document(value)) {
        return reader.fault();
    }
    return value;
}

}  // namespace dispersao
