// Shared fixtures of the tests that run under Wine: real windows, the real
// registry, pixels read back from the screen.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// Saver state as a fresh process has it (the test program's module as the
// instance).
void FreshSaverState();

// Deletes the settings keys (the user's and the machine's) and the policy
// keys, and everything below them.
void DeleteSettingsKey();

// One value of any type and size, its key created when missing; a policy
// number in the machine's or the user's policy key.
void SetRegistryValue(HKEY root, const wchar_t* path, const wchar_t* name, DWORD type, const void* data, DWORD bytes);
void SetPolicyDword(HKEY root, const wchar_t* name, DWORD value);

// Writes settings values for a test (REG_DWORD or REG_SZ in Shift-JIS),
// into the user's key unless the machine's is named.
void SetSettingDword(const char* name, DWORD value);
void SetSettingText(const char* name, const char* value, HKEY root = HKEY_CURRENT_USER);

// Paths to and from the Shift-JIS the tests name their files in; Widen932
// clears the whole field first.
std::string Narrow932(const wchar_t* text);
void Widen932(const std::string& text, wchar_t* out, size_t chars);
template <size_t N>
void Widen932(const std::string& text, wchar_t (&out)[N]) { Widen932(text, out, N); }

// A visible top-level window of the given client size, to host a preview.
HWND CreateHostWindow(int width, int height);

// The saver window as the host makes it in preview mode (a child of
// parent with the parent's client size). Registers the class if needed.
// Its 100 ms timer is stopped: ticks come only from Tick.
HWND CreatePreviewSaver(HWND parent);

// Sends n ticks straight to the saver window, then lets queued messages run.
void Tick(HWND saver, int n);
void PumpMessages();

// Colour of one pixel of a window's client area, as drawn.
COLORREF PixelAt(HWND window, int x, int y);

// A folder of its own under the temporary folder, removed by the caller
// with RemoveTree. Returned as Shift-JIS bytes (plain ASCII in practice).
std::string MakeTempFolder(const char* tag);

// A file the build puts beside the test program (the saver, the viewer,
// the test plug-ins under "testplugins\\").
std::wstring BesideTests(const wchar_t* name);
void WriteFileBytes(const std::string& path, const std::string& bytes);

// A UTF-8 text in the forms an editor may save it in.
enum Form { Utf8Bare, Utf8Marked, Utf16Le, Utf16Be };
std::string Encode(const std::string& utf8, Form form);

// The processes of a program file name (say, the plug-in host of the
// tests' own processor), waiting up to waitMs for one to appear, and
// whether those of the given ids have all ended within ms.
extern const wchar_t* const kOwnHost;
std::vector<DWORD> ProcessesNamed(const wchar_t* exe, DWORD waitMs = 0);
bool ProcessesEnd(const std::vector<DWORD>& ids, DWORD ms);
void RemoveTree(const std::string& folder);

// Lets everyone read the user's settings key (and the tests undo it), with
// write access only as far as `allowed` grants it: a key that cannot be
// written. False when the key's access could not be set.
bool SetSettingsKeyAccess(DWORD allowed);

// The message box that an action showed, read and closed with OK from a
// timer while the action waited in it. Texts are Shift-JIS bytes.
struct SeenBox {
    bool found;
    std::string caption;
    std::vector<std::string> texts;
};
SeenBox WatchMessageBox(const std::function<void()>& action);
bool HasText(const SeenBox& box, const std::string& wanted);

// A group whose cases each run a preview saver in a host window on a clean
// settings key; the window and the key are gone again after each case.
struct SaverWindowTest : testing::Test {
    HWND host = nullptr;
    HWND saver = nullptr;
    void SetUp() override
    {
        FreshSaverState();
        DeleteSettingsKey();
    }
    void TearDown() override
    {
        if (host) DestroyWindow(host);
        PumpMessages();
        DeleteSettingsKey();
    }
    // Call with ASSERT_NO_FATAL_FAILURE: the saver must exist to go on.
    void OpenSaver(int width, int height)
    {
        host = CreateHostWindow(width, height);
        saver = CreatePreviewSaver(host);
        ASSERT_NE(saver, nullptr);
    }
};
