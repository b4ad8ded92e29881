#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>

#include "kit/Button.h"
#include "kit/Controls.h"
#include "kit/FlippedView.h"
#include "kit/ImageView.h"
#include "kit/Label.h"
#include "kit/View.h"
#include "kit/VisualEffectView.h"
#include "render/PixelTools.h"
#include "render/Renderer.h"

namespace {

using namespace rendertest;

std::shared_ptr<kit::View> filled(kit::Rect frame, kit::Color color) {
    auto view = std::make_shared<kit::View>(frame);
    view->setWantsLayer(true);
    view->setBackgroundColor(color);
    return view;
}

const kit::Color kRed = kit::Color::rgba(1, 0, 0);
const kit::Color kBlue = kit::Color::rgba(0, 0, 1);

// Picture rows count from the top; view y from the bottom unless flipped.
TEST(ViewPainting, SubviewsLandWhereTheirSuperviewsCoordinatesPutThem) {
    struct Case {
        const char* name;
        bool flippedContainer;
        bool redAtTop;
    };
    for (const Case& c : {Case{"flipped: y = 0 is the top", true, true},
                          Case{"unflipped: y = 0 is the bottom", false, false}}) {
        SCOPED_TRACE(c.name);
        auto root = std::make_shared<kit::View>(kit::Rect{0, 0, 100, 100});
        std::shared_ptr<kit::View> container = c.flippedContainer
                                                   ? std::shared_ptr<kit::View>(std::make_shared<kit::FlippedView>())
                                                   : std::make_shared<kit::View>();
        container->setFrame({0, 0, 100, 100});
        root->addSubview(container);
        container->addSubview(filled({0, 0, 100, 20}, kRed));

        const render::Frame frame = render::paintView(*root, {100, 100}, 1.0, std::nullopt);
        ASSERT_EQ(frame.width, 100);
        ASSERT_EQ(frame.height, 100);
        EXPECT_EQ(isRed(frame.at(50, 5)), c.redAtTop);
        EXPECT_EQ(isRed(frame.at(50, 95)), !c.redAtTop);
        EXPECT_TRUE(isTransparent(frame.at(50, 50)));
    }

    // An unflipped view inside a flipped one: its own y = 0 is its bottom again.
    auto root = std::make_shared<kit::FlippedView>(kit::Rect{0, 0, 100, 100});
    auto inner = std::make_shared<kit::View>(kit::Rect{0, 0, 100, 50});   // the top half
    root->addSubview(inner);
    inner->addSubview(filled({0, 0, 100, 10}, kRed));                     // the top half's bottom strip
    const render::Frame frame = render::paintView(*root, {100, 100}, 1.0, std::nullopt);
    EXPECT_TRUE(isRed(frame.at(50, 45)));
    EXPECT_TRUE(isTransparent(frame.at(50, 5)));
    EXPECT_TRUE(isTransparent(frame.at(50, 55)));
}

TEST(ViewPainting, CornerRadiusClipsOnlyWhenTheLayerMasks) {
    for (bool masks : {true, false}) {
        SCOPED_TRACE(masks ? "masksToBounds" : "no mask");
        auto root = std::make_shared<kit::View>(kit::Rect{0, 0, 100, 100});
        auto rounded = filled({0, 0, 100, 100}, kBlue);
        rounded->setCornerRadius(30);
        rounded->setMasksToBounds(masks);
        rounded->addSubview(filled({0, 0, 100, 100}, kRed));
        root->addSubview(rounded);

        const render::Frame frame = render::paintView(*root, {100, 100}, 1.0, std::nullopt);
        EXPECT_TRUE(isRed(frame.at(50, 50)));
        for (auto [x, y] : {std::pair{1, 1}, std::pair{98, 1}, std::pair{1, 98}, std::pair{98, 98}})
            EXPECT_EQ(isTransparent(frame.at(x, y)), masks) << x << "," << y;
        // Along the edges, away from the corners, the subview shows either way.
        EXPECT_TRUE(isRed(frame.at(50, 1)));
        EXPECT_TRUE(isRed(frame.at(1, 50)));
    }

    // Without a layer the style is not drawn at all, as on the platform.
    auto root = std::make_shared<kit::View>(kit::Rect{0, 0, 40, 40});
    auto plain = std::make_shared<kit::View>(kit::Rect{0, 0, 40, 40});
    plain->setBackgroundColor(kRed);
    root->addSubview(plain);
    const render::Frame frame = render::paintView(*root, {40, 40}, 1.0, std::nullopt);
    EXPECT_TRUE(isTransparent(frame.at(20, 20)));
}

// The right-most column holding ink, or -1.
int lastInkColumn(const render::Frame& frame) {
    for (int x = frame.width - 1; x >= 0; --x)
        for (int y = 0; y < frame.height; ++y)
            if (hasInk(frame.at(x, y))) return x;
    return -1;
}

render::Frame paintLabel(const std::string& text, kit::LineBreakMode mode, double width) {
    auto root = std::make_shared<kit::View>(kit::Rect{0, 0, 200, 20});
    auto label = std::make_shared<kit::Label>(text, kit::Rect{0, 0, width, 20});
    label->setFont(kit::Font::systemFont(13));
    label->setLineBreakMode(mode);
    root->addSubview(label);
    return render::paintView(*root, {200, 20}, 1.0, std::nullopt);
}

TEST(ViewPainting, LongLabelsEndInAnEllipsisInsideTheirFrame) {
    const std::string longText = "A remarkably long window title that cannot possibly fit";
    const render::Frame truncated = paintLabel(longText, kit::LineBreakMode::ByTruncatingTail, 80);
    const render::Frame clipped = paintLabel(longText, kit::LineBreakMode::ByClipping, 80);
    const int truncatedEnd = lastInkColumn(truncated);
    const int clippedEnd = lastInkColumn(clipped);
    ASSERT_GE(truncatedEnd, 0);
    // Ink never leaves the 80-point frame.
    EXPECT_LT(truncatedEnd, 80);
    EXPECT_LT(clippedEnd, 80);
    // Clipped text runs into the frame's edge; the ellipsis stops short of
    // it, inside the text inset.
    EXPECT_GE(clippedEnd, 77);
    EXPECT_LE(truncatedEnd, 78);
    // The line ends in dots on the baseline: the last few columns of ink
    // hold a short band of rows, where a cut letter would stand tall.
    auto inkRowsNear = [](const render::Frame& f, int end) {
        int top = f.height, bottom = -1;
        for (int x = end - 4; x <= end; ++x)
            for (int y = 0; y < f.height; ++y)
                if (hasInk(f.at(x, y))) {
                    top = std::min(top, y);
                    bottom = std::max(bottom, y);
                }
        return bottom - top + 1;
    };
    EXPECT_LE(inkRowsNear(truncated, truncatedEnd), 3);
    EXPECT_GT(inkRowsNear(clipped, clippedEnd), 5);
    // One line, cut at its end only: it starts as the clipped line does.
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 40; ++x) ASSERT_EQ(truncated.at(x, y), clipped.at(x, y)) << x << "," << y;

