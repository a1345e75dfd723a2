// Where an unexpected error is told.
#include "platform/win32/error_boundary.h"

#include <atomic>

#include "platform/win32/off_thread.h"
#include "platform/win32/text.h"
#include "product.h"

namespace promptella {
namespace {

std::atomic<HWND> errorOwner{nullptr};

}  // namespace

void setErrorOwner(HWND owner) noexcept {
  errorOwner = owner;
}

void reportUnexpectedError(std::string_view what) noexcept {
  const ModalScope modal;
  try {
    const std::wstring text = L"An unexpected error stopped this action: " + widen(what) +
                              L"\r\n\r\nPromptella keeps running.";
    MessageBoxW(errorOwner.load(), text.c_str(), kProductNameWide, MB_OK);
  } catch (...) {
    MessageBoxW(errorOwner.load(), L"An unexpected error stopped this action.", kProductNameWide,
                MB_OK);
  }
}

}  // namespace promptella
