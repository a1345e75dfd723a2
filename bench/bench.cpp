// Benchmarks that print figures: each against a baseline measured in the same run, as medians of
// repeated runs and their ratio. Run under Wine by scripts/bench; nothing here asserts.
#include <windows.h>

#include <psapi.h>
#include <tlhelp32.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "mainwindow/control_ids.h"
#include "platform/win32/text.h"
#include "tests/e2e/driver.h"
#include "tests/support/in_process_window.h"
#include "tests/support/tasks.h"
#include "tests/support/win32_support.h"

namespace promptella::bench {
namespace {

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

void report(const char* name, const std::vector<double>& measured, const char* baselineName,
            const std::vector<double>& baseline, double goal) {
  const double m = median(measured), b = median(baseline);
  std::printf(
      "%-34s median %8.2f ms   %-26s median %8.2f ms   ratio %5.2f (goal <= %.2f: %s), %zu runs\n",
      name, m, baselineName, b, m / b, goal, m / b <= goal ? "met" : "missed", measured.size());
}

std::int64_t preciseNow() {
  FILETIME now;
  GetSystemTimePreciseAsFileTime(&now);
  return (static_cast<std::int64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
}

std::int64_t creationTime(HANDLE process) {
  FILETIME created, exited, kernel, user;
  if (!GetProcessTimes(process, &created, &exited, &kernel, &user)) return 0;
  return (static_cast<std::int64_t>(created.dwHighDateTime) << 32) | created.dwLowDateTime;
}

// The newest process started by `parent` after `since`, by its creation time (0 when none), and
// how many of its children still run.
std::int64_t childCreatedAfter(DWORD parent, std::int64_t since, int* alive = nullptr) {
  std::int64_t newest = 0;
  if (alive) *alive = 0;
  testing::forEachChildProcess(parent, [&](DWORD pid) {
    HANDLE child = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    if (!child) return;
    if (alive && WaitForSingleObject(child, 0) == WAIT_TIMEOUT) ++*alive;
    const std::int64_t created = creationTime(child);
    if (created > since) newest = std::max(newest, created);
    CloseHandle(child);
  });
  return newest;
}

double ticksToMs(std::int64_t ticks) {
  return static_cast<double>(ticks) / 10000.0;
}

struct Started {
  double milliseconds;
  PROCESS_INFORMATION info;
};

// Starts `exe` with `arguments` in `folder` and measures until `ready` holds (polled without
// sleeping).
Started startUntil(const std::filesystem::path& exe, const std::wstring& arguments,
                   const std::filesystem::path& folder, const std::function<bool(DWORD pid)>& ready,
                   DWORD flags = DETACHED_PROCESS) {
  std::wstring commandLine = L"\"" + exe.wstring() + L"\" " + arguments;
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  Started started{};
  const std::int64_t start = preciseNow();
  CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, flags, nullptr,
                 folder.c_str(), &startup, &started.info);
  e2e::waitFor([&] { return ready(started.info.dwProcessId); }, std::chrono::seconds(30),
               std::chrono::milliseconds(1));
  started.milliseconds = ticksToMs(preciseNow() - start);
  return started;
}

HWND visibleWindowOf(DWORD pid, const wchar_t* className) {
  HWND found = nullptr;
  while ((found = FindWindowExW(nullptr, found, className, nullptr)) != nullptr) {
    DWORD owner = 0;
    GetWindowThreadProcessId(found, &owner);
    if (owner == pid && IsWindowVisible(found)) return found;
  }
  return nullptr;
}

std::size_t privateBytes(HANDLE process) {
  PROCESS_MEMORY_COUNTERS_EX counters{};
  counters.cb = sizeof(counters);
  GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                       sizeof(counters));
  // Wine leaves PrivateUsage at 0; its page-file usage counts the same private pages.
  return counters.PrivateUsage ? counters.PrivateUsage : counters.PagefileUsage;
}

void endProcess(const PROCESS_INFORMATION& info) {
  TerminateProcess(info.hProcess, 0);
  WaitForSingleObject(info.hProcess, 10000);
  CloseHandle(info.hProcess);
  CloseHandle(info.hThread);
}

// Whether `pid` shows a window of `className` with the console titled `consoleTitle` right beside
// it: the observable end of the start-up.
bool windowAndConsoleShown(DWORD pid, const wchar_t* className, const wchar_t* consoleTitle) {
  const HWND main = visibleWindowOf(pid, className);
  if (!main) return false;
  RECT frame{}, console{};
  GetWindowRect(main, &frame);
  const HWND consoleWindow = FindWindowW(nullptr, consoleTitle);
  return consoleWindow && GetWindowRect(consoleWindow, &console) && console.left == frame.right;
}

std::filesystem::path floorProgram() {
  return e2e::executableFolder() / L"floor.exe";
}

// From process creation to the main window shown with its console placed beside it (the end of
// the load), against the start-up floor's window and console.
void startUp(int runs) {
  e2e::PromptellaProcess setup(
      "[Configuration]\r\nPath=C:\\windows\r\n"
      "[StoredCommands]\r\nCommand3=tree\r\n"
      "[Commands]\r\nCommand0=dir\r\nCommand1=ver\r\n");
  const auto exe = setup.folder() / L"Promptella.exe";
  std::vector<double> measured, baseline;
  std::size_t memory = 0, baselineMemory = 0;
  for (int i = 0; i < runs; ++i) {
    const Started program = startUntil(exe, L"", setup.folder(), [](DWORD pid) {
      return windowAndConsoleShown(pid, L"PromptellaMainWindow", L"Promptella");
    });
    measured.push_back(program.milliseconds);
    memory = privateBytes(program.info.hProcess);
    endProcess(program.info);

    const Started floor = startUntil(floorProgram(), L"startup", setup.folder(), [](DWORD pid) {
      return windowAndConsoleShown(pid, L"PromptellaFloor", L"PromptellaFloor");
    });
    baseline.push_back(floor.milliseconds);
    baselineMemory = privateBytes(floor.info.hProcess);
    endProcess(floor.info);
  }
  report("Start-up to window and console", measured, "start-up floor", baseline, 1.2);
  const double ratio = static_cast<double>(memory) / static_cast<double>(baselineMemory);
  std::printf("%-34s Promptella %8.1f KiB   floor %8.1f KiB   ratio %5.2f (goal <= 1.50: %s)\n",
              "Private bytes after start-up", static_cast<double>(memory) / 1024,
              static_cast<double>(baselineMemory) / 1024, ratio, ratio <= 1.5 ? "met" : "missed");
  std::printf("%-34s Promptella %8.1f KiB   floor %8.1f KiB\n", "Size of the executable",
              static_cast<double>(std::filesystem::file_size(exe)) / 1024,
              static_cast<double>(std::filesystem::file_size(floorProgram())) / 1024);
}

// Whether the console of `pid` shows the prompt of `folder` ("C:\x>", with or without a command
// after it): the console is ready for the user's input there.
bool consoleShowsPromptOf(DWORD pid, const std::wstring& folder) {
  FreeConsole();
  if (!AttachConsole(pid)) return false;
  bool shown = false;
  HANDLE output =
      CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                  nullptr, OPEN_EXISTING, 0, nullptr);
  CONSOLE_SCREEN_BUFFER_INFO info{};
  if (output != INVALID_HANDLE_VALUE && GetConsoleScreenBufferInfo(output, &info)) {
    const std::wstring prompt = folder + L">";
    std::wstring row(static_cast<std::size_t>(info.dwSize.X), L' ');
    for (SHORT y = 0; y <= info.dwCursorPosition.Y && !shown; ++y) {
      DWORD read = 0;
      ReadConsoleOutputCharacterW(output, row.data(), static_cast<DWORD>(row.size()), {0, y},
                                  &read);
      shown = CompareStringOrdinal(row.c_str(), static_cast<int>(prompt.size()), prompt.c_str(),
                                   static_cast<int>(prompt.size()), TRUE) == CSTR_EQUAL;
    }
  }
  if (output != INVALID_HANDLE_VALUE) CloseHandle(output);
  FreeConsole();
  return shown;
}

