// A font of the interface kit: one face found through fontconfig by its
// PostScript name or full name, at a point size. A face that the machine does
// not have gives none, so callers take their own fallback; the system font
// (DejaVu Sans, installed by scripts/setup) always exists when fontconfig
// knows any face. Plain value, safe to copy between threads; lookups are
// serialised internally.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace platform::ui {

class Font {
public:
    enum class Weight { ultraLight, thin, light, regular, medium, semibold, bold, heavy, black };

    // The face whose PostScript name or full name is exactly `name`.
    static std::optional<Font> named(std::string_view name, double pointSize);
    // The interface's default face at the given weight (the closest weight
    // the machine has).
    static Font systemFont(double pointSize, Weight weight = Weight::regular);
    static Font boldSystemFont(double pointSize) { return systemFont(pointSize, Weight::bold); }

    // Makes the faces of a font file known to later lookups (hosts and tests
    // that ship their own face). False when the file is not a font.
    static bool registerFontFile(const std::filesystem::path& path);

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
