// The files of an answer, each written all or nothing.
#include "exato/map_file.hpp"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <utility>

#include "map/answer_map.hpp"
#include "output/chosen_sites.hpp"
#include "output/interrupt_cleanup.hpp"
#include "output/output_place.hpp"
#include "output/pending_file.hpp"

namespace dispersao {

namespace {

// The output files the options ask for, each with its path.
[[nodiscard]] std::vector<std::pair<const std::string*, int>> asked_files(
    const ExactOptions& options) {
    std::vector<std::pair<const std::string*, int>> files;
    int kind = 0;
    for (const std::string* path : {&options.svg, &options.geojson, &options.csv}) {
        if (!path->empty()) {
            files.emplace_back(path, kind);
        }
        ++kind;
    }
    return files;
}

// Writes `text` into the file at `path`, all or nothing; returns the failure, if any.
[[nodiscard]] std::optional<std::string> write_text_file(const std::string& path,
                                                         const std::string& text) {
    PendingFile file(path);
    if (file.opened()) {
        std::fwrite(text.data(), 1, text.size(), file.file());
    }
    if (!file.opened() || !file.close()) {
        return write_failure(file.temporary_path());
    }
    return commit_files({&file});
}

}  // namespace

bool prepare_answer_files(const ExactOptions& options) {
    const auto files = asked_files(options);
    return std::all_of(files.begin(), files.end(), [](const auto& file) {
        const auto failure = prepare_output_file(*file.first);
        if (failure) {
            std::fprintf(stderr, "dispersao-exato: %s\n", failure->c_str());
        }
        return !failure;
    });
}

bool write_answer_files(const ExactOptions& options, const PointSet& points,
                        const DispersionResult& result, const ExactAnswer& answer,
                        const std::string& input_name) {
    // From here an interrupt removes the unfinished files instead of stopping a search.
    remove_temporaries_on_interrupt();
    for (const auto& [path, kind] : asked_files(options)) {
        std::string text;
        if (kind == 0) {
            MapAnswer map = map_answer(points, result.chosen,
                                       format_value(answer.value, answer.integer_values));
            // The title names the file, not the folders it sits in.
            map.input_name = std::filesystem::path(input_name).filename().string();
            text = render_answer_map(points, map);
        } else if (kind == 1) {
            text = chosen_sites_geojson(points, result.chosen, result.value);
        } else {
            text = chosen_sites_csv(points, result.chosen);
        }
        if (const auto failure = write_text_file(*path, text)) {
            std::fprintf(stderr, "dispersao-exato: %s\n", failure->c_str());
            return false;
        }
    }
    return true;
}

}  // namespace dispersao
