// SVG picture of an answer.
#include "map/answer_map.hpp"

#include <algorithm>
#include <array>
#include <cassert>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <numbers>
#include <string>
#include <system_error>
#include <utility>

#include "dispersion/chosen_neighbours.hpp"
#include "map/svg_text.hpp"

namespace dispersao {

namespace {

// The picture's layout, in SVG user units, and the few choices of what to draw.
constexpr double kMargin = 60.0;      // room for the labels of points on the left and right
constexpr double kTitleBand = 50.0;   // above the drawing: the title
constexpr double kScaleBand = 50.0;   // below it: the scale bar
constexpr double kLabelSize = 16.0;   // font size of the chosen points' labels
constexpr double kTitleSize = 20.0;   // font size of the title, shrunk to fit
constexpr double kCharWidth = 0.6;    // a character's width per unit of font size, generous for
                                      // sans-serif digits and letters, so estimates stay inside
constexpr double kScaleTarget = 200;  // the scale bar's length is the round length below this
// Up to this many chosen points every pair is joined (10 segments at 5); beyond, the web of
// p(p-1)/2 segments hides the points, and only nearest neighbours are joined.
constexpr std::size_t kMostJoinedPoints = 5;

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

[[nodiscard]] bool on_the_globe(DistanceRule rule) {
    return rule == DistanceRule::tsplib_geo || rule == DistanceRule::great_circle_km;
}

// Kilometres per degree of latitude under the rule's sphere.
[[nodiscard]] double km_per_degree(DistanceRule rule) {
    const double radius = rule == DistanceRule::tsplib_geo ? 6378.388 : 6371.0;
    return radius * std::numbers::pi / 180.0;
}

// Latitude and longitude of point k in decimal degrees. Precondition: on_the_globe.
[[nodiscard]] PlanePoint degrees(const PointSet& points, std::size_t k) {
    if (points.rule == DistanceRule::tsplib_geo) {
        return {degrees_from_ddd_mm(points.x[k]), degrees_from_ddd_mm(points.y[k])};
    }
    return {points.x[k], points.y[k]};
}

// Maps points onto the drawing: the bounding box of the points, scaled as a whole to fit
// kMapSize in both directions, y turned downwards, with the bands and margins all round.
// Every step halves before it subtracts, so coordinates near ±1e308 stay finite.
class Frame {
  public:
    explicit Frame(const PointSet& points) : points_(points) {
        if (on_the_globe(points.rule)) {
            double low = 90;
            double high = -90;
            for (std::size_t k = 0; k < points.size(); ++k) {
                low = std::min(low, degrees(points, k).x);
                high = std::max(high, degrees(points, k).x);
            }
            shrink_ = std::cos((low + high) / 2 * std::numbers::pi / 180.0);
        }
        for (std::size_t k = 0; k < points.size(); ++k) {
            const PlanePoint p = plane(k);
            min_x_ = std::min(min_x_, p.x);
            max_x_ = std::max(max_x_, p.x);
            min_y_ = std::min(min_y_, p.y);
            max_y_ = std::max(max_y_, p.y);
        }
        half_span_ = std::max(max_x_ / 2 - min_x_ / 2, max_y_ / 2 - min_y_ / 2);
        if (!(half_span_ > 0) || !std::isfinite(half_span_)) {
            half_span_ = 0;
        }
    }

    // Where point k lies in the plane: x, y as they are, or longitude (shrunk by the cosine of
    // the middle latitude) and latitude.
    [[nodiscard]] PlanePoint plane(std::size_t k) const {
        if (on_the_globe(points_.rule)) {
            const PlanePoint d = degrees(points_, k);
            return {d.y * shrink_, d.x};
        }
        return {points_.x[k], points_.y[k]};
    }

    [[nodiscard]] double width() const { return extent(max_x_, min_x_) + 2 * kMargin; }
    [[nodiscard]] double height() const {
        return extent(max_y_, min_y_) + kTitleBand + kScaleBand + 2 * kMargin;
    }
    [[nodiscard]] double x(std::size_t k) const { return extent(plane(k).x, min_x_) + kMargin; }
    [[nodiscard]] double y(std::size_t k) const {
        return extent(max_y_, plane(k).y) + kTitleBand + kMargin;
    }
    // Drawing units per unit of the plane (per degree of latitude on the globe); 0 when every
    // point is at one place.
    [[nodiscard]] double units_per_plane_unit() const {
        return half_span_ > 0 ? kMapSize / 2 / half_span_ : 0;
    }

  private:
    // The drawing length of high - low (high >= low), computed without overflow.
    [[nodiscard]] double extent(double high, double low) const {
        return half_span_ > 0 ? (high / 2 - low / 2) / half_span_ * kMapSize : 0;
    }

