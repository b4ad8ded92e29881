#include "sim/WindowPainter.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <string_view>

#include "sim/AppIcon.h"
#include "sim/PixelCanvas.h"
#include "sim/SimCapture.h"

namespace sim {

namespace {

using namespace painting;

constexpr double kTitleBarHeight = 28;
constexpr double kCornerRadius = 10;
// Content is laid out over at most this many points each way: past it a
// picture of any size is all paper, and a window of absurd size costs no
// more than a large one.
constexpr double kMaxLayout = 4096;

const Rgb kWhite = gray(255);
const Rgb kInk = gray(48);                  // headings, names, what is read first
const Rgb kText = {163, 166, 172};          // running text, seen from afar
const Rgb kChrome = gray(246);              // toolbars
const Rgb kHairline = gray(222);

// --- chance --------------------------------------------------------------------------

// FNV-1a: stable across runs and platforms, unlike std::hash.
std::uint64_t hashOf(std::string_view text) {
    std::uint64_t h = 14695981039346656037ull;
    for (unsigned char c : text) {
        h ^= c;
        h *= 1099511628211ull;
    }
    return h;
}

// splitmix64: every window draws the same sequence from the same seed.
class Dice {
public:
    explicit Dice(std::uint64_t seed) : state_(seed) {}

    std::uint64_t next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    double unit() { return static_cast<double>(next() >> 11) * 0x1.0p-53; }
    double between(double low, double high) { return low + (high - low) * unit(); }
    int below(int n) { return n > 0 ? static_cast<int>(next() % static_cast<std::uint64_t>(n)) : 0; }
    bool chance(double p) { return unit() < p; }

private:
    std::uint64_t state_;
};

// --- what every layout draws with ---------------------------------------------------

struct Scene {
    PixelCanvas& canvas;
    double width;           // the window's points, at most kMaxLayout
    double height;
    Rgb app;                // the app's colour, as its Dock icon has it
    std::uint64_t appSeed;  // the same for every window of the app
    Dice dice;              // this window's own
    const std::string& title;

