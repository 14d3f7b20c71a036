// Folder removal and counting, the path beside the program and appending to a file, on the
// real file system of the prefix.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "app/uninstall_win.h"
#include "framework/handle_win.h"
#include "web/localfiles_win.h"

namespace {

std::wstring Scratch(const wchar_t* name) {
    wchar_t dir[MAX_PATH];
    ::GetTempPathW(MAX_PATH, dir);
    return std::wstring(dir) + name;
}

void Write(const std::wstring& path, const char* text = "x") {
    fw::Handle file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    ::WriteFile(file.Get(), text, static_cast<DWORD>(strlen(text)), &written, nullptr);
}

bool Exists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Files a/f1, a/ro (read-only), a/sub/f2, a/sub/deeper/f3 and the empty folder a/empty.
std::wstring MakeTree(const wchar_t* name) {
    const std::wstring root = Scratch(name);
    web::RemoveDirectoryTree(root);
    ::CreateDirectoryW(root.c_str(), nullptr);
    ::CreateDirectoryW((root + L"\\sub").c_str(), nullptr);
    ::CreateDirectoryW((root + L"\\sub\\deeper").c_str(), nullptr);
    ::CreateDirectoryW((root + L"\\empty").c_str(), nullptr);
    Write(root + L"\\f1");
    Write(root + L"\\ro");
    ::SetFileAttributesW((root + L"\\ro").c_str(), FILE_ATTRIBUTE_READONLY);
    Write(root + L"\\sub\\f2");
    Write(root + L"\\sub\\deeper\\f3");
    return root;
}

}  // namespace

TEST(LocalFiles, CountsFilesInTheWholeTree) {
    const std::wstring root = MakeTree(L"net_count_tree");
    EXPECT_EQ(web::CountFiles(root), 4u);
    EXPECT_EQ(web::CountFiles(root + L"\\"), 4u);
    EXPECT_EQ(web::CountFiles(root + L"\\empty"), 0u);
    // What cannot be listed counts as one file; no path at all as none.
    EXPECT_EQ(web::CountFiles(root + L"\\missing"), 1u);
    EXPECT_EQ(web::CountFiles(L""), 0u);
    web::RemoveDirectoryTree(root);
}

TEST(LocalFiles, RemovesTheTreeReadOnlyFilesIncluded) {
    const std::wstring root = MakeTree(L"net_remove_tree");
    EXPECT_TRUE(web::RemoveDirectoryTree(root));
    EXPECT_FALSE(Exists(root));
    EXPECT_FALSE(web::RemoveDirectoryTree(root));
    EXPECT_FALSE(web::RemoveDirectoryTree(L""));
}

TEST(LocalFiles, LockedFileKeepsTheFolderAndGivesItsError) {
    const std::wstring root = MakeTree(L"net_remove_locked");
    {
        fw::Handle locked(::CreateFileW((root + L"\\sub\\f2").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(locked);
        ::SetLastError(0);
        EXPECT_FALSE(web::RemoveDirectoryTree(root + L"\\sub"));
        EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
        EXPECT_TRUE(Exists(root + L"\\sub\\f2"));
        EXPECT_FALSE(Exists(root + L"\\sub\\deeper"));
    }
    EXPECT_TRUE(web::RemoveDirectoryTree(root));
}


TEST(LocalFiles, AppendKeepsWhatWasThere) {
    const std::wstring path = Scratch(L"net_append.txt");
    ::DeleteFileW(path.c_str());
    EXPECT_EQ(app::AppendToFile(path, "cd\\\r\n"), 5);
    EXPECT_EQ(app::AppendToFile(path, ":delexe\r\n"), 9);
    fw::Handle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    char buffer[64] = {};
    DWORD got = 0;
    ::ReadFile(file.Get(), buffer, sizeof buffer, &got, nullptr);
    EXPECT_EQ(std::string(buffer, got), "cd\\\r\n:delexe\r\n");
    file.Reset();
    // A file another program holds without sharing: failure, and the system says why.
    fw::Handle locked(::CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    EXPECT_EQ(app::AppendToFile(path, "x"), -1);
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    locked.Reset();
    ::DeleteFileW(path.c_str());
}