    const PointSet& points_;
    double shrink_ = 1.0;
    double min_x_ = std::numeric_limits<double>::infinity();
    double max_x_ = -std::numeric_limits<double>::infinity();
    double min_y_ = std::numeric_limits<double>::infinity();
    double max_y_ = -std::numeric_limits<double>::infinity();
    double half_span_ = 0;
};

// Returns the largest of 1, 2 and 5 times a power of ten not above `limit` (> 0).
[[nodiscard]] double round_length(double limit) {
    const double power = std::pow(10.0, std::floor(std::log10(limit)));
    for (const double step : {5.0, 2.0, 1.0}) {
        if (step * power <= limit) {
            return step * power;
        }
    }
    return power;
}

// Returns the value beside the closest pair, shorter than `value_text` (the report's, which the
// title keeps whole) when that has decimals: six significant digits, or every digit before
// the point (9512.362046603837 becomes 9512.36, 123456789.5 becomes 123456790). Whole numbers
// and texts that are not numbers stay as they are.
[[nodiscard]] std::string pair_label(const std::string& value_text) {
    const std::size_t point = value_text.find('.');
    double value = 0;
    const char* const end = value_text.data() + value_text.size();
    if (point == std::string::npos || std::from_chars(value_text.data(), end, value).ptr != end) {
        return value_text;
    }
    const std::size_t sign = value_text.front() == '-' ? 1 : 0;
    const int digits = std::max(6, static_cast<int>(point - sign));
    std::array<char, 64> text{};
    const auto result = std::to_chars(text.data(), text.data() + text.size(), value,
                                      std::chars_format::general, digits);
    return result.ec == std::errc{} ? std::string(text.data(), result.ptr) : value_text;
}

// Appends `length` (a round length, > 0) in its shortest form: 500, 0.02, 1e+20.
void append_length(std::string& out, double length) {
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, length);
    out.append(text, result.ptr);
}

void append_text(std::string& out, double x, double y, std::string_view text,
                 std::string_view style) {
    out += "<text x=\"";
    append_svg_number(out, x);
    out += "\" y=\"";
    append_svg_number(out, y);
    out += "\" ";
    out += style;
    out += '>';
    append_svg_escaped(out, text);
    out += "</text>\n";
}

void append_segment(std::string& out, const Frame& frame, std::size_t a, std::size_t b,
                    std::string_view style) {
    out += "<line x1=\"";
    append_svg_number(out, frame.x(a));
    out += "\" y1=\"";
    append_svg_number(out, frame.y(a));
    out += "\" x2=\"";
    append_svg_number(out, frame.x(b));
    out += "\" y2=\"";
    append_svg_number(out, frame.y(b));
    out += "\" ";
    out += style;
    out += "/>\n";
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
    append_svg_number(out, dot_size(points.size()));
    out += "\" d=\"";
    for (std::size_t k = 0; k < points.size(); ++k) {
        const double x = std::round(frame.x(k));
        const double y = std::round(frame.y(k));
        const std::size_t cell =
            static_cast<std::size_t>(y) * columns + static_cast<std::size_t>(x);
        if (cell < drawn.size() && !drawn[cell]) {
            drawn[cell] = true;
            out += 'M';
            append_svg_number(out, x);
            out += ' ';
            append_svg_number(out, y);
            out += "h0";
        }
    }
    out += "\"/>\n";
}

// The title: the input's name, p and the value with its unit, shrunk to fit the width.
void append_title(std::string& out, const PointSet& points, const MapAnswer& answer,
                  const Frame& frame) {
    std::string title = answer.input_name.empty() ? "" : answer.input_name + " - ";
    title +=
        "p = " + std::to_string(answer.chosen.size()) + ", menor distancia: " + answer.value_text;
    title += on_the_globe(points.rule) ? " km" : "";
    const double fitting =
        (frame.width() - 20) / (kCharWidth * static_cast<double>(character_count(title)));
    const double size = std::max(6.0, std::min(kTitleSize, fitting));
    out += "<text x=\"10\" y=\"32\" font-size=\"";
    append_svg_number(out, size);
    out += "\" font-weight=\"bold\">";
    append_svg_escaped(out, title);
    out += "</text>\n";
}

// The scale bar at the bottom left: a round length of the plane (km on the globe).
void append_scale_bar(std::string& out, const PointSet& points, const Frame& frame) {
    double per_unit = frame.units_per_plane_unit();  // drawing units per plane unit
    if (!(per_unit > 0) || !std::isfinite(per_unit)) {
        return;
    }
    const bool globe = on_the_globe(points.rule);
    if (globe) {
        per_unit /= km_per_degree(points.rule);  // drawing units per km
    }
    const double length = round_length(kScaleTarget / per_unit);
    const double bar = length * per_unit;
    if (!std::isfinite(bar) || !std::isfinite(length) || length <= 0) {
        return;
    }
    const double y = frame.height() - 20;
    out += "<path fill=\"none\" stroke=\"black\" stroke-width=\"2\" d=\"M10 ";
    append_svg_number(out, y - 6);
    out += "v6h";
    append_svg_number(out, bar);
    out += "v-6\"/>\n";
    std::string label;
    append_length(label, length);
    label += globe ? " km" : " unidades";
    append_text(out, 16 + bar, y, label, "font-size=\"14\"");
}

// A label beside the point at (x, y), kept inside the picture: to the right and above when
// it fits there, otherwise to the left or below.
void append_label(std::string& out, const Frame& frame, double x, double y, std::string_view text) {
    const double width = kCharWidth * kLabelSize * static_cast<double>(character_count(text));
    const bool left = x + 11 + width > frame.width() - 4 && x - 11 - width >= 4;
    const double label_y = y - 11 - kLabelSize < 4 ? y + 11 + kLabelSize : y - 11;
    append_text(out, left ? x - 11 : x + 11, label_y, text,
                left ? "font-size=\"16\" text-anchor=\"end\" stroke=\"white\" stroke-width=\"3\" "
                       "paint-order=\"stroke\""
                     : "font-size=\"16\" stroke=\"white\" stroke-width=\"3\" "
                       "paint-order=\"stroke\"");
}

}  // namespace