    kit::Rect belowTitleBar() const { return {0, kTitleBarHeight, width, std::max(0.0, height - kTitleBarHeight)}; }
};

kit::Rect below(const kit::Rect& area, double taken) {
    return {area.minX(), area.minY() + taken, area.width(), std::max(0.0, area.height() - taken)};
}

kit::Rect rightOf(const kit::Rect& area, double taken) {
    return {area.minX() + taken, area.minY(), std::max(0.0, area.width() - taken), area.height()};
}

// A line of text as it reads from a distance: words of varying length,
// about a space apart, `height` tall (the height of a lowercase letter).
void words(PixelCanvas& c, Dice& dice, double x, double y, double width, double height, Rgb colour) {
    const double end = x + width;
    const double gap = height * 0.75;
    for (double at = x; end - at >= height;) {
        double w = height * dice.between(1.6, 6.5);
        if (end - at - w < height * 2.4) w = end - at;   // no stub of a word at the end
        c.fill({at, y, w, height}, colour, height * 0.3);
        at += w + gap;
    }
}

struct TextStyle {
    double height;   // of the letters
    double pitch;    // from one line to the next
    Rgb colour;
};

const TextStyle kBody{6.5, 18, kText};

// A paragraph `width` wide whose last line stops short; answers where the next thing starts.
double paragraph(PixelCanvas& c, Dice& dice, double x, double y, double width, int lines, const TextStyle& style) {
    for (int i = 0; i < lines; ++i) {
        const double w = width * (i + 1 == lines ? dice.between(0.25, 0.8) : dice.between(0.9, 1.0));
        words(c, dice, x, y + (style.pitch - style.height) / 2, w, style.height, style.colour);
        y += style.pitch;
    }
    return y;
}

// A photograph as a thumbnail shows one: a sky, a sun and two hills.
void photo(PixelCanvas& c, Dice& dice, const kit::Rect& r) {
    const PixelBox saved = c.clip();
    c.setClip(c.boxOf(r));
    const double hue = dice.unit();
    c.gradient(r, hsl(hue, 0.65, 0.84), hsl(hue, 0.55, 0.68));
    const double sun = std::min(r.width(), r.height()) * 0.11;
    c.disc({r.minX() + r.width() * dice.between(0.2, 0.8), r.minY() + r.height() * 0.32}, sun, hsl(0.13, 0.95, 0.9));
    const double land = hue + dice.between(0.25, 0.45);
    c.disc({r.minX() + r.width() * 0.25, r.maxY() + r.height() * 0.5}, r.height() * 0.95, hsl(land, 0.35, 0.56));
    c.disc({r.minX() + r.width() * 0.85, r.maxY() + r.height() * 0.75}, r.height() * 1.05, hsl(land, 0.4, 0.44));
    c.setClip(saved);
}

// --- chrome --------------------------------------------------------------------------

// The title bar as a capture shows it; on the desktop the window's own
// chrome is drawn over it.
void titleBar(Scene& s) {
    PixelCanvas& c = s.canvas;
    c.gradient({0, 0, s.width, kTitleBarHeight}, gray(243), gray(231));
    c.fill({0, kTitleBarHeight - 1, s.width, 1}, gray(214));
    // As wide as the title would be in 13-point type (counting characters, not bytes).
    const double characters = static_cast<double>(std::count_if(
        s.title.begin(), s.title.end(), [](char ch) { return (static_cast<unsigned char>(ch) & 0xc0) != 0x80; }));
    const double band = std::clamp(characters * 6.5, 40.0, std::max(40.0, s.width * 0.4));
    c.fill({(s.width - band) / 2, 10, band, 8}, unpack(titleColor(s.title)), 3);
    const Rgb lights[3] = {{255, 95, 86}, {255, 189, 46}, {39, 201, 63}};
    for (int i = 0; i < 3; ++i) c.disc({14.0 + 20 * i, 14}, 6, lights[i]);
}

// A bar across the top of `area` with a hairline under it.
void strip(PixelCanvas& c, const kit::Rect& area, double height, Rgb colour = kChrome) {
    c.fill({area.minX(), area.minY(), area.width(), height}, colour);
    c.fill({area.minX(), area.minY() + height - 1, area.width(), 1}, kHairline);
}

// The strip of controls under the title bar; answers the area under it.
kit::Rect toolbar(Scene& s, const kit::Rect& area, Rgb colour = kChrome) {
    PixelCanvas& c = s.canvas;
    constexpr double height = 38;
    if (area.height() < 3 * height) return area;
    strip(c, area, height, colour);
    const double mid = area.minY() + height / 2;
    // Buttons on the left, a search field on the right, as wide as there is room for.
    const int buttons = area.width() >= 360 ? 3 : 1;
    for (int i = 0; i < buttons; ++i) {
        const double x = area.minX() + (area.width() >= 480 ? 90 : 12) + 36 * i;
        c.fill({x, mid - 11, 28, 22}, gray(234), 6);
        c.fill({x + 9, mid - 4, 10, 8}, gray(130), 2);
    }
    const double field = std::min(180.0, area.width() * 0.3);
    if (field >= 90) {
        const double x = area.maxX() - 12 - field;
        c.fill({x, mid - 11, field, 22}, gray(228), 7);
        c.disc({x + 13, mid - 1}, 4.5, gray(140));
        c.disc({x + 13, mid - 1}, 3, gray(228));
        c.fill({x + 26, mid - 3, field * 0.35, 6}, gray(176), 2);
    }
    return below(area, height);
}

// A source list in a tint of the app's colour: headed sections of rows
// with an icon and a name. The rows are the app's (the same in all its
// windows); which one is selected is the window's.
void sidebar(Scene& s, const kit::Rect& area) {
    PixelCanvas& c = s.canvas;
    const Rgb tint = mix(kWhite, s.app, 0.13);
    c.fill(area, tint);
    c.fill({area.maxX() - 1, area.minY(), 1, area.height()}, mix(tint, gray(0), 0.1));
    Dice rows(s.appSeed ^ 0x51deba5ull);
    const int selected = s.dice.below(5);
    double y = area.minY() + 12;
    for (int index = 0; y < area.maxY() - 40;) {
        c.fill({area.minX() + 16, y + 4, rows.between(40, 70), 5}, mix(tint, gray(0), 0.38), 2);
        y += 22;
        const int count = 3 + rows.below(4);
        for (int i = 0; i < count && y < area.maxY() - 24; ++i, ++index, y += 26) {
            const kit::Rect row{area.minX() + 8, y, area.width() - 16, 24};
            const bool chosen = index == selected;
            if (chosen) c.fill(row, s.app, 6);
            c.fill({row.minX() + 8, row.midY() - 6, 13, 12}, chosen ? kWhite : s.app, 3);
            words(c, rows, row.minX() + 30, row.midY() - 3, std::min(row.width() - 40, rows.between(40, 110)), 6,
                  chosen ? kWhite : gray(70));
        }
        y += 12;
    }
}

double sidebarWidth(double windowWidth, double from) {
    return windowWidth >= from ? std::clamp(windowWidth * 0.23, 140.0, 220.0) : 0;
}

// A heading, paragraphs with the odd subheading, and maybe a photograph,
// down to the bottom of `area`.
void document(Scene& s, const kit::Rect& area, Rgb heading = kInk) {
    PixelCanvas& c = s.canvas;
    Dice& dice = s.dice;
    const double margin = std::clamp(area.width() * 0.07, 14.0, 44.0);
    const double column = std::min(area.width() - 2 * margin, 640.0);
    if (column <= 0) return;
    const double x = area.minX() + margin;
    double y = area.minY() + margin * 0.8;
    words(c, dice, x, y, column * dice.between(0.35, 0.6), 12, heading);
    y += 32;
    const bool pictured = dice.chance(0.6);
    for (int p = 0; y < area.maxY(); ++p) {
        if (p > 0 && dice.chance(0.3)) {
            y += 4;
            words(c, dice, x, y, column * dice.between(0.2, 0.4), 9, mix(heading, kText, 0.3));
            y += 22;
        }
        if (p == 1 && pictured) {
            const double h = std::min(column * 0.42, 220.0);
            photo(c, dice, {x, y + 4, column * dice.between(0.55, 1.0), h});
            y += h + 22;
        }
        y = paragraph(c, dice, x, y, column, 2 + dice.below(5), kBody) + 12;
    }
}

// --- the layouts ---------------------------------------------------------------------

void paintDocument(Scene& s) {
    const kit::Rect area = toolbar(s, s.belowTitleBar());
    const double side = sidebarWidth(s.width, 440);
    if (side > 0) sidebar(s, {area.minX(), area.minY(), side, area.height()});
    document(s, rightOf(area, side));
}

// A project's files as a tree, with the window's file selected.
void fileTree(Scene& s, const kit::Rect& area) {
    PixelCanvas& c = s.canvas;
    const Rgb tint = mix(kWhite, s.app, 0.09);
    c.fill(area, tint);
    c.fill({area.maxX() - 1, area.minY(), 1, area.height()}, mix(tint, gray(0), 0.1));
    Dice tree(s.appSeed ^ 0xf11e5ull);
    c.fill({area.minX() + 14, area.minY() + 13, 64, 5}, mix(tint, gray(0), 0.4), 2);
    const int selected = 2 + s.dice.below(8);
    int depth = 0;
    double y = area.minY() + 30;
    for (int i = 0; y < area.maxY() - 22; ++i, y += 22) {
        const bool folder = i == 0 || tree.chance(0.3);
        const double x = area.minX() + 12 + depth * 14;
        const bool chosen = i == selected && !folder;
        if (chosen) c.fill({area.minX() + 6, y, area.width() - 12, 22}, s.app, 5);
        if (folder) {
            c.fill({x, y + 9, 5, 4}, gray(150), 1);
            c.fill({x + 9, y + 6, 14, 11}, mix(s.app, kWhite, 0.35), 2);
        } else {
            c.fill({x + 11, y + 5, 10, 12}, chosen ? kWhite : hsl(tree.unit(), 0.45, 0.62), 2);
        }
        words(c, tree, x + 28, y + 8, tree.between(40, 100), 6, chosen ? kWhite : gray(72));
        if (folder) depth = std::min(depth + 1, 3);
        else if (tree.chance(0.25)) depth = std::max(0, depth - 1);
    }
}

// Source code: a gutter of line numbers, indented lines of coloured
// tokens, the line with the caret highlighted.
void code(Scene& s, const kit::Rect& area) {
    PixelCanvas& c = s.canvas;
    Dice& dice = s.dice;
    constexpr double pitch = 17, glyph = 6.6, letters = 7;
    constexpr double gutter = 46;
    const Rgb keyword{173, 61, 164}, type{28, 120, 150}, string{196, 26, 22}, number{28, 0, 207},
        name{50, 52, 58}, call{62, 110, 60}, comment{125, 138, 120};
    c.fill({area.minX(), area.minY(), gutter, area.height()}, gray(250));
    c.fill({area.minX() + gutter - 1, area.minY(), 1, area.height()}, gray(234));
    int line = dice.chance(0.4) ? 1 : 1 + dice.below(600);
    const int caret = 3 + dice.below(14);
    const double left = area.minX() + gutter + 14;
    const double right = area.maxX() - 16;
    int indent = 0;
    double y = area.minY() + 8;
    for (int i = 0; y < area.maxY(); ++i, ++line, y += pitch) {
        const double top = y + (pitch - letters) / 2;
        if (i == caret) c.fill({area.minX(), y, area.width(), pitch}, mix(kWhite, s.app, 0.1));
        const double digits = static_cast<double>(std::to_string(line).size());
        c.fill({area.minX() + gutter - 10 - digits * 5.4, top + 0.5, digits * 5.4 - 1, 6}, i == caret ? gray(70) : gray(182), 1.5);

        double x = left + indent * 4 * glyph;
        auto token = [&](int length, Rgb colour) {
            const double w = length * glyph;
            if (x + w <= right) c.fill({x, top, w, letters}, colour, 1.5);
            x += w + glyph;
        };
        if (dice.chance(0.07)) continue;   // a blank line
        if (indent > 0 && dice.chance(0.1 + 0.08 * indent)) {
            --indent;
            x = left + indent * 4 * glyph;
            token(1, name);
            continue;
        }
        if (dice.chance(0.1)) {
            token(2, comment);
            for (int n = 2 + dice.below(5); n > 0; --n) token(2 + dice.below(7), comment);
            continue;
        }
        token(2 + dice.below(6), dice.chance(0.4) ? keyword : dice.chance(0.5) ? type : name);
        for (int n = 1 + dice.below(5); n > 0; --n) {
            const double roll = dice.unit();
            if (roll < 0.45) token(1 + dice.below(9), name);
            else if (roll < 0.6) token(3 + dice.below(8), call);
            else if (roll < 0.75) token(3 + dice.below(6), type);
            else if (roll < 0.9) token(4 + dice.below(10), string);
            else token(1 + dice.below(3), number);
        }
        if (indent < 3 && dice.chance(0.2)) {
            token(1, name);
            ++indent;
        }
    }
}

void paintEditor(Scene& s) {
    PixelCanvas& c = s.canvas;
    Dice& dice = s.dice;
    kit::Rect area = s.belowTitleBar();
    // A status line along the bottom.
    constexpr double status = 22;
    if (area.height() > 4 * status) {
        const double y = area.maxY() - status;
        c.fill({0, y, s.width, status}, gray(240));
        c.fill({0, y, s.width, 1}, gray(218));
        c.fill({12, y + 8, 60, 6}, gray(140), 2);
        if (s.width > 300) c.fill({s.width - 150, y + 8, 40, 6}, gray(150), 2);
        if (s.width > 300) c.fill({s.width - 96, y + 8, 70, 6}, gray(150), 2);
        area = {area.minX(), area.minY(), area.width(), area.height() - status};
    }
    const double side = sidebarWidth(s.width, 560);
    if (side > 0) fileTree(s, {area.minX(), area.minY(), side, area.height()});
    area = rightOf(area, side);

    // Tabs of the open files, this window's in front.
    constexpr double tabs = 30;
    if (area.height() > 3 * tabs) {
        c.fill({area.minX(), area.minY(), area.width(), tabs}, gray(236));
        c.fill({area.minX(), area.minY() + tabs - 1, area.width(), 1}, gray(214));
        const int count = 2 + dice.below(3);
        const int front = dice.below(count);
        const double tab = std::clamp(area.width() / count, 90.0, 170.0);
        for (int i = 0; i < count; ++i) {
            const double x = area.minX() + i * tab;
            if (x >= area.maxX()) break;
            if (i == front) {
                c.fill({x, area.minY(), tab, tabs}, kWhite);
                c.fill({x, area.minY(), tab, 2}, s.app);
            }
            c.fill({x + tab - 1, area.minY() + 7, 1, tabs - 14}, gray(212));
            c.fill({x + 12, area.minY() + 11, 8, 8}, hsl(dice.unit(), 0.5, 0.6), 2);
            words(c, dice, x + 26, area.minY() + 12, tab * dice.between(0.35, 0.55), 6, i == front ? kInk : gray(150));
        }
        area = below(area, tabs);
    }
    code(s, area);
}

void paintBrowser(Scene& s) {
    PixelCanvas& c = s.canvas;
    Dice& dice = s.dice;
    kit::Rect area = s.belowTitleBar();
    constexpr double bar = 40;
    if (area.height() > 3 * bar) {
        const double mid = area.minY() + bar / 2;
        strip(c, area, bar);
        // Back and forward, the address field in the middle, then share and new tab.
        for (int i = 0; i < 2; ++i) c.fill({12.0 + 26 * i, mid - 7, 18, 14}, gray(i == 0 ? 130 : 190), 4);
        const double field = std::clamp(s.width * 0.5, 0.0, 560.0);
        if (field >= 120) {
            const double x = (s.width - field) / 2;
            c.fill({x, mid - 12, field, 24}, gray(229), 8);
            const double url = field * dice.between(0.3, 0.55);
            c.fill({(s.width - url) / 2 - 14, mid - 4, 7, 8}, gray(120), 2);
            words(c, dice, (s.width - url) / 2, mid - 3, url, 6, gray(95));
        }
        if (s.width >= 320)
            for (int i = 0; i < 2; ++i) c.fill({s.width - 40.0 - 28 * i, mid - 8, 16, 16}, gray(150), 4);
        area = below(area, bar);
    }

    // The page: the site's own colour, a header with its name and links.
    const Rgb brand = hsl(dice.unit(), dice.between(0.45, 0.7), dice.between(0.4, 0.55));
    constexpr double header = 48;
    if (area.height() > 3 * header) {
        const double mid = area.minY() + header / 2;
        c.fill({area.minX(), area.minY() + header - 1, area.width(), 1}, gray(232));
        c.disc({area.minX() + 30, mid}, 10, brand);
        words(c, dice, area.minX() + 48, mid - 4, dice.between(50, 90), 8, kInk);
        const int links = area.width() >= 640 ? 4 : area.width() >= 420 ? 2 : 0;
        for (int i = 0; i < links; ++i) c.fill({area.maxX() - 70.0 * (i + 1), mid - 3, 44, 6}, gray(120), 2);
        area = below(area, header);
    }

    const double margin = std::clamp(area.width() * 0.06, 14.0, 48.0);
    if (dice.chance(0.5)) {
        // A landing page: a hero block, a row of cards, then text.
        const double hero = std::clamp(area.height() * 0.34, 60.0, 260.0);
        const kit::Rect block{area.minX(), area.minY(), area.width(), hero};
        c.gradient(block, mix(brand, kWhite, 0.15), mix(brand, gray(0), 0.12));
        const double x = area.minX() + margin;
        words(c, dice, x, block.minY() + hero * 0.28, area.width() * dice.between(0.35, 0.5), 12, kWhite);
        paragraph(c, dice, x, block.minY() + hero * 0.28 + 26, area.width() * 0.45, 2, {6, 16, mix(brand, kWhite, 0.75)});
        if (hero >= 150) {
            c.fill({x, block.maxY() - 52, 112, 30}, kWhite, 15);
            c.fill({x + 26, block.maxY() - 40, 60, 6}, brand, 2);
        }
        double y = block.maxY() + 28;
        const int cards = area.width() >= 700 ? 3 : area.width() >= 400 ? 2 : 1;
        const double gap = 20;
        const double card = (area.width() - 2 * margin - (cards - 1) * gap) / cards;
        const double tall = std::min(card * 0.85, 220.0);
        for (int i = 0; i < cards && card > 40; ++i) {
            const kit::Rect frame{area.minX() + margin + i * (card + gap), y, card, tall};
            c.fill(frame, gray(226), 8);
            c.fill(frame.insetBy(1, 1), kWhite, 7);
            const Rgb picture = hsl(dice.unit(), 0.5, 0.75);
            c.fill({frame.minX() + 1, frame.minY() + 1, card - 2, tall * 0.5}, picture, 7);
            c.fill({frame.minX() + 1, frame.minY() + tall * 0.5 - 8, card - 2, 8}, picture);
            words(c, dice, frame.minX() + 14, frame.minY() + tall * 0.5 + 14, card * 0.6, 8, kInk);
            paragraph(c, dice, frame.minX() + 14, frame.minY() + tall * 0.5 + 30, card - 28, 2, {5.5, 15, kText});
        }
        document(s, {area.minX(), y + tall + 8, area.width(), std::max(0.0, area.maxY() - y - tall - 8)}, gray(70));
    } else {
        // An article: a narrow column with its title, a byline, a photograph.
        const double column = std::min(area.width() - 2 * margin, 620.0);
        const double x = area.minX() + (area.width() - column) / 2;
        double y = area.minY() + 30;
        c.fill({x, y, 60, 6}, brand, 2);
        y += 20;
        words(c, dice, x, y, column * 0.95, 12, kInk);
        words(c, dice, x, y + 24, column * dice.between(0.3, 0.6), 12, kInk);
        y += 60;
        c.disc({x + 9, y + 9}, 9, hsl(dice.unit(), 0.4, 0.65));
        c.fill({x + 26, y + 6, 90, 6}, gray(120), 2);
        y += 34;
        const double h = std::min(column * 0.5, 300.0);
        photo(c, dice, {x, y, column, h});
        y += h + 24;
        while (y < area.maxY()) y = paragraph(c, dice, x, y, column, 3 + dice.below(4), kBody) + 12;
    }
}

struct Mono {
    PixelCanvas& c;
    double left;
    double right;
    static constexpr double glyph = 7.2;
    static constexpr double pitch = 16;
    static constexpr double letters = 7.5;
    double x = 0;
    double y = 0;

