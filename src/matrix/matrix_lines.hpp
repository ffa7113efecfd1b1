// What the two matrix readers share: lines of any length, fields and numbers, their faults.
#pragma once

#include <cstddef>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "instance/byte_source.hpp"
#include "matrix/matrix_file.hpp"

namespace dispersao {

// The longest line a matrix text may have (16 MiB): a row of a million distances of up to 15
// characters each, far past any matrix that fits in memory. Past it the text is no matrix (a
// device of endless bytes, say), and reading stops before memory runs out.
inline constexpr std::size_t kLongestMatrixLine = std::size_t{1} << 24;

// Thrown by MatrixLines::next on a line longer than kLongestMatrixLine: its 1-based number and
// its first bytes.
struct MatrixLineTooLong {
    long line;
    std::string start;
};

// Hands out the lines of a text that are not blank, of any length up to kLongestMatrixLine (a
// matrix row may hold a million fields), each as a view valid until the next call; a '\r'
// before '\n' and a byte-order mark at the start of the text are dropped. Lines handed back by
// replay() come again first.
class MatrixLines {
  public:
    explicit MatrixLines(ByteSource source) : source_(std::move(source)) {}

    // Stores the next line that is not blank in `line` and returns true, or false at the end.
    // Throws MatrixLineTooLong on a line longer than kLongestMatrixLine.
    [[nodiscard]] bool next(std::string_view& line);

    // 1-based number of the line handed out last.
    [[nodiscard]] long line_number() const { return line_number_; }

    // Makes `lines` (numbers and texts, in order) the next ones handed out, before any still
    // waiting to be replayed.
    void replay(std::vector<std::pair<long, std::string>> lines) {
        lines.insert(
            lines.end(),
            std::make_move_iterator(replay_.begin() + static_cast<std::ptrdiff_t>(replayed_)),
            std::make_move_iterator(replay_.end()));
        replay_ = std::move(lines);
        replayed_ = 0;
    }

  private:
    ByteSource source_;
    std::string buffer_;
    std::size_t start_ = 0;      // where the unread text of buffer_ begins
    std::size_t unscanned_ = 0;  // where the unread text may first hold a '\n'
    bool ended_ = false;
    long line_number_ = 0;
    long raw_lines_ = 0;  // lines taken from the text so far, blank ones included
    std::vector<std::pair<long, std::string>> replay_;
    std::size_t replayed_ = 0;
};

// How the fields of a line are separated.
enum class Separator { semicolon, comma, tab, spaces };

// Returns the separator of a CSV table whose first line is `line`.
[[nodiscard]] Separator separator_of(std::string_view line);

// Cuts `line` into its fields, blanks around each removed, into `fields`.
void split_fields(std::string_view line, Separator separator,
                  std::vector<std::string_view>& fields);

// Parses all of `field` as a real number, "nan" and "inf" included (a leading '+' allowed; a
// decimal comma too when `decimal_comma`); false otherwise. A field that parses is a number
// someone wrote, never a name.
[[nodiscard]] bool parse_number(std::string_view field, bool decimal_comma, double& value);

// Parses all of `field` as a finite real number, as parse_number; false otherwise.
[[nodiscard]] bool parse_distance(std::string_view field, bool decimal_comma, double& value);

// Returns `word` quoted for a message, cut to 40 bytes, unprintable bytes shown as '?'.
[[nodiscard]] std::string quote_text(std::string_view word);

// Returns a malformed-text fault at `line`.
[[nodiscard]] inline MatrixError matrix_fault(long line, std::string detail) {
    return {MatrixFailure::malformed, line, std::move(detail)};
}

// Returns nothing when `copies` matrices of n x n doubles fit in the memory the process can
// count on, otherwise the fault saying so. Precondition: n >= 1, copies >= 1.
[[nodiscard]] std::optional<MatrixError> check_matrix_fits(std::size_t n, std::size_t copies = 1);

// Returns the fault of a distance `text` from row `a` to column `b` (as the file numbers them)
// that is negative, or differs from `mirror`, the one from b to a read before; nothing when
// it is fine. Precondition: `value` is the number `text` holds.
[[nodiscard]] std::optional<MatrixError> check_distance(long line, std::string_view text,
                                                        double value, std::size_t a, std::size_t b,
                                                        std::optional<double> mirror);

// Reads the CSV table whose first lines `lines` hands out into `matrix`.
[[nodiscard]] std::optional<MatrixError> parse_csv_matrix(MatrixLines& lines,
                                                          DistanceMatrix& matrix);

// Reads the MDPLIB text whose first lines `lines` hands out into `matrix`.
[[nodiscard]] std::optional<MatrixError> parse_mdplib_matrix(MatrixLines& lines,
                                                             DistanceMatrix& matrix);

}  // namespace dispersao
