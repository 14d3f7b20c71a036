#include "web/favourite.h"

#include <gtest/gtest.h>

using namespace tamsolo;

TEST(Favourite, TextOfATenCharacterAddressIs125Units) {
    const std::u16string text = FavouriteText(u"http://a/b");
    EXPECT_EQ(text,
              u"[DEFAULT]\r\nBASEURL=http://a/b\r\n[{000214A0-0000-0000-C000-000000000046}]\r\n=19,2\r\n"
              u"[InternetShortcut]\r\nURL=http://a/b\r\nIDList=\r\n");
    EXPECT_EQ(text.size(), 125u);
}

TEST(Favourite, TextThatDoesNotFitIsNotMade) {
    // 105 fixed units and the address twice: 203 characters fit in 511, 204 do not.
    EXPECT_EQ(FavouriteText(std::u16string(203, u'a')).size(), 511u);
    EXPECT_TRUE(FavouriteText(std::u16string(204, u'a')).empty());
}

TEST(Favourite, AddressWithAControlCharacterIsNotWritten) {
    // A line break would add keys of the address's choosing to the shortcut file (an icon on
    // a share, a second URL); a zero would end the file early.
    for (const std::u16string& url : {std::u16string(u"http://a/\r\nIconFile=\\\\evil\\x"), std::u16string(u"http://a/\0b", 11),
                                      std::u16string(u"http://a/\nb"), std::u16string(u"http://a/\tb"),
                                      std::u16string(u"http://a/\x7F"), std::u16string(u"http://a/\x85")}) {
        EXPECT_EQ(FavouriteText(url), u"") << url.size();
    }
}

TEST(Favourite, FileNameStaysInsideTheFolder) {
    struct Case {
        std::u16string name, safe;
    } cases[] = {
        {u"Brennic 12服", u"Brennic 12服"},
        {u"a\\b/c:d*e?f\"g<h>i|j", u"a_b_c_d_e_f_g_h_i_j"},
        {u"..\\..\\Startup\\x", u".._.._Startup_x"},
        {u"tab\there\nnl", u"tab_here_nl"},
        {u"del\x7F c1\x85\x9F", u"del_ c1__"},
        // Names the system takes for a device, not a file in the folder.
        {u"CON", u"_CON"},
        {u"nul", u"_nul"},
        {u"Aux.txt", u"_Aux.txt"},
        {u"PRN .x", u"_PRN .x"},
        {u"CON .", u"_CON ."},
        {u"com1", u"_com1"},
        {u"LPT9", u"_LPT9"},
        {u"COM\u00B2", u"_COM\u00B2"},
        {u"con:", u"con_"},
        {u"CONSOLE", u"CONSOLE"},
        {u"COM10", u"COM10"},
        {u"LPT", u"LPT"},
        {u"CON" + std::u16string(124, u'.'), u"_CON" + std::u16string(123, u'.')},
        {u"", u""},
        {std::u16string(200, u'n'), std::u16string(127, u'n')},
    };
    for (const auto& c : cases) EXPECT_EQ(FavouriteFileName(c.name), c.safe);
}

TEST(Favourite, PathThatDoesNotFitIsNotMade) {
    const std::u16string folder = u"C:\\users\\p\\Favorites";
    EXPECT_EQ(FavouritePath(folder, u"x"), u"C:\\users\\p\\Favorites\\x.url");
    EXPECT_EQ(FavouritePath(folder + u"\\", u"x"), u"C:\\users\\p\\Favorites\\x.url");
    EXPECT_EQ(FavouritePath(folder, u""), u"C:\\users\\p\\Favorites\\.url");
    EXPECT_EQ(FavouritePath(u"", u"x"), u"");
    // 259 characters in all is the limit.
    const std::u16string deep = u"C:\\" + std::u16string(259 - 3 - 1 - 4 - 1, u'd');
    EXPECT_EQ(FavouritePath(deep, u"x").size(), 259u);
    EXPECT_EQ(FavouritePath(deep, u"xy"), u"");
}
