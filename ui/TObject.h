#pragma once
// The widget base: a rectangle in a tree of widgets that handles events named by window
// message numbers. Widgets are members of their owners; the tree links never own.

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/Messages.h"

namespace gfx {
class Surface;
}

namespace ui {

using platform::LParam;
using platform::LResult;
using platform::WParam;

class TDesktop;

// `flags` bits.
constexpr std::uint16_t FLAG_VISIBLE = 1;
constexpr std::uint16_t FLAG_DISABLED = 2;
constexpr std::uint16_t FLAG_CAPTION = 4;
constexpr std::uint16_t FLAG_NOTIFY = 8;  // commands are also posted to the window
constexpr std::uint16_t FLAG_FOCUSED = 16;
constexpr std::uint16_t FLAG_FOCUSABLE = 32;
constexpr std::uint16_t FLAG_TOPMOST = 64;  // drawn last, by the desktop

// `captionStyle` bits: where the caption goes relative to the widget.
constexpr std::uint16_t CAPTION_LEFT = 1;
constexpr std::uint16_t CAPTION_RIGHT = 2;
constexpr std::uint16_t CAPTION_ABOVE = 4;
constexpr std::uint16_t CAPTION_BELOW = 8;
constexpr std::uint16_t CAPTION_INSIDE = 16;
constexpr std::uint16_t CAPTION_ABOVE_LEFT = 32;
constexpr std::uint16_t CAPTION_PRESSED = 64;  // with CAPTION_INSIDE: one pixel right and down

// `kind` codes.
constexpr std::uint16_t KIND_PLAIN = 0;
constexpr std::uint16_t KIND_DESKTOP = 1;
constexpr std::uint16_t KIND_BUTTON = 2;
constexpr std::uint16_t KIND_SCROLLBAR = 3;
constexpr std::uint16_t KIND_LISTBOX = 4;
constexpr std::uint16_t KIND_FILELIST = 5;
constexpr std::uint16_t KIND_EDIT = 7;
constexpr std::uint16_t KIND_COMBO = 9;

// `state` bits the base uses for radio groups of buttons.
constexpr std::uint32_t STATE_SELECTED = 1;
constexpr std::uint32_t STATE_GROUP_FIRST = 16;
constexpr std::uint32_t STATE_GROUP_MEMBER = 32;

class TObject {
  public:
    TObject() = default;
    // Unhooks the widget from its tree and makes every desktop forget it, so that no
    // capture, focus or top-most pointer outlives it.
    virtual ~TObject();
    TObject(const TObject&) = delete;
    TObject& operator=(const TObject&) = delete;

    // Slot 0: passes an event to the children.
    virtual LResult DispatchToChildren(std::uint32_t msg, WParam wParam, LParam lParam);
    // Slot 1: nonzero when the event was consumed.
    virtual LResult HandleEvent(std::uint32_t msg, WParam wParam, LParam lParam);

    // Stores the rectangle, then sends the widget its size event.
    void SetRect(int x, int y, int w, int h);
    // Hiding a widget ends whatever it holds: a press, a drag, an open list, the capture,
    // the focus, its place on top.
    void SetFlags(std::uint16_t newFlags);
    void SetCaption(std::uint16_t newId, std::string_view text, std::uint16_t style);
    void SetCaption(std::string_view text) { caption = text; }

    // Empties the child list; no widget is destroyed.
    void ClearChildren();
    void AddChild(TObject* child);

    // Adds the positions of all ancestors.
    void LocalToScreen(int& px, int& py) const;
    // Subtracts the positions of all ancestors and of the widget itself.
    void ScreenToLocal(int& px, int& py) const;

    // To the parent's HandleEvent; with FLAG_NOTIFY also posted to the current window.
    void Notify(std::uint32_t msg, WParam wParam, LParam lParam);

    bool HasState(std::uint32_t bits) const { return (state & bits) == bits; }
    void SetState(std::uint32_t bits) { state |= bits; }
    void ClearState(std::uint32_t bits) { state &= ~bits; }
    // Marks the member of this widget's radio group whose id is `groupId` selected.
    void SelectInGroup(std::uint16_t groupId);

    bool Visible() const { return (flags & FLAG_VISIBLE) != 0; }
    // The desktop at the root of this widget's tree, else the current desktop.
    TDesktop* Desktop() const;
    // True when `other` is this widget or one of its descendants.
    bool Contains(const TObject* other) const;

    std::int32_t x = 0;  // relative to the parent
    std::int32_t y = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::uint16_t flags = FLAG_VISIBLE;
    std::uint16_t captionStyle = CAPTION_BELOW;
    std::uint16_t id = 0;
    std::uint16_t kind = KIND_PLAIN;
    // Kept as a copy, so a caption never outlives the text it was made from; empty
    // means none.
    std::string caption;
    TObject* parent = nullptr;
    TObject* firstChild = nullptr;
    TObject* lastChild = nullptr;
    TObject* next = nullptr;
    TObject* prev = nullptr;
    // Free for subclasses: buttons, scroll bars and combo boxes keep the capture that
    // was in force before they took it.
    TObject* savedCapture = nullptr;
    std::uint32_t state = 0;

  protected:
    // Draws a visible child's caption after the child itself.
    void DrawCaption(gfx::Surface& surface) const;
    // Unlinks this widget from its parent.
    void Unlink();
    // Ends what this widget and its descendants hold, as when they are hidden.
    void Withdraw();
};

// Walks the children of `container` (x, y relative to it) for the widget under the point.
// With a capture, only the capture and what lies inside it can be hit.
TObject* HitTest(TObject* container, const TObject* capture, int x, int y);

}  // namespace ui
