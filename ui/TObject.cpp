#include "ui/TObject.h"

#include "gfx/Surface.h"
#include "ui/TDesktop.h"
#include "ui/WidgetText.h"

namespace ui {

TObject::~TObject() {
    Unlink();
    for (TObject* c = firstChild; c;) {
        TObject* after = c->next;
        c->parent = c->next = c->prev = nullptr;
        c = after;
    }
    firstChild = lastChild = nullptr;
    TDesktop::ForgetEverywhere(this);
}

LResult TObject::DispatchToChildren(std::uint32_t msg, WParam wParam, LParam lParam) {
    using namespace platform;
    if (msg == MSG_PAINT) {
        if (flags & FLAG_TOPMOST) return 0;
        auto* surface = reinterpret_cast<gfx::Surface*>(wParam);
        for (TObject* c = firstChild; c; c = c->next) {
            if (!c->Visible()) continue;
            LResult r = c->HandleEvent(msg, wParam, lParam);
            if (surface) c->DrawCaption(*surface);
            if (r) return r;
        }
        return 0;
    }
    if (msg == MSG_COMMAND || (msg >= MSG_MOUSEMOVE && msg <= MSG_LBUTTONUP) ||
        msg == MSG_MOUSEWHEEL)
        return 0;
    for (TObject* c = firstChild; c;) {
        TObject* after = c->next;  // a handler may take c out of the tree
        if (LResult r = c->HandleEvent(msg, wParam, lParam)) return r;
        c = after;
    }
    return 0;
}

LResult TObject::HandleEvent(std::uint32_t, WParam, LParam) {
    return 0;
}

void TObject::SetRect(int nx, int ny, int w, int h) {
    x = nx;
    y = ny;
    width = w;
    height = h;
    HandleEvent(platform::MSG_SIZE, 0,
                static_cast<LParam>((static_cast<std::uint32_t>(w) & 0xFFFF) |
                                    ((static_cast<std::uint32_t>(h) & 0xFFFF) << 16)));
}

void TObject::SetFlags(std::uint16_t newFlags) {
    bool hiding = Visible() && !(newFlags & FLAG_VISIBLE);
    flags = newFlags;
    if (hiding) Withdraw();
}

void TObject::SetCaption(std::uint16_t newId, std::string_view text, std::uint16_t style) {
    id = newId;
    caption = text;
    captionStyle = style;
}

void TObject::ClearChildren() {
    while (TObject* c = firstChild) {
        c->Unlink();
        c->Withdraw();
    }
    savedCapture = nullptr;
}

void TObject::AddChild(TObject* child) {
    if (!child || child == this || child->Contains(this)) return;
    child->Unlink();
    child->parent = this;
    child->next = nullptr;
    child->prev = lastChild;
    if (lastChild)
        lastChild->next = child;
    else
        firstChild = child;
    lastChild = child;
}

void TObject::Unlink() {
    if (!parent) return;
    if (prev)
        prev->next = next;
    else
        parent->firstChild = next;
    if (next)
        next->prev = prev;
    else
        parent->lastChild = prev;
    parent = next = prev = nullptr;
}

namespace {

// Every widget in the subtree hears that it is going away: a combo box closes, a held
// button lets go and stops its repeat timer, a list stops its long-press timer.
void Deactivate(TObject* w) {
    w->HandleEvent(platform::MSG_ACTIVATE, 0, 0);
    for (TObject* c = w->firstChild; c; c = c->next)
        Deactivate(c);
}

}  // namespace

void TObject::Withdraw() {
    Deactivate(this);
    TDesktop::ForgetEverywhere(this, true);
}

void TObject::LocalToScreen(int& px, int& py) const {
    for (const TObject* a = parent; a; a = a->parent) {
        px += a->x;
        py += a->y;
    }
}

void TObject::ScreenToLocal(int& px, int& py) const {
    for (const TObject* a = this; a; a = a->parent) {
        px -= a->x;
        py -= a->y;
    }
}

void TObject::Notify(std::uint32_t msg, WParam wParam, LParam lParam) {
    if (parent) parent->HandleEvent(msg, wParam, lParam);
    if (flags & FLAG_NOTIFY) PostToWindow(msg, wParam, lParam);
}

void TObject::SelectInGroup(std::uint16_t groupId) {
    TObject* w = this;
    while (w->kind == KIND_BUTTON && !(w->state & STATE_GROUP_FIRST) && w->prev)
        w = w->prev;
    while (w && (w->state & STATE_GROUP_MEMBER)) {
        if (w->id == groupId)
            w->state |= STATE_SELECTED;
        else
            w->state &= ~STATE_SELECTED;
        w = w->next;
        if (w && (w->kind != KIND_BUTTON || (w->state & STATE_GROUP_FIRST))) break;
    }
}

TDesktop* TObject::Desktop() const {
    const TObject* root = this;
    while (root->parent)
        root = root->parent;
    if (root->kind == KIND_DESKTOP) return static_cast<TDesktop*>(const_cast<TObject*>(root));
    return currentDesktop();
}

bool TObject::Contains(const TObject* other) const {
    for (const TObject* a = other; a; a = a->parent)
        if (a == this) return true;
    return false;
}

void TObject::DrawCaption(gfx::Surface& surface) const {
    TDesktop* desktop = currentDesktop();
    if (!(flags & FLAG_CAPTION) || caption.empty() || !desktop || !desktop->font) return;
    const gfx::Font& font = *desktop->font;
    int tw = TextWidth(font, caption);
    int fh = FontHeight(&font);
    int left = x, top = y, w = width, h = height;
    bool inside = captionStyle & CAPTION_INSIDE;
    int tx = left + ((w - tw) >> 1);
    int ty = top + ((h - fh) >> 1);
    if (captionStyle & CAPTION_LEFT) {
        tx = inside ? left + 5 : left - tw - 5;
    } else if (captionStyle & CAPTION_RIGHT) {
        tx = inside ? left + w - tw - 5 : left + w + 5;
    } else if (captionStyle & CAPTION_ABOVE) {
        ty = inside ? top + 5 : top - fh - 2;
    } else if (captionStyle & CAPTION_BELOW) {
        ty = inside ? top + h - fh - 5 : top + h + 2;
    } else if (captionStyle & CAPTION_ABOVE_LEFT) {
        tx = inside ? left + 5 : left;
        ty = inside ? top + 5 : top - fh - 2;
    }
    if ((captionStyle & CAPTION_INSIDE) && (captionStyle & CAPTION_PRESSED)) {
        ++tx;
        ++ty;
    }
    LocalToScreen(tx, ty);
    DrawString(font, surface, tx, ty, caption, desktop->captionColour);
}

TObject* HitTest(TObject* container, const TObject* capture, int px, int py) {
    for (TObject* c = container->firstChild; c; c = c->next) {
        if (!c->Visible()) continue;
        if (px <= c->x || px >= c->x + c->width || py <= c->y || py >= c->y + c->height) continue;
        if (c->firstChild) {
            if (TObject* inner = HitTest(c, capture, px - c->x, py - c->y)) return inner;
        }
        if (!capture || capture->Contains(c)) return c;
    }
    return nullptr;
}

}  // namespace ui
