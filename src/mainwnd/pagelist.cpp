#include "mainwnd/pagelist.h"

#include <algorithm>
#include <cstring>

#include "app/protocol.h"

namespace tamsolo {

bool PageList::HasName(const std::u16string& name) const {
    return std::find(names_.begin(), names_.end(), name) != names_.end();
}

bool PageList::AddName(const std::u16string& name) {
    if (HasName(name)) return false;
    names_.push_back(name);
    return true;
}

void PageList::AddPage(PageHandle page) {
    pages_.push_back(page);
    current_ = Count() - 1;
}

bool PageList::Holds(PageHandle page) const {
    return std::find(pages_.begin(), pages_.end(), page) != pages_.end();
}

bool PageList::Remove(int t, PageHandle* removed) {
    if (t < 0 || t >= Count()) return false;
    if (removed) *removed = pages_[static_cast<std::size_t>(t)];
    pages_.erase(pages_.begin() + t);
    // Names and frames arrive by different messages; a frame without a name has none to lose.
    if (t < static_cast<int>(names_.size())) names_.erase(names_.begin() + t);
    if (t >= Count()) t = Count() - 1;
    current_ = t < 0 ? 0 : t;
    return true;
}

void PageList::SelectNext() {
    if (Count() < 2) return;
    current_ = (current_ + 1) % Count();
}

bool PageList::Select(int t) {
    if (t < 0 || t >= Count()) return false;
    current_ = t;
    return true;
}

PageHandle PageList::CurrentPage() const { return At(current_); }

PageHandle PageList::At(int t) const {
    if (t < 0 || t >= Count()) return 0;
    return pages_[static_cast<std::size_t>(t)];
}

std::u16string PageList::NameAt(int t) const {
    if (t < 0 || t >= static_cast<int>(names_.size())) return {};
    return names_[static_cast<std::size_t>(t)];
}

bool ApplyMinimumSize(int pages, int* width, int* height) {
    if (pages < 1) return false;
    const int minWidth = 483 + 189 * pages;
    const int minHeight = 260;
    bool changed = false;
    if (*width < minWidth) {
        *width = minWidth;
        changed = true;
    }
    if (*height < minHeight) {
        *height = minHeight;
        changed = true;
    }
    return changed;
}

bool ReadRegistrationRecord(const void* data, std::size_t bytes, std::u16string* text) {
    if (!data || bytes < 2 || bytes % 2 != 0 || bytes > kMaxRegistrationBytes) return false;
    const std::size_t units = bytes / 2;
    std::u16string copy(units, u'\0');
    // memcpy: the record's bytes need not be aligned for char16_t.
    std::memcpy(&copy[0], data, bytes);
    const std::size_t end = copy.find(u'\0');
    if (end == std::u16string::npos || end == 0) return false;
    copy.resize(end);
    *text = std::move(copy);
    return true;
}

}  // namespace tamsolo
