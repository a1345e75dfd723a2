// Folder names sorted as Explorer sorts them, by the user's collation ("Élan" with the E's),
// through sort keys: one conversion per name, then plain byte comparisons. Names are added as a
// folder is read; full batches are sorted on a second thread meanwhile, so that a folder of many
// thousands costs little more than reading it.
#pragma once

#include <memory>
#include <string>
#include <vector>

namespace promptella {

struct NameBatch;
class BatchSorter;

class NameSorter {
 public:
  NameSorter();
  ~NameSorter();

  void add(std::wstring name);
  // Every name added, in order.
  std::vector<std::wstring> finish();

 private:
  std::vector<std::unique_ptr<NameBatch>> batches_;
  std::unique_ptr<BatchSorter> sorter_;
};

}  // namespace promptella
