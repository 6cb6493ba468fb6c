#include "platform/ui/text/Font.hpp"
#include "platform/ui/text/FontConfig.hpp"

#include <fontconfig/fontconfig.h>

#include <atomic>
#include <fstream>
#include <map>
#include <mutex>
#include <sstream>
#include <string>

#include "platform/core/Bundle.hpp"
#include "platform/core/DebugPrint.hpp"
#include "platform/core/Json.hpp"
#include "platform/core/NoDestructor.hpp"

namespace platform::ui {

namespace {

std::mutex& lookupMutex() {
    static std::mutex m;
    return m;
}

std::atomic<std::uint64_t>& generationCounter() {
    static std::atomic<std::uint64_t> counter{0};
    return counter;
}

// The substitution table, read on first use; guarded by the lookup mutex.
struct Substitutes {
    std::optional<std::filesystem::path> file;  // none: the bundle's
    std::optional<std::map<std::string, std::string, std::less<>>> table;
};

Substitutes& substitutes() {
    static core::NoDestructor<Substitutes> s;
    return *s;
}

std::map<std::string, std::string, std::less<>> readSubstitutes(const std::optional<std::filesystem::path>& file) {
    std::map<std::string, std::string, std::less<>> table;
    const auto path = file ? file : core::Bundle::module().pathForResource("FontSubstitutes", "json");
    if (!path) {
        core::debugPrint("Font: the bundle has no font substitution table");
        return table;
    }
    std::ifstream in(*path);
    std::stringstream text;
    if (in) text << in.rdbuf();
    const core::Json json = core::Json::parse(text.str(), nullptr, /*allow_exceptions=*/false);
    if (!in || !json.is_object()) {
        core::debugPrint("Font: the font substitution table " + path->string() + " is not a JSON object");
        return table;
    }
    for (const auto& [name, substitute] : json.items()) {
        if (substitute.is_string() && !substitute.get<std::string>().empty())
            table.emplace(name, substitute.get<std::string>());
    }
    return table;
}

// The substitute named for `name`, if any. Called under the lookup mutex.
std::optional<std::string> substituteFor(std::string_view name) {
    auto& s = substitutes();
    if (!s.table) s.table = readSubstitutes(s.file);
    if (auto it = s.table->find(name); it != s.table->end()) return it->second;
    return std::nullopt;
}

FcConfig* config() {
    // FcInitLoadConfigAndFonts is called once; the configuration lives for the
    // whole process (it is never destroyed: worker threads may measure text
    // while the process exits).
    static FcConfig* const c = FcInitLoadConfigAndFonts();
    return c;
}

std::string stringOf(FcPattern* p, const char* object) {
    FcChar8* value = nullptr;
    if (FcPatternGetString(p, object, 0, &value) == FcResultMatch && value)
        return reinterpret_cast<const char*>(value);
    return {};
}

int intOf(FcPattern* p, const char* object, int fallback) {
    int value = fallback;
    FcPatternGetInteger(p, object, 0, &value);
    return value;
}

int fcWeight(Font::Weight w) {
    switch (w) {
    case Font::Weight::ultraLight: return FC_WEIGHT_EXTRALIGHT;
    case Font::Weight::thin: return FC_WEIGHT_THIN;
    case Font::Weight::light: return FC_WEIGHT_LIGHT;
    case Font::Weight::regular: return FC_WEIGHT_REGULAR;
    case Font::Weight::medium: return FC_WEIGHT_MEDIUM;
    case Font::Weight::semibold: return FC_WEIGHT_SEMIBOLD;
    case Font::Weight::bold: return FC_WEIGHT_BOLD;
    case Font::Weight::heavy: return FC_WEIGHT_HEAVY;
    case Font::Weight::black: return FC_WEIGHT_BLACK;
    }
    return FC_WEIGHT_REGULAR;
}

}  // namespace

namespace detail {
FcConfig* fontconfigConfig() { return config(); }
}  // namespace detail

struct FontLookup {
    static Font fromPattern(FcPattern* p, double pointSize) {
        Font f;
        f.postScriptName_ = stringOf(p, FC_POSTSCRIPT_NAME);
        f.fullName_ = stringOf(p, FC_FULLNAME);
        f.familyName_ = stringOf(p, FC_FAMILY);
        f.file_ = stringOf(p, FC_FILE);
        f.pointSize_ = pointSize;
        f.weight_ = intOf(p, FC_WEIGHT, FC_WEIGHT_REGULAR);
        f.bold_ = f.weight_ >= FC_WEIGHT_BOLD;
        f.italic_ = intOf(p, FC_SLANT, FC_SLANT_ROMAN) != FC_SLANT_ROMAN;
        return f;
    }

