#pragma once
#include <QString>
#include <vector>

// What was clicked, as bits.
enum ContextMenuTypeFlags {
    CM_TYPEFLAG_NONE = 0,
    CM_TYPEFLAG_PAGE = 1,
    CM_TYPEFLAG_FRAME = 2,
    CM_TYPEFLAG_LINK = 4,
    CM_TYPEFLAG_MEDIA = 8,
    CM_TYPEFLAG_SELECTION = 0x10,
    CM_TYPEFLAG_EDITABLE = 0x20,
};

// Command ids: the browser's standard ones and our own three.
enum ContextMenuId {
    MENU_ID_BACK = 100,
    MENU_ID_FORWARD = 101,
    MENU_ID_RELOAD = 102,
    MENU_ID_RELOAD_NOCACHE = 103,
    MENU_ID_STOPLOAD = 104,
    MENU_ID_UNDO = 110,
    MENU_ID_REDO = 111,
    MENU_ID_CUT = 112,
    MENU_ID_COPY = 113,
    MENU_ID_PASTE = 114,
    MENU_ID_DELETE = 115,
    MENU_ID_SELECT_ALL = 116,
    MENU_ID_PRINT = 131,
    MENU_ID_VIEW_SOURCE = 132,
    CMD_OPEN_LINK_NEW_TAB = 26700,
    CMD_COPY_LINK_ADDRESS = 26701,
    CMD_SHOW_DEV_TOOLS = 26702,
};

// An ordered list of commands and separators, edited before it is shown.
class ContextMenuModel {
  public:
    static constexpr int kSeparator = -1;
    struct Item {
        int id;
        QString label;
        bool operator==(const Item& o) const { return id == o.id && label == o.label; }
    };

    // The browser's own menu for what was clicked, before any edit.
    static ContextMenuModel Standard(int typeFlags);

    void Clear() { items_.clear(); }
    void AddItem(int id, const QString& label) { items_.push_back({id, label}); }
    void AddSeparator() { items_.push_back({kSeparator, QString()}); }
    // False when the id is not in the menu.
    bool SetLabel(int id, const QString& label);

    const std::vector<Item>& Items() const { return items_; }

  private:
    std::vector<Item> items_;
};