    // A short title is not truncated: the same picture either way.
    const render::Frame shortTruncating = paintLabel("Notes", kit::LineBreakMode::ByTruncatingTail, 80);
    const render::Frame shortClipping = paintLabel("Notes", kit::LineBreakMode::ByClipping, 80);
    EXPECT_EQ(shortTruncating.pixels, shortClipping.pixels);
    EXPECT_GT(lastInkColumn(shortTruncating), 10);
}

TEST(ViewPainting, LabelsAlignAndTakeTheAppearancesInk) {
    auto paint = [](kit::TextAlignment alignment, std::optional<kit::Appearance> appearance) {
        auto root = std::make_shared<kit::View>(kit::Rect{0, 0, 200, 20});
        auto label = std::make_shared<kit::Label>("Hi", kit::Rect{0, 0, 200, 20});
        label->setAlignment(alignment);
        root->addSubview(label);
        return render::paintView(*root, {200, 20}, 1.0, appearance);
    };
    auto inkSpan = [](const render::Frame& f) {
        int first = -1, last = -1;
        for (int x = 0; x < f.width; ++x)
            for (int y = 0; y < f.height; ++y)
                if (hasInk(f.at(x, y))) {
                    if (first < 0) first = x;
                    last = x;
                }
        return std::pair{first, last};
    };
    auto [leftFirst, leftLast] = inkSpan(paint(kit::TextAlignment::Natural, std::nullopt));
    auto [centreFirst, centreLast] = inkSpan(paint(kit::TextAlignment::Center, std::nullopt));
    auto [rightFirst, rightLast] = inkSpan(paint(kit::TextAlignment::Right, std::nullopt));
    EXPECT_LT(leftFirst, 6);
    EXPECT_NEAR((centreFirst + centreLast) / 2.0, 100, 3);
    EXPECT_GT(rightLast, 192);

    // The label colour is dark ink in light appearances and light in dark ones.
    auto brightestInk = [](const render::Frame& f) {
        int best = -1;
        for (std::uint32_t p : f.pixels) {
            const Argb c = argb(p);
            if (c.a > 150) best = std::max(best, c.r * 255 / c.a);
        }
        return best;
    };
    EXPECT_LT(brightestInk(paint(kit::TextAlignment::Left, kit::Appearance::Aqua)), 60);
    EXPECT_GT(brightestInk(paint(kit::TextAlignment::Left, kit::Appearance::VibrantDark)), 200);
}