// "Open Promptella here" against the command prompt a user would open instead: from starting
// Promptella.exe "<folder>" to its console ready for input in that folder, and from starting
// cmd.exe /k in a new console in that folder to its prompt.
void openHere(int runs) {
  e2e::PromptellaProcess setup;
  const auto exe = setup.folder() / L"Promptella.exe";
  const std::filesystem::path there = setup.folder() / L"opened here";
  std::filesystem::create_directories(there);
  wchar_t system[MAX_PATH] = {};
  GetSystemDirectoryW(system, MAX_PATH);
  const std::filesystem::path interpreter = std::filesystem::path(system) / L"cmd.exe";
  std::vector<double> measured, baseline;
  for (int i = 0; i < runs; ++i) {
    const Started program = startUntil(exe, L"\"" + there.wstring() + L"\"", setup.folder(),
                                       [&](DWORD pid) { return consoleShowsPromptOf(pid, there); });
    measured.push_back(program.milliseconds);
    endProcess(program.info);
    const Started prompt = startUntil(
        interpreter, L"/k", there, [&](DWORD pid) { return consoleShowsPromptOf(pid, there); },
        CREATE_NEW_CONSOLE);
    baseline.push_back(prompt.milliseconds);
    endProcess(prompt.info);
  }
  report("Open here to a ready console", measured, "cmd.exe /k in a console", baseline, 1.2);
}

