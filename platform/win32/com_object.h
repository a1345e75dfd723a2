// The reference counting of the program's own COM objects, written once.
#pragma once

#include <windows.h>

#include <unknwn.h>
#include <wrl/client.h>

#include <utility>

namespace promptella {

// A COM object that implements `Interfaces`: it lives as long as its references (one when made)
// and deletes itself with the last. Its QueryInterface gives itself out through `give`.
template <typename... Interfaces>
class ComObject : public Interfaces... {
 public:
  ULONG STDMETHODCALLTYPE AddRef() override {
    return static_cast<ULONG>(InterlockedIncrement(&refs_));
  }
  ULONG STDMETHODCALLTYPE Release() override {
    const LONG refs = InterlockedDecrement(&refs_);
    if (refs == 0) delete this;
    return static_cast<ULONG>(refs);
  }

 protected:
  virtual ~ComObject() = default;
  // `self`, as the interface asked for, counted.
  HRESULT give(void* self, void** object) {
    *object = self;
    AddRef();
    return S_OK;
  }

 private:
  LONG refs_ = 1;
};

// A new object of ours; its first reference is the pointer's.
template <typename Object, typename... Arguments>
Microsoft::WRL::ComPtr<Object> makeComObject(Arguments&&... arguments) {
  Microsoft::WRL::ComPtr<Object> object;
  object.Attach(new Object(std::forward<Arguments>(arguments)...));
  return object;
}

}  // namespace promptella