TEST(ViewPainting, SwitchAndStepperTitlesStartWhereALabelsTextDoes) {
    // Rows of a form begin at one leading edge whatever control they hold.
    auto firstInk = [](std::shared_ptr<kit::View> view) {
        auto root = std::make_shared<kit::View>(kit::Rect{0, 0, 200, 22});
        root->addSubview(view);
        const render::Frame f = render::paintView(*root, {200, 22}, 1.0, std::nullopt);
        for (int x = 0; x < 100; ++x)
            for (int y = 0; y < f.height; ++y)
                if (hasInk(f.at(x, y))) return x;
        return -1;
    };
    auto label = std::make_shared<kit::Label>("Hide", kit::Rect{0, 0, 200, 22});
    label->setFont(kit::Font::systemFont(13));
    auto toggle = std::make_shared<kit::Switch>(kit::Rect{0, 0, 200, 22});
    toggle->setTitle("Hide");
    auto stepper = std::make_shared<kit::Stepper>(kit::Rect{0, 0, 200, 22});
    stepper->setTitle("Hide");
    const int text = firstInk(label);
    ASSERT_GE(text, 1);
    EXPECT_EQ(firstInk(toggle), text);
    EXPECT_EQ(firstInk(stepper), text);
}

TEST(ViewPainting, AlphaFadesASubtreeAsOnePicture) {
    auto root = std::make_shared<kit::View>(kit::Rect{0, 0, 100, 100});
    auto faded = std::make_shared<kit::View>(kit::Rect{0, 0, 100, 100});
    faded->setAlphaValue(0.5);
    faded->addSubview(filled({0, 0, 60, 100}, kBlue));
    faded->addSubview(filled({40, 0, 60, 100}, kRed));   // overlaps the blue one at 40..60
    root->addSubview(faded);
    const render::Frame frame = render::paintView(*root, {100, 100}, 1.0, std::nullopt);
    // Where they overlap only the front one shows, at half strength: the blue
    // behind it does not shine through.
    const Argb overlap = argb(frame.at(50, 50));
    EXPECT_NEAR(overlap.a, 128, 2);
    EXPECT_NEAR(overlap.r, 128, 2);
    EXPECT_EQ(overlap.b, 0);
    EXPECT_NEAR(argb(frame.at(10, 50)).b, 128, 2);

    // Hidden views and views at alpha 0 leave nothing, subviews included.
    faded->setHidden(true);
    EXPECT_TRUE(isTransparent(render::paintView(*root, {100, 100}, 1.0, std::nullopt).at(50, 50)));
    faded->setHidden(false);
    faded->setAlphaValue(0);
    EXPECT_TRUE(isTransparent(render::paintView(*root, {100, 100}, 1.0, std::nullopt).at(50, 50)));
}

TEST(ViewPainting, BordersSitInsideTheBoundsAboveSubviews) {
    auto root = std::make_shared<kit::View>(kit::Rect{0, 0, 60, 60});
    auto framed = filled({10, 10, 40, 40}, kit::Color::clear());
    framed->setBorderWidth(4);
    framed->setBorderColor(kRed);
    framed->addSubview(filled({0, 0, 40, 40}, kBlue));
    root->addSubview(framed);
    const render::Frame frame = render::paintView(*root, {60, 60}, 1.0, std::nullopt);
    EXPECT_TRUE(isRed(frame.at(12, 30)));          // the border, over the blue subview
    EXPECT_EQ(argb(frame.at(30, 30)).b, 255);      // inside the border
    EXPECT_TRUE(isTransparent(frame.at(8, 30)));   // outside the bounds
}

