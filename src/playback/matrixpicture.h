#pragma once
// MATRIX=: a picture mapped onto the ten room colour fixtures. Each main-timer
// tick moves the picture by its speeds and gives every room lamp the average
// colour of a 4 x 4 block of pixels at its place on the room plan; the picture
// tiles the plane. User-interface thread only.

#include "show/steprecord.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace orvane {

constexpr size_t kMatrixNameMax = 511;

// A picture as 32 bits a pixel, rows from the top: blue, green, red and an
// unused fourth byte.
class MatrixPicture {
public:
    // Windows bitmaps only (the file must begin with "BM"). False, and no
    // picture, when the file is missing, is not a bitmap or does not decode.
    bool load(const std::string& path);
    void clear();

    bool empty() const { return m_pixels.empty(); }
    int width() const { return m_width; }
    int height() const { return m_height; }
    // The pixel at (x, y), wrapped around the picture: 0x00BBGGRR.
    uint32_t pixel(int64_t x, int64_t y) const;
    // The average colour of the 4 x 4 block with a corner at (x, y), reaching
    // toward +x (stepX 1) or -x (stepX -1), likewise for y.
    uint32_t blockAverage(int64_t x, int64_t y, int stepX, int stepY) const;

private:
    std::vector<uint8_t> m_pixels;
    int m_width = 0;
    int m_height = 0;
};

class MatrixEffect {
public:
    // Entry index and the colour it got (the window paints the square on the
    // screen and repaints the entry's swatch).
    using Painted = std::function<void(int entry, uint32_t colour)>;

    // Activation's reset: no picture, no name, offsets and speeds 0.
    void reset();
    // MATRIX=: the picture at `path` (none when it does not load) and the speeds.
    void start(std::string name, const std::string& path, float speedX, float speedY);

    // One main-timer tick: move, then sample for every room lamp (kind 0, group 0).
    void tick(std::array<LampValues, kEntryCount>& lamps, const Painted& painted);

    bool hasPicture() const { return !m_picture.empty(); }
    const MatrixPicture& picture() const { return m_picture; }
    const std::string& name() const { return m_name; }
    float offsetX() const { return m_offsetX; }
    float offsetY() const { return m_offsetY; }
    float speedX() const { return m_speedX; }
    float speedY() const { return m_speedY; }

private:
    MatrixPicture m_picture;
    std::string m_name;
    float m_offsetX = 0, m_offsetY = 0;
    float m_speedX = 0, m_speedY = 0;
};

} // namespace orvane
