#include "winlayer/core/layout.h"

namespace winlayer {

namespace {

int MulDiv(int value, int numerator, int denominator) {
    const long long product = static_cast<long long>(value) * numerator;
    const long long half = denominator / 2;
    return static_cast<int>((product >= 0 ? product + half : product - half) / denominator);
}

bool Labels(const Window& w) {
    return (w.kind == ControlKind::CheckBox || w.kind == ControlKind::Static) && !w.text.empty();
}

} // namespace

BaseUnits BaseUnitsOf(int widthOf52Letters, int fontHeight) {
    return {(widthOf52Letters / 26 + 1) / 2, fontHeight};
}

Rect ToPixels(const Rect& r, BaseUnits units) {
    return {MulDiv(r.x, units.x, 4), MulDiv(r.y, units.y, 8), MulDiv(r.cx, units.x, 4),
            MulDiv(r.cy, units.y, 8)};
}

std::string AccessibleName(HWND handle) {
    const Window* control = FindWindow(handle);
    const Window* dialog = control != nullptr ? FindWindow(control->parent) : nullptr;
    if (dialog == nullptr) {
        return control != nullptr ? DisplayText(*control) : "";
    }
    const Rect& r = control->rect;
    const Window* best = nullptr;
    for (HWND child : dialog->children) {
        const Window* other = FindWindow(child);
        if (other == nullptr || other == control) {
            continue;
        }
        const Rect& o = other->rect;
        if (control->kind == ControlKind::Edit && Labels(*other) && o.x + o.cx <= r.x &&
            o.y < r.y + r.cy && r.y < o.y + o.cy) {
            // The nearest label to the left that shares the row.
            if (best == nullptr || o.x > best->rect.x) {
                best = other;
            }
        } else if (control->kind == ControlKind::ListBox && other->kind == ControlKind::GroupBox &&
                   o.x <= r.x && o.y <= r.y && r.x + r.cx <= o.x + o.cx &&
                   r.y + r.cy <= o.y + o.cy) {
            // The innermost group box around the list.
            if (best == nullptr || o.cx * o.cy < best->rect.cx * best->rect.cy) {
                best = other;
            }
        }
    }
    if (control->kind == ControlKind::Edit || control->kind == ControlKind::ListBox) {
        return best != nullptr ? DisplayText(*best) : "";
    }
    return DisplayText(*control);
}

std::string AccessibleDescription(HWND handle) {
    const Window* dialog = FindWindow(handle);
    for (HWND child : dialog != nullptr ? dialog->children : std::vector<HWND>{}) {
        const Window* control = FindWindow(child);
        if (control != nullptr && control->kind == ControlKind::Static) {
            return DisplayText(*control);
        }
    }
    return "";
}

} // namespace winlayer
