// The system's autocompletion over a list of our own. COM is loaded and started only when the
// user first types in the command line.
#include "platform/win32/suggestions.h"

#include <objbase.h>
#include <shldisp.h>
#include <shobjidl.h>

#include "platform/win32/com_object.h"
#include "platform/win32/system_function.h"

namespace promptella {

// The entries on offer, as the autocompletion enumerates them.
class SuggestionList final : public ComObject<IEnumString> {
 public:
  explicit SuggestionList(std::function<std::vector<std::wstring>()> source)
      : source_(std::move(source)), entries_(source_()) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (id != __uuidof(IUnknown) && id != __uuidof(IEnumString)) return E_NOINTERFACE;
    return give(static_cast<IEnumString*>(this), object);
  }

  HRESULT STDMETHODCALLTYPE Next(ULONG count, LPOLESTR* out, ULONG* fetched) override {
    const auto allocate = systemFunction<decltype(CoTaskMemAlloc)>(L"ole32.dll", "CoTaskMemAlloc");
    ULONG given = 0;
    for (; given < count && next_ < entries_.size() && allocate; ++given, ++next_) {
      const std::wstring& entry = entries_[next_];
      const std::size_t bytes = (entry.size() + 1) * sizeof(wchar_t);
      out[given] = static_cast<LPOLESTR>(allocate(bytes));
      if (!out[given]) break;
      std::copy(entry.c_str(), entry.c_str() + entry.size() + 1, out[given]);
    }
    if (fetched) *fetched = given;
    return given == count ? S_OK : S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE Skip(ULONG count) override {
    next_ = std::min(entries_.size(), next_ + count);
    return next_ < entries_.size() ? S_OK : S_FALSE;
  }
  // The autocompletion starts a new list: the entries are taken again, so that a command just
  // run or stored is offered.
  HRESULT STDMETHODCALLTYPE Reset() override {
    entries_ = source_();
    next_ = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Clone(IEnumString** copy) override {
    if (!copy) return E_POINTER;
    auto list = makeComObject<SuggestionList>(source_);
    list->next_ = next_;
    *copy = list.Detach();
    return S_OK;
  }

 private:
  ~SuggestionList() override = default;

  std::function<std::vector<std::wstring>()> source_;
  std::vector<std::wstring> entries_;
  std::size_t next_ = 0;
};

Suggestions::Suggestions(std::function<std::vector<std::wstring>()> source)
    : source_(std::move(source)) {}

Suggestions::~Suggestions() = default;

bool Suggestions::attach(HWND edit) {
  const auto create = systemFunction<decltype(CoCreateInstance)>(L"ole32.dll", "CoCreateInstance");
  if (!create || !startComOnThisThread()) return false;
  // CLSID_AutoComplete, the shell's autocompletion object.
  static constexpr CLSID kAutoComplete = {
      0x00BB2763, 0x6A77, 0x11D0, {0xA5, 0x35, 0x00, 0xC0, 0x4F, 0xD7, 0xD0, 0x62}};
  // The autocompletion keeps its own reference to the list.
  if (FAILED(create(kAutoComplete, nullptr, CLSCTX_INPROC_SERVER, __uuidof(IAutoComplete2),
                    &autoComplete_)) ||
      FAILED(autoComplete_->Init(edit, makeComObject<SuggestionList>(source_).Get(), nullptr,
                                 nullptr))) {
    return false;
  }
  edit_ = edit;
  // Suggest only: an appended, selected completion would be run by Enter as if it were typed.
  return SUCCEEDED(autoComplete_->SetOptions(ACO_AUTOSUGGEST));
}

bool Suggestions::shown() const {
  Microsoft::WRL::ComPtr<IAutoCompleteDropDown> dropDown;
  DWORD status = 0;
  return autoComplete_ && SUCCEEDED(autoComplete_.As(&dropDown)) &&
         SUCCEEDED(dropDown->GetDropDownStatus(&status, nullptr)) && (status & ACDD_VISIBLE) != 0;
}

void Suggestions::close() {
  // The autocompletion has no call that closes its list; Esc, handed to the field, does.
  if (shown()) SendMessageW(edit_, WM_KEYDOWN, VK_ESCAPE, 0);
}

}  // namespace promptella
