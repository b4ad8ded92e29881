#include "specials/MediaContentView.h"

#include <utility>

#include "kit/IconArt.h"
#include "platform/Platform.h"

namespace durazizi {

namespace {

constexpr double kSymbolPointSize = 15;
constexpr double kArtworkSide = 64;
constexpr double kMargin = 12;
constexpr double kTextLeft = 88;
constexpr double kButtonWidth = 34;
constexpr double kButtonHeight = 28;
constexpr double kButtonBottom = 14;
constexpr double kButtonSpacing = 44;   // from the centre of the text column to the outer buttons
// Title and artist separate the artwork's tracks; the control character
// cannot appear in either.
constexpr std::string_view kTrackKeySeparator = "\x01";

// The system symbol at the panel's button size and weight, or none when the
// system lacks it.
kit::ImageRef buttonSymbol(const std::string& name) {
    auto base = platform::current().symbols().imageWithSystemSymbolName(name, "");
    if (!base) return nullptr;
    return kit::Image::symbol(name, kSymbolPointSize, base->accessibilityDescription(), kit::Font::Weight::Semibold);
}

std::shared_ptr<kit::Button> makeButton(const std::string& symbol, std::string label, std::function<void()> action) {
    auto button = std::make_shared<kit::Button>();
    button->setBezelStyle(kit::BezelStyle::RegularSquare);
    button->setBordered(false);
    button->setImage(buttonSymbol(symbol));
    button->setContentTintColor(kit::Color::label());
    button->setAccessibilityLabel(std::move(label));
    button->setAction(std::move(action));
    return button;
}

kit::ImageRef artworkPlaceholder() {
    static const kit::ImageRef placeholder =
        kit::Image::fromDrawing(kit::IconArt::musicPlaceholder(kArtworkSide), /*isTemplate=*/false);
    return placeholder;
}

}  // namespace

MediaContentView::MediaContentView(MediaApp app, kit::ImageRef icon)
    : SpecialContent(kit::Rect{0, 0, kWidth, kHeight}),
      app_(app),
      artwork_(std::make_shared<kit::ImageView>(icon && !icon->isEmpty() ? icon : artworkPlaceholder())),
      titleLabel_(std::make_shared<kit::Label>(std::string(rawValue(app)))),
      artistLabel_(std::make_shared<kit::Label>("")),
      fallbackIcon_(icon && !icon->isEmpty() ? std::move(icon) : artworkPlaceholder()) {
    artwork_->setImageScaling(kit::ImageScaling::ProportionallyUpOrDown);
    artwork_->setWantsLayer(true);
    artwork_->setCornerRadius(8);
    artwork_->setMasksToBounds(true);

    titleLabel_->setFont(kit::Font::boldSystemFont(13));
    titleLabel_->setLineBreakMode(kit::LineBreakMode::ByTruncatingTail);
    artistLabel_->setFont(kit::Font::systemFont(11));
    artistLabel_->setTextColor(kit::Color::secondaryLabel());
    artistLabel_->setLineBreakMode(kit::LineBreakMode::ByTruncatingTail);

    // The view owns its buttons, so it outlives every click on them.
    prev_ = makeButton("backward.fill", "Previous", [this] { tapPrev(); });
    playPause_ = makeButton("playpause.fill", "Play/Pause", [this] { tapPlay(); });
    next_ = makeButton("forward.fill", "Next", [this] { tapNext(); });

    for (const auto& view : std::initializer_list<kit::ViewRef>{artwork_, titleLabel_, artistLabel_, prev_,
                                                                 playPause_, next_}) {
        addSubview(view);
    }
    layout();
}

void MediaContentView::layout() {
    const double w = bounds().width();
    const double h = bounds().height();
    const double textWidth = w - kTextLeft - kMargin;
    const double c = kTextLeft + textWidth / 2;
    artwork_->setFrame({kMargin, h - kArtworkSide - kMargin, kArtworkSide, kArtworkSide});
    titleLabel_->setFrame({kTextLeft, h - 30, textWidth, 18});
    artistLabel_->setFrame({kTextLeft, h - 50, textWidth, 16});
    prev_->setFrame({c - kButtonWidth - kButtonSpacing, kButtonBottom, kButtonWidth, kButtonHeight});
    playPause_->setFrame({c - kButtonWidth / 2, kButtonBottom, kButtonWidth, kButtonHeight});
    next_->setFrame({c + kButtonSpacing, kButtonBottom, kButtonWidth, kButtonHeight});
}

void MediaContentView::viewDidShow() {
    requestState();
    timer_ = platform::current().runLoop().scheduledTimer(kPollInterval, /*repeats=*/true,
                                                          [weak = weakSelf()](platform::Timer&) {
                                                              if (auto self = weak.lock()) self->requestState();
                                                          });
}

void MediaContentView::viewWillHide() {
    ++hides_;
    if (timer_) timer_->invalidate();
    timer_.reset();
}

void MediaContentView::requestState() {
    // Asking a player that quit for its state would start it again.
    if (stateInFlight_ || !MediaControl::isRunning(app_)) return;
    stateInFlight_ = true;
    MediaControl::fetchState(app_, [weak = weakSelf(), hides = hides_](std::optional<MediaControl::State> state) {
        auto self = weak.lock();
        if (!self) return;
        self->stateInFlight_ = false;
        // Asked for while shown before; the panel has been hidden since.
        if (self->hides_ != hides) return;
        self->refresh(state);
    });
}

void MediaContentView::refresh(const std::optional<MediaControl::State>& state) {
    if (!state) return;
    const std::string name(rawValue(app_));
    titleLabel_->setText(state->title.empty() ? name : state->title);

    std::string second;
    if (state->title.empty()) {
        second = "Not playing";
    } else {
        for (const std::string* part : {&state->artist, &state->album}) {
            if (part->empty()) continue;
            if (!second.empty()) second += " \u2014 ";
            second += *part;
        }
    }
    artistLabel_->setText(second);
    // Most polls find the player as it was. A new image of the same symbol
    // would still mark the button for drawing, and the whole picture behind
    // the panel with it, every 1.5 s.
    const char* symbol = state->isPlaying ? "pause.fill" : "play.fill";
    if (playSymbol_ != symbol) {
        playSymbol_ = symbol;
        playPause_->setImage(buttonSymbol(playSymbol_));
    }

    if (state->title.empty()) {
        lastTrackKey_.clear();
        // Nothing to show a cover for: the players' own empty artwork.
        artwork_->setImage(artworkPlaceholder());
        return;
    }
    std::string key = state->title + std::string(kTrackKeySeparator) + state->artist;
    if (key == lastTrackKey_) return;   // once per track, not on every poll
    lastTrackKey_ = key;
    MediaControl::fetchArtwork(app_, [weak = weakSelf(), key](kit::ImageRef image) {
        auto self = weak.lock();
        // The track changed again while this one's cover was on its way.
        if (!self || self->lastTrackKey_ != key) return;
        self->artwork_->setImage(image ? std::move(image) : self->fallbackIcon_);
    });
}

void MediaContentView::tap(std::string_view command) {
    // A player that quit while its panel stayed up is not started again by
    // a button meant to control it.
    if (!MediaControl::isRunning(app_)) return;
    MediaControl::fire(app_, command);
    delayRefresh();
}

void MediaContentView::tapPrev() { tap(MediaControl::kPreviousTrack); }
void MediaContentView::tapPlay() { tap(MediaControl::kPlayPause); }
void MediaContentView::tapNext() { tap(MediaControl::kNextTrack); }

void MediaContentView::delayRefresh() {
    platform::current().runLoop().asyncAfterMain(kRefreshAfterTap, [weak = weakSelf()] {
        if (auto self = weak.lock()) self->requestState();
    });
}

}  // namespace durazizi