// Sends Enter with `command` in `field` of a program and measures from the key to the batch's
// process created, read from that process's own creation time; the batch keeps running a moment
// (a ping) so that it can still be asked. One batch at a time: no run competes with the next.
std::vector<double> enterTimes(DWORD pid, HWND field, int runs) {
  std::vector<double> times;
  for (int i = 0; i < runs; ++i) {
    const std::wstring command = L"ping -n 2 127.0.0.1 >nul & rem " + std::to_wstring(i);
    SendMessageW(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(command.c_str()));
    const std::int64_t start = preciseNow();
    SendMessageW(field, WM_CHAR, L'\r', 0);
    const std::int64_t created = childCreatedAfter(pid, start);
    if (created) times.push_back(ticksToMs(created - start));
    e2e::waitFor([&] {
      int alive = 0;
      childCreatedAfter(pid, 0, &alive);
      return alive == 0;
    });
  }
  return times;
}

// From the Enter key in the command line to the batch's process created, against the Enter
// floor: the same five lines written and started with the same call.
void enterToBatchStarted(int runs) {
  e2e::PromptellaProcess program;
  program.start();
  const HWND edit = FindWindowExW(program.control(ids::kCommandLine), nullptr, L"Edit", nullptr);
  const std::vector<double> measured = enterTimes(program.pid(), edit, runs);
  PostMessageW(program.window(), WM_CLOSE, 0, 0);
  program.waitForExit();

  const auto folder = testing::freshTempFolder(L"promptella-bench-floor");
  const Started floor = startUntil(floorProgram(), L"enter", folder, [](DWORD pid) {
    return visibleWindowOf(pid, L"PromptellaFloor") != nullptr;
  });
  const std::vector<double> baseline = enterTimes(
      floor.info.dwProcessId, visibleWindowOf(floor.info.dwProcessId, L"PromptellaFloor"), runs);
  endProcess(floor.info);
  report("Enter to batch started", measured, "Enter floor", baseline, 1.2);
}

// The main window's load with a "Commands" section of n keys written by hand.
void settingsLoad(int runs) {
  const auto folder = testing::freshTempFolder(L"promptella-bench-settings");
  const int sizes[] = {0, 1000, 10000};
  std::vector<double> medians;
  for (const int keys : sizes) {
    std::string ini = "[Configuration]\r\nPath=C:\\\r\n[Commands]\r\n";
    for (int i = 0; i < keys; ++i)
      ini += "Command" + std::to_string(i) + "=echo command " + std::to_string(i) + "\r\n";
    std::ofstream(folder / L"Promptella.ini", std::ios::binary) << ini;
    // Written long ago, as a hand-edited file is.
    std::filesystem::last_write_time(
        folder / L"Promptella.ini",
        std::filesystem::file_time_type::clock::now() - std::chrono::hours(1));
    std::vector<double> times;
    for (int run = 0; run < runs; ++run) {
      testing::InProcessWindow w(folder);
      const std::int64_t start = preciseNow();
      w.controller.load();
      times.push_back(ticksToMs(preciseNow() - start));
    }
    medians.push_back(median(times));
    std::printf("%-34s median %8.2f ms   (%d history keys)\n", "Load with a hand-written history",
                median(times), keys);
  }
  // One key of the unchanged 10,000-key file, read again and again.
  InlineWorker worker;
  IniFile ini(folder / L"Promptella.ini", worker);
  static_cast<void>(ini.readValue(setting::folder()));  // the first read parses the file
  const std::int64_t start = preciseNow();
  constexpr int kReads = 10000;
  for (int i = 0; i < kReads; ++i)
    static_cast<void>(ini.readValue({"Commands", numberedKey(static_cast<std::size_t>(i))}));
  std::printf("%-34s %8.2f us per key   (%d reads)\n", "Reading one key, file unchanged",
              ticksToMs(preciseNow() - start) * 1000 / kReads, kReads);
  const double cost1k = medians[1] - medians[0], cost10k = medians[2] - medians[0];
  std::printf("%-34s 1,000 keys %8.2f ms   10,000 keys %8.2f ms   ratio %5.2f (goal <= 12: %s)\n",
              "History loading cost", cost1k, cost10k, cost10k / cost1k,
              cost10k / cost1k <= 12 ? "met" : "missed");
  std::error_code ignored;
  std::filesystem::remove_all(folder, ignored);
}

