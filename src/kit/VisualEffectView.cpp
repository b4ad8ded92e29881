#include "kit/VisualEffectView.h"

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

}  // namespace kit
