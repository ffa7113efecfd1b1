// SVG picture of an answer.
#include "map/answer_map.hpp"

#include <algorithm>
#include <cassert>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <utility>

#include "dispersion/dispersion.hpp"

namespace dispersao {

namespace {

// A point in the plane of the picture, before scaling: x to the right, y up.
struct PlanePoint {
    double x;
    double y;
};

// Returns decimal degrees from TSPLIB's DDD.MM form: whole degrees, then minutes after the
// point.
[[nodiscard]] double degrees_from_ddd_mm(double value) {
    const double whole = std::trunc(value);
    return whole + 5.0 * (value - whole) / 3.0;
}

// Returns where point k of `points` lies in the plane of the picture.
[[nodiscard]] PlanePoint plane_point(const PointSet& points, std::size_t k) {
    switch (points.rule) {
        case DistanceRule::tsplib_geo:
            return {degrees_from_ddd_mm(points.y[k]), degrees_from_ddd_mm(points.x[k])};
        case DistanceRule::great_circle_km:
            return {points.y[k], points.x[k]};
        case DistanceRule::tsplib_euc_2d:
        case DistanceRule::tsplib_ceil_2d:
        case DistanceRule::tsplib_att:
        case DistanceRule::euclidean:
            break;
    }
    return {points.x[k], points.y[k]};
}

// Maps the plane of the picture onto the drawing: the bounding box of the points, scaled as a
// whole to fit kMapSize in both directions, y turned downwards, with a margin all round.
class Frame {
  public:
    explicit Frame(const PointSet& points) {
        for (std::size_t k = 0; k < points.size(); ++k) {
            const PlanePoint p = plane_point(points, k);
            min_x_ = std::min(min_x_, p.x);
            max_x_ = std::max(max_x_, p.x);
            min_y_ = std::min(min_y_, p.y);
            max_y_ = std::max(max_y_, p.y);
        }
        const double span = std::max(max_x_ - min_x_, max_y_ - min_y_);
        scale_ = span > 0 && std::isfinite(span) ? kMapSize / span : 1.0;
    }

    [[nodiscard]] double width() const { return (max_x_ - min_x_) * scale_ + 2 * kMargin; }
    [[nodiscard]] double height() const { return (max_y_ - min_y_) * scale_ + 2 * kMargin; }
    [[nodiscard]] double x(const PlanePoint& p) const { return (p.x - min_x_) * scale_ + kMargin; }
    [[nodiscard]] double y(const PlanePoint& p) const { return (max_y_ - p.y) * scale_ + kMargin; }

  private:
    static constexpr double kMargin = 60.0;  // room for the labels of points on the border
    double min_x_ = std::numeric_limits<double>::infinity();
    double max_x_ = -std::numeric_limits<double>::infinity();
    double min_y_ = std::numeric_limits<double>::infinity();
    double max_y_ = -std::numeric_limits<double>::infinity();
    double scale_ = 1.0;
};

// Appends `value` with at most one decimal, the precision a drawing needs.
void append_number(std::string& out, double value) {
    char text[32];  // shortest form of a value rounded to tenths; far from full
    const double rounded = std::round(value * 10.0) / 10.0;
    const auto result = std::to_chars(text, text + sizeof text, rounded == 0.0 ? 0.0 : rounded);
    out.append(text, result.ptr);
}

// Appends `text` as XML character data: markup characters escaped, control characters and
// bytes that do not form UTF-8 shown as '?', so the document stays well-formed.
void append_escaped(std::string& out, std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto byte = static_cast<unsigned char>(text[i]);
        std::size_t length = byte < 0x80                   ? 1
                             : byte >= 0xC2 && byte < 0xE0 ? 2
                             : byte >= 0xE0 && byte < 0xF0 ? 3
                             : byte >= 0xF0 && byte < 0xF5 ? 4
                                                           : 0;
        for (std::size_t k = 1; k < length; ++k) {
            if (i + k >= text.size() || (static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) {
                length = 0;
            }
        }
        if (length == 0 || (byte < 0x20) || byte == 0x7F) {
            out += '?';
            ++i;
            continue;
        }
        switch (byte) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                out.append(text.substr(i, length));
        }
        i += length;
    }
}

// Appends one point of the point layer: a zero-length stroke drawn with round caps.
void append_dot(std::string& out, double x, double y) {
    out += 'M';
    append_number(out, x);
    out += ' ';
    append_number(out, y);
    out += "h0";
}

// Returns the stroke width of the point layer: thinner as the points grow many.
[[nodiscard]] double dot_size(std::size_t count) {
    return count <= 1000 ? 5.0 : count <= 100000 ? 2.5 : 1.2;
}

void append_points(std::string& out, const PointSet& points, const Frame& frame) {
    // One bit per unit square of the drawing: set once a point has been drawn there.
    const auto columns = static_cast<std::size_t>(frame.width()) + 1;
    const auto rows = static_cast<std::size_t>(frame.height()) + 1;
    std::vector<bool> drawn(columns * rows, false);
    out += "<path fill=\"none\" stroke=\"#4a5a6a\" stroke-linecap=\"round\" stroke-width=\"";
    append_number(out, dot_size(points.size()));
    out += "\" d=\"";
    for (std::size_t k = 0; k < points.size(); ++k) {
        const PlanePoint p = plane_point(points, k);
        const double x = std::round(frame.x(p));
        const double y = std::round(frame.y(p));
        const std::size_t cell =
            static_cast<std::size_t>(y) * columns + static_cast<std::size_t>(x);
        if (cell < drawn.size() && !drawn[cell]) {
            drawn[cell] = true;
            append_dot(out, x, y);
        }
    }
    out += "\"/>\n";
}

void append_segment(std::string& out, const Frame& frame, const PlanePoint& a, const PlanePoint& b,
                    std::string_view style) {
    out += "<line x1=\"";
    append_number(out, frame.x(a));
    out += "\" y1=\"";
    append_number(out, frame.y(a));
    out += "\" x2=\"";
    append_number(out, frame.x(b));
    out += "\" y2=\"";
    append_number(out, frame.y(b));
    out += "\" ";
    out += style;
    out += "/>\n";
}

void append_label(std::string& out, double x, double y, std::string_view text,
                  std::string_view style) {
    out += "<text x=\"";
    append_number(out, x);
    out += "\" y=\"";
    append_number(out, y);
    out += "\" ";
    out += style;
    out += '>';
    append_escaped(out, text);
    out += "</text>\n";
}

// Largest number of chosen points whose every pair gets a segment; beyond it only the
// closest pair is drawn, as the picture would turn into a web.
constexpr std::size_t kMostJoinedPoints = 40;

}  // namespace

