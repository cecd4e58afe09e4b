// What a pop-up menu lists, whatever shows it: entries with a text (and an
// optional right-hand column), separators, sub-menus, check marks and
// disabled entries.
//
// Entries are known by their index: the number of entries before them in
// their own menu, separators not counted. The first entry is 0 whatever
// separators stand before it, an entry that opens a sub-menu has an index
// like any other, and the entries of a sub-menu count from 0 again. The
// editor keeps the index that add() answered for each command.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tarvik::gui {

class MenuModel;

// One line of a menu: an entry or a separator.
struct MenuItem {
    std::string text;
    std::string right;       // the right-hand column; empty for none
    std::string identifier;  // what the editor knows the entry by besides its index (a listed file's path)
    bool enabled = true;
    bool checked = false;
    bool separator = false;
    std::unique_ptr<MenuModel> submenu;  // the menu this entry opens; null for none

    MenuItem();
    ~MenuItem();
    // Copies take the sub-menu along.
    MenuItem(const MenuItem& other);
    MenuItem& operator=(const MenuItem& other);
    MenuItem(MenuItem&&) noexcept;
    MenuItem& operator=(MenuItem&&) noexcept;
};

// The entry a menu answered with.
struct MenuChoice {
    // The entry's index in the top menu, then in each sub-menu down to it.
    std::vector<int> path;
    // The chosen entry's identifier.
    std::string identifier;
    bool operator==(const MenuChoice&) const = default;
};

class MenuModel {
public:
    // Adds an entry and answers its index. A tab in `text` starts the
    // right-hand column.
    int add(std::string_view text, bool enabled = true);
    void addSeparator();
    // Adds an entry that opens `submenu` and answers its index.
    int addSubmenu(std::string_view text, MenuModel submenu);
    void clear();

    // Entries, separators not counted.
    int size() const { return entries_; }
    bool empty() const { return entries_ == 0; }
    // Entry `index`; null when there is none.
    MenuItem* entry(int index);
    const MenuItem* entry(int index) const;
    // The entry at the end of `path` (an index here, then in its sub-menu,
    // and so on); null when the path leads nowhere.
    const MenuItem* entryAt(const std::vector<int>& path) const;

    // Each answers false, changing nothing, when there is no entry `index`.
    // A tab in `text` starts the right-hand column, as in add().
    bool setText(int index, std::string_view text);
    bool setEnabled(int index, bool enabled);
    bool setChecked(int index, bool checked);

    // The entry standing for the current setting (the filter menu's mode):
    // it shows a check mark. -1 (or any index without an entry) for none.
    int current() const { return current_; }
    void setCurrent(int index) { current_ = index; }
    // Whether entry `index` shows a check mark: checked, or the current one.
    bool showsCheck(int index) const;

    // Every line in order, separators included, for whatever draws them.
    const std::vector<MenuItem>& lines() const { return lines_; }
    // The line that entry `index` is on; -1 when there is none.
    int lineOf(int index) const;
    // The index of the entry on `line`; -1 for a separator or no line.
    int indexOfLine(int line) const;

private:
    int append(MenuItem item);

    std::vector<MenuItem> lines_;
    int entries_ = 0;
    int current_ = -1;
};

}  // namespace tarvik::gui
