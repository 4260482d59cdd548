// Helpers for the installer's tests: files with chosen contents and times,
// SZDD files, and a watcher that reads and closes pages while a modal loop
// runs.
#ifndef TESTS_APP_APP_TEST_UTIL_H
#define TESTS_APP_APP_TEST_UTIL_H

#include <windows.h>
#include <functional>
#include <string>
#include <vector>

namespace apptest {

bool WriteBytes(const std::string &path, const std::string &data);
// The whole file, or "<missing>" when it cannot be read.
std::string ReadBytes(const std::string &path);
bool Exists(const std::string &path);

// The data as an SZDD file made only of literals (header, then each group
// of up to eight bytes after a control byte 0xFF).
std::string MakeSZDD(const std::string &data);
// As MakeSZDD, but the header claims length bytes.
std::string MakeSZDDClaiming(const std::string &data, unsigned length);

// Sets the last-write time of a file, given in local time.
bool SetLocalWriteTime(const std::string &path, int year, int month, int day, int hour,
                       int minute, int second);
// The last-write time as a raw FILETIME value (0 on failure).
unsigned long long WriteTime(const std::string &path);

// Files in a directory whose names match pattern (e.g. "*.tmp").
std::vector<std::string> ListFiles(const std::string &dir, const char *pattern = "*");

// A fresh empty directory under C:\apptest\<name>, with a trailing backslash.
std::string FreshDir(const char *name);

// Watches, from a thread timer, for visible top-level windows of this
// thread with the given caption. For each new one it calls the inspector
// (if any), records the text of control 101, and then sends the page the
// command of `button` (0: leave it alone).
class PageWatcher {
public:
    PageWatcher(const char *caption, WPARAM button, DWORD delayMs = 80);
    ~PageWatcher();
    PageWatcher(const PageWatcher &) = delete;
    PageWatcher &operator=(const PageWatcher &) = delete;

    void OnPage(std::function<void(HWND)> inspector) { inspector_ = inspector; }
    const std::vector<std::string> &Texts() const { return texts_; }
    int Seen() const { return (int)texts_.size(); }
    // The owner each page had when it was seen.
    const std::vector<HWND> &Owners() const { return owners_; }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);
    void Check();

    std::string caption_;
    WPARAM button_;
    DWORD delay_;
    UINT_PTR timer_;
    HWND current_;
    DWORD since_;
    bool handled_;
    std::function<void(HWND)> inspector_;
    std::vector<std::string> texts_;
    std::vector<HWND> owners_;
};

// Where a test writes a picture for a person to look at: the build tree's
// test-output directory (created on demand).
std::string ShotPath(const char *name);

// Text of a dialog control, read with WM_GETTEXT.
std::string ControlText(HWND page, int id);

} // namespace apptest

#endif
