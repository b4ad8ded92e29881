#pragma once

#include <algorithm>

namespace kit {

struct Point {
    double x = 0;
    double y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

struct Size {
    double width = 0;
    double height = 0;
    friend bool operator==(const Size&, const Size&) = default;
};

// A rectangle in points. Which way y grows depends on the space it lives in;
// the two containment rules below are the ones the platform applies.
struct Rect {
    Point origin;
    Size size;

    Rect() = default;
    Rect(Point o, Size s) : origin(o), size(s) {}
    Rect(double x, double y, double w, double h) : origin{x, y}, size{w, h} {}

    double minX() const { return origin.x; }
    double minY() const { return origin.y; }
    double maxX() const { return origin.x + size.width; }
    double maxY() const { return origin.y + size.height; }
    double midX() const { return origin.x + size.width / 2; }
    double midY() const { return origin.y + size.height / 2; }
    double width() const { return size.width; }
    double height() const { return size.height; }
    Point center() const { return {midX(), midY()}; }
    bool isEmpty() const { return size.width <= 0 || size.height <= 0; }

    // CGRectContainsPoint: minX <= x < maxX and minY <= y < maxY.
    bool cgContains(Point p) const {
        return p.x >= minX() && p.x < maxX() && p.y >= minY() && p.y < maxY();
    }

    // NSMouseInRect: for an unflipped rect minY < y <= maxY, for a flipped one
    // minY <= y < maxY; x is always minX <= x < maxX.
    bool nsMouseIn(Point p, bool flipped = false) const {
        if (p.x < minX() || p.x >= maxX()) return false;
        return flipped ? (p.y >= minY() && p.y < maxY()) : (p.y > minY() && p.y <= maxY());
    }

    Rect insetBy(double dx, double dy) const {
        return {origin.x + dx, origin.y + dy, size.width - 2 * dx, size.height - 2 * dy};
    }
    Rect offsetBy(double dx, double dy) const {
        return {origin.x + dx, origin.y + dy, size.width, size.height};
    }
    bool intersects(const Rect& o) const {
        return minX() < o.maxX() && o.minX() < maxX() && minY() < o.maxY() && o.minY() < maxY();
    }
    bool containsRect(const Rect& o) const {
        return o.minX() >= minX() && o.maxX() <= maxX() && o.minY() >= minY() && o.maxY() <= maxY();
    }

    friend bool operator==(const Rect&, const Rect&) = default;
};

}  // namespace kit
