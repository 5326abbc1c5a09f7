#include "ui/scaled_image.h"

#include <algorithm>
#include <vector>

namespace {

// The source index sampled for each of `count` destination positions: the
// pixel under the centre of each destination cell.
std::vector<int> SampleIndices(int sourceCount, int count) {
    std::vector<int> indices(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i)
        indices[static_cast<size_t>(i)] = static_cast<int>((int64_t{2} * i + 1) * sourceCount / (int64_t{2} * count));
    return indices;
}

}  // namespace

QImage ScaleNearest(const uint32_t* pixels, int width, int height, int64_t stride, QSize size) {
    if (pixels == nullptr || width <= 0 || height <= 0 || stride < width || size.isEmpty()) return QImage();
    QImage image(size, QImage::Format_RGB32);
    if (image.isNull()) return image;
    const std::vector<int> columns = SampleIndices(width, size.width());
    const std::vector<int> rows = SampleIndices(height, size.height());
    for (int y = 0; y < size.height(); ++y) {
        const uint32_t* source = pixels + rows[static_cast<size_t>(y)] * stride;
        auto* target = reinterpret_cast<uint32_t*>(image.scanLine(y));
        for (int x = 0; x < size.width(); ++x) target[x] = source[columns[static_cast<size_t>(x)]] | 0xFF000000u;
    }
    return image;
}

QSize FitWithin(QSize size, QSize bounds) {
    if (size.isEmpty() || bounds.isEmpty()) return QSize();
    if (size.width() <= bounds.width() && size.height() <= bounds.height()) return size;
    QSize fitted = size.scaled(bounds, Qt::KeepAspectRatio);
    return fitted.expandedTo(QSize(1, 1));
}
