#pragma once

#include <functional>
#include <memory>

#include "kit/Declarative.h"
#include "platform/WindowServer.h"

namespace durazizi {

// The terms window's content: what Durazizi does with the user's data, the
// legal documents, and the two answers.
struct TermsView {
    std::function<void()> agree;
    std::function<void()> quit;
    kit::ui::Node body() const;
};

// The first-launch terms window. Nothing of the system starts until the
// user agrees; closing the window without agreeing quits.
class TermsGate : public std::enable_shared_from_this<TermsGate> {
public:
    static constexpr double kContentWidth = 460;
    static constexpr double kContentHeight = 440;
    static constexpr const char* kEulaURL = "https://durazizi.app/durazizi/eula";
    static constexpr const char* kPrivacyURL = "https://durazizi.app/durazizi/privacy";
    static constexpr const char* kTermsURL = "https://durazizi.app/durazizi/terms";

    // One instance per process, made on first use.
    static std::shared_ptr<TermsGate> shared();

    void present(std::function<void()> onAgree);

    const std::shared_ptr<platform::Window>& window() const { return window_; }

private:
    void accept();
    void windowWillClose(const platform::Window& window);

    std::shared_ptr<platform::Window> window_;
    std::function<void()> onAgree_;
    bool agreed_ = false;
};

}  // namespace durazizi