// A folder holding "many", a folder of 20,000 subfolders: made at its first use, removed at the
// end.
const std::filesystem::path& foldersParent() {
  static const std::filesystem::path folder = [] {
    const auto made = testing::freshTempFolder(L"promptella-bench-folders");
    const auto many = made / L"many";
    std::filesystem::create_directories(many);
    const std::int64_t start = preciseNow();
    for (int i = 0; i < 20000; ++i)
      CreateDirectoryW((many / (L"folder " + std::to_wstring(i))).c_str(), nullptr);
    std::printf("(20,000 folders made in %.0f ms)\n", ticksToMs(preciseNow() - start));
    return made;
  }();
  return folder;
}

// A move of a list, its answers brought in by the window's messages.
Reach moved(Task<Reach> move) {
  return testing::finish(std::move(move), testing::pumpMessages);
}

// A folder of 20,000 subfolders shown in the folder list, against a bare enumeration.
void bigFolder(int runs) {
  const auto& folder = foldersParent();
  const auto many = folder / L"many";
  testing::InProcessWindow w(folder);
  w.controller.load();
  ShowWindow(w.window.hwnd(), SW_SHOWNOACTIVATE);
  FolderList& list = w.window.controls().folders;
  list.onChange = nullptr;  // the list alone: no batch, no settings
  const std::string parent = narrow(folder.wstring()), target = narrow(many.wstring());
  std::vector<double> measured, baseline;
  for (int run = 0; run < runs; ++run) {
    static_cast<void>(moved(list.setPath(parent)));  // a folder made above: it is there
    const std::int64_t start = preciseNow();
    static_cast<void>(moved(list.setPath(target)));
    measured.push_back(ticksToMs(preciseNow() - start));

    const std::int64_t bare = preciseNow();
    WIN32_FIND_DATAW found;
    std::size_t count = 0;
    HANDLE search =
        FindFirstFileExW((many / L"*").c_str(), FindExInfoBasic, &found,
                         FindExSearchLimitToDirectories, nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (search != INVALID_HANDLE_VALUE) {
      do ++count;
      while (FindNextFileW(search, &found));
      FindClose(search);
    }
    baseline.push_back(ticksToMs(preciseNow() - bare));
  }
  report("20,000 subfolders shown", measured, "bare FindFirstFileExW", baseline, 1.2);
  static_cast<void>(moved(list.setPath(parent)));
}

// How long the main window takes at most to answer: a message sent every 10 ms from another
// thread while `action` runs, from the moment the window exists.
class AnswerProbe {
 public:
  explicit AnswerProbe(std::function<HWND()> window)
      : thread_([this, window = std::move(window)] {
          while (!stop_) {
            const HWND target = window();
            if (target) {
              const std::int64_t sent = preciseNow();
              DWORD_PTR ignored = 0;
              SendMessageTimeoutW(target, WM_NULL, 0, 0, SMTO_NORMAL, 120000, &ignored);
              longest_ = std::max(longest_.load(), ticksToMs(preciseNow() - sent));
            }
            Sleep(10);
          }
        }) {}
  // Stops probing and gives the longest wait for an answer.
  double finish() {
    stop_ = true;
    thread_.join();
    return longest_;
  }

 private:
  std::atomic<bool> stop_{false};
  std::atomic<double> longest_{0};
  std::thread thread_;
};

// Each row says whether a slow drive was mounted: Wine's server stalls on it (see
// docs/maintaining.md).
bool slowDriveMounted() {
  wchar_t slow[4] = {};
  return GetEnvironmentVariableW(L"PROMPTELLA_SLOW_DRIVE", slow, 4) != 0;
}

void reportAnswer(const char* during, double longest) {
  std::printf("%-34s longest answer %8.1f ms   (goal <= 100: %s)   %s\n", during, longest,
              longest <= 100 ? "met" : "missed",
              slowDriveMounted() ? "[slow drive mounted]" : "[no slow drive]");
}

// The main window's answers while it starts, opens the drive list, picks a drive that is slow to
// answer (the one in PROMPTELLA_SLOW_DRIVE, when scripts/bench mounted one), shows a folder of
// 20,000 subfolders and runs a command.
void responsiveness() {
  wchar_t slow[4] = {};
  const bool slowDrive = GetEnvironmentVariableW(L"PROMPTELLA_SLOW_DRIVE", slow, 4) != 0;
  e2e::PromptellaProcess program;
  // The only copy running here.
  const auto window = [] { return FindWindowW(L"PromptellaMainWindow", nullptr); };
  {
    AnswerProbe probe(window);
    program.start();
    reportAnswer(slowDrive ? "Start-up, a slow drive present" : "Start-up", probe.finish());
  }
  const HWND drives = program.control(ids::kDriveList);
  const auto during = [&](const char* name, const std::function<void()>& action) {
    AnswerProbe probe(window);
    action();
    reportAnswer(name, probe.finish());
  };
  during("Opening the drive list", [&] {
    SendMessageW(drives, CB_SHOWDROPDOWN, TRUE, 0);
    Sleep(1000);  // the labels come in meanwhile
    SendMessageW(drives, CB_SHOWDROPDOWN, FALSE, 0);
  });
  if (slowDrive) {
    during("Picking the slow drive", [&] { program.pickDrive(std::wstring{slow[0], L':'}); });
  } else {
    std::printf("%-34s (no slow drive mounted: scripts/bench mounts one as root)\n",
                "Picking the slow drive");
  }
  const auto many = foldersParent() / L"many";
  during("Showing 20,000 subfolders", [&] {
    program.typeCommand(L"cd \"" + many.wstring() + L"\"");
    const HWND folders = program.control(ids::kFolderList);
    testing::waitFor([&] { return SendMessageW(folders, LB_GETCOUNT, 0, 0) > 20000; });
  });
  during("Running a command", [&] {
    program.typeCommand(L"echo answered> answered.txt");
    testing::waitFor([&] { return std::filesystem::exists(many / L"answered.txt"); });
  });
  // A dialog closed, to the main window answering again (under Xvfb without a window manager,
  // Wine waits up to 2 s for one to withdraw a closed window: docs/windows-notes.md).
  program.postMenu(ids::kMenuAbout);
  const HWND about = program.waitForDialog(L"About...");
  during("A dialog closed", [&] {
    PostMessageW(about, WM_COMMAND, IDOK, 0);
    testing::waitFor([&] { return !IsWindow(about) && IsWindowEnabled(program.window()); });
  });
  // Another program holds the settings file: three changes, each kept and tried again while the
  // window goes on answering (the first is told in a message, closed at once).
  const auto ini = program.folder() / L"Promptella.ini";
  HANDLE held = CreateFileW(ini.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  during("Three changes, the file held", [&] {
    for (int i = 0; i < 3; ++i) {
      program.typeCommand(L"rem held " + std::to_wstring(i));
      testing::waitFor([&] {
        if (const HWND box = FindWindowW(L"#32770", L"Promptella")) {
          PostMessageW(box, WM_COMMAND, IDOK, 0);
        }
        return program.comboItems(ids::kCommandLine).front() == L"rem held " + std::to_wstring(i);
      });
    }
  });
  if (held != INVALID_HANDLE_VALUE) CloseHandle(held);
}

}  // namespace
}  // namespace promptella::bench

// With no argument every benchmark runs; otherwise those named: startup settings folder enter open
// responsiveness.
int main(int argc, char** argv) {
  std::setvbuf(stdout, nullptr, _IONBF, 0);
  const auto wanted = [&](const char* name) {
    if (argc < 2) return true;
    for (int i = 1; i < argc; ++i) {
      if (std::string(argv[i]) == name) return true;
    }
    return false;
  };
  if (wanted("startup")) promptella::bench::startUp(20);
  if (wanted("settings")) promptella::bench::settingsLoad(20);
  if (wanted("folder")) promptella::bench::bigFolder(20);
  if (wanted("enter")) promptella::bench::enterToBatchStarted(20);
  if (wanted("open")) promptella::bench::openHere(20);
  if (wanted("responsiveness")) promptella::bench::responsiveness();
  std::error_code ignored;
  std::filesystem::remove_all(promptella::testing::systemTempFolder() / L"promptella-bench-folders",
                              ignored);
  return 0;
}
