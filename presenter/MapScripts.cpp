#include "presenter/MapScripts.h"

#include <charconv>
#include <cmath>
#include <string>

// QString::asprintf formats numbers without regard to the process's locale,
// which keeps "." as the decimal point the page's parser expects.
QString MovePositionScript(double latitude, double longitude) {
    return QString::asprintf("movpos(%f, %f)", latitude, longitude);
}

QString PathPlotScript(double latitude, double longitude) {
    return QString::asprintf("path_plot(%f,%f)", latitude, longitude);
}

QString DrivenPlotScript(double latitude, double longitude) {
    return QString::asprintf("pathdrived_plot(%f,%f)", latitude, longitude);
}

namespace {

// The same digits as the single calls' "%f" (six decimals, correctly rounded)
// without the cost of printf for tens of thousands of numbers. Qt's printf
// writes a negative zero without its sign.
void AppendFixed(std::string* out, double value) {
    if (value == 0)
        value = 0;
    char buffer[400];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 6);
    out->append(buffer, result.ptr);
}

} // namespace

QStringList PlotBatchScripts(const char* function, const std::vector<double>& latLon) {
    QStringList scripts;
    std::string text;
    size_t inBatch = 0;
    auto flush = [&] {
        if (inBatch == 0)
            return;
        text += "])";
        scripts << QString::fromLatin1(text.data(), qsizetype(text.size()));
        inBatch = 0;
    };
    for (size_t i = 0; i + 1 < latLon.size(); i += 2) {
        if (!std::isfinite(latLon[i]) || !std::isfinite(latLon[i + 1]))
            continue;
        if (inBatch == 0) {
            text.assign(function);
            text += "([";
        } else {
            text += ',';
        }
        AppendFixed(&text, latLon[i]);
        text += ',';
        AppendFixed(&text, latLon[i + 1]);
        if (++inBatch == kPointsPerBatch)
            flush();
    }
    flush();
    return scripts;
}
