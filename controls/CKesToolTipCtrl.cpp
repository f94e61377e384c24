#include "controls/CKesToolTipCtrl.h"

#include "controls/CGdiPlusBitmapResource.h"
#include "strings/UiStrings.h"

#include <QGuiApplication>
#include <QHelpEvent>
#include <QPainter>
#include <QScreen>
#include <algorithm>

namespace {
constexpr int kMargin = 8;
constexpr int kGap = 10;
const QColor kBackground(0x1f, 0x23, 0x29); // also the background of tip icon 161
const QColor kBorder(0x3b, 0xa4, 0xff);
const QColor kLabelColour(0xe3, 0xe9, 0xf0);
const QColor kDescriptionColour(0x9a, 0xa4, 0xb1);

QFont LabelFont(const QFont& base) {
    QFont f = base;
    f.setBold(true);
    return f;
}
} // namespace

CKesToolTipCtrl::CKesToolTipCtrl(QWidget* owner)
    : QWidget(owner, Qt::ToolTip | Qt::FramelessWindowHint) {
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

CKesToolTipCtrl::~CKesToolTipCtrl() {
    for (const Tool& tool : m_tools)
        if (tool.window)
            tool.window->removeEventFilter(this);
}

bool CKesToolTipCtrl::AddTool(QWidget* window, const QString& text, const QRect&, int id) {
    if (!window)
        return false;
    m_registered.emplace_back(window);
    // One tool per window: registering it again replaces its text and id.
    auto it = std::find_if(m_tools.begin(), m_tools.end(),
                           [window](const Tool& t) { return t.window == window; });
    if (it != m_tools.end()) {
        it->id = id;
        it->text = text;
    } else {
        m_tools.push_back({window, id, text});
        window->installEventFilter(this);
    }
    return true;
}

void CKesToolTipCtrl::DelTool(QWidget* window, int) {
    auto reg = std::find(m_registered.begin(), m_registered.end(), window);
    if (reg != m_registered.end())
        m_registered.erase(reg);
    auto it = std::find_if(m_tools.begin(), m_tools.end(),
                           [window](const Tool& t) { return t.window == window; });
    if (it == m_tools.end())
        return;
    if (it->window)
        it->window->removeEventFilter(this);
    m_tools.erase(it);
    if (isVisible() && m_tools.empty())
        HideTip();
}

std::vector<QWidget*> CKesToolTipCtrl::RegisteredTools() const {
    std::vector<QWidget*> out;
    for (const auto& w : m_registered)
        if (w)
            out.push_back(w);
    return out;
}

void CKesToolTipCtrl::AddIconEntry(int controlId, int descriptionId, int bitmapId) {
    m_iconEntries.push_back({controlId, descriptionId, bitmapId});
}

void CKesToolTipCtrl::Activate(bool active) {
    m_bActive = active;
    if (!active)
        HideTip();
}

const CKesToolTipCtrl::Tool* CKesToolTipCtrl::FindTool(const QWidget* window) const {
    for (const Tool& t : m_tools)
        if (t.window && t.window == window)
            return &t;
    return nullptr;
}

const CKesToolTipCtrl::IconEntry* CKesToolTipCtrl::FindIconEntry(int controlId) const {
    for (const IconEntry& e : m_iconEntries)
        if (e.controlId == controlId)
            return &e;
    return nullptr;
}

void CKesToolTipCtrl::LoadIcon() {
    m_icon = QImage();
    const IconEntry* entry = FindIconEntry(m_nCurrentControlId);
    if (!entry || entry->bitmapId == 0)
        return;
    CGdiPlusBitmapResource bitmap;
    if (bitmap.Load(unsigned(entry->bitmapId), QStringLiteral("BITMAP")))
        m_icon = bitmap.Image().convertToFormat(QImage::Format_RGB32);
}

QRect CKesToolTipCtrl::IconRect() const {
    if (!HasIcon())
        return QRect();
    return QRect(QPoint(kMargin, (height() - IconSize().height()) / 2), IconSize());
}

QSize CKesToolTipCtrl::ContentSize() const {
    const QFontMetrics label(LabelFont(font()));
    const QFontMetrics plain(font());
    int textWidth = label.horizontalAdvance(m_label);
    int textHeight = label.height();
    if (!m_description.isEmpty()) {
        textWidth = std::max(textWidth, plain.horizontalAdvance(m_description));
        textHeight += 4 + plain.height();
    }
    int width = 2 * kMargin + textWidth;
    int height = 2 * kMargin + textHeight;
    if (HasIcon()) {
        width += IconSize().width() + kGap;
        height = std::max(height, 2 * kMargin + IconSize().height());
    }
    return QSize(width, height);
}

bool CKesToolTipCtrl::ShowTip(QWidget* window, const QPoint& globalPos) {
    const Tool* tool = FindTool(window);
    if (!m_bActive || !tool)
        return false;
    m_nCurrentControlId = tool->id;
    m_label = tool->text;
    m_description.clear();
    if (const IconEntry* entry = FindIconEntry(m_nCurrentControlId))
        m_description = LoadUiString(unsigned(entry->descriptionId));
    LoadIcon();

    // Below and right of the pointer, kept on the pointer's screen.
    const QSize size = ContentSize();
    QPoint pos = globalPos + QPoint(2, 20);
    if (QScreen* screen = QGuiApplication::screenAt(globalPos)) {
        const QRect area = screen->geometry();
        if (pos.x() + size.width() > area.right())
            pos.setX(std::max(area.left(), area.right() - size.width()));
        if (pos.y() + size.height() > area.bottom())
            pos.setY(std::max(area.top(), globalPos.y() - size.height() - 4));
    }
    setGeometry(QRect(pos, size));
    show();
    raise();
    update();
    return true;
}

void CKesToolTipCtrl::HideTip() {
    hide();
}

void CKesToolTipCtrl::RelayEvent(QEvent* event) {
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::Wheel:
        HideTip();
        break;
    default:
        break;
    }
}

bool CKesToolTipCtrl::eventFilter(QObject* watched, QEvent* event) {
    auto* window = qobject_cast<QWidget*>(watched);
    if (event->type() == QEvent::ToolTip && window && FindTool(window)) {
        ShowTip(window, static_cast<QHelpEvent*>(event)->globalPos());
        return true; // no second, plain tip
    }
    switch (event->type()) {
    case QEvent::Leave:
    case QEvent::Hide:
        HideTip();
        break;
    default:
        RelayEvent(event);
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void CKesToolTipCtrl::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), kBackground);
    p.setPen(kBorder);
    p.drawRect(rect().adjusted(0, 0, -1, -1));

    int x = kMargin;
    if (HasIcon()) {
        p.drawImage(IconRect(), m_icon);
        x += IconSize().width() + kGap;
    }
    const QFont labelFont = LabelFont(font());
    const QFontMetrics label(labelFont);
    const QFontMetrics plain(font());
    int textHeight = label.height();
    if (!m_description.isEmpty())
        textHeight += 4 + plain.height();
    int y = (height() - textHeight) / 2;
    p.setFont(labelFont);
    p.setPen(kLabelColour);
    p.drawText(QPoint(x, y + label.ascent()), m_label);
    if (!m_description.isEmpty()) {
        y += label.height() + 4;
        p.setFont(font());
        p.setPen(kDescriptionColour);
        p.drawText(QPoint(x, y + plain.ascent()), m_description);
    }
}
