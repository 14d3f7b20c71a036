#include "mainwnd/pagelist.h"

#include <algorithm>
#include <cstring>

#include "app/protocol.h"

namespace tamsolo {

bool PageList::HasName(const std::u16string& name) const {
    if (std::find(names_.begin(), names_.end(), name) != names_.end()) return true;
    return std::any_of(waiting_.begin(), waiting_.end(), [&name](const Waiting& w) { return w.name == name; });
}

bool PageList::AddName(const std::u16string& name, PageProcess sender) {
    if (HasName(name)) return false;
    waiting_.push_back(Waiting{sender, name});
    return true;
}

void PageList::DropWaitingNames(PageProcess process) {
    waiting_.erase(std::remove_if(waiting_.begin(), waiting_.end(),
                                  [process](const Waiting& w) { return w.sender == process; }),
                   waiting_.end());
}

bool PageList::IsWaiting(PageProcess process) const {
    return std::any_of(waiting_.begin(), waiting_.end(), [process](const Waiting& w) { return w.sender == process; });
}

std::vector<PageProcess> PageList::WaitingProcesses() const {
    std::vector<PageProcess> result;
    for (const Waiting& w : waiting_) {
        if (std::find(result.begin(), result.end(), w.sender) == result.end()) result.push_back(w.sender);
    }
    return result;
}

void PageList::AddPage(PageHandle page, PageProcess process) {
    auto own = waiting_.end();
    if (process != 0) {
        own = std::find_if(waiting_.begin(), waiting_.end(), [process](const Waiting& w) { return w.sender == process; });
    }
    if (own == waiting_.end()) {
        own = std::find_if(waiting_.begin(), waiting_.end(), [](const Waiting& w) { return w.sender == 0; });
    }
    if (own != waiting_.end()) {
        names_.push_back(std::move(own->name));
        waiting_.erase(own);
    } else {
        names_.emplace_back();
    }
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
    names_.erase(names_.begin() + t);
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
