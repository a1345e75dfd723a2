// The system's accessible object of a control, with a name of ours.
#include "platform/win32/accessible_name.h"

#include <oleacc.h>

#include "platform/win32/com_object.h"
#include "platform/win32/system_function.h"

namespace promptella {
namespace {

// Hands every call to the system's object but the name of the control itself. It answers for
// itself every interface it gives out (the window and the children's enumeration of the system's
// object included), so that each of them leads back to the same object.
class NamedAccessible final : public ComObject<IAccessible, IOleWindow, IEnumVARIANT> {
 public:
  NamedAccessible(Microsoft::WRL::ComPtr<IAccessible> inner, std::wstring name)
      : inner_(std::move(inner)), name_(std::move(name)) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (id == __uuidof(IUnknown) || id == __uuidof(IDispatch) || id == __uuidof(IAccessible)) {
      return give(static_cast<IAccessible*>(this), object);
    }
    if (id == __uuidof(IOleWindow) && innerHas(id)) {
      return give(static_cast<IOleWindow*>(this), object);
    }
    if (id == __uuidof(IEnumVARIANT) && innerHas(id)) {
      return give(static_cast<IEnumVARIANT*>(this), object);
    }
    return E_NOINTERFACE;
  }

  // IOleWindow and IEnumVARIANT, handed to the system's object.
  HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override {
    return withInner<IOleWindow>([&](IOleWindow* inner) { return inner->GetWindow(window); });
  }
  HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL enter) override {
    return withInner<IOleWindow>(
        [&](IOleWindow* inner) { return inner->ContextSensitiveHelp(enter); });
  }
  HRESULT STDMETHODCALLTYPE Next(ULONG count, VARIANT* items, ULONG* fetched) override {
    return withInner<IEnumVARIANT>(
        [&](IEnumVARIANT* inner) { return inner->Next(count, items, fetched); });
  }
  HRESULT STDMETHODCALLTYPE Skip(ULONG count) override {
    return withInner<IEnumVARIANT>([&](IEnumVARIANT* inner) { return inner->Skip(count); });
  }
  HRESULT STDMETHODCALLTYPE Reset() override {
    return withInner<IEnumVARIANT>([&](IEnumVARIANT* inner) { return inner->Reset(); });
  }
  HRESULT STDMETHODCALLTYPE Clone(IEnumVARIANT** copy) override {
    return withInner<IEnumVARIANT>([&](IEnumVARIANT* inner) { return inner->Clone(copy); });
  }

  HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
    if (child.vt != VT_I4 || child.lVal != CHILDID_SELF) return inner_->get_accName(child, name);
    if (!name) return E_POINTER;
    // Loaded at first use, as the rest of the accessibility support.
    const auto allocate =
        systemFunction<decltype(SysAllocString)>(L"oleaut32.dll", "SysAllocString");
    *name = allocate ? allocate(name_.c_str()) : nullptr;
    return *name ? S_OK : E_OUTOFMEMORY;
  }

  // Everything else is the system's.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    return inner_->GetTypeInfoCount(count);
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override {
    return inner_->GetTypeInfo(index, locale, info);
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID id, LPOLESTR* names, UINT count, LCID locale,
                                          DISPID* ids) override {
    return inner_->GetIDsOfNames(id, names, count, locale, ids);
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID id, LCID locale, WORD flags,
                                   DISPPARAMS* parameters, VARIANT* result, EXCEPINFO* exception,
                                   UINT* argument) override {
    return inner_->Invoke(member, id, locale, flags, parameters, result, exception, argument);
  }
  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
    return inner_->get_accParent(parent);
  }
  HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override {
    return inner_->get_accChildCount(count);
  }
  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override {
    return inner_->get_accChild(child, object);
  }
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
    return inner_->get_accValue(child, value);
  }
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text) override {
    return inner_->get_accDescription(child, text);
  }
  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
    return inner_->get_accRole(child, role);
  }
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
    return inner_->get_accState(child, state);
  }
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override {
    return inner_->get_accHelp(child, help);
  }
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override {
    return inner_->get_accHelpTopic(file, child, topic);
  }
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override {
    return inner_->get_accKeyboardShortcut(child, shortcut);
  }
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override {
    return inner_->get_accFocus(child);
  }
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) override {
    return inner_->get_accSelection(children);
  }
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
    return inner_->get_accDefaultAction(child, action);
  }
  HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override {
    return inner_->accSelect(flags, child);
  }
  HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height,
                                        VARIANT child) override {
    return inner_->accLocation(left, top, width, height, child);
  }
  HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override {
    return inner_->accNavigate(direction, start, end);
  }
  HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* child) override {
    return inner_->accHitTest(x, y, child);
  }
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
    return inner_->accDoDefaultAction(child);
  }
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override {
    return inner_->put_accName(child, name);
  }
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override {
    return inner_->put_accValue(child, value);
  }

 private:
  ~NamedAccessible() override = default;

  bool innerHas(REFIID id) const {
    Microsoft::WRL::ComPtr<IUnknown> found;
    return SUCCEEDED(inner_->QueryInterface(id, &found));
  }
  template <typename Interface, typename Call>
  HRESULT withInner(Call call) const {
    Microsoft::WRL::ComPtr<Interface> inner;
    return SUCCEEDED(inner_.As(&inner)) ? call(inner.Get()) : E_NOTIMPL;
  }

  Microsoft::WRL::ComPtr<IAccessible> inner_;
  std::wstring name_;
};

}  // namespace

LRESULT accessibleObjectNamed(HWND window, WPARAM flags, LPARAM objectId,
                              const std::wstring& name) {
  if (name.empty() || static_cast<LONG>(objectId) != OBJID_CLIENT) return 0;
  // The object goes to the reader through COM, which its first question starts; the
  // accessibility library, too, is loaded only once a screen reader or automation tool asks.
  if (!startComOnThisThread()) return 0;
  const auto create = systemFunction<decltype(CreateStdAccessibleObject)>(
      L"oleacc.dll", "CreateStdAccessibleObject");
  const auto result =
      systemFunction<decltype(LresultFromObject)>(L"oleacc.dll", "LresultFromObject");
  if (!create || !result) return 0;
  Microsoft::WRL::ComPtr<IAccessible> inner;
  if (FAILED(create(window, OBJID_CLIENT, __uuidof(IAccessible), &inner))) return 0;
  const auto named = makeComObject<NamedAccessible>(std::move(inner), name);
  const LRESULT answer =
      result(__uuidof(IAccessible), flags, static_cast<IAccessible*>(named.Get()));
  // A negative answer is an error (HRESULT): the window's own answer is given instead.
  return answer < 0 ? 0 : answer;
}

}  // namespace promptella
