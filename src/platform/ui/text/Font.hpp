// A font of the interface kit: one face found through fontconfig by its
// PostScript name or full name, at a point size. A named face the machine
// does not have is looked up again under its substitute from the module
// bundle's substitution table (`FontSubstitutes.json`: an object of face name
// → PostScript or full name of the face to use, the same weight and style of
// a family scripts/setup installs); a face with neither gives none, so callers
// take their own fallback. The system font is the family the table gives
// under "system-ui", so that the interface's default text sets in the same
// family as its named faces; without that entry (or that family) it is
// DejaVu Sans (installed by scripts/setup), and it always exists when
// fontconfig knows any face. Plain value,
// safe to copy between threads; lookups are serialised internally.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace platform::ui {

class Font {
public:
    enum class Weight { ultraLight, thin, light, regular, medium, semibold, bold, heavy, black };

    // The face whose PostScript name or full name is exactly `name`, else
    // the face the substitution table gives for `name`, else none.
    static std::optional<Font> named(std::string_view name, double pointSize);
    // The interface's default face at the given weight (the closest weight
    // the machine has), of the family the table gives for "system-ui".
    static Font systemFont(double pointSize, Weight weight = Weight::regular);
    static Font boldSystemFont(double pointSize) { return systemFont(pointSize, Weight::bold); }

    // Makes the faces of a font file known to later lookups (hosts and tests
    // that ship their own face). False when the file is not a font.
    static bool registerFontFile(const std::filesystem::path& path);

    // Reads the substitution table from `file` from now on (a missing or
    // unreadable file is an empty table, with a debug line); none goes back
    // to the bundle's table. For tests and hosts with their own table.
    static void setSubstitutionTableFile(std::optional<std::filesystem::path> file);
    // Changes whenever a lookup by name may give another answer than before
    // (a font file registered, the substitution table replaced), so that a
    // caller keeping fonts knows when to look them up again.
    static std::uint64_t generation();

    const std::string& postScriptName() const { return postScriptName_; }
    const std::string& fullName() const { return fullName_; }
    const std::string& familyName() const { return familyName_; }
    const std::filesystem::path& file() const { return file_; }
    double pointSize() const { return pointSize_; }
    bool isBold() const { return bold_; }
    bool isItalic() const { return italic_; }
    // fontconfig weight (FC_WEIGHT_*), for text layout.
    int fontconfigWeight() const { return weight_; }

    Font withSize(double pointSize) const;
    // The face of the same family with these traits, or none.
    std::optional<Font> withTraits(bool bold, bool italic) const;

    friend bool operator==(const Font& a, const Font& b) {
        return a.postScriptName_ == b.postScriptName_ && a.pointSize_ == b.pointSize_;
    }

private:
    friend struct FontLookup;
    Font() = default;

    std::string postScriptName_;
    std::string fullName_;
    std::string familyName_;
    std::filesystem::path file_;
    double pointSize_ = 0;
    int weight_ = 80;
    bool bold_ = false;
    bool italic_ = false;
};

}  // namespace platform::ui
