// Names and paths of the installation: the shortcuts and the older per-user desktop link. Portable.
#pragma once

#include <string>

namespace tamsolo {

inline constexpr char16_t kShortcutName[] = u"kelvraBrennic极速登陆器";
inline constexpr char16_t kUninstallShortcutName[] = u"卸载 kelvraBrennic极速登陆器";
inline constexpr char16_t kStartMenuFolder[] = u"\\Kelvra登录器";
inline constexpr char16_t kShortcutArgs[] = u"/TamsoloD";
inline constexpr char16_t kUninstallArgs[] = u"/uninst";
inline constexpr char16_t kLinkExtension[] = u".lnk";

// Earlier versions put the desktop link on the user's own desktop. Its path is built from the
// documents folder's parent, the common desktop folder's own name and the shortcut name.
// Empty when either folder has no backslash to cut at.
std::u16string OlderPerUserShortcut(const std::u16string& documentsFolder, const std::u16string& commonDesktop);

// A file directly in the install directory; empty when the install directory is unknown
// (empty), so that no caller falls back to a file in the root of the current drive.
std::u16string FileInInstallDir(const std::u16string& installDir, const std::u16string& fileName);

// Where everything an ordinary start writes lives (counters, hotkeys, notice state, downloads,
// dumps): the user's local application-data folder + "\Kelvra\GameLogin". The program folder
// belongs to administrators. Empty when the user's folder is unknown.
std::u16string UserStateDirFrom(const std::u16string& localAppData);

// A file directly in the per-user folder. Empty when the folder is unknown or the name is not a
// plain file name (empty, ".", "..", or holding a folder or drive separator), so a name that
// comes from outside (a game hall's id) can never reach another folder.
std::u16string StateFileIn(const std::u16string& stateDir, const std::u16string& name);

inline constexpr char16_t kStatisticsFileName[] = u"Statistic.ini";

// The crash dump of a program: its file name with the extension replaced by ".dmp", in the
// per-user folder. Empty when the file name has no "." or the folder is unknown.
std::u16string DumpPathFor(const std::u16string& stateDir, const std::u16string& exePath);

// The file name part of a path (after the last backslash).
std::u16string FileNameOf(const std::u16string& path);

// The folder part of a path: everything before the last backslash; empty when there is none.
std::u16string FolderOfPath(const std::u16string& path);

// Whether two paths name the same file, letter case ignored.
bool SamePathIgnoringCase(const std::u16string& a, const std::u16string& b);

}  // namespace tamsolo
