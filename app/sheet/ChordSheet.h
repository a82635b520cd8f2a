#pragma once
// Printable chord sheets: chord boxes in a grid, drawn by one routine onto A4 PDF pages, or
// into one SVG picture or one PNG image holding them all.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "theory/Voicing.h"

namespace sheet {

struct SheetBox {
    std::string name;                        // above the box: "C m7 — 01 C (fret 1)"
    std::string caption;                     // under the string names, may be empty: "1 bar"
    std::optional<theory::Voicing> voicing;  // none: the box is drawn empty
};

struct Sheet {
    std::string title;  // at the top of every page
    // The strings' notes as they sound, string 0 first; written under the strings.
    std::array<std::string, theory::STRING_COUNT> stringNames;
    bool leftHanded = false;  // strings mirrored
    std::vector<SheetBox> boxes;
};

enum class SheetFormat { PDF, SVG, PNG };

// The layout, in points (1/72 inch). Cells run left to right, then down.
constexpr double PAGE_WIDTH = 595.276;  // A4
constexpr double PAGE_HEIGHT = 841.890;
constexpr int COLUMNS = 3;
constexpr int ROWS_PER_PAGE = 4;
constexpr int BOXES_PER_PAGE = COLUMNS * ROWS_PER_PAGE;
constexpr double MARGIN = 36;
constexpr double GRID_TOP = 72;  // below the title line
constexpr double CELL_WIDTH = 174;
constexpr double CELL_HEIGHT = 180;
// Inside a cell: the box's top-left corner, and the gaps between strings and frets.
constexpr double BOX_LEFT = 37;
constexpr double BOX_TOP = 44;
constexpr double STRING_GAP = 20;
constexpr double FRET_GAP = 24;
constexpr int FRET_ROWS = 4;
constexpr double DOT_RADIUS = 7;
constexpr double PNG_SCALE = 2;  // pixels per point

// How many PDF pages the sheet takes (an empty sheet still has its title page).
int PageCount(const Sheet& sheet);

// Draws the sheet and fills `bytes` with the whole file. "" or why it could not be drawn.
std::string DrawSheet(const Sheet& sheet, SheetFormat format, std::vector<std::uint8_t>& bytes);

}  // namespace sheet
