#include "app/window/MainLayout.h"

#include "app/window/ControlIds.h"

#include <algorithm>

MainLayoutResult LayoutControls(const MainLayoutInput& in) {
    MainLayoutResult out;
    auto& c = out.controls;
    const int cx = in.cx;
    const int cy = in.cy;

    c[IDC_CLOSE] = QRect(cx - 32, 2, 25, 25);
    c[IDC_MAXIMIZE] = QRect(cx - 59, 2, 25, 25);
    c[IDC_MINIMIZE] = QRect(cx - 86, 2, 25, 25);
    c[IDC_ABOUT] = QRect(cx - 113, 2, 25, 25);
    c[IDC_SIZE_L] = QRect(cx - 159, 11, 16, 16);
    c[IDC_SIZE_M] = QRect(cx - 179, 11, 16, 16);
    c[IDC_SIZE_S] = QRect(cx - 199, 11, 16, 16);

    int w = cx - 20;
    if (w >= in.rightPaneWidth)
        w = std::max(in.rightPaneWidth, 20);
    const int right = cx - 5;
    const int left = w < right ? right - w : 0;

    if (in.mapEnabled) {
        int h = cy - 127;
        if (h >= in.mapHeight)
            h = std::max(in.mapHeight, 20);
        out.mapPane = Ltrb(left, 48, right, 48 + h);
        c[IDC_FILE_LIST] = Ltrb(left, h + 53, right, cy - 64);
        out.mapSplitter = Ltrb(left, 48, right, cy - 64);
    } else {
        out.mapPane = QRect(left, 48, right - left, 0);
        c[IDC_FILE_LIST] = Ltrb(left, 48, right, cy - 64);
    }
    out.columnSplitter = Ltrb(left - 5, 48, left, cy - 64);

    const int g = in.gsensorEnabled ? in.gsensorHeight : 0;
    const int e = cy - g - 112;
    int gl = e - 40;
    if (gl >= in.groupListHeight)
        gl = std::max(in.groupListHeight, 20);
    const int half = left / 2;
    const int vb = e - gl + 13;

    c[IDC_FRONT_FRAME] = Ltrb(5, 48, half - 5, vb);
    c[IDC_REAR_FRAME] = Ltrb(half - 5, 48, 2 * half - 5, vb);
    c[IDC_POSITION_SLIDER] = QRect(5, vb, 2 * half - 10, 20);

    int y = vb + 25;
    if (in.gsensorEnabled) {
        c[IDC_GSENSOR] = Ltrb(5, vb + 25, 2 * half - 5, cy - gl - 74);
        y = cy - gl - 69;
    }
    out.groupListSplitter = Ltrb(5, y - 5, 2 * half - 5, y);
    c[IDC_GROUP_LIST] = Ltrb(5, y, 2 * half - 5, cy - 64);

    c[IDC_OPEN] = QRect(8, cy - 44, 48, 36);
    c[IDC_SNAP] = QRect(56, cy - 44, 48, 36);
    c[IDC_SAVE] = QRect(104, cy - 44, 48, 36);
    c[IDC_DEL] = QRect(152, cy - 44, 48, 36);

    c[IDC_SLOW] = QRect(220, cy - 48, 40, 40);
    c[IDC_STOP] = QRect(261, cy - 48, 40, 40);
    c[IDC_PLAY] = QRect(302, cy - 56, 48, 48);
    c[IDC_FAST] = QRect(351, cy - 48, 40, 40);

    c[IDC_VOL] = QRect(402, cy - 40, 12, 24);
    c[IDC_VOLUME_SLIDER] = QRect(416, cy - 36, 80, 20);

    const int rightButtons[] = {IDC_LOOP, IDC_KML, IDC_MAP, IDC_GSR, IDC_LOCK};
    for (int k = 0; k < 5; ++k)
        c[rightButtons[k]] = QRect(cx - 195 + 34 * k, cy - 40, 32, 32);
    return out;
}

VideoRects FitVideosToAspect(QRect front, QRect rear, int videoWidth, int videoHeight) {
    const long long W = videoWidth;
    const long long H = videoHeight;
    const long long fw = front.width();
    const long long fh = front.height();
    if (W <= 0 || H <= 0)
        return {front, rear};
    if (H * fw < fh * W) {
        const int height = int(H * fw / W);
        const int offset = int((fh - height) / 2);
        front = QRect(front.left(), front.top() + offset, front.width(), height);
        rear = QRect(rear.left(), rear.top() + offset, rear.width(), height);
    } else if (fh * W < H * fw) {
        const int width = int(fh * W / H);
        const int offset = int((fw - width) / 2);
        front = QRect(front.left() + offset, front.top(), width, front.height());
        rear = QRect(rear.left() + offset, rear.top(), width, rear.height());
    }
    return {front, rear};
}