TEST(ViewPainting, ScaleTwoDoublesThePicture) {
    auto root = std::make_shared<kit::View>(kit::Rect{0, 0, 50, 40});
    root->addSubview(filled({10, 10, 20, 10}, kRed));   // rows 20..30 from the top in points
    const render::Frame frame = render::paintView(*root, {50, 40}, 2.0, std::nullopt);
    EXPECT_EQ(frame.width, 100);
    EXPECT_EQ(frame.height, 80);
    EXPECT_TRUE(isRed(frame.at(21, 41)));
    EXPECT_TRUE(isRed(frame.at(58, 58)));
    EXPECT_TRUE(isTransparent(frame.at(19, 50)));
    EXPECT_TRUE(isTransparent(frame.at(61, 50)));
    EXPECT_TRUE(isTransparent(frame.at(40, 38)));
    EXPECT_TRUE(isTransparent(frame.at(40, 61)));
}

TEST(ViewPainting, ImagesKeepTheirColoursAndAspect) {
    // 2 x 1 pixels: red, then green (R, G, B, A bytes in memory).
    auto image = kit::Image::fromPixels(2, 1, {0xFF0000FFu, 0xFF00FF00u}, {2, 1});
    auto root = std::make_shared<kit::View>(kit::Rect{0, 0, 40, 40});
    auto view = std::make_shared<kit::ImageView>(image, kit::Rect{0, 0, 40, 40});
    view->setImageScaling(kit::ImageScaling::ProportionallyUpOrDown);
    root->addSubview(view);
    const render::Frame frame = render::paintView(*root, {40, 40}, 1.0, std::nullopt);
    // 40 x 20, centred: rows 10..30; red on the left, green on the right.
    EXPECT_TRUE(isRed(frame.at(3, 20)));
    const Argb right = argb(frame.at(36, 20));
    EXPECT_GT(right.g, 240);
    EXPECT_LT(right.r, 15);
    EXPECT_TRUE(isTransparent(frame.at(20, 5)));
    EXPECT_TRUE(isTransparent(frame.at(20, 35)));

    // An image view's own alpha fades its picture.
    view->setAlphaValue(0.5);
    EXPECT_NEAR(argb(render::paintView(*root, {40, 40}, 1.0, std::nullopt).at(3, 20)).a, 128, 2);
}

TEST(ViewPainting, SymbolsAndTemplatesTakeTheTint) {
    auto root = std::make_shared<kit::View>(kit::Rect{0, 0, 40, 40});
    auto button = std::make_shared<kit::Button>(kit::Rect{0, 0, 40, 40});
    button->setBordered(false);
    button->setBezelStyle(kit::BezelStyle::Circular);
    button->setImage(kit::Image::symbol("xmark.circle.fill", 16));
    button->setImageScaling(kit::ImageScaling::ProportionallyUpOrDown);
    button->setContentTintColor(kRed);
    root->addSubview(button);
    const render::Frame frame = render::paintView(*root, {40, 40}, 1.0, std::nullopt);
    // The filled circle's rim, left of the cross, is in the tint.
    EXPECT_TRUE(isRed(frame.at(8, 20)));
    EXPECT_TRUE(isTransparent(frame.at(1, 1)));
    int red = 0;
    for (std::uint32_t p : frame.pixels) red += isRed(p) ? 1 : 0;
    EXPECT_GT(red, 400);   // most of a 40-point disc; the cross is cut out

    // A template drawing draws its shapes in the tint, whatever their colour.
    kit::VectorDrawing drawing;
    drawing.canvas = {10, 10};
    kit::VectorShape square;
    square.rect = {0, 0, 5, 10};   // the left half
    square.color = kit::Color::black();
    drawing.shapes.push_back(square);
    auto view = std::make_shared<kit::ImageView>(kit::Image::fromDrawing(drawing, true), kit::Rect{0, 0, 40, 40});
    view->setImageScaling(kit::ImageScaling::ProportionallyUpOrDown);
    view->setContentTintColor(kRed);
    auto root2 = std::make_shared<kit::View>(kit::Rect{0, 0, 40, 40});
    root2->addSubview(view);
    const render::Frame templated = render::paintView(*root2, {40, 40}, 1.0, std::nullopt);
    EXPECT_TRUE(isRed(templated.at(10, 20)));
    EXPECT_TRUE(isTransparent(templated.at(30, 20)));

    // A symbol the font does not have draws no stray glyph, and nothing crashes.
    button->setImage(kit::Image::symbol("no.such.symbol", 16));
    const render::Frame unknown = render::paintView(*root, {40, 40}, 1.0, std::nullopt);
    EXPECT_FALSE(isRed(unknown.at(20, 20)));
}

