// The debug log writer: appends text, as UTF-8 with nothing added, to
// "log.txt" in the Documents directory. Used by the widget bridge's debug log
// operation. Callable from any thread; each write is one append, so
// concurrent writers never interleave inside one text.
#pragma once

#include <string_view>

namespace orvane {

class OVTextLog {
public:
    static OVTextLog& shared();

    // Appends `text` to the log file, creating the file when it does not
    // exist. Failures are printed, never reported.
    void write(std::string_view text);

private:
    OVTextLog() = default;
};

}  // namespace orvane
