#include "controls/ColorMatrix.h"

#include <algorithm>
#include <cmath>

const ColorMatrix kGreyMatrix = {{{0.3f, 0.59f, 0.11f}, {0.3f, 0.59f, 0.11f}, {0.3f, 0.59f, 0.11f}},
                                 {0, 0, 0}};

const ColorMatrix kBrightenMatrix = {{{1.05f, 0, 0}, {0, 1.05f, 0}, {0, 0, 1.05f}},
                                     {0.05f, 0.05f, 0.05f}};

QImage ApplyColorMatrix(const QImage& image, const ColorMatrix& matrix) {
    QImage out = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < out.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            const QRgb p = line[x];
            const float in[3] = {qRed(p) / 255.0f, qGreen(p) / 255.0f, qBlue(p) / 255.0f};
            int c[3];
            for (int i = 0; i < 3; ++i) {
                float v = matrix.offset[i];
                for (int j = 0; j < 3; ++j)
                    v += matrix.m[i][j] * in[j];
                c[i] = int(std::lround(std::clamp(v, 0.0f, 1.0f) * 255.0f));
            }
            line[x] = qRgba(c[0], c[1], c[2], qAlpha(p));
        }
    }
    return out;
}
