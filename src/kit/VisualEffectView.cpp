#include "kit/VisualEffectView.h"

#include <utility>

namespace kit {

void VisualEffectView::setMaterial(VisualEffectMaterial material) {
    material_ = material;
    setNeedsDisplay();
}

void VisualEffectView::setState(VisualEffectState state) {
    state_ = state;
    setNeedsDisplay();
}

void VisualEffectView::setBlendingMode(VisualEffectBlendingMode mode) {
    blendingMode_ = mode;
    setNeedsDisplay();
}

void VisualEffectView::setMaskImage(ImageRef image) {
    maskImage_ = std::move(image);
    setNeedsDisplay();
}

}  // namespace kit
