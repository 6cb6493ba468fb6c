#include "platform/core/Bundle.hpp"

#include <dlfcn.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <mutex>
#include <sstream>
#include <unordered_map>

#include "platform/core/DebugPrint.hpp"
#include "platform/core/Json.hpp"
#include "platform/core/NoDestructor.hpp"

namespace platform::core {
namespace fs = std::filesystem;

namespace {

// The folder of the file this library was loaded from (the shared library,
// or the program it is linked into).
const char libraryAnchor = 0;

fs::path libraryFolder() {
    Dl_info info{};
    if (dladdr(&libraryAnchor, &info) == 0 || !info.dli_fname) return {};
    std::error_code ec;
    const fs::path file = fs::canonical(info.dli_fname, ec);
    return ec ? fs::path() : file.parent_path();
}

// The resources: where ORVANE_RESOURCES says; else installed beside the
// library (its installed layout, wherever the prefix was moved to); else the
// source tree's, for a library used from its build tree.
fs::path locateResources() {
    std::error_code ec;
    if (const char* env = std::getenv("ORVANE_RESOURCES"); env && *env && fs::is_directory(env, ec)) return env;
#ifdef ORVANE_RESOURCES_FROM_LIBRARY
    if (const fs::path folder = libraryFolder(); !folder.empty()) {
        const fs::path installed = (folder / ORVANE_RESOURCES_FROM_LIBRARY).lexically_normal();
        if (fs::is_directory(installed, ec)) return installed;
    }
#endif
#ifdef ORVANE_RESOURCE_DIR
    if (fs::is_directory(ORVANE_RESOURCE_DIR, ec)) return ORVANE_RESOURCE_DIR;
#endif
    return {};
}

// Tables are loaded once each, on first use, and never change afterwards.
struct Tables {
    std::mutex mutex;
    std::map<std::string, std::unordered_map<std::string, std::string>, std::less<>> byName;
};

Tables& tables() {
    static NoDestructor<Tables> t;
    return *t;
}

std::unordered_map<std::string, std::string> loadTable(const fs::path& file) {
    std::unordered_map<std::string, std::string> table;
    std::ifstream in(file);
    if (!in) return table;
    std::stringstream text;
    text << in.rdbuf();
    const Json json = Json::parse(text.str(), nullptr, /*allow_exceptions=*/false);
    if (!json.is_object()) {
        debugPrint("Bundle: table " + file.string() + " is not a JSON object");
        return table;
    }
    for (const auto& [key, value] : json.items()) {
        if (value.is_string()) table.emplace(key, value.get<std::string>());
    }
    return table;
}

}  // namespace

const Bundle& Bundle::module() {
    static NoDestructor<Bundle> bundle{std::in_place, [] { return Bundle(locateResources()); }};
    return *bundle;
}

Bundle::Bundle(fs::path root) : root_(std::move(root)) {}

std::string Bundle::localizedString(std::string_view key, std::string_view table) const {
    auto& t = tables();
    std::lock_guard lock(t.mutex);
    auto it = t.byName.find(table);
    if (it == t.byName.end()) {
        it = t.byName.emplace(std::string(table), loadTable(root_ / (std::string(table) + ".json"))).first;
    }
    if (const auto found = it->second.find(std::string(key)); found != it->second.end()) return found->second;
    return std::string(key);
}

std::optional<fs::path> Bundle::pathForImage(std::string_view name) const {
    if (root_.empty() || name.empty() || name.find('/') != std::string_view::npos || name == "." || name == "..")
        return std::nullopt;
    // The plain name first, then the files drawn at two and three pixels per point.
    for (const char* scale : {"", "@2x", "@3x"}) {
        for (const char* extension : {".png", ".jpg", ".jpeg", ".gif"}) {
            fs::path candidate = root_ / "images" / (std::string(name) + scale + extension);
            std::error_code ec;
            if (fs::is_regular_file(candidate, ec)) return candidate;
        }
    }
    return std::nullopt;
}

std::optional<fs::path> Bundle::pathForResource(std::string_view name, std::string_view extension) const {
    if (root_.empty() || name.empty() || name.find('/') != std::string_view::npos ||
        extension.find('/') != std::string_view::npos || name == "." || name == "..")
        return std::nullopt;
    fs::path candidate = root_ / std::string(name);
    if (!extension.empty()) candidate += "." + std::string(extension);
    std::error_code ec;
    if (fs::is_regular_file(candidate, ec)) return candidate;
    return std::nullopt;
}

}  // namespace platform::core
