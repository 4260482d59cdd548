// Test pages for the controls: the framework brought up for one test, a
// plain dialog with custom controls placed in pixels, WM_COMMAND recording
// and a module with string resources of the test's choosing.
#ifndef TESTS_SUPPORT_CTL_PAGE_H
#define TESTS_SUPPORT_CTL_PAGE_H

#include <windows.h>
#include <string>
#include <utility>
#include <vector>

namespace ctltest {

// Init_Controls for the lifetime of the object, Terminate_Controls after.
class Framework {
public:
    Framework();
    ~Framework();
    Framework(const Framework &) = delete;
    Framework &operator=(const Framework &) = delete;
};

// A modeless dialog (caption, modal frame) whose client area is w x h
// pixels, at screen point (x, y). Its procedure records WM_COMMAND.
HWND CreateTestDialog(int w, int h, int x = 40, int y = 40);
// A borderless popup of w x h pixels at screen point (x, y), painted with
// brush (not deleted), that records WM_COMMAND like the test dialogs.
HWND CreatePlainParent(int w, int h, HBRUSH brush, int x = 40, int y = 40);
// A child window of a custom class at client pixels.
HWND AddControl(HWND parent, const char *className, const char *text, int id, int x, int y,
                int w, int h, DWORD style = WS_CHILD | WS_VISIBLE);
// Lets the display catch up with what was painted (window surfaces are
// flushed to the screen at idle, at most every 50 ms).
void Settle();
// Shows a window, paints it and everything below it, and pumps.
void ShowAndPaint(HWND window);

// Path of a screenshot under <build>/test-output (the build directory from
// the environment's TEST_BINARY_DIR, as CTest sets it).
std::string ScreenshotPath(const char *name);

// The colour a sunken box over the whole of a w x h area shows at (x, y):
// dark grey and black along the top and left, white and light grey along
// the bottom and right; inside for the rest.
COLORREF SunkenBoxPixel(int x, int y, int w, int h, COLORREF inside);

// WM_COMMAND messages (wParam, lParam) received by test dialogs, oldest first.
std::vector<std::pair<WPARAM, LPARAM> > &Commands();

// A copy of the test executable that carries only the string resources
// given with Add, loaded as a data file.
class StringModule {
public:
    StringModule();
    ~StringModule();
    StringModule(const StringModule &) = delete;
    StringModule &operator=(const StringModule &) = delete;

    void Add(UINT id, const std::string &text);
    HINSTANCE Load();   // null on failure

private:
    std::vector<std::pair<UINT, std::string> > strings_;
    std::string path_;
    HMODULE module_;
};

} // namespace ctltest

#endif
