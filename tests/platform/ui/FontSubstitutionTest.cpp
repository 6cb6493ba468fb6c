// The phone's named faces on this machine: the bundle's substitution table
// gives each the Lato face of the same weight, at the asked size; a table
// pointed elsewhere or emptied takes them away again.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include <unistd.h>

#include "platform/ui/text/AttributedString.hpp"
#include "platform/ui/text/Font.hpp"
#include "platform/ui/text/TextLayout.hpp"

namespace {

using namespace platform::ui;

// A table file for the test's life; the bundle's table comes back after it.
struct TableFile {
    explicit TableFile(const std::string& json, const std::string& name)
        : path(std::filesystem::temp_directory_path() / (std::to_string(::getpid()) + "-" + name)) {
        std::ofstream(path) << json;
        Font::setSubstitutionTableFile(path);
    }
    ~TableFile() {
        Font::setSubstitutionTableFile(std::nullopt);
        std::filesystem::remove(path);
    }
    std::filesystem::path path;
};

double widthOf(const Font& font) {
    return measureText(AttributedString("Listen to the latest episode", TextAttributes{font, {}, {}, {}})).size.width;
}

TEST(FontSubstitution, ThePhoneFacesTakeLatoOfTheSameWeightAtTheAskedSize) {
    struct Case {
        const char* name;
        const char* substitute;
        double size;
    };
    for (const Case& c : {Case{"AvenirNext-Regular", "Lato-Regular", 15}, Case{"AvenirNext-Medium", "Lato-Medium", 13},
                          Case{"AvenirNext-DemiBold", "Lato-Semibold", 18}, Case{"AvenirNext-Bold", "Lato-Bold", 22}}) {
        SCOPED_TRACE(c.name);
        const auto font = Font::named(c.name, c.size);
        ASSERT_TRUE(font);
        EXPECT_EQ(font->postScriptName(), c.substitute);
        EXPECT_EQ(font->familyName(), "Lato");
        EXPECT_EQ(font->pointSize(), c.size);
        EXPECT_FALSE(font->isItalic());
        // Text set in it is laid out in that very face.
        EXPECT_DOUBLE_EQ(widthOf(*font), widthOf(*Font::named(c.substitute, c.size)));
    }
    // The weights reach the layout: the demi-bold face sets wider than the
    // regular one, and its bold sibling is Lato's bold.
    const auto demiBold = Font::named("AvenirNext-DemiBold", 15);
    EXPECT_GT(widthOf(*demiBold), widthOf(*Font::named("AvenirNext-Regular", 15)));
    const auto boldItalic = Font::named("AvenirNext-Regular", 15)->withTraits(true, true);
    ASSERT_TRUE(boldItalic);
    EXPECT_EQ(boldItalic->postScriptName(), "Lato-BoldItalic");
    // A face the machine has is found by its own name, never substituted.
    EXPECT_EQ(Font::named("DejaVuSans-Bold", 12)->postScriptName(), "DejaVuSans-Bold");
    // The system face is of the same family, at the weight asked.
    EXPECT_EQ(Font::systemFont(17, Font::Weight::semibold).postScriptName(), "Lato-Semibold");
    EXPECT_EQ(Font::systemFont(15).postScriptName(), "Lato-Regular");
}

TEST(FontSubstitution, AnEmptiedOrMissingTableLeavesThePhoneFacesNone) {
    for (const auto* json : {"{}", "not json", "[\"AvenirNext-DemiBold\"]"}) {
        SCOPED_TRACE(json);
        TableFile table(json, "orvane-font-table-empty.json");
        for (const char* name : {"AvenirNext-Regular", "AvenirNext-Medium", "AvenirNext-DemiBold", "AvenirNext-Bold"})
            EXPECT_FALSE(Font::named(name, 15)) << name;
        EXPECT_TRUE(Font::named("Lato-Semibold", 15)) << "the faces themselves stay";
        EXPECT_EQ(Font::systemFont(15).familyName(), "DejaVu Sans") << "the system face falls back";
    }
    Font::setSubstitutionTableFile("/nonexistent/FontSubstitutes.json");
    EXPECT_FALSE(Font::named("AvenirNext-DemiBold", 15));
    Font::setSubstitutionTableFile(std::nullopt);
    EXPECT_EQ(Font::named("AvenirNext-DemiBold", 15)->postScriptName(), "Lato-Semibold");
}

TEST(FontSubstitution, AnotherTableIsFollowedAndAMissingSubstituteIsNone) {
    TableFile table(R"({"Brand-Heading": "DejaVu Sans Bold", "Brand-Body": "NoSuchFace-Regular", "Brand-Odd": 3})",
                    "orvane-font-table-brand.json");
    const auto heading = Font::named("Brand-Heading", 20);
    ASSERT_TRUE(heading);
    EXPECT_EQ(heading->postScriptName(), "DejaVuSans-Bold");
    EXPECT_EQ(heading->pointSize(), 20);
    EXPECT_FALSE(Font::named("Brand-Body", 20));
    EXPECT_FALSE(Font::named("Brand-Odd", 20));
    EXPECT_FALSE(Font::named("AvenirNext-Bold", 20)) << "this table has no entry for it";
}

TEST(FontSubstitution, TheGenerationMovesWhenTheFacesMayHaveChanged) {
    const std::uint64_t start = Font::generation();
    EXPECT_FALSE(Font::registerFontFile("/nonexistent/face.ttf"));
    EXPECT_EQ(Font::generation(), start) << "nothing was added";
    ASSERT_TRUE(Font::registerFontFile("/usr/share/fonts/truetype/lato/Lato-Thin.ttf"));
    const std::uint64_t registered = Font::generation();
    EXPECT_GT(registered, start);
    Font::setSubstitutionTableFile(std::nullopt);
    EXPECT_GT(Font::generation(), registered);
}

}  // namespace
