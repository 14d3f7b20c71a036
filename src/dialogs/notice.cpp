#include "dialogs/notice.h"

#include <climits>

#include "net/address.h"
#include "web/datetext.h"

namespace tamsolo {

namespace {

std::u16string Kept(const std::u16string& field, std::size_t limit) { return field.substr(0, limit); }

// A decimal number as the C runtime reads one: blanks, a sign, digits, anything after them
// ignored; no digits read as 0. Kept within int.
int ReadCount(const std::u16string& text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == u' ' || text[i] == u'\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) negative = text[i++] == u'-';
    long long value = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        value = value * 10 + (text[i] - u'0');
        if (value > INT_MAX) value = INT_MAX;
    }
    return static_cast<int>(negative ? -value : value);
}

}  // namespace

std::u16string NoticeFirstLine(const std::u16string& fetched) {
    return fetched.substr(0, fetched.find_first_of(u"\r\n"));
}

bool ParseNoticeRecord(const std::u16string& text, NoticeRecord* out) {
    std::u16string fields[7];
    std::size_t begin = 0;
    for (int i = 0; i < 6; ++i) {
        const std::size_t bar = text.find(u'|', begin);
        if (bar == std::u16string::npos) return false;
        fields[i] = text.substr(begin, bar - begin);
        begin = bar + 1;
    }
    fields[6] = text.substr(begin);
    out->id = Kept(fields[0], kNoticeIdChars);
    out->expiry = Kept(fields[1], kNoticeExpiryChars);
    out->title = Kept(fields[2], kNoticeTitleChars);
    out->link = Kept(fields[3], kNoticeAddressChars);
    out->text = Kept(fields[4], kNoticeAddressChars);
    out->picture = Kept(fields[5], kNoticeAddressChars);
    out->repeat = ReadCount(fields[6]);
    return true;
}

bool NoticeDismissed(const std::u16string& text, const std::u16string& storedNotice, const std::u16string& storedFlag) {
    if (storedNotice.empty() || text.find(storedNotice) == std::u16string::npos) return false;
    return storedFlag == u"0";
}

bool NoticeCurrent(const std::u16string& expiry, const std::u16string& today) {
    return CompareDateTexts(&today, &expiry) >= 0;
}

bool DecideNotice(const std::u16string& fetched, const std::u16string& storedNotice, const std::u16string& storedFlag,
                  const std::u16string& today, std::u16string* accepted, NoticeRecord* record) {
    const std::u16string text = NoticeFirstLine(fetched);
    if (text.empty()) return false;
    if (NoticeDismissed(text, storedNotice.substr(0, kStoredNoticeChars), storedFlag)) return false;
    NoticeRecord parsed;
    if (!ParseNoticeRecord(text, &parsed)) return false;
    if (!NoticeCurrent(parsed.expiry, today)) return false;
    *accepted = text;
    *record = parsed;
    return true;
}

NoticeLayout ChooseNoticeLayout(const NoticeRecord& record) {
    if (record.picture.empty()) return NoticeLayout::TextOnly;
    return record.text.empty() ? NoticeLayout::PictureOnly : NoticeLayout::PictureAndText;
}

std::u16string ShortenNoticeText(const std::u16string& text, std::size_t keep) {
    std::u16string head = text.substr(0, keep);
    if (head.size() == keep && keep > 0 && head.back() >= 0xD800 && head.back() <= 0xDBFF) head.pop_back();
    return head + u"...";
}

bool IsWebLink(const std::u16string& link) { return IsWebAddress(link); }

}  // namespace tamsolo
