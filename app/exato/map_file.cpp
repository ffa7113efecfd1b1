// The files of an answer, written all or nothing together.
#include "exato/map_file.hpp"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
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

}  // namespace

std::optional<std::string> clashing_outputs(const ExactOptions& options) {
    static constexpr const char* kOption[] = {"--svg", "--geojson", "--csv"};
    const auto files = asked_files(options);
    for (std::size_t a = 0; a < files.size(); ++a) {
        const auto& [path, kind] = files[a];
        for (const std::string* input : {&options.input, &options.matrix}) {
            if (!input->empty() && *input != "-" && same_place(*path, *input)) {
                return std::string(kOption[kind]) + " \"" + *path +
                       "\" e o proprio arquivo de entrada";
            }
        }
        for (std::size_t b = a + 1; b < files.size(); ++b) {
            if (same_place(*path, *files[b].first)) {
                return "duas saidas no mesmo arquivo: " + std::string(kOption[kind]) + " \"" +
                       *path + "\" e " + kOption[files[b].second] + " \"" + *files[b].first + "\"";
            }
        }
    }
    return std::nullopt;
}

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
    std::vector<std::unique_ptr<PendingFile>> pending;
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
        PendingFile& file = *pending.emplace_back(std::make_unique<PendingFile>(*path));
        if (file.opened()) {
            std::fwrite(text.data(), 1, text.size(), file.file());
        }
        if (!file.opened() || !file.close()) {
            std::fprintf(stderr, "dispersao-exato: %s\n",
                         write_failure(file.temporary_path()).c_str());
            return false;
        }
    }
    // The files take their places together, or none does.
    std::vector<PendingFile*> files;
    files.reserve(pending.size());
    for (const auto& file : pending) {
        files.push_back(file.get());
    }
    if (const auto failure = commit_files(files)) {
        std::fprintf(stderr, "dispersao-exato: %s\n", failure->c_str());
        return false;
    }
    return true;
}

}  // namespace dispersao
