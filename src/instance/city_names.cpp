// Reader of the optional names file.
#include "instance/city_names.hpp"

#include <cassert>
#include <cerrno>
#include <cstdio>
#include <memory>

#include "points/text_fields.hpp"

namespace dispersao {

namespace {

[[nodiscard]] CityNames failure(std::string message) {
    CityNames result;
    result.status = NamesStatus::failed;
    result.message = std::move(message);
    return result;
}

}  // namespace

CityNames parse_city_names(std::string_view text, int n, const std::string& path) {
    assert(n >= 0);
    CityNames result;
    result.status = NamesStatus::read;
    result.names.assign(static_cast<std::size_t>(n), std::string{});
    long line_number = 0;
    while (!text.empty()) {
        ++line_number;
        const std::size_t end = text.find('\n');
        const std::string_view name = trim(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        if (name.empty()) {
            continue;
        }
        if (line_number >= n) {
            return failure("Erro no arquivo " + path + ", linha " + std::to_string(line_number) +
                           ": nao existe a posicao " + std::to_string(line_number) +
                           " (as posicoes vao de 0 a " + std::to_string(n - 1) + ").\n");
        }
        result.names[static_cast<std::size_t>(line_number)] = name;
    }
    return result;
}

CityNames read_city_names(const std::string& path, int n) {
    assert(n >= 0);
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"),
                                                               &std::fclose);
    if (!file) {
        if (errno == ENOENT) {
            return {};
        }
        return failure("O arquivo " + path + " nao pode ser aberto.\n");
    }
    std::string text;
    char block[1 << 16];  // bytes of the file not yet appended to `text`
    std::size_t got = 0;
    while ((got = std::fread(block, 1, sizeof block, file.get())) > 0) {
        text.append(block, got);
    }
    if (std::ferror(file.get()) != 0) {
        return failure("Erro ao ler o arquivo " + path + ".\n");
    }
    return parse_city_names(text, n, path);
}

}  // namespace dispersao
