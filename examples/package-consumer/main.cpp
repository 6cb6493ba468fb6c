// Checks an installed package from the outside: the library loads its
// resources (the "Strings" table and an image) from beside itself under the
// install prefix, and the facade starts a component.
//
//   orvane-package-consumer <install prefix>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>

#include "orvane/coordinator/Orvane.hpp"
#include "platform/core/Bundle.hpp"
#include "platform/core/FileManager.hpp"
#include "platform/core/RunLoop.hpp"
#include "platform/graphics/Image.hpp"

namespace fs = std::filesystem;

namespace {

int fail(const std::string& why) {
    std::fprintf(stderr, "package consumer: %s\n", why.c_str());
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) return fail("usage: orvane-package-consumer <install prefix>");
    std::error_code ec;
    const fs::path prefix = fs::canonical(argv[1], ec);
    if (ec) return fail("no install prefix " + std::string(argv[1]));

    const auto& bundle = platform::core::Bundle::module();
    const fs::path resources = bundle.resourcePath();
    const auto [end, _] = std::mismatch(prefix.begin(), prefix.end(), resources.begin(), resources.end());
    if (end != prefix.end()) return fail("resources found outside the prefix: " + resources.string());
    if (!fs::is_regular_file(resources / "Strings.json", ec)) return fail("no \"Strings\" table in " + resources.string());
    if (bundle.localizedString("package.consumer.key", "Strings") != "package.consumer.key")
        return fail("an unknown key does not read as itself");
    const auto image = platform::graphics::Image::named("OrvaneDefaultImage");
    if (!image || image->width() <= 0) return fail("the default image does not load");

    const fs::path documents = fs::temp_directory_path(ec) / "orvane-package-consumer";
    fs::create_directories(documents, ec);
    platform::core::FileManager::setDocumentsDirectory(documents);
    orvane::Orvane::shared().start();
    platform::core::RunLoop::main().runUntilIdle();
    const bool started = orvane::Orvane::shared().playerStatus().has_value();
    fs::remove_all(documents, ec);
    if (!started) return fail("the facade did not start a component");

    std::printf("package consumer: resources from %s, default image %gx%g, component started\n",
                resources.c_str(), image->width(), image->height());
    return 0;
}
