#pragma once
// A picture cut into equal cells (columns x rows) drawn with a colour key; widgets draw
// one cell per state.

#include <cstdint>
#include <memory>

#include "gfx/Surface.h"

namespace ui {

class ImageStrip {
  public:
    // Refers to `picture`, which must outlive the strip.
    ImageStrip(const gfx::Surface& picture, int columns, int rows,
               std::uint16_t key = gfx::COLOUR_KEY);
    // Owns `picture`.
    ImageStrip(gfx::SurfacePtr picture, int columns, int rows, std::uint16_t key = gfx::COLOUR_KEY);
    ImageStrip(const ImageStrip&) = delete;
    ImageStrip& operator=(const ImageStrip&) = delete;

    // A bitmap resource cut into columns x rows; null when it is missing or does not
    // divide into cells.
    static std::unique_ptr<ImageStrip> FromBitmap(std::uint32_t bitmapId, int columns, int rows);
    // Button faces: the frame bitmap built at width x height in its three states
    // (pressed, normal, disabled), one column of three rows.
    static std::unique_ptr<ImageStrip> FramedFaces(std::uint32_t frameId, int width, int height);

    int CellWidth() const { return cellWidth; }
    int CellHeight() const { return cellHeight; }
    int Columns() const { return columns; }
    int Rows() const { return rows; }
    const gfx::Surface* Picture() const { return picture; }

    // Copies cell (column, row) to (x, y) skipping the key; a cell outside the strip
    // draws nothing.
    void Draw(gfx::Surface& surface, int x, int y, int column, int row) const;

  private:
    gfx::SurfacePtr owned;
    const gfx::Surface* picture;
    int columns;
    int rows;
    int cellWidth;
    int cellHeight;
    std::uint16_t key;
};

}  // namespace ui
