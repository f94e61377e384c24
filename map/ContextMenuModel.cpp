#include "map/ContextMenuModel.h"

ContextMenuModel ContextMenuModel::Standard(int typeFlags) {
    ContextMenuModel m;
    if (typeFlags & CM_TYPEFLAG_EDITABLE) {
        m.AddItem(MENU_ID_UNDO, "&Undo");
        m.AddItem(MENU_ID_REDO, "&Redo");
        m.AddSeparator();
        m.AddItem(MENU_ID_CUT, "Cu&t");
        m.AddItem(MENU_ID_COPY, "&Copy");
        m.AddItem(MENU_ID_PASTE, "&Paste");
        m.AddItem(MENU_ID_DELETE, "&Delete");
        m.AddSeparator();
        m.AddItem(MENU_ID_SELECT_ALL, "Select &all");
    } else if (typeFlags & CM_TYPEFLAG_SELECTION) {
        m.AddItem(MENU_ID_COPY, "&Copy");
    } else if (typeFlags & (CM_TYPEFLAG_PAGE | CM_TYPEFLAG_FRAME)) {
        m.AddItem(MENU_ID_BACK, "&Back");
        m.AddItem(MENU_ID_FORWARD, "&Forward");
        m.AddSeparator();
        m.AddItem(MENU_ID_PRINT, "&Print...");
        m.AddItem(MENU_ID_VIEW_SOURCE, "View s&ource");
    }
    return m;
}

bool ContextMenuModel::SetLabel(int id, const QString& label) {
    for (Item& item : items_) {
        if (item.id == id) {
            item.label = label;
            return true;
        }
    }
    return false;
}