MapAnswer map_answer(const PointSet& points, std::vector<std::size_t> chosen,
                     std::string value_text) {
    assert(chosen.size() >= 2);
    const ChosenNeighbours neighbours = chosen_neighbours(points, chosen);
    MapAnswer map{std::move(chosen), 0, 0, std::move(value_text), ""};
    map.closest_first = map.chosen[neighbours.closest_first];
    map.closest_second = map.chosen[neighbours.closest_second];
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
    append_svg_number(out, frame.width());
    out += "\" height=\"";
    append_svg_number(out, frame.height());
    out +=
        "\" font-family=\"sans-serif\">\n<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n";
    append_title(out, points, answer, frame);
    append_points(out, points, frame);

    const std::vector<std::size_t>& chosen = answer.chosen;
    const std::string_view thin = "stroke=\"#7aa6d6\" stroke-width=\"1.5\"";
    if (chosen.size() <= kMostJoinedPoints) {
        for (std::size_t a = 0; a < chosen.size(); ++a) {
            for (std::size_t b = a + 1; b < chosen.size(); ++b) {
                append_segment(out, frame, chosen[a], chosen[b], thin);
            }
        }
    } else {
        const ChosenNeighbours neighbours = chosen_neighbours(points, chosen);
        for (std::size_t a = 0; a < chosen.size(); ++a) {
            const std::size_t b = neighbours.nearest[a];
            // A pair that are each other's nearest is drawn once.
            if (neighbours.nearest[b] != a || a < b) {
                append_segment(out, frame, chosen[a], chosen[b], thin);
            }
        }
    }
    append_segment(out, frame, answer.closest_first, answer.closest_second,
                   "stroke=\"#d62728\" stroke-width=\"4\"");
    const std::string value_label = pair_label(answer.value_text);
    const double value_width = kCharWidth * 20 * static_cast<double>(character_count(value_label));
    const double middle_x = std::clamp(
        (frame.x(answer.closest_first) + frame.x(answer.closest_second)) / 2, value_width / 2 + 4,
        std::max(value_width / 2 + 4, frame.width() - value_width / 2 - 4));
    append_text(out, middle_x,
                std::max(kTitleBand + 20,
                         (frame.y(answer.closest_first) + frame.y(answer.closest_second)) / 2 - 8),
                value_label,
                "fill=\"#d62728\" font-size=\"20\" font-weight=\"bold\" text-anchor=\"middle\" "
                "stroke=\"white\" stroke-width=\"4\" paint-order=\"stroke\"");

    for (const std::size_t k : chosen) {
        assert(k < points.size());
        out += "<circle cx=\"";
        append_svg_number(out, frame.x(k));
        out += "\" cy=\"";
        append_svg_number(out, frame.y(k));
        out += "\" r=\"8\" fill=\"#1f4e8c\" stroke=\"white\" stroke-width=\"2\"/>\n";
        std::string label = std::to_string(points.ids[k]);
        if (!points.codes.empty() && !points.codes[k].empty()) {
            label += " [" + points.codes[k] + "]";
        }
        if (!points.names.empty() && !points.names[k].empty()) {
            label += ' ';
            label += points.names[k];
        }
        append_label(out, frame, frame.x(k), frame.y(k), label);
    }
    append_scale_bar(out, points, frame);
    out += "</svg>\n";
    return out;
}

}  // namespace dispersao