    void newLine() {
        x = left;
        y += pitch;
    }
    // One word, `length` characters.
    void run(int length, Rgb colour, bool space = true) {
        const double w = std::min(length * glyph, right - x);
        if (w > 1) c.fill({x, y + (pitch - letters) / 2, w, letters}, colour, 1);
        x += length * glyph + (space ? glyph : 0);
    }
    // Words of `length` characters in all, spaces included.
    void text(Dice& dice, int length, Rgb colour) {
        while (length > 1) {
            const int word = std::min(length, 2 + dice.below(8));
            run(word, colour);
            length -= word + 1;
        }
    }
    void column(int at) { x = std::max(x, left + at * glyph); }
};

const Rgb kTerminalText{192, 194, 198};
const Rgb kTerminalBright{236, 236, 236};
const Rgb kTerminalGreen{112, 206, 120};
const Rgb kTerminalBlue{112, 162, 240};
const Rgb kTerminalCyan{92, 200, 220};
const Rgb kTerminalBody{28, 29, 33};

// A shell session: prompts, commands and what they printed, the caret at the last prompt.
void shell(Scene& s, const kit::Rect& area) {
    Dice& dice = s.dice;
    Mono t{s.canvas, area.minX() + 8, area.maxX() - 8};
    t.x = t.left;
    t.y = area.minY() + 5;
    const int user = 9 + dice.below(4);
    auto prompt = [&] {
        t.run(user, kTerminalGreen);
        t.run(3 + dice.below(12), kTerminalBlue, false);
        t.run(1, kTerminalBright);
    };
    while (t.y + 3 * Mono::pitch < area.maxY()) {
        prompt();
        t.run(2 + dice.below(6), kTerminalBright);
        for (int n = dice.below(3); n > 0; --n) t.run(2 + dice.below(10), kTerminalBright);
        t.newLine();
        const int output = dice.below(3);
        for (int rows = 1 + dice.below(5); rows > 0 && t.y + 2 * Mono::pitch < area.maxY(); --rows, t.newLine()) {
            if (output == 0) {
                // A listing in columns, folders and programs coloured.
                for (int col = 0; t.x < t.right; col += 18) {
                    t.column(col);
                    const double roll = dice.unit();
                    t.run(3 + dice.below(12), roll < 0.3 ? kTerminalBlue : roll < 0.42 ? kTerminalGreen : kTerminalText);
                }
            } else if (output == 1) {
                t.text(dice, 6 + dice.below(60), dice.chance(0.2) ? Rgb{130, 134, 140} : kTerminalText);
            } else {
                t.run(6, kTerminalGreen);
                t.text(dice, 8 + dice.below(40), kTerminalText);
            }
        }
    }
    prompt();
    s.canvas.fill({t.x, t.y + 2, Mono::glyph, Mono::pitch - 4}, kTerminalBright);
}

// A process monitor: load meters, a header row, processes, the function keys.
void monitor(Scene& s, const kit::Rect& area) {
    PixelCanvas& c = s.canvas;
    Dice& dice = s.dice;
    Mono t{c, area.minX() + 8, area.maxX() - 8};
    t.x = t.left;
    t.y = area.minY() + 5;
    const int columns = area.width() >= 420 ? 2 : 1;
    const double span = (t.right - t.left) / columns;
    auto meter = [&](double x, double width, double used) {
        const double top = t.y + 4;
        const double h = Mono::pitch - 8;
        c.fill({x, top, width, h}, Rgb{52, 54, 60}, 1);
        // User, system and waiting time, as the meters colour them.
        const double parts[3] = {0.7, 0.2, 0.1};
        const Rgb colours[3] = {kTerminalGreen, {230, 90, 80}, kTerminalBlue};
        double at = x;
        for (int i = 0; i < 3; ++i) {
            const double w = width * used * parts[i];
            c.fill({at, top, w, h}, colours[i]);
            at += w;
        }
    };
    for (int row = 0; row < 4; ++row, t.newLine()) {
        for (int col = 0; col < columns; ++col) {
            t.x = t.left + col * span;
            t.run(2, kTerminalCyan);
            meter(t.x, span - 6 * Mono::glyph, dice.between(0.05, 0.95));
        }
    }
    for (int row = 0; row < 2; ++row, t.newLine()) {
        t.run(3, kTerminalCyan);
        meter(t.x, span - 7 * Mono::glyph, dice.between(0.2, 0.8));
        if (columns == 2) {
            t.x = t.left + span;
            t.run(5 + dice.below(4), kTerminalText);
            t.run(3 + dice.below(8), kTerminalGreen);
        }
    }
    t.newLine();
    // Process rows under a header; the selected one stands out.
    const int stops[] = {0, 7, 16, 22, 28, 38};
    auto table = [&](bool header) {
        t.run(header ? 3 : 5, header ? kTerminalBody : kTerminalText);
        for (int i = 1; i < 6; ++i) {
            t.column(stops[i]);
            if (header) t.run(i == 5 ? 7 : 4, kTerminalBody);
            else if (i == 5) t.run(6 + dice.below(30), dice.chance(0.3) ? kTerminalBlue : kTerminalBright);
            else t.run(i == 1 ? 4 + dice.below(3) : i == 4 ? 7 : 4, i == 4 ? kTerminalGreen : kTerminalText);
        }
    };
    if (t.y + 3 * Mono::pitch < area.maxY()) {
        c.fill({area.minX(), t.y, area.width(), Mono::pitch}, kTerminalGreen);
        table(true);
        t.newLine();
    }
    const int selected = dice.below(6);
    for (int row = 0; t.y + 2 * Mono::pitch < area.maxY(); ++row, t.newLine()) {
        if (row == selected) c.fill({area.minX(), t.y, area.width(), Mono::pitch}, Rgb{60, 110, 170});
        table(false);
    }
    if (t.y + Mono::pitch <= area.maxY()) {
        for (int key = 1; t.x < t.right && key <= 10; ++key) {
            t.run(key < 10 ? 2 : 3, kTerminalBright, false);
            c.fill({t.x, t.y, 6 * Mono::glyph, Mono::pitch}, kTerminalCyan);
            t.run(5, kTerminalBody);
        }
    }
}

void paintTerminal(Scene& s) {
    const kit::Rect area = s.belowTitleBar();
    s.canvas.fill(area, kTerminalBody);
    // Terminals name the running program in the title.
    if (s.title.find("top") != std::string::npos) monitor(s, area);
    else shell(s, area);
}

// A note app: a list of notes with the window's one selected, and the note
// on yellowish paper, a checklist under its heading.
void paintNotes(Scene& s) {
    PixelCanvas& c = s.canvas;
    Dice& dice = s.dice;
    const Rgb paper{255, 251, 228};
    const Rgb yellow{255, 204, 64};
    kit::Rect area = toolbar(s, s.belowTitleBar(), Rgb{247, 245, 237});
    const double list = s.width >= 380 ? std::clamp(s.width * 0.34, 130.0, 240.0) : 0;
    if (list > 0) {
        const kit::Rect column{area.minX(), area.minY(), list, area.height()};
        c.fill(column, Rgb{250, 248, 242});
        c.fill({column.maxX() - 1, column.minY(), 1, column.height()}, gray(224));
        Dice notes(s.appSeed ^ 0x407e5ull);
        const int selected = dice.below(4);
        double y = column.minY() + 8;
        for (int i = 0; y < column.maxY() - 40; ++i, y += 56) {
            const kit::Rect row{column.minX() + 6, y, list - 12, 52};
            if (i == selected) c.fill(row, Rgb{255, 224, 120}, 6);
            words(c, notes, row.minX() + 12, row.minY() + 12, row.width() * notes.between(0.4, 0.8), 7, kInk);
            c.fill({row.minX() + 12, row.minY() + 31, 30, 5.5}, gray(120), 2);
            words(c, notes, row.minX() + 50, row.minY() + 31, row.width() - 64, 5.5, gray(165));
            if (i != selected) c.fill({row.minX() + 12, row.maxY() + 1, row.width() - 12, 1}, gray(228));
        }
        area = rightOf(area, list);
    }
    c.fill(area, paper);
    const double margin = std::clamp(area.width() * 0.08, 14.0, 40.0);
    const double x = area.minX() + margin;
    const double width = area.width() - 2 * margin;
    double y = area.minY() + 14;
    c.fill({area.midX() - 45, y, 90, 5.5}, gray(175), 2);
    y += 24;
    words(c, dice, x, y, width * dice.between(0.3, 0.55), 12, kInk);
    y += 34;
    while (y < area.maxY()) {
        // A checklist, sometimes a bulleted list or a paragraph after it.
        for (int rows = 3 + dice.below(6); rows > 0 && y < area.maxY(); --rows, y += 26) {
            const bool done = dice.chance(0.35);
            const kit::Point box{x + 7, y + 9};
            if (done) {
                c.disc(box, 7, yellow);
                c.disc(box, 2.5, kWhite);
            } else {
                c.disc(box, 7, gray(178));
                c.disc(box, 5.8, paper);
            }
            words(c, dice, x + 24, y + 6, (width - 24) * dice.between(0.3, 0.8), 6.5, done ? gray(175) : gray(64));
        }
        y += 10;
        if (dice.chance(0.5)) {
            words(c, dice, x, y, width * dice.between(0.2, 0.35), 9, kInk);
            y += 26;
            for (int rows = 2 + dice.below(4); rows > 0 && y < area.maxY(); --rows, y += 22) {
                c.disc({x + 6, y + 9}, 2.5, gray(90));
                words(c, dice, x + 18, y + 6, (width - 18) * dice.between(0.3, 0.9), 6.5, gray(84));
            }
        } else {
            y = paragraph(c, dice, x, y, width, 2 + dice.below(3), {6.5, 18, gray(140)});
        }
        y += 14;
    }
}

// A mailbox: folders, a list of messages with the window's one selected,
// and that message.
void paintMail(Scene& s) {
    PixelCanvas& c = s.canvas;
    Dice& dice = s.dice;
    kit::Rect area = toolbar(s, s.belowTitleBar());
    const double side = sidebarWidth(s.width, 700);
    if (side > 0) sidebar(s, {area.minX(), area.minY(), side, area.height()});
    area = rightOf(area, side);
    const double list = area.width() >= 420 ? std::clamp(area.width() * 0.36, 170.0, 300.0) : 0;
    if (list > 0) {
        const kit::Rect column{area.minX(), area.minY(), list, area.height()};
        c.fill({column.maxX() - 1, column.minY(), 1, column.height()}, kHairline);
        const int selected = dice.below(4);
        double y = column.minY() + 4;
        for (int i = 0; y < column.maxY() - 30; ++i, y += 66) {
            const kit::Rect row{column.minX() + 4, y, list - 10, 64};
            const bool chosen = i == selected;
            if (chosen) c.fill(row, s.app, 6);
            else if (dice.chance(0.35)) c.disc({row.minX() + 9, row.minY() + 15}, 4, s.app);
            const Rgb strong = chosen ? kWhite : kInk;
            const Rgb soft = chosen ? mix(s.app, kWhite, 0.7) : gray(160);
            words(c, dice, row.minX() + 20, row.minY() + 11, row.width() * dice.between(0.3, 0.5), 7, strong);
            c.fill({row.maxX() - 46, row.minY() + 12, 34, 5.5}, soft, 2);
            words(c, dice, row.minX() + 20, row.minY() + 27, row.width() * dice.between(0.4, 0.7), 6, strong);
            paragraph(c, dice, row.minX() + 20, row.minY() + 36, row.width() - 32, 2, {5.5, 11, soft});
            if (!chosen) c.fill({row.minX() + 20, row.maxY() + 1, row.width() - 20, 1}, gray(230));
        }
        area = rightOf(area, list);
    }
    // The message: who sent it, its subject, then the letter.
    const double margin = std::clamp(area.width() * 0.06, 14.0, 36.0);
    const double x = area.minX() + margin;
    const double y = area.minY() + 18;
    if (area.width() <= 2 * margin) return;
    c.disc({x + 18, y + 18}, 18, hsl(dice.unit(), 0.45, 0.62));
    words(c, dice, x + 48, y + 6, std::min(160.0, area.width() * 0.3), 8, kInk);
    words(c, dice, x + 48, y + 24, std::min(240.0, area.width() * 0.45), 6, gray(150));
    c.fill({x, y + 52, area.width() - 2 * margin, 1}, kHairline);
    document(s, {area.minX(), y + 56, area.width(), std::max(0.0, area.maxY() - y - 56)});
}

// A media library: the app's sources and a grid of covers with their names.
void paintMedia(Scene& s) {
    PixelCanvas& c = s.canvas;
    Dice& dice = s.dice;
    kit::Rect area = toolbar(s, s.belowTitleBar());
    const double side = sidebarWidth(s.width, 520);
    if (side > 0) sidebar(s, {area.minX(), area.minY(), side, area.height()});
    area = rightOf(area, side);
    const double margin = std::clamp(area.width() * 0.05, 12.0, 32.0);
    words(c, dice, area.minX() + margin, area.minY() + 20, std::min(200.0, area.width() * 0.4), 13, kInk);
    const double gap = 20;
    const double tile = std::clamp((area.width() - 2 * margin) / 5, 70.0, 150.0);
    const int columns = std::max(1, static_cast<int>((area.width() - 2 * margin + gap) / (tile + gap)));
    for (double y = area.minY() + 56; y < area.maxY(); y += tile + 54) {
        for (int i = 0; i < columns; ++i) {
            const double x = area.minX() + margin + i * (tile + gap);
            const double hue = dice.unit();
            c.gradient({x, y, tile, tile}, hsl(hue, 0.55, 0.72), hsl(hue + 0.08, 0.6, 0.48), 6);
            if (dice.chance(0.5)) c.disc({x + tile / 2, y + tile / 2}, tile * 0.22, hsl(hue + 0.5, 0.5, 0.82));
            else c.fill({x + tile * 0.15, y + tile * 0.6, tile * 0.7, tile * 0.12}, hsl(hue, 0.3, 0.92), 3);
            words(c, dice, x, y + tile + 10, tile * dice.between(0.5, 0.9), 6.5, kInk);
            words(c, dice, x, y + tile + 25, tile * dice.between(0.3, 0.6), 6, gray(160));
        }
    }
}

// A month: a segmented control for the view, the month's name, the grid of
// days with today marked and a few events.
void paintCalendar(Scene& s) {
    PixelCanvas& c = s.canvas;
    Dice& dice = s.dice;
    kit::Rect area = s.belowTitleBar();
    constexpr double bar = 38;
    if (area.height() > 3 * bar) {
        const double mid = area.minY() + bar / 2;
        strip(c, area, bar);
        // Day, week, month, year: the month is chosen (the day where there is no room).
        const int segments = std::min(4, static_cast<int>((s.width - 40) / 60));
        if (segments >= 2) {
            const double x = (s.width - segments * 56.0) / 2;
            const int chosen = segments > 2 ? 2 : 0;
            c.fill({x, mid - 11, segments * 56.0, 22}, gray(226), 6);
            c.fill({x + 2 + 56.0 * chosen, mid - 9, 52, 18}, kWhite, 5);
            for (int i = 0; i < segments; ++i) c.fill({x + 56.0 * i + 16, mid - 3, 24, 6}, gray(90), 2);
        }
        area = below(area, bar);
    }
    const double margin = 14;
    const double x0 = area.minX() + margin;
    const double width = area.width() - 2 * margin;
    if (width <= 0) return;
    words(c, dice, x0, area.minY() + 14, std::min(120.0, width * 0.35), 14, kInk);
    c.fill({x0 + std::min(120.0, width * 0.35) + 12, area.minY() + 18, 36, 10}, gray(160), 3);
    const double columnWidth = width / 7;
    double y = area.minY() + 46;
    for (int d = 0; d < 7; ++d) c.fill({x0 + (d + 1) * columnWidth - 30, y, 22, 6}, gray(140), 2);
    y += 18;
    const double rowHeight = (area.maxY() - y) / 5;
    if (rowHeight < 8) return;
    const double hues[4] = {0.58, 0.0, 0.33, 0.08};
    const int today = dice.below(35);
    for (int week = 0; week < 5; ++week) {
        const double top = y + week * rowHeight;
        c.fill({x0, top, width, 1}, gray(226));
        for (int d = 0; d < 7; ++d) {
            const double left = x0 + d * columnWidth;
            if (d == 0 || d == 6) c.fill({left, top + 1, columnWidth, rowHeight - 1}, gray(250));   // the weekend
            if (d > 0) c.fill({left, top, 1, rowHeight}, gray(234));
            const int day = week * 7 + d;
            const double digits = day + 1 >= 10 ? 12 : 6;
            const kit::Point number{left + columnWidth - 14, top + 14};
            if (day == today) c.disc(number, 11, Rgb{236, 72, 60});
            c.fill({number.x - digits / 2, number.y - 3.5, digits, 7}, day == today ? kWhite : gray(80), 2);
            double event = top + 28;
            for (int n = dice.chance(0.35) ? 1 + dice.below(2) : 0; n > 0 && event + 15 < top + rowHeight; --n) {
                const Rgb colour = hsl(hues[dice.below(4)], 0.65, 0.5);
                c.fill({left + 4, event, columnWidth - 8, 15}, mix(kWhite, colour, 0.2), 3);
                c.fill({left + 4, event, 3, 15}, colour, 1.5);
                c.fill({left + 11, event + 5, (columnWidth - 22) * dice.between(0.4, 0.9), 5}, mix(colour, gray(0), 0.3),
                       2);
                event += 18;
            }
        }
    }
}

}  // namespace

WindowKind windowKind(const std::string& bundleId) {
    std::string id = bundleId;
    std::transform(id.begin(), id.end(), id.begin(), [](unsigned char ch) { return std::tolower(ch); });
    static constexpr std::pair<std::string_view, WindowKind> kWords[] = {
        {"terminal", WindowKind::Terminal}, {"iterm", WindowKind::Terminal},    {"console", WindowKind::Terminal},
        {"editor", WindowKind::Editor},     {"code", WindowKind::Editor},       {"textmate", WindowKind::Editor},
        {"sublime", WindowKind::Editor},    {"browser", WindowKind::Browser},   {"safari", WindowKind::Browser},
        {"chrome", WindowKind::Browser},    {"firefox", WindowKind::Browser},   {"notes", WindowKind::Notes},
        {"stickies", WindowKind::Notes},    {"reminders", WindowKind::Notes},   {"mail", WindowKind::Mail},
        {"outlook", WindowKind::Mail},      {"music", WindowKind::Media},       {"spotify", WindowKind::Media},
        {"photos", WindowKind::Media},      {"podcasts", WindowKind::Media},    {"ical", WindowKind::Calendar},
        {"calendar", WindowKind::Calendar},
    };
    for (const auto& [word, kind] : kWords)
        if (id.find(word) != std::string::npos) return kind;
    // Most other apps show documents; a few get the other general layouts.
    static constexpr WindowKind kOthers[] = {WindowKind::Document, WindowKind::Document, WindowKind::Document,
                                             WindowKind::Mail, WindowKind::Media};
    return kOthers[hashOf(id) % std::size(kOthers)];
}

namespace {

// The dark appearance of a light layout: lightness turned over with hue and
// saturation kept (white paper becomes a dark grey, ink a light one, a tint
// stays its colour), held between the dark and light greys the system uses.
void darken(std::vector<std::uint32_t>& out, int width, const PixelBox& box) {
    constexpr double kDarkest = 30;
    constexpr double kLightest = 232;
    for (int py = box.y0; py < box.y1; ++py) {
        for (int px = box.x0; px < box.x1; ++px) {
            std::uint32_t& pixel = out[static_cast<std::size_t>(py) * width + px];
            const Rgb c = unpack(pixel);
            const double shift = 255 - std::max({c.r, c.g, c.b}) - std::min({c.r, c.g, c.b});
            auto turn = [&](double v) { return kDarkest + (v + shift) * (kLightest - kDarkest) / 255; };
            pixel = pack({turn(c.r), turn(c.g), turn(c.b)});
        }
    }
}

}  // namespace

std::vector<std::uint32_t> paintWindow(const std::string& title, const std::string& bundleId,
                                       platform::CGWindowID id, kit::Size windowSize, int width, int height,
                                       bool dark) {
    std::vector<std::uint32_t> out(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
    if (!(windowSize.width > 0 && windowSize.height > 0) || width <= 0 || height <= 0) return out;

    const double scale = std::min(width / windowSize.width, height / windowSize.height);
    const double left = (width - windowSize.width * scale) / 2;
    const double top = (height - windowSize.height * scale) / 2;
    // The pixels whose centres lie inside the window.
    auto edge = [](double v, int limit) { return static_cast<int>(std::clamp(std::ceil(v - 0.5), 0.0, static_cast<double>(limit))); };
    const PixelBox window{edge(left, width), edge(top, height), edge(left + windowSize.width * scale, width),
                          edge(top + windowSize.height * scale, height)};
    if (window.x1 <= window.x0 || window.y1 <= window.y0) return out;

    PixelCanvas canvas(out, width, scale, left, top, window);
    const std::uint64_t appSeed = hashOf(bundleId);
    Scene scene{canvas,
                std::min(windowSize.width, kMaxLayout),
                std::min(windowSize.height, kMaxLayout),
                unpack(appIconColor(bundleId)),
                appSeed,
                Dice(appSeed ^ (static_cast<std::uint64_t>(id) * 0xD1B54A32D192ED03ull)),
                title};
    const WindowKind kind = windowKind(bundleId);
    canvas.clear(kind == WindowKind::Terminal ? kTerminalBody : kWhite);
    switch (kind) {
        case WindowKind::Document: paintDocument(scene); break;
        case WindowKind::Editor: paintEditor(scene); break;
        case WindowKind::Browser: paintBrowser(scene); break;
        case WindowKind::Terminal: paintTerminal(scene); break;
        case WindowKind::Notes: paintNotes(scene); break;
        case WindowKind::Mail: paintMail(scene); break;
        case WindowKind::Media: paintMedia(scene); break;
        case WindowKind::Calendar: paintCalendar(scene); break;
    }
    titleBar(scene);
    // A terminal is dark in either appearance.
    if (dark && kind != WindowKind::Terminal) darken(out, width, window);

    // The rounded corners are see-through, as in a capture of a real window;
    // the picture is premultiplied, so a partly covered pixel fades whole.
    const double x0 = left, x1 = left + windowSize.width * scale, y0 = top, y1 = top + windowSize.height * scale;
    const double radius = std::min(kCornerRadius * scale, std::min(x1 - x0, y1 - y0) / 2);
    for (int py = window.y0; py < window.y1; ++py) {
        const double cy = py + 0.5;
        const double dy = cy < y0 + radius ? y0 + radius - cy : cy > y1 - radius ? cy - (y1 - radius) : 0;
        if (dy <= 0) continue;
        for (int px = window.x0; px < window.x1; ++px) {
            const double cx = px + 0.5;
            const double dx = cx < x0 + radius ? x0 + radius - cx : cx > x1 - radius ? cx - (x1 - radius) : 0;
            if (dx <= 0) continue;
            const double cover = std::clamp(radius - std::hypot(dx, dy) + 0.5, 0.0, 1.0);
            std::uint32_t& pixel = out[static_cast<std::size_t>(py) * width + px];
            std::uint32_t faded = 0;
            for (int shift = 0; shift < 32; shift += 8)
                faded |= static_cast<std::uint32_t>(((pixel >> shift) & 0xff) * cover + 0.5) << shift;
            pixel = faded;
        }
    }
    return out;
}

}  // namespace sim
