#pragma once
// Control descriptors: every sound object describes an editor panel of its own as a
// flat array of these, and keeps their values current as its parameters change.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace sound {

enum ControlKind : std::uint8_t {
    KIND_HIDDEN = 0,
    KIND_SLIDER = 1,
    KIND_SLIDER_2 = 2,
    KIND_BOX = 3,
    KIND_TITLE = 4,
};

// Shown on no page.
constexpr std::uint8_t PAGE_NONE = 100;

struct Control {
    std::uint8_t id = 0;
    std::uint8_t page = 0;
    std::uint8_t kind = KIND_HIDDEN;
    std::uint16_t attribute1 = 0;  // display attributes: their meaning belongs to the panel code
    std::uint16_t attribute2 = 0;
    std::int32_t x = 0;
    std::int32_t y = 0;
    float minimum = 0;
    float maximum = 0;
    float value = 0;
    std::string label;
};

// What a moved control reports: its id, its new value and the widget's mode word.
struct ControlChange {
    std::uint8_t id = 0;
    float value = 0;
    std::uint16_t mode = 0;
};

// Finds a control by id among `controls`; null when none has it.
Control* FindControl(std::span<Control> controls, std::uint8_t id);

// Stores `value` (as a float) in the control with that id; false when none has it.
bool SetControlValue(std::span<Control> controls, std::uint8_t id, double value);
// The control's value, 0 when no control has that id.
double GetControlValue(std::span<const Control> controls, std::uint8_t id);
// Every control with first <= id < end gets 1 when its id is `chosen`, else 0.
void SelectRadio(std::span<Control> controls, std::uint8_t first, std::uint8_t end,
                 std::uint8_t chosen);

// Shorthands for building panels.
Control Title(std::uint8_t id, std::uint8_t page, std::int32_t x, std::int32_t y,
              std::string label);
Control Slider(std::uint8_t id, std::uint8_t page, std::int32_t x, std::int32_t y, float minimum,
               float maximum, float value, std::uint16_t attribute1, std::uint16_t attribute2,
               std::string label);
Control Box(std::uint8_t id, std::uint8_t page, std::int32_t x, std::int32_t y, float value,
            std::uint16_t attribute1, std::uint16_t attribute2, std::string label);

// The base of every sound object that can describe an editor panel.
class VisualInterface {
  public:
    virtual ~VisualInterface() = default;
    // Applies a moved control; the result is the setter's (1 when nothing failed).
    virtual int OnControlChanged(const ControlChange& change) = 0;
    virtual std::span<const Control> GetControls() = 0;

    const std::string& Name() const { return name; }
    const std::string& Group() const { return group; }

  protected:
    std::string name = "Unknown";
    std::string group = "Group";
};

}  // namespace sound
