#include "web/datetext.h"

#include <cstdio>

namespace tamsolo {

namespace {

constexpr std::size_t kMaxPartDigits = 7;

struct DateParts {
    int year = 0;
    int month = 0;
    int day = 0;
};

bool ReadPart(const std::u16string& text, std::size_t begin, std::size_t end, int* value) {
    if (end <= begin || end - begin > kMaxPartDigits) return false;
    int v = 0;
    for (std::size_t i = begin; i < end; ++i) {
        const char16_t c = text[i];
        if (c < u'0' || c > u'9') return false;
        v = v * 10 + (c - u'0');
    }
    *value = v;
    return true;
}

bool ParseDate(const std::u16string* text, DateParts* out) {
    if (!text) return false;
    const std::size_t end = text->find(u' ');
    const std::u16string date = text->substr(0, end);
    const std::size_t first = date.find(u'-');
    if (first == std::u16string::npos) return false;
    const std::size_t second = date.find(u'-', first + 1);
    if (second == std::u16string::npos) return false;
    return ReadPart(date, 0, first, &out->year) && ReadPart(date, first + 1, second, &out->month) &&
           ReadPart(date, second + 1, date.size(), &out->day);
}

}  // namespace

std::u16string DateText(int year, int month, int day) {
    char buffer[64];
    const int n = std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d", year, month, day);
    if (n <= 0) return u"";
    return std::u16string(buffer, buffer + (static_cast<std::size_t>(n) < sizeof buffer ? n : sizeof buffer - 1));
}

int CompareDateTexts(const std::u16string* a, const std::u16string* b) {
    if (a == b) return 0;
    DateParts da, db;
    const bool okA = ParseDate(a, &da);
    const bool okB = ParseDate(b, &db);
    if (!okA || !okB) return okA == okB ? 0 : (okA ? -1 : 1);
    if (da.year != db.year) return db.year - da.year;
    if (da.month != db.month) return db.month - da.month;
    return db.day - da.day;
}

}  // namespace tamsolo
