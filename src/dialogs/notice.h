// The operator's notice: its one-line record, the decision whether to show it, the layout it
// gets and the shortened body text. Portable.
#pragma once

#include <cstddef>
#include <string>

namespace tamsolo {

// Kept lengths of the record's fields, in UTF-16 units; a longer field is cut.
inline constexpr std::size_t kNoticeIdChars = 31;
inline constexpr std::size_t kNoticeExpiryChars = 31;
inline constexpr std::size_t kNoticeTitleChars = 63;
inline constexpr std::size_t kNoticeAddressChars = 511;  // link, text and picture
// How much of the stored notice is read back from the statistics file.
inline constexpr std::size_t kStoredNoticeChars = 1023;
// Body text kept before "..." in the two layouts that show it.
inline constexpr std::size_t kShortTextWithPicture = 54;
inline constexpr std::size_t kShortTextAlone = 71;

struct NoticeRecord {
    std::u16string id;
    std::u16string expiry;  // "year-month-day[ anything]"
    std::u16string title;
    std::u16string link;
    std::u16string text;
    std::u16string picture;
    int repeat = 0;  // showings after the first one
};

enum class NoticeLayout { PictureAndText, PictureOnly, TextOnly };

// The notice ends at its first line break: whatever follows a CR or LF is not part of it, so
// the text stored back into the statistics file is always one line.
std::u16string NoticeFirstLine(const std::u16string& fetched);

// Splits "id|expiry|title|link|text|picture|repeat" (the last field runs to the end). False,
// and nothing usable in *out, when the text has fewer than six separators.
bool ParseNoticeRecord(const std::u16string& text, NoticeRecord* out);

// Whether the player dismissed this notice already: the stored notice occurs in the new text
// and its flag is exactly "0".
bool NoticeDismissed(const std::u16string& text, const std::u16string& storedNotice, const std::u16string& storedFlag);

// Whether the notice is still to be shown today: up to and including its expiry day. An expiry
// that is not a date has passed.
bool NoticeCurrent(const std::u16string& expiry, const std::u16string& today);

// The whole decision. *accepted gets the text to store as the last notice shown (the first
// line of what was fetched) and *record its fields; false means no notice.
bool DecideNotice(const std::u16string& fetched, const std::u16string& storedNotice, const std::u16string& storedFlag,
                  const std::u16string& today, std::u16string* accepted, NoticeRecord* record);

NoticeLayout ChooseNoticeLayout(const NoticeRecord& record);

// The first `keep` units of the text followed by "..." (also when the text is shorter). A
// surrogate pair is never split: a lone high surrogate at the cut is dropped.
std::u16string ShortenNoticeText(const std::u16string& text, std::size_t keep);

// Only web addresses are opened from a notice, by the same rule as a game hall's site
// (IsWebAddress): the shell hands the link to the player's browser on its command line.
bool IsWebLink(const std::u16string& link);

}  // namespace tamsolo
