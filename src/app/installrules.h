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

// The file name part of a path (after the last backslash).
std::u16string FileNameOf(const std::u16string& path);

// Whether two paths name the same file, letter case ignored.
bool SamePathIgnoringCase(const std::u16string& a, const std::u16string& b);

}  // namespace tamsolo