    // Every face matching `pattern`, best first by fontconfig's sort order.
    template <typename Accept>
    static std::optional<Font> first(FcPattern* pattern, double pointSize, Accept accept) {
        FcObjectSet* objects = FcObjectSetBuild(FC_POSTSCRIPT_NAME, FC_FULLNAME, FC_FAMILY, FC_FILE, FC_WEIGHT,
                                                FC_SLANT, nullptr);
        FcFontSet* set = FcFontList(config(), pattern, objects);
        std::optional<Font> found;
        if (set) {
            for (int i = 0; i < set->nfont && !found; ++i) {
                Font f = fromPattern(set->fonts[i], pointSize);
                if (accept(f)) found = std::move(f);
            }
            FcFontSetDestroy(set);
        }
        FcObjectSetDestroy(objects);
        return found;
    }

    static std::optional<Font> byName(std::string_view name, double pointSize) {
        const std::string key(name);
        for (const char* object : {FC_POSTSCRIPT_NAME, FC_FULLNAME}) {
            FcPattern* pattern = FcPatternCreate();
            FcPatternAddString(pattern, object, reinterpret_cast<const FcChar8*>(key.c_str()));
            auto f = first(pattern, pointSize, [](const Font&) { return true; });
            FcPatternDestroy(pattern);
            if (f) return f;
        }
        return std::nullopt;
    }

    // The face of `family` closest to `weight` with the given slant.
    static std::optional<Font> inFamily(const std::string& family, int weight, bool italic, double pointSize,
                                        bool exactWeight) {
        FcPattern* pattern = FcPatternCreate();
        FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
        std::optional<Font> best;
        int bestDistance = 1 << 30;
        first(pattern, pointSize, [&](const Font& f) {
            if (f.italic_ != italic) return false;
            const int distance = std::abs(f.weight_ - weight);
            if (distance < bestDistance || (distance == bestDistance && best && f.postScriptName_ < best->postScriptName_)) {
                bestDistance = distance;
                best = f;
            }
            return false;
        });
        FcPatternDestroy(pattern);
        if (best && exactWeight && (best->weight_ >= FC_WEIGHT_BOLD) != (weight >= FC_WEIGHT_BOLD)) return std::nullopt;
        return best;
    }
};

std::optional<Font> Font::named(std::string_view name, double pointSize) {
    if (name.empty()) return std::nullopt;
    std::lock_guard lock(lookupMutex());
    if (auto f = FontLookup::byName(name, pointSize)) return f;
    if (const auto substitute = substituteFor(name); substitute && *substitute != name)
        return FontLookup::byName(*substitute, pointSize);
    return std::nullopt;
}

void Font::setSubstitutionTableFile(std::optional<std::filesystem::path> file) {
    std::lock_guard lock(lookupMutex());
    substitutes() = Substitutes{std::move(file), std::nullopt};
    ++generationCounter();
}

std::uint64_t Font::generation() { return generationCounter().load(); }

Font Font::systemFont(double pointSize, Weight weight) {
    std::lock_guard lock(lookupMutex());
    if (const auto family = substituteFor("system-ui")) {
        if (auto f = FontLookup::inFamily(*family, fcWeight(weight), false, pointSize, false)) return *f;
    }
    if (auto f = FontLookup::inFamily("DejaVu Sans", fcWeight(weight), false, pointSize, false)) return *f;
    // Whatever fontconfig prefers for sans-serif text.
    FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>("sans-serif"));
    FcPatternAddInteger(pattern, FC_WEIGHT, fcWeight(weight));
    FcConfigSubstitute(config(), pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(config(), pattern, &result);
    Font f;
    if (match) {
        f = FontLookup::fromPattern(match, pointSize);
        FcPatternDestroy(match);
    } else {
        f.pointSize_ = pointSize;
        f.familyName_ = "sans-serif";
    }
    FcPatternDestroy(pattern);
    return f;
}

bool Font::registerFontFile(const std::filesystem::path& path) {
    std::lock_guard lock(lookupMutex());
    const bool added = FcConfigAppFontAddFile(config(), reinterpret_cast<const FcChar8*>(path.c_str())) == FcTrue;
    if (added) ++generationCounter();
    return added;
}

Font Font::withSize(double pointSize) const {
    Font f = *this;
    f.pointSize_ = pointSize;
    return f;
}

std::optional<Font> Font::withTraits(bool bold, bool italic) const {
    if (bold == bold_ && italic == italic_) return *this;
    std::lock_guard lock(lookupMutex());
    const int weight = bold ? FC_WEIGHT_BOLD : (bold_ ? FC_WEIGHT_REGULAR : weight_);
    return FontLookup::inFamily(familyName_, weight, italic, pointSize_, true);
}

}  // namespace platform::ui
