#include "tests/app/app_test_util.h"

#include <map>

namespace apptest {

bool WriteBytes(const std::string &path, const std::string &data)
{
    HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, NULL);
    if (f == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    BOOL ok = WriteFile(f, data.data(), (DWORD)data.size(), &written, NULL);
    CloseHandle(f);
    return ok && written == data.size();
}

std::string ReadBytes(const std::string &path)
{
    HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (f == INVALID_HANDLE_VALUE)
        return "<missing>";
    std::string data;
    char buf[4096];
    DWORD got = 0;
    while (ReadFile(f, buf, sizeof buf, &got, NULL) && got)
        data.append(buf, got);
    CloseHandle(f);
    return data;
}

bool Exists(const std::string &path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string MakeSZDDClaiming(const std::string &data, unsigned length)
{
    std::string out("SZDD\x88\xF0\x27\x33", 8);
    out += 'A';
    out += '\0';
    for (int i = 0; i < 4; i++)
        out += (char)((length >> (8 * i)) & 0xFF);
    for (size_t pos = 0; pos < data.size(); pos += 8) {
        out += '\xFF';
        out += data.substr(pos, 8);
    }
    return out;
}

std::string MakeSZDD(const std::string &data)
{
    return MakeSZDDClaiming(data, (unsigned)data.size());
}

bool SetLocalWriteTime(const std::string &path, int year, int month, int day, int hour,
                       int minute, int second)
{
    SYSTEMTIME st;
    ZeroMemory(&st, sizeof st);
    st.wYear = (WORD)year;
    st.wMonth = (WORD)month;
    st.wDay = (WORD)day;
    st.wHour = (WORD)hour;
    st.wMinute = (WORD)minute;
    st.wSecond = (WORD)second;
    FILETIME local, utc;
    if (!SystemTimeToFileTime(&st, &local) || !LocalFileTimeToFileTime(&local, &utc))
        return false;
    HANDLE f = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                           NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (f == INVALID_HANDLE_VALUE)
        return false;
    BOOL ok = SetFileTime(f, NULL, NULL, &utc);
    CloseHandle(f);
    return ok != 0;
}

unsigned long long WriteTime(const std::string &path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return 0;
    return ((unsigned long long)data.ftLastWriteTime.dwHighDateTime << 32) |
           data.ftLastWriteTime.dwLowDateTime;
}

std::vector<std::string> ListFiles(const std::string &dir, const char *pattern)
{
    std::vector<std::string> names;
    std::string query = dir;
    if (!query.empty() && query.back() != '\\')
        query += '\\';
    query += pattern;
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA(query.c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE)
        return names;
    do {
        if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            names.push_back(fd.cFileName);
    } while (FindNextFileA(h, &fd));
    FindClose(h);
    return names;
}

static void RemoveTree(const std::string &dir)
{
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((dir + "*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            std::string name = fd.cFileName;
            if (name == "." || name == "..")
                continue;
            std::string path = dir + name;
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(path + "\\");
            } else {
                SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(path.c_str());
            }
        } while (FindNextFileA(h, &fd));
        FindClose(h);
    }
    RemoveDirectoryA(dir.c_str());
}

std::string FreshDir(const char *name)
{
    CreateDirectoryA("C:\\apptest", NULL);
    std::string dir = std::string("C:\\apptest\\") + name + "\\";
    RemoveTree(dir);
    CreateDirectoryA(dir.c_str(), NULL);
    return dir;
}

std::string ShotPath(const char *name)
{
#ifdef TEST_BINARY_DIR
    std::string dir = std::string("Z:") + TEST_BINARY_DIR + "\\test-output";
#else
    std::string dir = "C:\\test-output";
#endif
    for (char &c : dir)
        if (c == '/')
            c = '\\';
    CreateDirectoryA(dir.c_str(), NULL);
    return dir + "\\" + name;
}

std::string ControlText(HWND page, int id)
{
    char buf[512] = "";
    SendDlgItemMessageA(page, id, WM_GETTEXT, sizeof buf, (LPARAM)buf);
    return buf;
}

// ---- page watcher ----

static std::map<UINT_PTR, PageWatcher *> &Watchers()
{
    static std::map<UINT_PTR, PageWatcher *> watchers;
    return watchers;
}

PageWatcher::PageWatcher(const char *caption, WPARAM button, DWORD delayMs)
    : caption_(caption), button_(button), delay_(delayMs), current_(NULL), since_(0), handled_(false)
{
    timer_ = SetTimer(NULL, 0, 20, Tick);
    Watchers()[timer_] = this;
}

PageWatcher::~PageWatcher()
{
    KillTimer(NULL, timer_);
    Watchers().erase(timer_);
}

void CALLBACK PageWatcher::Tick(HWND, UINT, UINT_PTR id, DWORD)
{
    auto it = Watchers().find(id);
    if (it != Watchers().end())
        it->second->Check();
}

struct FindData {
    const std::string *caption;
    HWND found;
};

static BOOL CALLBACK FindCaption(HWND window, LPARAM param)
{
    FindData *data = (FindData *)param;
    char text[128] = "";
    GetWindowTextA(window, text, sizeof text);
    if (IsWindowVisible(window) && *data->caption == text) {
        data->found = window;
        return FALSE;
    }
    return TRUE;
}

void PageWatcher::Check()
{
    FindData data = {&caption_, NULL};
    EnumThreadWindows(GetCurrentThreadId(), FindCaption, (LPARAM)&data);
    if (!data.found) {
        current_ = NULL;
        return;
    }
    if (data.found != current_) {
        current_ = data.found;
        since_ = GetTickCount();
        handled_ = false;
        return;
    }
    if (handled_ || GetTickCount() - since_ < delay_)
        return;
    handled_ = true;   // once per page
    if (inspector_)
        inspector_(current_);
    texts_.push_back(ControlText(current_, 101));
    owners_.push_back(GetWindow(current_, GW_OWNER));
    if (button_)
        PostMessageA(current_, WM_COMMAND, button_, 0);
}

} // namespace apptest
