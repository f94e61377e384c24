#pragma once
#include <QImage>

// A colour transform of red, green and blue (alpha unchanged), on values
// 0..1: out[i] = sum(m[i][j] * in[j]) + offset[i], clamped to 0..1.
struct ColorMatrix {
    float m[3][3];
    float offset[3];
};

// Each of red, green and blue becomes 0.3 red + 0.59 green + 0.11 blue.
extern const ColorMatrix kGreyMatrix;
// Red, green and blue each x 1.05 + 0.05: the hover picture of a button.
extern const ColorMatrix kBrightenMatrix;

// The picture with its unpremultiplied colours transformed.
QImage ApplyColorMatrix(const QImage& image, const ColorMatrix& matrix);
