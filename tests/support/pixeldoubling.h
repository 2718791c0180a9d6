// Finds what a picture drawn at half the resolution and then doubled looks
// like: a square of device pixels in which every 2 by 2 block (aligned to
// the logical pixel grid) is of one colour, and which holds text or slanted
// or curved lines.
//
// Straight lines along the axes look the same drawn at 2 and doubled, so the
// square must hold more than the corners of a few rectangles: at least
// kSteps places where 2 by 2 neighbouring blocks form a step, a diagonal or
// three colours (a glyph's edge, a staircase of a slanted line), where
// rectangles only ever meet in straight edges and corners.
#pragma once

#include <QImage>
#include <QRect>

#include <optional>
#include <vector>

namespace testsupport {

// Every such square of `size` by `size` device pixels (at even coordinates),
// up to `limit` of them.
inline std::vector<QRect> FindPixelDoubledRegions(const QImage &picture, int size = 16,
                                                  std::size_t limit = 1) {
    constexpr int kSteps = 6;
    std::vector<QRect> found;
    const QImage image = picture.convertToFormat(QImage::Format_RGB32);
    const int bw = image.width() / 2;
    const int bh = image.height() / 2;
    const int n = size / 2; // blocks along a side of the square
    if (bw < n || bh < n) return found;
    auto at = [&](int x, int y) { return image.pixel(x, y) & 0xFFFFFFu; };
    // Prefix sums over the blocks: those not of one colour, and the 2 by 2
    // groups of blocks (counted at their top-left block) that are neither of
    // one colour nor split by one straight edge.
    const std::size_t stride = std::size_t(bw) + 1;
    std::vector<int> mixed(stride * std::size_t(bh + 1), 0);
    std::vector<int> steps(stride * std::size_t(bh + 1), 0);
    auto sum = [&](std::vector<int> &table, int x, int y) -> int & {
        return table[std::size_t(y) * stride + std::size_t(x)];
    };
    auto block = [&](int bx, int by) { return at(2 * bx, 2 * by); };
    auto uniform = [&](int bx, int by) {
        const QRgb c = block(bx, by);
        return at(2 * bx + 1, 2 * by) == c && at(2 * bx, 2 * by + 1) == c &&
               at(2 * bx + 1, 2 * by + 1) == c;
    };
    for (int by = 0; by < bh; ++by)
        for (int bx = 0; bx < bw; ++bx) {
            bool step = false;
            if (bx + 1 < bw && by + 1 < bh) {
                const QRgb a = block(bx, by), b = block(bx + 1, by);
                const QRgb c = block(bx, by + 1), d = block(bx + 1, by + 1);
                const bool flat = a == b && c == d; // one colour, or a horizontal edge
                const bool upright = a == c && b == d;
                step = !flat && !upright;
            }
            sum(mixed, bx + 1, by + 1) = (uniform(bx, by) ? 0 : 1) + sum(mixed, bx, by + 1) +
                                         sum(mixed, bx + 1, by) - sum(mixed, bx, by);
            sum(steps, bx + 1, by + 1) = (step ? 1 : 0) + sum(steps, bx, by + 1) +
                                         sum(steps, bx + 1, by) - sum(steps, bx, by);
        }
    auto count = [&](std::vector<int> &table, int x0, int y0, int x1, int y1) {
        return sum(table, x1, y1) - sum(table, x0, y1) - sum(table, x1, y0) + sum(table, x0, y0);
    };
    for (int by = 0; by + n <= bh; ++by)
        for (int bx = 0; bx + n <= bw; ++bx) {
            if (count(mixed, bx, by, bx + n, by + n) != 0) continue;
            // Groups wholly inside the square start at most n - 2 blocks in.
            if (count(steps, bx, by, bx + n - 1, by + n - 1) < kSteps) continue;
            found.push_back(QRect(2 * bx, 2 * by, size, size));
            if (found.size() >= limit) return found;
        }
    return found;
}

// The first such square, or nothing when the image has none.
inline std::optional<QRect> FindPixelDoubledRegion(const QImage &picture, int size = 16) {
    const std::vector<QRect> found = FindPixelDoubledRegions(picture, size, 1);
    if (found.empty()) return std::nullopt;
    return found.front();
}

} // namespace testsupport
