// Owning wrappers for the Win32 handles the panel holds.
#pragma once

#include <windows.h>

#include <memory>
#include <type_traits>

namespace svcpanel {

struct HandleCloser {
  void operator()(HANDLE handle) const {
    if (handle && handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
  }
};
using UniqueHandle = std::unique_ptr<std::remove_pointer_t<HANDLE>, HandleCloser>;

struct GdiDeleter {
  void operator()(HGDIOBJ object) const {
    if (object) DeleteObject(object);
  }
};
using UniqueBitmap = std::unique_ptr<std::remove_pointer_t<HBITMAP>, GdiDeleter>;
using UniqueFont = std::unique_ptr<std::remove_pointer_t<HFONT>, GdiDeleter>;

}  // namespace svcpanel
