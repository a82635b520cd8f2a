#include "ui/ImageStrip.h"

#include <algorithm>

#include "gfx/Blit.h"
#include "platform/Resources.h"

namespace ui {

ImageStrip::ImageStrip(const gfx::Surface& picture, int columns, int rows, std::uint16_t key)
    : picture(&picture),
      columns(std::max(columns, 1)),
      rows(std::max(rows, 1)),
      cellWidth(picture.Width() / this->columns),
      cellHeight(picture.Height() / this->rows),
      key(key) {}

ImageStrip::ImageStrip(gfx::SurfacePtr picture, int columns, int rows, std::uint16_t key)
    : ImageStrip(*picture, columns, rows, key) {
    owned = std::move(picture);
}

std::unique_ptr<ImageStrip> ImageStrip::FromBitmap(std::uint32_t bitmapId, int columns, int rows) {
    gfx::SurfacePtr picture = gfx::loadImageResource(bitmapId, platform::RESOURCE_BITMAP);
    if (!picture || columns < 1 || rows < 1 || picture->Width() < columns ||
        picture->Height() < rows)
        return nullptr;
    return std::make_unique<ImageStrip>(std::move(picture), columns, rows);
}

std::unique_ptr<ImageStrip> ImageStrip::FramedFaces(std::uint32_t frameId, int width, int height) {
    constexpr int STATES = 3;
    gfx::SurfacePtr faces = gfx::makeFramedImage(frameId, width, height, STATES);
    if (!faces) return nullptr;
    return std::make_unique<ImageStrip>(std::move(faces), 1, STATES);
}

void ImageStrip::Draw(gfx::Surface& surface, int x, int y, int column, int row) const {
    if (column < 0 || column >= columns || row < 0 || row >= rows) return;
    gfx::blit(surface, x, y, cellWidth, cellHeight, *picture, column * cellWidth, row * cellHeight,
              0, key, gfx::BlitMode::ColourKey);
}

}  // namespace ui
