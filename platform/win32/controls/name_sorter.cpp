// Sorting folder names as Explorer does, on a second thread while the folder is read.
#include "platform/win32/controls/name_sorter.h"

#include <windows.h>

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <string_view>

#include "platform/win32/handles.h"
#include "platform/win32/off_thread.h"

namespace promptella {
namespace {

// Appends the sort key of `name` in the user's collation to `keys`; one call for any name that
// fits the buffer, as nearly all do.
void appendSortKey(std::string& keys, const std::wstring& name) {
  const DWORD flags = LCMAP_SORTKEY | LINGUISTIC_IGNORECASE;
  BYTE buffer[1024];
  int size = LCMapStringEx(LOCALE_NAME_USER_DEFAULT, flags, name.c_str(), -1,
                           reinterpret_cast<LPWSTR>(buffer), sizeof(buffer), nullptr, nullptr, 0);
  if (size > 0) {
    keys.append(reinterpret_cast<const char*>(buffer), static_cast<std::size_t>(size));
    return;
  }
  size = LCMapStringEx(LOCALE_NAME_USER_DEFAULT, flags, name.c_str(), -1, nullptr, 0, nullptr,
                       nullptr, 0);
  if (size <= 0) return;
  const std::size_t at = keys.size();
  keys.resize(at + static_cast<std::size_t>(size));
  LCMapStringEx(LOCALE_NAME_USER_DEFAULT, flags, name.c_str(), -1,
                reinterpret_cast<LPWSTR>(keys.data() + at), size, nullptr, nullptr, 0);
}

}  // namespace

// A subfolder's name with its sort key.
struct SortedName {
  std::wstring* name;
  std::string_view key;
  bool operator<(const SortedName& other) const { return key < other.key; }
};

// Subfolder names as they are found, in batches, then sorted by their keys.
struct NameBatch {
  static constexpr std::size_t kSize = 1024;
  std::vector<std::wstring> names;
  std::string keys;  // all the batch's keys, one after another
  std::vector<SortedName> sorted;
  void sort() {
    keys.clear();
    keys.reserve(names.size() * 48);
    std::vector<std::size_t> keyEnds;
    keyEnds.reserve(names.size());
    for (const std::wstring& name : names) {
      appendSortKey(keys, name);
      keyEnds.push_back(keys.size());
    }
    const std::string_view all = keys;
    sorted.clear();
    sorted.reserve(names.size());
    for (std::size_t i = 0, begin = 0; i < names.size(); begin = keyEnds[i++]) {
      sorted.push_back({&names[i], all.substr(begin, keyEnds[i] - begin)});
    }
    std::sort(sorted.begin(), sorted.end());
  }
};

// Sorts full batches on a second thread while the folder is still being read. Started only for
// a folder that fills a batch.
class BatchSorter {
 public:
  ~BatchSorter() { finish(); }
  // Hands over a full batch, to be sorted on the second thread.
  void add(NameBatch* batch) {
    if (!thread_) {
      thread_ = startThread([this] { run(); }, 256 * 1024);
      if (!thread_) return;  // no second thread: the batches are sorted afterwards
    }
    const std::lock_guard lock(mutex_);
    waiting_.push_back(batch);
    wake_.notify_one();
  }
  // Waits until every batch handed over is sorted.
  void finish() {
    if (!thread_) return;
    {
      const std::lock_guard lock(mutex_);
      done_ = true;
      wake_.notify_one();
    }
    WaitForSingleObject(thread_.get(), INFINITE);
    thread_.reset();
  }

 private:
  void run() noexcept {
    for (;;) {
      std::unique_lock lock(mutex_);
      wake_.wait(lock, [this] { return done_ || next_ < waiting_.size(); });
      if (next_ == waiting_.size()) return;
      NameBatch* batch = waiting_[next_++];
      lock.unlock();
      try {
        batch->sort();
      } catch (...) {  // out of memory: the batch is left unsorted and sorted again below
        batch->sorted.clear();
      }
    }
  }

  UniqueHandle thread_;
  std::mutex mutex_;
  std::condition_variable wake_;
  std::vector<NameBatch*> waiting_;
  std::size_t next_ = 0;
  bool done_ = false;
};

NameSorter::NameSorter() : sorter_(std::make_unique<BatchSorter>()) {}

NameSorter::~NameSorter() = default;

void NameSorter::add(std::wstring name) {
  if (batches_.empty() || batches_.back()->names.size() == NameBatch::kSize) {
    if (!batches_.empty()) sorter_->add(batches_.back().get());
    batches_.push_back(std::make_unique<NameBatch>());
    batches_.back()->names.reserve(NameBatch::kSize);
  }
  batches_.back()->names.push_back(std::move(name));
}

std::vector<std::wstring> NameSorter::finish() {
  sorter_->finish();
  // The sorted batches are merged, two runs at a time.
  std::vector<SortedName> children;
  std::vector<std::size_t> runEnds;
  for (const auto& batch : batches_) {
    if (batch->sorted.size() != batch->names.size()) batch->sort();  // the last, or one that failed
    children.insert(children.end(), batch->sorted.begin(), batch->sorted.end());
    runEnds.push_back(children.size());
  }
  while (runEnds.size() > 1) {
    std::vector<std::size_t> merged;
    for (std::size_t i = 0; i < runEnds.size(); i += 2) {
      if (i + 1 == runEnds.size()) {
        merged.push_back(runEnds[i]);
        break;
      }
      const auto begin = children.begin();
      const std::size_t first = i == 0 ? 0 : runEnds[i - 1];
      std::inplace_merge(begin + static_cast<std::ptrdiff_t>(first),
                         begin + static_cast<std::ptrdiff_t>(runEnds[i]),
                         begin + static_cast<std::ptrdiff_t>(runEnds[i + 1]));
      merged.push_back(runEnds[i + 1]);
    }
    runEnds = std::move(merged);
  }
  std::vector<std::wstring> names;
  names.reserve(children.size());
  for (SortedName& child : children) names.push_back(std::move(*child.name));
  return names;
}

}  // namespace promptella
