#include "platform/Beep.h"

#include <windows.h>
#include <atomic>

namespace {
std::atomic<int> beeps{0};
}

void signalBeep()
{
    MessageBeep(0);
    ++beeps;
}

int beepCount()
{
    return beeps.load();
}
