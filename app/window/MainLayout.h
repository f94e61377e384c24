#pragma once
#include <QRect>
#include <map>

// Where every control of the main window goes for a client size, in the
// window's normal (not full-screen) form. Pure arithmetic, kept apart from the
// window so it can be checked number by number.
struct MainLayoutInput {
    int cx = 0;
    int cy = 0;
    int rightPaneWidth = 240;
    int mapHeight = 240;
    int groupListHeight = 120;
    bool mapEnabled = true;
    bool gsensorEnabled = true;
    int gsensorHeight = 0; // the curve's current height
};

struct MainLayoutResult {
    std::map<int, QRect> controls; // by control id
    QRect mapPane;                 // for PlaceMap; zero height when the map is off
    QRect mapSplitter;             // empty when the map is off
    QRect columnSplitter;
    QRect groupListSplitter;
};

MainLayoutResult LayoutControls(const MainLayoutInput& in);

// Both video rectangles cut to the recording's aspect ratio, centred in their
// frames, the rear one with the front one's offsets and size. A video size of
// 0 leaves the frames as they are.
struct VideoRects {
    QRect front;
    QRect rear;
};
VideoRects FitVideosToAspect(QRect frontFrame, QRect rearFrame, int videoWidth, int videoHeight);

// Rectangles are given as (left, top, right, bottom) with exclusive right and
// bottom edges, as the layout's measures are written.
inline QRect Ltrb(int l, int t, int r, int b) {
    return QRect(QPoint(l, t), QPoint(r - 1, b - 1));
}
