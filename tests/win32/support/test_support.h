// Helpers for the Wine test programs: reading and answering message boxes,
// running this program again as a child, and scratch directories.
#pragma once

#include <windows.h>

#include <set>
#include <string>
#include <vector>

// What a person sees in a message box.
struct MessageBoxContents {
  std::wstring title;
  std::wstring text;
  std::vector<std::wstring> buttons;  // captions in creation order
  bool has_icon = false;              // an icon control shows an icon
  std::vector<DWORD> icon_pixels;     // the icon control as it is on the screen
};

// The first visible dialog-class window of process pid, or null after timeout_ms.
HWND WaitForMessageBox(DWORD pid, int timeout_ms);
// The first visible top-level window of that class in process pid, or null.
HWND WaitForShownWindow(DWORD pid, const wchar_t* window_class, int timeout_ms);
MessageBoxContents ReadMessageBox(HWND box);
// Presses the button with the command id (IDOK, IDNO, ...).
void PressMessageBoxButton(HWND box, int id);

// A case this program runs when started as a child with "--child=<name>".
using ChildCase = int (*)();
struct ChildCaseRegistration {
  ChildCaseRegistration(const char* name, ChildCase run);
};
#define CHILD_CASE(name)                                                       \
  static int ChildCase_##name();                                               \
  static ChildCaseRegistration child_case_reg_##name(#name, ChildCase_##name); \
  static int ChildCase_##name()

// Runs this test program again as "--child=<name>". Returns the process handle
// and id; the caller waits and closes.
struct ChildProcess {
  HANDLE process = nullptr;
  DWORD pid = 0;
  // Waits for the end; returns the exit code, or STILL_ACTIVE after timeout_ms.
  DWORD Wait(int timeout_ms);
  ~ChildProcess();
};
bool StartChild(const char* name, ChildProcess* child);
bool StartProgram(const std::string& command_line, const std::string& current_dir, ChildProcess* child);

// A fresh directory under the temp folder, removed with its files when it goes.
class ScratchDir {
 public:
  ScratchDir();
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  const std::string& path() const { return path_; }
  std::string File(const char* name) const { return path_ + "\\" + name; }

 private:
  std::string path_;
};

// Paths and names here are GBK, as the program keeps them.
std::string ReadWholeFile(const std::string& path);
bool WriteWholeFile(const std::string& path, const std::string& bytes);
// Dispatches this thread's messages for `ms` milliseconds (0: what is queued now).
void PumpMessages(int ms = 50);
// The names in a directory, without "." and "..".
std::set<std::string> ListDirectory(const std::string& dir);
// Points this program's import slot for `name` from `dll` at hook; returns
// the old target, or null when the program does not import it by name.
void* PatchImport(const char* dll, const char* name, void* hook);
// The same for the import slot of a loaded DLL.
void* PatchModuleImport(HMODULE module, const char* dll, const char* name, void* hook);

// This program's ShellExecuteW calls, recorded while the log lives and each
// passed on to the shell.
struct ShellCall {
  HWND owner;
  std::wstring verb, file;
  bool parameters, directory;
  INT show;
};
class ShellExecuteLog {
 public:
  ShellExecuteLog();
  ShellExecuteLog(const ShellExecuteLog&) = delete;
  ShellExecuteLog& operator=(const ShellExecuteLog&) = delete;
  ~ShellExecuteLog();
  bool installed() const;
  std::vector<ShellCall>& calls();
};
// Host path of a build output given to the test on its command line, as Windows sees it.
std::string WindowsPath(const std::string& path);

// The entry every Wine test program shares: child cases, then GoogleTest.
int RunTestMain(int argc, char** argv);
