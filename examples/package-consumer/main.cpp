// Checks an installed package from the outside, with nothing but the headers
// it installs: the library finds its resources beside itself under the
// install prefix (an image added there is found by name, which no other copy
// of the resources has), and the facade starts a component.
//
//   orvane-package-consumer <install prefix>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "orvane/coordinator/Orvane.hpp"
#include "platform/core/FileManager.hpp"
#include "platform/core/RunLoop.hpp"
#include "platform/graphics/Image.hpp"

namespace fs = std::filesystem;
using platform::graphics::Image;

namespace {

int fail(const std::string& why) {
    std::fprintf(stderr, "package consumer: %s\n", why.c_str());
    return 1;
}

// The installed resources: the folder under the prefix holding the "Strings"
// table.
fs::path installedResources(const fs::path& prefix) {
    std::error_code ec;
    for (fs::recursive_directory_iterator it(prefix, ec), end; !ec && it != end; it.increment(ec)) {
        if (it->path().filename() == "Strings.json") return it->path().parent_path();
    }
    return {};
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) return fail("usage: orvane-package-consumer <install prefix>");
    std::error_code ec;
    const fs::path prefix = fs::canonical(argv[1], ec);
    if (ec) return fail("no install prefix " + std::string(argv[1]));

    const fs::path resources = installedResources(prefix);
    if (resources.empty()) return fail("no \"Strings\" table under " + prefix.string());
    const auto image = Image::named("OrvaneDefaultImage");
    if (!image || image->width() <= 0) return fail("the default image does not load");
    // An image only the installed resources have.
    const fs::path marker = resources / "images" / "PackageConsumerMarker.png";
    const auto drawn = Image::fromPixels(3, 5, std::vector<std::uint8_t>(3 * 5 * 4, 255));
    if (!drawn || !drawn->writePng(marker)) return fail("cannot write " + marker.string());
    const auto found = Image::named("PackageConsumerMarker");
    fs::remove(marker, ec);
    if (!found || found->width() != 3 || found->height() != 5)
        return fail("the library does not read its resources from " + resources.string());

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
