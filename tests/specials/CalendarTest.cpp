#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "dock/DockWorld.h"
#include "kit/Label.h"
#include "sim/SimCalendarStore.h"
#include "sim/SimLocale.h"
#include "specials/CalendarContentView.h"
#include "specials/CalendarProvider.h"

namespace {

using durazizi::CalendarContentView;
using durazizi::CalendarProvider;
using platform::EKEvent;

constexpr double kNow = sim::kDefaultWallClock;   // 2026-12-07T09:00:00Z
constexpr double kMinute = 60;
constexpr double kHour = 3600;

// A store whose answer the test sets, noting the windows it was asked for.
class Calendar : public docktest::DockWorld {
protected:
    Calendar() {
        desktop().calendarStore().setStatus(platform::EKAuthorizationStatusFullAccess);
        desktop().calendarStore().useReader([this](double start, double end) {
            windows_.emplace_back(start, end);
            return stored_;
        });
    }

    static EKEvent event(std::string title, double start, double end, bool allDay = false) {
        return EKEvent{std::move(title), allDay, start, end, nullptr};
    }
    std::vector<std::string> titles(const std::vector<EKEvent>& events) {
        std::vector<std::string> out;
        for (const auto& e : events) out.push_back(e.title.value_or("-"));
        return out;
    }

    std::vector<EKEvent> stored_;
    std::vector<std::pair<double, double>> windows_;
};

TEST_F(Calendar, UpcomingKeepsWhatIsNotOverOrdersStablyAndCaps) {
    stored_ = {
        event("Ended", kNow - kHour, kNow - kMinute),
        event("B at ten", kNow + kHour, kNow + 2 * kHour),
        event("Ends now", kNow - kHour, kNow),
        event("A at ten", kNow + kHour, kNow + 1.5 * kHour),
        event("Running", kNow - kHour, kNow + 10 * kMinute),
        event("Holiday", kNow - 9 * kHour, kNow - 8 * kHour, true),   // over, but all day
    };
    auto provider = CalendarProvider::shared();
    const struct {
        int limit;
        std::vector<std::string> expected;
    } rows[] = {
        {10, {"Holiday", "Running", "B at ten", "A at ten"}},
        {2, {"Holiday", "Running"}},
        {0, {}},
        {-1, {}},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(titles(provider->upcoming(3, row.limit)), row.expected) << "limit " << row.limit;
    }
    ASSERT_FALSE(windows_.empty());
    EXPECT_EQ(windows_.back(), std::make_pair(kNow, kNow + 3 * 24 * kHour));

    // Without full access the store is not even asked.
    for (auto status : {platform::EKAuthorizationStatusWriteOnly, platform::EKAuthorizationStatusDenied,
                        platform::EKAuthorizationStatusNotDetermined}) {
        desktop().calendarStore().setStatus(status);
        windows_.clear();
        EXPECT_TRUE(provider->upcoming(3, 10).empty()) << status;
        EXPECT_TRUE(windows_.empty());
    }
}

TEST_F(Calendar, TheWindowIsWholeCalendarDaysAcrossADaylightSavingChange) {
    // Saturday noon in New York, the day before clocks go back.
    desktop().locale().setTimeZoneName("America/New_York");
    desktop().time().setWallClock(1793462400);   // 2026-10-31T16:00:00Z = 12:00 EDT
    auto provider = CalendarProvider::shared();
    const double now = desktop().time().now();
    for (int days : {2, 0, -5}) provider->upcoming(days, 5);
    ASSERT_EQ(windows_.size(), 3u);
    EXPECT_EQ(windows_[0].second - now, 49 * kHour);   // Monday 12:00 EST
    // No days still means one calendar day: Sunday 12:00 EST, 25 hours on.
    EXPECT_EQ(windows_[1].second - now, 25 * kHour);
    EXPECT_EQ(windows_[2].second - now, 25 * kHour);
}

const kit::Label* labelNamed(const kit::View& view, const std::string& identifier) {
    for (const auto& sub : view.subviews()) {
        if (sub->identifier() == identifier) return dynamic_cast<const kit::Label*>(sub.get());
    }
    return nullptr;
}

TEST_F(Calendar, TheListSizesItselfFromItsRows) {
    desktop().locale().setTimeZoneName("Europe/Berlin");
    CalendarContentView empty({});
    EXPECT_EQ(empty.fittingSize(), (kit::Size{320, 56}));
    ASSERT_TRUE(labelNamed(empty, "notice"));
    EXPECT_EQ(labelNamed(empty, "notice")->text(), "No upcoming events");
    EXPECT_EQ(labelNamed(empty, "notice")->frame(), (kit::Rect{12, 12, 296, 20}));
    EXPECT_EQ(labelNamed(empty, "header")->frame(), (kit::Rect{12, 36, 296, 16}));

    auto work = std::make_shared<platform::EKCalendar>(platform::EKCalendar{"Work", kit::Color::rgba(1, 0, 0)});
    auto plain = std::make_shared<platform::EKCalendar>(platform::EKCalendar{"Plain", std::nullopt});
    std::vector<EKEvent> events = {
        {std::string(200, 'W'), false, kNow + kHour, kNow + 2 * kHour, work},
        {std::nullopt, false, kNow + 2 * kHour, kNow + 3 * kHour, plain},
        {std::string(), true, kNow, kNow + 24 * kHour, nullptr},
    };
    CalendarContentView list(events);
    EXPECT_EQ(list.fittingSize(), (kit::Size{320, 146}));
    EXPECT_EQ(labelNamed(list, "header")->frame(), (kit::Rect{12, 126, 296, 16}));
    EXPECT_FALSE(labelNamed(list, "notice"));
    std::vector<const kit::View*> rows;
    for (const auto& sub : list.subviews()) {
        if (sub->identifier() == "row") rows.push_back(sub.get());
    }
    std::sort(rows.begin(), rows.end(), [](auto* a, auto* b) { return a->frame().minY() > b->frame().minY(); });
    ASSERT_EQ(rows.size(), 3u);
    const double ys[] = {88, 50, 12};
    const char* times[] = {"Mon, Dec 7, 11:00", "Mon, Dec 7, 12:00", "All day"};
    const char* titles[] = {nullptr, "(no title)", "(no title)"};
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(rows[i]->frame(), (kit::Rect{12, ys[i], 296, 34}));
        EXPECT_EQ(labelNamed(*rows[i], "time")->text(), times[i]);
        if (titles[i]) {
            EXPECT_EQ(labelNamed(*rows[i], "title")->text(), titles[i]);
        }
    }
    const kit::Label* longTitle = labelNamed(*rows[0], "title");
    EXPECT_EQ(longTitle->lineBreakMode(), kit::LineBreakMode::ByTruncatingTail);
    EXPECT_EQ(longTitle->frame().width(), 280);
    auto dotOf = [](const kit::View* row) {
        for (const auto& sub : row->subviews()) {
            if (sub->identifier() == "dot") return sub->layerStyle().backgroundColor;
        }
        return kit::Color::clear();
    };
    EXPECT_EQ(dotOf(rows[0]), kit::Color::rgba(1, 0, 0));
    // No colour of its own, or no calendar at all: the system's blue.
    EXPECT_EQ(dotOf(rows[1]), dotOf(rows[2]));
    EXPECT_NEAR(dotOf(rows[1]).blue, 1.0, 1e-9);

