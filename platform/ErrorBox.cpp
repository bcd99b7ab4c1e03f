#include "platform/ErrorBox.h"

#include <atomic>

namespace {

// Set on the window's thread, read by the search thread's boxes too.
std::atomic<HWND> boxOwner{nullptr};

}  // namespace

void setErrorBoxOwner(HWND owner)
{
    boxOwner = owner;
}

int showErrorBox(const char* text, const char* caption)
{
    return MessageBoxA(boxOwner.load(), text, caption, MB_OKCANCEL);
}
