#include "orvane/pages/OVPage.hpp"

namespace orvane {

OVPage::Config& OVPage::config() {
    static Config config;
    return config;
}

}  // namespace orvane
