#include "platform/ui/text/TimeZone.hpp"

#include <unicode/timezone.h>
#include <unicode/unistr.h>

#include <memory>
#include <mutex>

#include "platform/core/NoDestructor.hpp"

namespace platform::ui {

namespace {

struct Current {
    std::mutex mutex;
    std::optional<TimeZone> zone;
};

Current& current() {
    static core::NoDestructor<Current> c;
    return *c;
}

}  // namespace

TimeZone TimeZone::current() {
    {
        auto& c = ui::current();
        std::lock_guard lock(c.mutex);
        if (c.zone) return *c.zone;
    }
    const std::unique_ptr<icu::TimeZone> host(icu::TimeZone::detectHostTimeZone());
    icu::UnicodeString id;
    if (host) host->getID(id);
    std::string identifier;
    id.toUTF8String(identifier);
    return TimeZone{identifier.empty() ? "UTC" : identifier};
}

void TimeZone::setCurrent(std::optional<TimeZone> zone) {
    auto& c = ui::current();
    std::lock_guard lock(c.mutex);
    c.zone = std::move(zone);
}

}  // namespace platform::ui
