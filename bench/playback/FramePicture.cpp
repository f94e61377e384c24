#include "FramePicture.h"

#include <cstddef>

namespace FramePicture {

Kind Classify(const std::vector<Rgb>& pixels) {
    std::size_t lit = 0, yellow = 0, cyan = 0, magenta = 0;
    for (const Rgb& p : pixels) {
        const bool hiR = p.r > 140, hiG = p.g > 140, hiB = p.b > 140;
        const bool loR = p.r < 70, loG = p.g < 70, loB = p.b < 70;
        lit += (p.r > 48 || p.g > 48 || p.b > 48) ? 1 : 0;
        yellow += (hiR && hiG && loB) ? 1 : 0;
        cyan += (loR && hiG && hiB) ? 1 : 0;
        magenta += (hiR && loG && hiB) ? 1 : 0;
    }
    const std::size_t n = pixels.size();
    // A surface's own background is near black.
    if (n == 0 || lit * 20 < n)
        return Kind::Black;
    // The test picture holds about 15 % of each; stripes of pure red, green
    // and blue only a few pixels at their scaled edges.
    if (yellow * 50 >= n && cyan * 50 >= n && magenta * 50 >= n)
        return Kind::Video;
    return Kind::Other;
}

} // namespace FramePicture
