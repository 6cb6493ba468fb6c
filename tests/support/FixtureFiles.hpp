// Reads JSON fixtures from tests/fixtures (header-only).
#pragma once

#include "platform/core/Json.hpp"

#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>

namespace orvane::test {

inline std::string fixtureText(const std::string& name) {
    std::ifstream in(std::string(ORVANE_TEST_FIXTURES) + "/" + name, std::ios::binary);
    if (!in) throw std::runtime_error("missing fixture " + name);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

inline platform::core::Json fixtureJson(const std::string& name) {
    return platform::core::Json::parse(fixtureText(name));
}

}  // namespace orvane::test