MapAnswer map_answer(const PointSet& points, std::vector<std::size_t> chosen,
                     std::string value_text) {
    assert(chosen.size() >= 2);
    MapAnswer map{std::move(chosen), 0, 0, std::move(value_text)};
    map.closest_first = map.chosen[0];
    map.closest_second = map.chosen[1];
    double closest = point_distance(points, map.closest_first, map.closest_second);
    for (std::size_t a = 0; a < map.chosen.size(); ++a) {
        for (std::size_t b = a + 1; b < map.chosen.size(); ++b) {
            const double d = point_distance(points, map.chosen[a], map.chosen[b]);
            if (d < closest) {
                closest = d;
                map.closest_first = map.chosen[a];
                map.closest_second = map.chosen[b];
            }
        }
    }
    return map;
}

std::string render_answer_map(const PointSet& points, const MapAnswer& answer) {
    assert(answer.chosen.size() >= 2);
    assert(answer.closest_first < points.size() && answer.closest_second < points.size());
    const Frame frame(points);
    std::string out;
    out.reserve(points.size() * 12 + 4096);
    out += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" ";
    out += "width=\"";
    append_number(out, frame.width());
    out += "\" height=\"";
    append_number(out, frame.height());
    out +=
        "\" font-family=\"sans-serif\">\n<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n";
    append_points(out, points, frame);

    if (answer.chosen.size() <= kMostJoinedPoints) {
        for (std::size_t a = 0; a < answer.chosen.size(); ++a) {
            for (std::size_t b = a + 1; b < answer.chosen.size(); ++b) {
                append_segment(out, frame, plane_point(points, answer.chosen[a]),
                               plane_point(points, answer.chosen[b]),
                               "stroke=\"#7aa6d6\" stroke-width=\"1.5\"");
            }
        }
    }
    const PlanePoint first = plane_point(points, answer.closest_first);
    const PlanePoint second = plane_point(points, answer.closest_second);
    append_segment(out, frame, first, second, "stroke=\"#d62728\" stroke-width=\"4\"");
    append_label(out, (frame.x(first) + frame.x(second)) / 2,
                 (frame.y(first) + frame.y(second)) / 2 - 8, answer.value_text,
                 "fill=\"#d62728\" font-size=\"20\" font-weight=\"bold\" text-anchor=\"middle\" "
                 "stroke=\"white\" stroke-width=\"4\" paint-order=\"stroke\"");

    for (const std::size_t k : answer.chosen) {
        assert(k < points.size());
        const PlanePoint p = plane_point(points, k);
        out += "<circle cx=\"";
        append_number(out, frame.x(p));
        out += "\" cy=\"";
        append_number(out, frame.y(p));
        out += "\" r=\"8\" fill=\"#1f4e8c\" stroke=\"white\" stroke-width=\"2\"/>\n";
        std::string label = std::to_string(points.ids[k]);
        if (!points.names.empty() && !points.names[k].empty()) {
            label += ' ';
            label += points.names[k];
        }
        append_label(out, frame.x(p) + 11, frame.y(p) - 11, label,
                     "font-size=\"16\" stroke=\"white\" stroke-width=\"3\" paint-order=\"stroke\"");
    }
    out += "</svg>\n";
    return out;
}

}  // namespace dispersao
