#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "platform/graphics/Geometry.hpp"
#include "platform/graphics/Path.hpp"
#include "platform/ui/text/Font.hpp"

namespace {

using namespace platform::ui;
constexpr double pi = std::numbers::pi;

TEST(Geometry, RectsAreStandardizedByEveryQuestionAndEmptyIntersectionsAreNull) {
    const Rect flipped{10, 10, -4, -6};
    EXPECT_EQ(flipped.standardized(), (Rect{6, 4, 4, 6}));
    EXPECT_TRUE(flipped.contains(Point{6, 4}));
    EXPECT_FALSE(flipped.contains(Point{10, 10}));  // far edges are outside

    EXPECT_EQ((Rect{0, 0, 10, 10}.intersection(Rect{5, 5, 10, 10})), (Rect{5, 5, 5, 5}));
    EXPECT_TRUE((Rect{0, 0, 10, 10}.intersection(Rect{20, 0, 1, 1})).isNull());
    EXPECT_EQ((Rect::null().unionWith(Rect{1, 2, 3, 4})), (Rect{1, 2, 3, 4}));
    EXPECT_TRUE((Rect{0, 0, 4, 4}.insetBy(3, 0)).isNull());
    EXPECT_EQ((Rect{0, 0, 100, 50}.inset(EdgeInsets{1, 2, 3, 4})), (Rect{2, 1, 94, 46}));
}

TEST(Geometry, TransformsConcatenateInOrderAndInvert) {
    const auto t = AffineTransform::scale(2, 2).concatenating(AffineTransform::translation(10, 0));
    EXPECT_EQ(t.apply(Point{1, 1}), (Point{12, 2}));  // scaled first, then moved
    const auto r = AffineTransform::rotation(pi / 2);
    const Point p = r.apply(Point{1, 0});
    EXPECT_NEAR(p.x, 0, 1e-12);
    EXPECT_NEAR(p.y, 1, 1e-12);
    const auto inv = t.rotatedBy(0.3).inverted();
    ASSERT_TRUE(inv);
    EXPECT_TRUE(t.rotatedBy(0.3).concatenating(*inv).isApproximately(AffineTransform::identity()));
    EXPECT_FALSE(AffineTransform::scale(0, 1).inverted());
    const Rect box = r.apply(Rect{0, 0, 2, 1});
    EXPECT_NEAR(box.minX(), -1, 1e-12);
    EXPECT_NEAR(box.width(), 1, 1e-12);
    EXPECT_NEAR(box.height(), 2, 1e-12);
}

TEST(Geometry, ArcsAndRoundedRectanglesStayOnTheirCircles) {
    const Path arc = Path::arc({50, 50}, 20, -pi / 2, pi, true);  // three quarters
    int curves = 0;
    for (const auto& e : arc.elements()) {
        if (e.type != Path::ElementType::curveTo) continue;
        ++curves;
        EXPECT_NEAR(std::hypot(e.points[2].x - 50, e.points[2].y - 50), 20, 1e-9);
    }
    EXPECT_EQ(curves, 3);
    EXPECT_NEAR(arc.currentPoint()->x, 30, 1e-9);

    const Path rounded = Path::roundedRect(Rect{0, 0, 100, 40}, 50);  // clamped to 20
    const Rect box = rounded.boundingBox();
    EXPECT_NEAR(box.minX(), 0, 1e-9);
    EXPECT_NEAR(box.maxX(), 100, 1e-9);
    EXPECT_NEAR(box.maxY(), 40, 1e-9);
    EXPECT_EQ(rounded.elements().back().type, Path::ElementType::close);
}

TEST(Font, MissingFacesGiveNoneAndTheSystemFaceHasBoldAndItalic) {
    EXPECT_FALSE(Font::named("NoSuchFace-Regular", 12));
    EXPECT_FALSE(Font::named("", 12));

    const Font system = Font::systemFont(14);
    EXPECT_EQ(system.pointSize(), 14);
    EXPECT_FALSE(system.isBold());
    const auto byName = Font::named(system.postScriptName(), 9);
    ASSERT_TRUE(byName);
    EXPECT_EQ(byName->pointSize(), 9);

    const auto bold = system.withTraits(true, false);
    ASSERT_TRUE(bold);
    EXPECT_TRUE(bold->isBold());
    EXPECT_EQ(bold->familyName(), system.familyName());
    const auto boldItalic = system.withTraits(true, true);
    ASSERT_TRUE(boldItalic);
    EXPECT_TRUE(boldItalic->isItalic());
    EXPECT_TRUE(Font::boldSystemFont(10).isBold());
}

}  // namespace
