// A small reader of JSON text (RFC 8259) into a tree of values, for GeoJSON point files.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace dispersao {

struct JsonMember;

// One JSON value and where its text lies in the document.
struct JsonValue {
    enum class Type { null, boolean, number, string, array, object };
    Type type = Type::null;
    bool boolean = false;
    double number = 0;
    std::string text;  // a string's value (UTF-8), or a number as written
    std::vector<JsonValue> items;
    std::vector<JsonMember> members;  // an object's members, in order
    std::size_t begin = 0;            // the value's text is document[begin, end)
    std::size_t end = 0;

    // The member named `key` of an object (the last, if repeated), or null.
    [[nodiscard]] const JsonValue* member(std::string_view key) const;
};

// A member of an object: its name and its value.
struct JsonMember {
    std::string name;
    JsonValue value;
};

// Why a text is not JSON: where (a byte offset) and what, in Portuguese.
struct JsonFault {
    std::size_t offset = 0;
    std::string detail;
};

// Deepest nesting of arrays and objects read; deeper documents are refused, so a hostile file
// cannot exhaust the stack.
inline constexpr int kJsonMostDepth = 200;

// Reads all of `text` as one JSON value (blanks around it allowed). Numbers must be finite
// doubles; strings must be valid UTF-8, with escapes (\uXXXX pairs included) turned into UTF-8.
[[nodiscard]] std::variant<JsonValue, JsonFault> parse_json(std::string_view text);

}  // namespace dispersao
