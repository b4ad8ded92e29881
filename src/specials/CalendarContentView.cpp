#include "specials/CalendarContentView.h"

#include <memory>
#include <string>

#include "kit/Label.h"
#include "platform/Platform.h"

namespace durazizi {

namespace {

constexpr double kMargin = 12;
constexpr double kRowWidth = 296;
constexpr double kRowHeight = 34;
constexpr double kRowPitch = 38;   // a row and the gap above it
constexpr double kHeaderHeight = 16;
constexpr double kEmptyHeight = 56;

// NSColor.systemBlue in the light appearance, for calendars without a colour.
const kit::Color kSystemBlue = kit::Color::rgba(0.0, 122.0 / 255, 1.0);

std::shared_ptr<kit::Label> label(std::string text, kit::Font font, kit::Color color, kit::Rect frame) {
    auto view = std::make_shared<kit::Label>(std::move(text), frame);
    view->setFont(font);
    view->setTextColor(color);
    return view;
}

// One formatter per list for each kind of row; the locale decides the fields' order.
struct RowFormats {
    std::shared_ptr<platform::DateFormatter> start;   // a timed event's start
    std::shared_ptr<platform::DateFormatter> day;     // the day of a later all-day event
    double now = 0;
};

std::string timeText(const platform::EKEvent& event, const RowFormats& formats) {
    if (!event.isAllDay) return formats.start->stringFromDate(event.startDate);
    // An all-day event starts at its day's midnight: one that has started
    // is today's (or runs through today); a later one names its day, or
    // "All day" alone would read as today.
    if (!(event.startDate > formats.now)) return "All day";
    return formats.day->stringFromDate(event.startDate) + " \u00B7 All day";
}

std::shared_ptr<kit::View> row(const platform::EKEvent& event, const RowFormats& formats, kit::Rect frame) {
    auto view = std::make_shared<kit::View>(frame);
    auto dot = std::make_shared<kit::View>(kit::Rect{0, 13, 8, 8});
    dot->setWantsLayer(true);
    dot->setCornerRadius(4);
    dot->setBackgroundColor(event.calendar && event.calendar->color ? *event.calendar->color : kSystemBlue);
    dot->setIdentifier("dot");
    view->addSubview(dot);

    const bool untitled = !event.title || event.title->empty();
    auto title = label(untitled ? "(no title)" : *event.title, kit::Font::systemFont(12, kit::Font::Weight::Medium),
                       kit::Color::label(), {16, 16, 280, 16});
    title->setLineBreakMode(kit::LineBreakMode::ByTruncatingTail);
    title->setIdentifier("title");
    view->addSubview(title);

    auto time = label(timeText(event, formats), kit::Font::systemFont(10), kit::Color::secondaryLabel(),
                      {16, 1, 280, 14});
    time->setIdentifier("time");
    view->addSubview(time);
    return view;
}

}  // namespace

CalendarContentView::CalendarContentView(const std::vector<platform::EKEvent>& events) {
    auto header = label("Upcoming", kit::Font::boldSystemFont(12), kit::Color::secondaryLabel(), {});
    header->setIdentifier("header");
    addSubview(header);

    auto& host = platform::current();
    const RowFormats formats{host.locale().dateFormatterFromTemplate("EEE d MMM HH:mm"),
                             host.locale().dateFormatterFromTemplate("EEE d MMM"), host.clock().now()};

    double height = kEmptyHeight;
    if (events.empty()) {
        auto notice = label("No upcoming events", kit::Font::systemFont(kit::Font::systemFontSize()),
                            kit::Color::secondaryLabel(), {kMargin, kMargin, kRowWidth, 20});
        notice->setIdentifier("notice");
        addSubview(notice);
    } else {
        const auto n = static_cast<double>(events.size());
        // The first event is the topmost row.
        for (std::size_t i = events.size(); i-- > 0;) {
            const double y = kMargin + kRowPitch * (n - 1 - static_cast<double>(i));
            auto view = row(events[i], formats, {kMargin, y, kRowWidth, kRowHeight});
            view->setIdentifier("row");
            addSubview(view);
        }
        height = kRowPitch * n + 32;
    }
    header->setFrame({kMargin, height - 20, kRowWidth, kHeaderHeight});
    setFrame({0, 0, width, height});
}

}  // namespace durazizi
