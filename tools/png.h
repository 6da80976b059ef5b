// Minimal PNG writer (8-bit RGB, stored deflate blocks): enough for stills and screenshots
// without pulling an image library into the renderer.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace orbilon {

// rgb holds width * height * 3 bytes, rows top to bottom. Returns false when the file
// cannot be written or the sizes do not match.
bool WritePng(const std::string& path, int width, int height, const std::vector<uint8_t>& rgb);

// The PNG file's bytes for the same input (empty on a size mismatch).
std::vector<uint8_t> EncodePng(int width, int height, const std::vector<uint8_t>& rgb);

}  // namespace orbilon
