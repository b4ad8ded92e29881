#pragma once

#include <functional>
#include <memory>

namespace durazizi {

// The first-launch terms window. Until the window exists this keeps the
// callback it was given; `agree` stands for the user's "I Agree".
class TermsGate {
public:
    // One instance per process, made on first use.
    static std::shared_ptr<TermsGate> shared();

    void present(std::function<void()> onAgree);
    void agree();

    int presentCount() const { return presentCount_; }
    bool isAwaitingAgreement() const { return static_cast<bool>(onAgree_); }

private:
    std::function<void()> onAgree_;
    int presentCount_ = 0;
};

}  // namespace durazizi
