#include "sound/Control.h"

#include <algorithm>

namespace sound {

Control* FindControl(std::span<Control> controls, std::uint8_t id) {
    auto it = std::find_if(controls.begin(), controls.end(),
                           [id](const Control& c) { return c.id == id; });
    return it == controls.end() ? nullptr : &*it;
}

bool SetControlValue(std::span<Control> controls, std::uint8_t id, double value) {
    Control* control = FindControl(controls, id);
    if (!control) return false;
    control->value = static_cast<float>(value);
    return true;
}

double GetControlValue(std::span<const Control> controls, std::uint8_t id) {
    for (const Control& c : controls) {
        if (c.id == id) return c.value;
    }
    return 0.0;
}

void SelectRadio(std::span<Control> controls, std::uint8_t first, std::uint8_t end,
                 std::uint8_t chosen) {
    for (Control& c : controls) {
        if (c.id >= first && c.id < end) c.value = c.id == chosen ? 1.0f : 0.0f;
    }
}

Control Title(std::uint8_t id, std::uint8_t page, std::int32_t x, std::int32_t y,
              std::string label) {
    Control c;
    c.id = id;
    c.page = page;
    c.kind = KIND_TITLE;
    c.attribute1 = 5;
    c.x = x;
    c.y = y;
    c.label = std::move(label);
    return c;
}

Control Slider(std::uint8_t id, std::uint8_t page, std::int32_t x, std::int32_t y, float minimum,
               float maximum, float value, std::uint16_t attribute1, std::uint16_t attribute2,
               std::string label) {
    Control c;
    c.id = id;
    c.page = page;
    c.kind = KIND_SLIDER;
    c.attribute1 = attribute1;
    c.attribute2 = attribute2;
    c.x = x;
    c.y = y;
    c.minimum = minimum;
    c.maximum = maximum;
    c.value = value;
    c.label = std::move(label);
    return c;
}

Control Box(std::uint8_t id, std::uint8_t page, std::int32_t x, std::int32_t y, float value,
            std::uint16_t attribute1, std::uint16_t attribute2, std::string label) {
    Control c = Slider(id, page, x, y, 0, 1, value, attribute1, attribute2, std::move(label));
    c.kind = KIND_BOX;
    return c;
}

}  // namespace sound
