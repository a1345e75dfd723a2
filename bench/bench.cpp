// Benchmarks that print figures: each against a baseline measured in the same run, as medians of
// repeated runs and their ratio. Run under Wine by scripts/bench; nothing here asserts.
#include <windows.h>

#include <psapi.h>
#include <tlhelp32.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "mainwindow/control_ids.h"
#include "platform/win32/text.h"
#include "tests/e2e/driver.h"
#include "tests/support/in_process_window.h"
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

// From the Enter key in the command line to the batch's process created, read from the process's
// own creation time; the batch keeps running a moment (a ping) so that it can still be asked.
void enterToBatchStarted(int runs) {
  e2e::PromptellaProcess program;
  program.start();
  const HWND edit = FindWindowExW(program.control(ids::kCommandLine), nullptr, L"Edit", nullptr);
  std::vector<double> measured, roundTrips;
  for (int i = 0; i < runs; ++i) {
    const std::int64_t before = preciseNow();
    SendMessageW(edit, WM_GETTEXTLENGTH, 0, 0);
    roundTrips.push_back(ticksToMs(preciseNow() - before));
  }
  std::printf("message round trip to the program: median %.2f ms\n", median(roundTrips));
  for (int i = 0; i < runs; ++i) {
    const std::wstring command = L"ping -n 2 127.0.0.1 >nul & rem " + std::to_wstring(i);
    SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(command.c_str()));
    const std::int64_t start = preciseNow();
    SendMessageW(edit, WM_CHAR, L'\r', 0);
    const std::int64_t created = childCreatedAfter(program.pid(), start);
    if (created) measured.push_back(ticksToMs(created - start));
    // One batch at a time, as in the baseline: no run competes with the one measured.
    e2e::waitFor([&] {
      int alive = 0;
      childCreatedAfter(program.pid(), 0, &alive);
      return alive == 0;
    });
  }

  // The baseline: a bare CreateProcess of an already written batch file, from a process with a
  // console of its own, as the program has.
  AllocConsole();
  const auto batch = program.folder() / L"baseline.bat";
  std::ofstream(batch, std::ios::binary) << "@echo off\r\nping -n 2 127.0.0.1 >nul\r\n";
  std::vector<double> baseline;
  for (int i = 0; i < runs; ++i) {
    std::wstring commandLine = L"\"" + batch.wstring() + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = 2;
    PROCESS_INFORMATION info{};
    const std::int64_t start = preciseNow();
    CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                   &startup, &info);
    baseline.push_back(ticksToMs(creationTime(info.hProcess) - start));
    WaitForSingleObject(info.hProcess, 10000);
    CloseHandle(info.hProcess);
    CloseHandle(info.hThread);
  }
  FreeConsole();
  report("Enter to batch started", measured, "bare CreateProcess", baseline, 1.2);
  PostMessageW(program.window(), WM_CLOSE, 0, 0);
  program.waitForExit();
}

struct Started {
  double milliseconds;
  PROCESS_INFORMATION info;
};

// Starts `exe` in `folder` and measures until `ready` holds (polled without sleeping).
Started startUntil(const std::filesystem::path& exe, const std::filesystem::path& folder,
                   const std::function<bool(DWORD pid)>& ready) {
  std::wstring commandLine = L"\"" + exe.wstring() + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  Started started{};
  const std::int64_t start = preciseNow();
  CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, DETACHED_PROCESS,
                 nullptr, folder.c_str(), &startup, &started.info);
  e2e::waitFor([&] { return ready(started.info.dwProcessId); }, std::chrono::seconds(30),
               std::chrono::milliseconds(1));
  started.milliseconds = ticksToMs(preciseNow() - start);
  return started;
}

