// The process-wide values of a page process and the fixed addresses it opens.
#pragma once

#include <windows.h>

#include <string>

namespace web {

// http://<game-application server>/controller/client.php?game_id=232
std::wstring LoginAddress();
// http://<client server>/webgame.htm: the game-list page, and the game address until a login
// sets another.
std::wstring GameListAddress();
// The game hall's web site.
std::wstring HallSite();

// The address the game frame opens: the game-list page until "loadgame" sets the game's.
std::wstring& GameAddress();
// The address of the last completed navigation of the game page, and its last title.
std::wstring& CurrentAddress();
std::wstring& PageTitle();

}  // namespace web