TEST(ViewPainting, AnyTitleBytesAndAnySizePaintSafely) {
    // A title from another application need not be UTF-8: it still shows,
    // with the broken bytes replaced, and the valid part as it would be.
    const render::Frame broken = paintLabel(std::string("Caf\xC3\x28 \xFF\xFE menu"), kit::LineBreakMode::ByTruncatingTail, 200);
    EXPECT_GT(lastInkColumn(broken), 40);
    const render::Frame start = paintLabel("Caf", kit::LineBreakMode::ByTruncatingTail, 200);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x) ASSERT_EQ(broken.at(x, y), start.at(x, y)) << x << "," << y;

    // Sizes with no pixels, or more than a picture can hold, give an empty frame.
    auto root = std::make_shared<kit::View>(kit::Rect{0, 0, 10, 10});
    for (auto [size, scale] : {std::pair{kit::Size{0, 10}, 1.0}, std::pair{kit::Size{10, 10}, 0.0},
                               std::pair{kit::Size{10, 10}, -2.0}, std::pair{kit::Size{10, 10}, std::nan("")},
                               std::pair{kit::Size{40000, 10}, 1.0}, std::pair{kit::Size{1000, 1000}, 1e6}}) {
        const render::Frame frame = render::paintView(*root, size, scale, std::nullopt);
        EXPECT_EQ(frame.width, 0);
        EXPECT_TRUE(frame.pixels.empty());
    }
    // A label with no usable font size draws nothing rather than failing.
    auto label = std::make_shared<kit::Label>("Zero", kit::Rect{0, 0, 10, 10});
    label->setFont(kit::Font::systemFont(0));
    root->addSubview(label);
    EXPECT_EQ(lastInkColumn(render::paintView(*root, {10, 10}, 1.0, std::nullopt)), -1);
}

// Black and white stripes two points wide: blurring them shows as grey.
std::shared_ptr<kit::View> stripes(kit::Rect frame) {
    auto view = filled(frame, kit::Color::rgba(1, 1, 1));
    for (double x = 0; x < frame.width(); x += 4) view->addSubview(filled({x, 0, 2, frame.height()}, kit::Color::rgba(0, 0, 0)));
    return view;
}

TEST(ViewPainting, MaterialsBlurOnlyInsideTheirRoundedBounds) {
    auto root = std::make_shared<kit::View>(kit::Rect{0, 0, 120, 120});
    root->addSubview(stripes({0, 0, 120, 120}));
    const render::Frame backdrop = render::paintView(*root, {120, 120}, 1.0, std::nullopt);

    // Rounded by its layer's radius even without masking.
    auto material = std::make_shared<kit::VisualEffectView>(kit::Rect{20, 20, 80, 80});
    material->setMaterial(kit::VisualEffectMaterial::HudWindow);
    material->setWantsLayer(true);
    material->setCornerRadius(16);
    root->addSubview(material);
    const render::Frame frame = render::paintView(*root, {120, 120}, 1.0, kit::Appearance::VibrantDark);

    // Outside: untouched, right up to the edges and in the cut-off corners.
    for (auto [x, y] : {std::pair{18, 60}, std::pair{101, 60}, std::pair{60, 18}, std::pair{60, 101},
                        std::pair{21, 21}, std::pair{98, 98}})
        EXPECT_EQ(frame.at(x, y), backdrop.at(x, y)) << x << "," << y;
    // Inside: neighbouring stripe columns come out nearly alike, and dark.
    const Argb a = argb(frame.at(60, 60));
    const Argb b = argb(frame.at(62, 60));
    EXPECT_LT(std::abs(a.r - b.r), 12);
    EXPECT_LT(a.r, 100);

    // A light appearance tints the same material whitish.
    const render::Frame light = render::paintView(*root, {120, 120}, 1.0, kit::Appearance::VibrantLight);
    EXPECT_GT(argb(light.at(60, 60)).r, 180);
}

}  // namespace
