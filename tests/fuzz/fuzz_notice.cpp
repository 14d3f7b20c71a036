// The operator's notice: the fetched body (bytes from the notice host), the record and its
// dates, compared with what the statistics file holds.
#include "fuzz_input.h"

#include "dialogs/notice.h"
#include "web/datetext.h"

using namespace tamsolo;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const std::u16string storedNotice = fuzz::ConsumeText(in, 1200);
    const std::u16string storedFlag = fuzz::ConsumeText(in, 8);
    const int year = in.ConsumeIntegralInRange(1601, 30827), month = in.ConsumeIntegralInRange(1, 12),
              day = in.ConsumeIntegralInRange(1, 31);
    const std::u16string today = in.ConsumeBool() ? DateText(year, month, day) : fuzz::ConsumeText(in, 40);
    const std::size_t keep = in.ConsumeIntegralInRange<std::size_t>(0, 100);
    const std::u16string fetched = fuzz::Text(in.ConsumeRemainingBytesAsString(), static_cast<std::uint8_t>(keep));

    std::u16string accepted = u"untouched";
    NoticeRecord record;
    record.id = u"untouched";
    if (DecideNotice(fetched, storedNotice, storedFlag, today, &accepted, &record)) {
        // One line, the first of the body, and the record read out of it.
        FUZZ_CHECK(accepted == NoticeFirstLine(fetched) && !accepted.empty());
        FUZZ_CHECK(accepted.find_first_of(u"\r\n") == std::u16string::npos);
        FUZZ_CHECK(record.id.size() <= kNoticeIdChars && record.expiry.size() <= kNoticeExpiryChars &&
                   record.title.size() <= kNoticeTitleChars && record.link.size() <= kNoticeAddressChars &&
                   record.text.size() <= kNoticeAddressChars && record.picture.size() <= kNoticeAddressChars);
        FUZZ_CHECK(NoticeCurrent(record.expiry, today));
        (void)ChooseNoticeLayout(record);
        const std::u16string shortText = ShortenNoticeText(record.text, keep);
        FUZZ_CHECK(fuzz::EndsWith(shortText, u"...") && shortText.size() <= keep + 3);
        // A surrogate pair is never cut in two.
        const std::size_t n = shortText.size() - 3;
        if (n > 0 && n < record.text.size() && shortText[n - 1] >= 0xD800 && shortText[n - 1] <= 0xDBFF) {
            FUZZ_CHECK(record.text[n] < 0xDC00 || record.text[n] > 0xDFFF);
        }
        if (IsWebLink(record.link)) {
            // One argument of the browser's command line, with a host after the scheme.
            const std::size_t host = record.link.find(u"://") + 3;
            FUZZ_CHECK(host > 3 && record.link.size() > host && record.link.find_first_of(u"/\\?#@:", host) != host);
            for (char16_t c : record.link) FUZZ_CHECK(c > u' ' && c != u'"' && (c < 0x7F || c > 0x9F));
        }
    } else {
        FUZZ_CHECK(accepted == u"untouched" && record.id == u"untouched");
    }

    // Dates: antisymmetric, and a day compares equal to itself.
    NoticeRecord parsed;
    if (ParseNoticeRecord(NoticeFirstLine(fetched), &parsed)) {
        const int ab = CompareDateTexts(&parsed.expiry, &today);
        const int ba = CompareDateTexts(&today, &parsed.expiry);
        FUZZ_CHECK(ab == -ba);
        const std::u16string copy = parsed.expiry;
        FUZZ_CHECK(CompareDateTexts(&copy, &parsed.expiry) == 0);
    }
    FUZZ_CHECK(CompareDateTexts(nullptr, &today) >= 0);
    return 0;
}
