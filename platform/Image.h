#pragma once
// Decoding of the picture formats the program carries (BMP, JPEG) and PNG screenshots.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace platform {

struct DecodedImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> rgb;  // 0x00RRGGBB, rows top to bottom
};

// Nullopt when the bytes are not a picture this layer reads.
std::optional<DecodedImage> DecodeImage(std::span<const std::uint8_t> bytes);

// Writes a 16-bit RGB565 image as a PNG, safely (see SafeFileWriter); false (and a
// one-line message naming the file in `error`) on failure.
bool SavePng(const std::string& path, const std::uint16_t* pixels, int width, int height,
             int pitchBytes, std::string& error);

}  // namespace platform
