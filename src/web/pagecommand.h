// Page commands: addresses beginning with "app:" by which a hosted page tells the launcher
// what the player did. The login page sends "loadgame", "exitgame" and "minimize"; the game
// page sends "entergame". Portable.
#pragma once

#include <cstddef>
#include <string>

namespace tamsolo {

enum class PageCommandKind {
    kNone,      // not a page command: the navigation proceeds
    kLoadGame,  // an account signed in: login argument and game address
    kExitGame,
    kMinimize,
    kUnknown,   // "app:" with any other word: cancelled, nothing else
};

struct PageCommand {
    PageCommandKind kind = PageCommandKind::kNone;
    std::u16string loginArgument;  // loadgame: from position 15 up to the first "|" after it
    std::u16string gameAddress;    // loadgame: after that "|"
};

// Reads a login-page navigation. Positions 4 and 5 are not looked at (pages write "app://");
// the word sits at 6..13, a separator of any kind at 14.
PageCommand ParsePageCommand(const std::u16string& url);

// A login argument needs percent-decoding when it holds "%".
bool NeedsPercentDecoding(const std::u16string& loginArgument);
// Undoes URL percent-escapes in bytes: "%" and two hex digits become that byte; any other
// "%" stays as it is. No limit on the length.
std::string PercentDecode(const std::string& bytes);
// UTF-8 to UTF-16; a malformed sequence becomes U+FFFD, as the system's conversion does.
std::u16string Utf8ToUtf16(const std::string& bytes);
// The login argument after its percent-escapes: ansiBytes is the argument in the ANSI code
// page; the escapes are undone and the bytes read as UTF-8.
std::u16string DecodeLoginArgument(const std::string& ansiBytes);

// A login argument longer than this (in bytes of its UTF-16 text) ends the login without
// asking the main window: no registration text of a real account comes near it, and the main
// window refuses records beyond tamsolo::kMaxRegistrationBytes anyway.
constexpr std::size_t kMaxLoginArgumentBytes = 1024;
bool LoginArgumentFits(const std::u16string& loginArgument);
// A login argument whose decoded text holds a NUL ("%00") ends the login the same way: the
// main window reads a registration only up to its first NUL, so it would register, or refuse
// as a duplicate, an account the page never named.
bool DecodedLoginArgumentUsable(const std::u16string& decoded);

// The parts of "server服-middle-account" after the launcher's clean-up: server without its
// capital S letters, middle cut to the four characters after a "》".
struct Registration {
    std::u16string server;
    std::u16string middle;
    std::u16string account;
    // server + "服-" + middle + "-" + account: what the main window keeps per tab.
    std::u16string Text() const;
};
Registration SplitLoginArgument(const std::u16string& loginArgument);

// "账号 <account> 已在 <server>服 登录，同一账号不能在一服重复登录"
std::u16string DuplicateAccountMessage(const Registration& registration);

// The login page's own buttons sit in this part of its client area (inclusive): a press there
// never drags the window.
bool InLoginButtonArea(long x, long y);

// The game page's "app://entergame|name[|hall site]" command.
struct EnterGameCommand {
    bool isCommand = false;  // the address begins with "app://entergame|": always cancelled
    bool valid = false;      // the name is acceptable: act on it
    std::u16string name;     // "/" removed, first letter upper case: the program is name + ".exe"
    std::u16string hallSite; // the default unless the address names a web address (IsWebAddress)
};
constexpr std::size_t kMaxHallNameLength = 64;
EnterGameCommand ParseEnterGame(const std::u16string& url, const std::u16string& defaultHallSite);

}  // namespace tamsolo
