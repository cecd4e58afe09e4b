#include "gui/toolkit/menu_model.h"

#include <utility>

namespace tarvik::gui {

namespace {

void setTexts(MenuItem& item, std::string_view text) {
    const std::size_t tab = text.find('\t');
    item.text = std::string(text.substr(0, tab));
    item.right = tab == std::string_view::npos ? std::string() : std::string(text.substr(tab + 1));
}

}  // namespace

MenuItem::MenuItem() = default;
MenuItem::~MenuItem() = default;
MenuItem::MenuItem(MenuItem&&) noexcept = default;
MenuItem& MenuItem::operator=(MenuItem&&) noexcept = default;

MenuItem::MenuItem(const MenuItem& other)
    : text(other.text),
      right(other.right),
      identifier(other.identifier),
      enabled(other.enabled),
      checked(other.checked),
      separator(other.separator),
      submenu(other.submenu ? std::make_unique<MenuModel>(*other.submenu) : nullptr) {}

MenuItem& MenuItem::operator=(const MenuItem& other) {
    if (this != &other) *this = MenuItem(other);
    return *this;
}

int MenuModel::append(MenuItem item) {
    lines_.push_back(std::move(item));
    return entries_++;
}

int MenuModel::add(std::string_view text, bool enabled) {
    MenuItem item;
    setTexts(item, text);
    item.enabled = enabled;
    return append(std::move(item));
}

void MenuModel::addSeparator() {
    MenuItem item;
    item.separator = true;
    item.enabled = false;
    lines_.push_back(std::move(item));
}

int MenuModel::addSubmenu(std::string_view text, MenuModel submenu) {
    MenuItem item;
    setTexts(item, text);
    item.submenu = std::make_unique<MenuModel>(std::move(submenu));
    return append(std::move(item));
}

void MenuModel::clear() {
    lines_.clear();
    entries_ = 0;
    current_ = -1;
}

int MenuModel::lineOf(int index) const {
    if (index < 0) return -1;
    int seen = 0;
    for (std::size_t line = 0; line < lines_.size(); ++line) {
        if (lines_[line].separator) continue;
        if (seen++ == index) return static_cast<int>(line);
    }
    return -1;
}

int MenuModel::indexOfLine(int line) const {
    if (line < 0 || line >= static_cast<int>(lines_.size()) || lines_[static_cast<std::size_t>(line)].separator)
        return -1;
    int index = 0;
    for (int i = 0; i < line; ++i)
        if (!lines_[static_cast<std::size_t>(i)].separator) ++index;
    return index;
}

MenuItem* MenuModel::entry(int index) {
    const int line = lineOf(index);
    return line < 0 ? nullptr : &lines_[static_cast<std::size_t>(line)];
}

const MenuItem* MenuModel::entry(int index) const { return const_cast<MenuModel*>(this)->entry(index); }

const MenuItem* MenuModel::entryAt(const std::vector<int>& path) const {
    const MenuModel* menu = this;
    const MenuItem* found = nullptr;
    for (const int index : path) {
        if (!menu) return nullptr;
        found = menu->entry(index);
        if (!found) return nullptr;
        menu = found->submenu.get();
    }
    return found;
}

bool MenuModel::setText(int index, std::string_view text) {
    MenuItem* item = entry(index);
    if (!item) return false;
    setTexts(*item, text);
    return true;
}

bool MenuModel::setEnabled(int index, bool enabled) {
    MenuItem* item = entry(index);
    if (!item) return false;
    item->enabled = enabled;
    return true;
}

bool MenuModel::setChecked(int index, bool checked) {
    MenuItem* item = entry(index);
    if (!item) return false;
    item->checked = checked;
    return true;
}

bool MenuModel::showsCheck(int index) const {
    const MenuItem* item = entry(index);
    return item && (item->checked || index == current_);
}

}  // namespace tarvik::gui
