// The main window's game pages: the frames in tab order, the registration text of each tab,
// and which one is current. Portable: a frame is an opaque number (the window handle's value).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tamsolo {

using PageHandle = std::uintptr_t;
// The id of the process a text or a frame comes from; 0 when it is not known.
using PageProcess = std::uint32_t;

// More accounts than this go to further launcher windows.
constexpr int kMaxPages = 3;

class PageList {
public:
    // A registration text from the login page of process `sender`: false (and nothing stored)
    // when a tab or a login still waiting for its frame already holds exactly this text;
    // letter case counts. The text waits until a frame of that process registers.
    bool AddName(const std::u16string& name, PageProcess sender = 0);
    bool HasName(const std::u16string& name) const;
    // The login of `process` ended without a frame: the texts it sent are dropped, so that the
    // account is free again and no later tab takes them.
    void DropWaitingNames(PageProcess process);
    bool IsWaiting(PageProcess process) const;
    // Senders whose texts wait for a frame (0 for those whose sender is not known).
    std::vector<PageProcess> WaitingProcesses() const;

    // A frame of `process` registered as a game page: appended, and it becomes the current
    // page. Its caption is the first text its process sent; a process that sent none takes the
    // oldest text of an unknown sender, the order in which logins normally register.
    void AddPage(PageHandle page, PageProcess process = 0);
    bool Holds(PageHandle page) const;

    // Removes tab t and its name; the tab now at t (or the new last one) becomes current.
    // False for an index out of range.
    bool Remove(int t, PageHandle* removed);

    // The next page in tab order, wrapping; nothing with fewer than two pages.
    void SelectNext();
    // False for an index out of range.
    bool Select(int t);

    int Count() const { return static_cast<int>(pages_.size()); }
    int Current() const { return current_; }
    // 0 when there is no page.
    PageHandle CurrentPage() const;
    PageHandle At(int t) const;
    // The caption of tab t; empty when it has none (a frame whose process sent no text).
    std::u16string NameAt(int t) const;
    const std::vector<PageHandle>& Pages() const { return pages_; }
    bool Full() const { return Count() >= kMaxPages; }

private:
    struct Waiting {
        PageProcess sender;
        std::u16string name;
    };
    std::vector<PageHandle> pages_;
    std::vector<std::u16string> names_;  // one per page, in tab order
    std::vector<Waiting> waiting_;       // texts whose frames have not registered yet
    int current_ = 0;
};

// The smallest window the pages fit in: 483 + 189 per page wide and 260 high. With no page
// any size is allowed. Raises width and height where needed; true when it changed either.
bool ApplyMinimumSize(int pages, int* width, int* height);

// A registration text out of a WM_COPYDATA record: the bytes must be there, an even number of
// them, at least one character and at most kMaxRegistrationBytes, with a terminator among them.
// Only the text before the terminator is taken; nothing is read past `bytes`. An empty text
// is refused as well.
bool ReadRegistrationRecord(const void* data, std::size_t bytes, std::u16string* text);

}  // namespace tamsolo
