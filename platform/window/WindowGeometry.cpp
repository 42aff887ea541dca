// Geometry of windows and their order: rectangles, coordinates, z-order among
// siblings and on the screen.
#include <algorithm>

#include "platform/display/DisplayBackend.h"
#include "platform/window/WindowUi.h"
#include "platform/window/WindowUiInternal.h"

namespace platform {

using window_internal::FindOwnWindow;
using window_internal::FindWindow;
using window_internal::UiMutex;
using window_internal::WindowObject;
using window_internal::WindowTable;

namespace window_internal {

std::vector<WindowHandle>& ScreenOrderLocked() {
    static auto* order = new std::vector<WindowHandle>;
    return *order;
}

void PlaceOnScreenLocked(WindowObject& window, bool top) {
    std::vector<WindowHandle>& order = ScreenOrderLocked();
    std::erase(order, window.handle);
    // Topmost windows form a band above the others.
    auto first_topmost = std::find_if(order.begin(), order.end(), [](WindowHandle handle) {
        std::shared_ptr<WindowObject> other = FindWindow(handle);
        return other != nullptr && other->topmost;
    });
    if (window.topmost) {
        order.insert(top ? order.end() : first_topmost, window.handle);
    } else {
        order.insert(top ? first_topmost : order.begin(), window.handle);
    }
}

std::shared_ptr<WindowObject> FindWindow(WindowHandle handle) {
    return handle == 0 ? nullptr : WindowTable::Instance().Find(handle);
}

std::shared_ptr<WindowObject> TopLevelOf(const std::shared_ptr<WindowObject>& window) {
    std::shared_ptr<WindowObject> current = window;
    while (current != nullptr && current->child) {
        current = FindWindow(current->parent);
    }
    return current;
}

Point OffsetInTopLevelLocked(const WindowObject& window) {
    Point offset;
    const WindowObject* current = &window;
    std::shared_ptr<WindowObject> hold;
    while (current->child) {
        offset.x += current->x;
        offset.y += current->y;
        hold = FindWindow(current->parent);
        if (hold == nullptr) {
            break;
        }
        current = hold.get();
    }
    return offset;
}

Point ScreenOriginLocked(const WindowObject& window) {
    Point origin = OffsetInTopLevelLocked(window);
    std::shared_ptr<WindowObject> top = TopLevelOf(FindWindow(window.handle));
    const WindowObject& root = top != nullptr ? *top : window;
    if (!root.child) {
        origin.x += root.x;
        origin.y += root.y;
    }
    return origin;
}

bool IsShownLocked(const WindowObject& window) {
    const WindowObject* current = &window;
    std::shared_ptr<WindowObject> hold;
    for (;;) {
        if ((current->style & kStyleVisible) == 0) {
            return false;
        }
        if (!current->child) {
            return true;
        }
        hold = FindWindow(current->parent);
        if (hold == nullptr) {
            return false;
        }
        current = hold.get();
    }
}

gfx::Region ShapeLocked(const WindowObject& window) {
    const gfx::Region whole(Rect{0, 0, window.width, window.height});
    return window.region.has_value() ? window.region->Intersect(whole) : whole;
}

gfx::Region VisiblePartLocked(const WindowObject& window) {
    const Point offset = OffsetInTopLevelLocked(window);
    gfx::Region part = ShapeLocked(window).Offset(offset.x, offset.y);
    std::shared_ptr<WindowObject> ancestor = window.child ? FindWindow(window.parent) : nullptr;
    while (ancestor != nullptr) {
        const Point at = OffsetInTopLevelLocked(*ancestor);
        part = part.Intersect(ShapeLocked(*ancestor).Offset(at.x, at.y));
        ancestor = ancestor->child ? FindWindow(ancestor->parent) : nullptr;
    }
    return part;
}

}  // namespace window_internal

Rect GetWindowPlacement(WindowHandle window) {
    std::shared_ptr<WindowObject> target = FindWindow(window);
    if (target == nullptr) {
        return Rect{};
    }
    std::lock_guard<std::mutex> lock(UiMutex());
    return Rect::FromSize(target->x, target->y, target->width, target->height);
}

Rect GetWindowScreenRect(WindowHandle window) {
    std::shared_ptr<WindowObject> target = FindWindow(window);
    if (target == nullptr) {
        return Rect{};
    }
    std::lock_guard<std::mutex> lock(UiMutex());
    const Point origin = window_internal::ScreenOriginLocked(*target);
    return Rect::FromSize(origin.x, origin.y, target->width, target->height);
}

Rect GetClientRectOf(WindowHandle window) {
    std::shared_ptr<WindowObject> target = FindWindow(window);
    if (target == nullptr) {
        return Rect{};
    }
    std::lock_guard<std::mutex> lock(UiMutex());
    return Rect{0, 0, target->width, target->height};
}

bool MoveWindowTo(WindowHandle window, int x, int y, int width, int height, bool repaint) {
    std::shared_ptr<WindowObject> target = FindOwnWindow(window);
    if (target == nullptr) {
        return false;
    }
    width = std::max(0, width);
    height = std::max(0, height);
    Rect old_rect;
    Rect screen_rect;
    {
        std::lock_guard<std::mutex> lock(UiMutex());
        old_rect = Rect::FromSize(target->x, target->y, target->width, target->height);
        target->x = x;
        target->y = y;
        target->width = width;
        target->height = height;
        screen_rect = Rect::FromSize(x, y, width, height);
    }
    const Rect new_rect = Rect::FromSize(x, y, width, height);
    const bool moved = old_rect.left != x || old_rect.top != y;
    const bool sized = old_rect.Width() != width || old_rect.Height() != height;
    if (target->child) {
        if (repaint && (moved || sized)) {
            // The parent shows again where the child was, and the child where it is.
            if (std::shared_ptr<WindowObject> parent = FindWindow(target->parent)) {
                window_internal::InvalidateLocal(parent, old_rect);
                window_internal::InvalidateLocal(parent, new_rect);
            }
        } else if (sized) {
            window_internal::InvalidateLocal(target, std::nullopt);
        }
    } else {
        if (target->announced && (moved || sized)) {
            display::Backend().MoveWindow(window, screen_rect);
        }
        if (sized) {
            window_internal::InvalidateLocal(target, std::nullopt);
        }
    }
    if (moved) {
        SendMessageTo(window, kMsgMove, 0, PackPoint(x, y));
    }
    if (sized) {
        SendMessageTo(window, kMsgSize, 0, PackPoint(width, height));
    }
    return true;
}

Point ClientToScreen(WindowHandle window, Point p) {
    const Rect rect = GetWindowScreenRect(window);
    return Point{p.x + rect.left, p.y + rect.top};
}

Point ScreenToClient(WindowHandle window, Point p) {
    const Rect rect = GetWindowScreenRect(window);
    return Point{p.x - rect.left, p.y - rect.top};
}

void SetWindowZOrder(WindowHandle window, ZOrder order) {
    std::shared_ptr<WindowObject> target = FindOwnWindow(window);
    if (target == nullptr) {
        return;
    }
    bool raise = false;
    bool topmost = false;
    {
        std::lock_guard<std::mutex> lock(UiMutex());
        if (target->child) {
            std::shared_ptr<WindowObject> parent = FindWindow(target->parent);
            if (parent == nullptr) {
                return;
            }
            std::vector<WindowHandle>& siblings = parent->children;
            std::erase(siblings, window);
            if (order == ZOrder::kBottom) {
                siblings.insert(siblings.begin(), window);
            } else {
                siblings.push_back(window);
            }
        } else {
            switch (order) {
                case ZOrder::kTopmost:
                    target->topmost = true;
                    target->ex_style |= kExStyleTopmost;
                    break;
                case ZOrder::kNoTopmost:
                case ZOrder::kBottom:  // the bottom is below every topmost window, as there
                    target->topmost = false;
                    target->ex_style &= ~kExStyleTopmost;
                    break;
                case ZOrder::kTop:
                    break;
            }
            window_internal::PlaceOnScreenLocked(*target, order != ZOrder::kBottom);
            raise = target->announced && order != ZOrder::kBottom;
            topmost = target->topmost;
        }
    }
    if (target->child) {
        // The siblings overlap in a new order.
        if (std::shared_ptr<WindowObject> parent = FindWindow(target->parent)) {
            window_internal::InvalidateLocal(parent, GetWindowPlacement(window));
        }
    } else if (raise) {
        display::Backend().Raise(window, topmost);
    }
}

namespace {

// The siblings of a window from the bottom up (top-level windows: the screen).
std::vector<WindowHandle> SiblingsLocked(const WindowObject& window) {
    if (!window.child) {
        return window_internal::ScreenOrderLocked();
    }
    std::shared_ptr<WindowObject> parent = FindWindow(window.parent);
    return parent == nullptr ? std::vector<WindowHandle>{} : parent->children;
}

WindowHandle SiblingAt(WindowHandle window, int step) {
    std::shared_ptr<WindowObject> target = FindWindow(window);
    if (target == nullptr) {
        return 0;
    }
    std::lock_guard<std::mutex> lock(UiMutex());
    const std::vector<WindowHandle> siblings = SiblingsLocked(*target);
    auto at = std::find(siblings.begin(), siblings.end(), window);
    if (at == siblings.end()) {
        return 0;
    }
    const auto index = (at - siblings.begin()) + step;
    if (index < 0 || index >= static_cast<std::ptrdiff_t>(siblings.size())) {
        return 0;
    }
    return siblings[static_cast<std::size_t>(index)];
}

}  // namespace

WindowHandle GetTopChild(WindowHandle parent) {
    std::lock_guard<std::mutex> lock(UiMutex());
    if (parent == 0) {
        const auto& order = window_internal::ScreenOrderLocked();
        return order.empty() ? 0 : order.back();
    }
    std::shared_ptr<WindowObject> target = FindWindow(parent);
    return target == nullptr || target->children.empty() ? 0 : target->children.back();
}

// Next means the one below, as there.
WindowHandle GetNextSibling(WindowHandle window) {
    return SiblingAt(window, -1);
}

WindowHandle GetPreviousSibling(WindowHandle window) {
    return SiblingAt(window, +1);
}

}  // namespace platform
