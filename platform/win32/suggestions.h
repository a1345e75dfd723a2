// Suggestions while typing in an edit field: the system's autocompletion (IAutoComplete2), fed
// from a list of our own. It only suggests: the field holds what the user typed until the user
// picks an entry of the list.
#pragma once

#include <windows.h>

#include <wrl/client.h>

#include <functional>
#include <string>
#include <vector>

struct IAutoComplete2;

namespace promptella {

class Suggestions {
 public:
  // `source` gives the entries to offer; it is asked afresh whenever a list is made.
  explicit Suggestions(std::function<std::vector<std::wstring>()> source);
  ~Suggestions();
  Suggestions(const Suggestions&) = delete;
  Suggestions& operator=(const Suggestions&) = delete;

  // Attaches to `edit`; false when the system offers no autocompletion.
  [[nodiscard]] bool attach(HWND edit);
  // Whether the list of suggestions is open below the field.
  [[nodiscard]] bool shown() const;
  // Closes the list without taking any of its entries, as Esc does.
  void close();

 private:
  std::function<std::vector<std::wstring>()> source_;
  Microsoft::WRL::ComPtr<IAutoComplete2> autoComplete_;
  HWND edit_ = nullptr;
};

}  // namespace promptella
