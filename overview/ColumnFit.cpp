#include "overview/ColumnFit.h"

#include <QFontMetricsF>
#include <QHeaderView>
#include <QStyle>
#include <QTreeView>
#include <algorithm>
#include <cmath>

ColumnFit::ColumnFit(int columns, const QFont& font)
    : plain_(size_t(columns)), bold_(size_t(columns)), font_(font) {}

void ColumnFit::Add(const QStringList& texts, bool bold) {
    std::vector<Longest>& longest = bold ? bold_ : plain_;
    for (size_t c = 0; c < longest.size() && c < size_t(texts.size()); ++c) {
        const QString& text = texts[qsizetype(c)];
        Longest& l = longest[c];
        if (text.size() > l.length) {
            l.length = int(text.size());
            // Keep those within a character of the new longest.
            l.texts.removeIf([&](const QString& t) { return t.size() < l.length - 1; });
        }
        if (text.size() >= l.length - 1 && !l.texts.contains(text))
            l.texts.append(text);
    }
}

int ColumnFit::Apply(QTreeView* list) const {
    QFont boldFont = font_;
    boldFont.setBold(true);
    const QFontMetricsF plain(font_), bold(boldFont);
    // The item's text margins, as the style lays a cell out; the style
    // rounds a text's width up, and a pixel short elides it.
    const int margin =
        2 * (list->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, list) + 1) + 1;
    const auto widthOf = [margin](const QFontMetricsF& metrics, const QString& text) {
        return int(std::ceil(metrics.horizontalAdvance(text))) + margin;
    };
    int total = 0;
    for (size_t c = 0; c < plain_.size() && int(c) < list->header()->count(); ++c) {
        int width = list->header()->isHidden() ? 0 : list->header()->sectionSizeHint(int(c));
        for (const QString& text : plain_[c].texts)
            width = std::max(width, widthOf(plain, text));
        for (const QString& text : bold_[c].texts)
            width = std::max(width, widthOf(bold, text));
        list->header()->resizeSection(int(c), width);
        total += width;
    }
    return total;
}