HWND visibleWindowOf(DWORD pid, const wchar_t* className) {
  HWND found = nullptr;
  while ((found = FindWindowExW(nullptr, found, className, nullptr))) {
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

// From process creation to the main window shown with its console placed (the last step of the
// load) and its settings loaded, against a minimal program's one window shown.
void startUp(int runs) {
  e2e::PromptellaProcess setup(
      "[Configuration]\r\nPath=C:\\windows\r\n"
      "[StoredCommands]\r\nCommand3=tree\r\n"
      "[Commands]\r\nCommand0=dir\r\nCommand1=ver\r\n");
  const auto exe = setup.folder() / L"Promptella.exe";
  const auto minimal = e2e::executableFolder() / L"minimal_window.exe";
  std::vector<double> measured, baseline;
  std::size_t memory = 0, baselineMemory = 0;
  for (int i = 0; i < runs; ++i) {
    const Started program = startUntil(exe, setup.folder(), [](DWORD pid) {
      const HWND main = visibleWindowOf(pid, L"PromptellaMainWindow");
      if (!main) return false;
      RECT frame{};
      GetWindowRect(main, &frame);
      // The console is placed beside the window at the end of the load.
      HWND console = FindWindowW(nullptr, L"Promptella");
      RECT consoleFrame{};
      return console && GetWindowRect(console, &consoleFrame) && consoleFrame.left == frame.right;
    });
    measured.push_back(program.milliseconds);
    memory = privateBytes(program.info.hProcess);
    endProcess(program.info);

    const Started other = startUntil(minimal, setup.folder(), [](DWORD pid) {
      return visibleWindowOf(pid, L"MinimalWindow") != nullptr;
    });
    baseline.push_back(other.milliseconds);
    baselineMemory = privateBytes(other.info.hProcess);
    endProcess(other.info);
  }
  report("Start-up to window and console", measured, "minimal one-window program", baseline, 1.3);
  std::printf("%-34s Promptella %8.1f KiB   minimal program %8.1f KiB\n",
              "Private bytes after start-up", static_cast<double>(memory) / 1024,
              static_cast<double>(baselineMemory) / 1024);
  std::printf("%-34s %8.1f KiB\n", "Size of Promptella.exe",
              static_cast<double>(std::filesystem::file_size(exe)) / 1024);
}

// The main window's load with a "Commands" section of n keys written by hand.
void settingsLoad(int runs) {
  const auto folder = testing::freshTempFolder(L"promptella-bench-settings");
  const int sizes[] = {0, 1000, 10000};
  std::vector<double> medians;
  std::size_t parses = 0;
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
      parses = w.controller.settings().parseCount();
    }
    medians.push_back(median(times));
    std::printf("%-34s median %8.2f ms   (%d history keys; the file parsed %zu time(s) per load)\n",
                "Load with a hand-written history", median(times), keys, parses);
  }
  // One key of the unchanged 10,000-key file, read again and again.
  IniFile ini(folder / L"Promptella.ini");
  ini.readValue("Configuration", "Path");
  const std::int64_t start = preciseNow();
  constexpr int kReads = 10000;
  for (int i = 0; i < kReads; ++i)
    ini.readValue("Commands", numberedKey(static_cast<std::size_t>(i)));
  std::printf("%-34s %8.2f us per key   (%d reads, the file parsed %zu time(s))\n",
              "Reading one key, file unchanged", ticksToMs(preciseNow() - start) * 1000 / kReads,
              kReads, ini.parseCount());
  const double cost1k = medians[1] - medians[0], cost10k = medians[2] - medians[0];
  std::printf("%-34s 1,000 keys %8.2f ms   10,000 keys %8.2f ms   ratio %5.2f (goal <= 12: %s)\n",
              "History loading cost", cost1k, cost10k, cost10k / cost1k,
              cost10k / cost1k <= 12 ? "met" : "missed");
  std::error_code ignored;
  std::filesystem::remove_all(folder, ignored);
}

// A folder of 20,000 subfolders shown in the folder list, against a bare enumeration.
void bigFolder(int runs) {
  const auto folder = testing::freshTempFolder(L"promptella-bench-folders");
  const auto many = folder / L"many";
  std::filesystem::create_directories(many);
  const std::int64_t made = preciseNow();
  for (int i = 0; i < 20000; ++i)
    CreateDirectoryW((many / (L"folder " + std::to_wstring(i))).c_str(), nullptr);
  std::printf("(20,000 folders made in %.0f ms)\n", ticksToMs(preciseNow() - made));
  testing::InProcessWindow w(folder);
  w.controller.load();
  ShowWindow(w.window.hwnd(), SW_SHOWNOACTIVATE);
  FolderList& list = w.window.controls().folders;
  list.onChange = nullptr;  // the list alone: no batch, no settings
  const std::string parent = narrow(folder.wstring()), target = narrow(many.wstring());
  std::vector<double> measured, baseline;
  for (int run = 0; run < runs; ++run) {
    list.setPath(parent);
    const std::int64_t start = preciseNow();
    list.setPath(target);
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
  report("20,000 subfolders shown", measured, "bare FindFirstFileExW", baseline, 2.0);
  list.setPath(parent);
  std::error_code ignored;
  std::filesystem::remove_all(folder, ignored);
}

}  // namespace
}  // namespace promptella::bench

// With no argument every benchmark runs; otherwise those named: startup settings folder enter.
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
  return 0;
}
