// Files in native builds (POSIX).
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fstream>
#include <map>
#include <mutex>
#include <sstream>

#include "platform/files.h"

namespace promptella {

std::filesystem::path pathFromUtf8(std::string_view utf8) {
  return std::filesystem::path(utf8);
}

std::string pathToUtf8(const std::filesystem::path& path) {
  return path.string();
}

std::optional<FileStamp> fileStamp(const std::filesystem::path& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return std::nullopt;
  return FileStamp{static_cast<unsigned long long>(info.st_size),
                   static_cast<unsigned long long>(info.st_mtim.tv_sec) * 1000000000ull +
                       static_cast<unsigned long long>(info.st_mtim.tv_nsec),
                   static_cast<unsigned long long>(info.st_ino)};
}

const unsigned long long kFileClockTicksPerSecond = 1000000000ull;

unsigned long long fileClockNow() {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  return static_cast<unsigned long long>(now.tv_sec) * kFileClockTicksPerSecond +
         static_cast<unsigned long long>(now.tv_nsec);
}

std::optional<std::string> readWholeFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream content;
  content << in.rdbuf();
  if (in.bad()) return std::nullopt;
  return std::move(content).str();
}

Replaced replaceFileAtomically(const std::filesystem::path& path, std::string_view bytes) {
  static std::atomic<unsigned> counter{0};
  // A symbolic link keeps its target, which is written.
  std::error_code error;
  std::filesystem::path target = path;
  if (std::filesystem::is_symlink(std::filesystem::symlink_status(path, error))) {
    target = std::filesystem::canonical(path, error);
    if (error) return Replaced::failed;
  }
  std::filesystem::path temp = target;
  temp += "." + std::to_string(getpid()) + "." + std::to_string(counter++) + ".tmp";
  const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
  if (fd < 0) {
    return errno == EACCES || errno == EPERM || errno == EROFS ? Replaced::denied
                                                               : Replaced::failed;
  }
  bool ok = true;
  for (std::size_t done = 0; ok && done < bytes.size();) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n <= 0)
      ok = false;
    else
      done += static_cast<std::size_t>(n);
  }
  ok = ::fsync(fd) == 0 && ok;
  ok = ::close(fd) == 0 && ok;
  ok = ok && std::rename(temp.c_str(), target.c_str()) == 0;
  if (!ok) ::unlink(temp.c_str());
  return ok ? Replaced::done : Replaced::failed;
}

Outcome writeNewFile(const std::filesystem::path& path, std::string_view bytes) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (fd < 0) return Outcome::failed(std::strerror(errno));
  for (std::size_t done = 0; done < bytes.size();) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n <= 0) {
      const std::string reason = std::strerror(errno);
      ::close(fd);
      return Outcome::failed(reason);
    }
    done += static_cast<std::size_t>(n);
  }
  if (::close(fd) != 0) return Outcome::failed(std::strerror(errno));
  return Outcome::success();
}

bool removeFile(const std::filesystem::path& path) {
  return ::unlink(path.c_str()) == 0;
}

std::vector<std::string> filesNamed(const std::filesystem::path& folder, std::string_view prefix,
                                    std::string_view suffix) {
  std::vector<std::string> names;
  std::error_code error;
  for (std::filesystem::directory_iterator entry(folder, error), end; !error && entry != end;
       entry.increment(error)) {
    const std::string name = entry->path().filename().string();
    if (name.size() >= prefix.size() + suffix.size() && name.starts_with(prefix) &&
        name.ends_with(suffix) && entry->is_regular_file(error)) {
      names.push_back(name);
    }
  }
  return names;
}

namespace {

// Native builds run one copy at a time: a lock per file among the threads of this process.
class ThreadFileLock : public FileUpdateLock {
 public:
  explicit ThreadFileLock(std::mutex& mutex) : lock_(mutex) {}

 private:
  std::lock_guard<std::mutex> lock_;
};

}  // namespace

std::unique_ptr<FileUpdateLock> lockForUpdate(const std::filesystem::path& path) {
  static std::mutex guard;
  static std::map<std::string, std::mutex> locks;
  std::mutex* lock = nullptr;
  {
    std::lock_guard<std::mutex> hold(guard);
    lock = &locks[std::filesystem::absolute(path).lexically_normal().string()];
  }
  return std::make_unique<ThreadFileLock>(*lock);
}

}  // namespace promptella
