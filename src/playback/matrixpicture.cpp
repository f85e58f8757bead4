#include "playback/matrixpicture.h"

#include "show/patch.h"

#include <QFile>
#include <QImage>
#include <QImageReader>

#include <cmath>
#include <cstring>
#include <sys/stat.h>

namespace orvane {

namespace {

// A 4096 x 4096 bitmap of 32 bits a pixel, and its headers.
constexpr off_t kMaxFileBytes = off_t(64) * 1024 * 1024 + 4096;

} // namespace

bool MatrixPicture::load(const std::string& path) {
    clear();
    // Only a regular file of a picture's size: opening a FIFO under the name
    // would wait for a writer on the user-interface thread, and a file of
    // gigabytes would hold it while it is read.
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_size > kMaxFileBytes)
        return false;
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly) || file.peek(2) != "BM")
        return false;
    QImageReader reader(&file, "bmp");
    reader.setDecideFormatFromContent(false);
    QImage image = reader.read();
    if (image.isNull() || image.width() <= 0 || image.height() <= 0)
        return false;
    image = image.convertToFormat(QImage::Format_RGB32);
    if (image.isNull())
        return false;

    // Format_RGB32 is 0xffRRGGBB in a native word: blue, green, red, 0xff in memory
    // on this little-endian platform, which is the buffer's layout.
    m_width = image.width();
    m_height = image.height();
    size_t row = size_t(m_width) * 4;
    m_pixels.resize(row * size_t(m_height));
    for (int y = 0; y < m_height; ++y)
        std::memcpy(m_pixels.data() + row * size_t(y), image.constScanLine(y), row);
    return true;
}

void MatrixPicture::clear() {
    m_pixels.clear();
    m_pixels.shrink_to_fit();
    m_width = 0;
    m_height = 0;
}

static int64_t wrap(int64_t v, int64_t size) {
    v %= size;
    return v < 0 ? v + size : v;
}

uint32_t MatrixPicture::pixel(int64_t x, int64_t y) const {
    if (empty())
        return 0;
    size_t at = (size_t(wrap(y, m_height)) * size_t(m_width) + size_t(wrap(x, m_width))) * 4;
    return makeColour(m_pixels[at + 2], m_pixels[at + 1], m_pixels[at]);
}

uint32_t MatrixPicture::blockAverage(int64_t x, int64_t y, int stepX, int stepY) const {
    uint32_t red = 0, green = 0, blue = 0;
    for (int j = 0; j < 4; ++j) {
        for (int i = 0; i < 4; ++i) {
            uint32_t c = pixel(x + i * stepX, y + j * stepY);
            red += redOf(c);
            green += greenOf(c);
            blue += blueOf(c);
        }
    }
    return makeColour(uint8_t(red / 16), uint8_t(green / 16), uint8_t(blue / 16));
}

void MatrixEffect::reset() {
    m_picture.clear();
    m_name.clear();
    m_offsetX = m_offsetY = 0;
    m_speedX = m_speedY = 0;
}

void MatrixEffect::start(std::string name, const std::string& path, float speedX, float speedY) {
    m_name = std::move(name);
    m_picture.load(path);
    m_speedX = speedX;
    m_speedY = speedY;
}

// Keeps an offset inside one tile so that it never grows past what a float
// holds exactly; the sampling wraps anyway.
static float advanced(float offset, float speed, int size) {
    float v = std::fmod(offset + speed, float(size));
    return std::isfinite(v) ? v : 0.0f;
}

void MatrixEffect::tick(std::array<LampValues, kEntryCount>& lamps, const Painted& painted) {
    if (m_picture.empty())
        return;
    m_offsetX = advanced(m_offsetX, m_speedX, m_picture.width());
    m_offsetY = advanced(m_offsetY, m_speedY, m_picture.height());
    float m = float(std::min(m_picture.width(), m_picture.height()));
    for (int i = 0; i < kEntryCount; ++i) {
        const PatchEntry& e = kPatch[i];
        if (e.type != kTypeLamp || e.group != kGroupRgbRoom)
            continue;
        auto x = int64_t(std::floor(m_offsetX + m * e.x));
        auto y = int64_t(std::floor(m_offsetY + m * e.y));
        uint32_t colour = m_picture.blockAverage(x, y, e.x == 0 ? 1 : -1, e.y == 0 ? 1 : -1);
        lamps[i].colour = colour;
        if (painted)
            painted(i, colour);
    }
}

} // namespace orvane
