#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "kit/Geometry.h"

// Compact JSON as the scenario queries print it. Each function returns the
// JSON text of one value; Object keeps keys in the order they were added.
namespace scenario::json {

// Up to three decimals without trailing zeros; -0 prints as 0; a value JSON
// cannot hold (NaN, infinity) prints as null.
std::string number(double value);
std::string integer(std::int64_t value);
// Control characters as \u00XX and the line and paragraph separators as
// \u2028 and \u2029; other text passes through as UTF-8, with
// bytes that are not UTF-8 replaced by U+FFFD so the output stays valid.
std::string string(std::string_view text);
std::string boolean(bool value);
std::string null();
std::string point(const kit::Point& p);
std::string rect(const kit::Rect& r);
std::string array(const std::vector<std::string>& items);

class Object {
public:
    Object& add(std::string_view key, const std::string& value);
    std::string str() const;

private:
    std::string body_;
};

}  // namespace scenario::json
