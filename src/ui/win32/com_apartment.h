#pragma once

// Windows only: COM on the calling thread, in a single-threaded apartment, for
// as long as the object lives.

#include <objbase.h>

namespace vantrel::ui::win32 {

class ComApartment {
  public:
    ComApartment()
        : m_initialised(SUCCEEDED(
              ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) {}
    ~ComApartment() {
        if (m_initialised) ::CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

  private:
    bool m_initialised;
};

}  // namespace vantrel::ui::win32