    // The locale decides the order of the fields.
    desktop().locale().setLocaleIdentifier("de_DE");
    CalendarContentView german({events[0]});
    const auto* row = std::find_if(german.subviews().begin(), german.subviews().end(),
                                   [](const auto& v) { return v->identifier() == "row"; })->get();
    EXPECT_EQ(labelNamed(*row, "time")->text(), "Mo., 7. Dez., 11:00");
}

// "All day" alone reads as today: a later day's row names that day, in the
// locale's own short form; today's, and one running through today, do not.
TEST_F(Calendar, AllDayRowsOfALaterDayNameTheirDay) {
    desktop().locale().setTimeZoneName("Europe/Berlin");
    const double midnight = kNow - 10 * kHour;   // Monday 7 December, 00:00 in Berlin
    const std::vector<EKEvent> events = {
        event("Since Sunday", midnight - 24 * kHour, midnight + 24 * kHour, true),
        event("Today", midnight, midnight + 24 * kHour, true),
        event("Lunch", kNow + 3 * kHour, kNow + 4 * kHour),
        event("Tomorrow", midnight + 24 * kHour, midnight + 48 * kHour, true),
    };
    const struct {
        const char* locale;
        std::vector<std::string> times;
    } cases[] = {
        {"en_GB", {"All day", "All day", "Mon, 7 Dec, 13:00", "Tue, 8 Dec \u00B7 All day"}},
        {"de_DE", {"All day", "All day", "Mo., 7. Dez., 13:00", "Di., 8. Dez. \u00B7 All day"}},
    };
    for (const auto& c : cases) {
        desktop().locale().setLocaleIdentifier(c.locale);
        CalendarContentView list(events);
        std::vector<std::pair<double, std::string>> rows;   // top to bottom
        for (const auto& sub : list.subviews())
            if (sub->identifier() == "row") rows.emplace_back(-sub->frame().minY(), labelNamed(*sub, "time")->text());
        std::sort(rows.begin(), rows.end());
        std::vector<std::string> times;
        for (const auto& row : rows) times.push_back(row.second);
        EXPECT_EQ(times, c.times) << c.locale;
    }
}

TEST_F(Calendar, AccessIsAskedOnceAndTheListFollowsWhenGranted) {
    desktop().calendarStore().setStatus(platform::EKAuthorizationStatusNotDetermined);
    desktop().calendarStore().grantOnRequest();
    stored_ = {event("Dentist", kNow + kHour, kNow + 2 * kHour)};
    const auto calendar = addApp("Calendar", "com.apple.iCal");
    addWindow(calendar, "Calendar");
    appWithWindows("Editor", 1);
    startHover();

    showPreviewOf("Calendar");
    EXPECT_EQ(desktop().calendarStore().accessRequests(), 1);
    const auto lines = logMessages();
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "Calendar access: true "), 1);

    showPreviewOf("Editor");
    showPreviewOf("Calendar");
    EXPECT_EQ(hover_->special().currentKey(), "calendar");
    EXPECT_EQ(desktop().calendarStore().accessRequests(), 1);
}

}  // namespace
