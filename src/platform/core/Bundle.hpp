// The module's resource bundle: the folder `resources/`, found (in order) from
// the ORVANE_RESOURCES environment variable, the source tree the build came
// from, and the installed location. It holds the "Strings" table
// (`Strings.json`, an object of key → text) and images (`images/<name>.png`,
// `.jpg`, `.jpeg` or `.gif`, or the same names ending in "@2x" or "@3x" for
// images drawn at two or three pixels per point), and other resources found
// by name and extension (the font substitution table, `FontSubstitutes.json`).
// Thread-safe; the table is loaded once.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace platform::core {

class Bundle {
public:
    static const Bundle& module();

    const std::filesystem::path& resourcePath() const { return root_; }
    // The text for `key` in `table`; the key itself when the table lacks it.
    std::string localizedString(std::string_view key, std::string_view table = "Strings") const;
    // Path of the image named `name`, when the bundle has one.
    std::optional<std::filesystem::path> pathForImage(std::string_view name) const;
    // Path of the file `<name>.<extension>` at the bundle's top, when there is one.
    std::optional<std::filesystem::path> pathForResource(std::string_view name, std::string_view extension) const;

private:
    explicit Bundle(std::filesystem::path root);
    std::filesystem::path root_;
};

}  // namespace platform::core
