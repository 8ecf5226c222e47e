// What a GUI application does before its first X call, for test programs that open windows from a
// console process: Xlib may be used from several threads (the hosted plug-in's windowing code among
// them), and an X error is counted instead of ending the process.
#include <X11/Xlib.h>

#include <atomic>

#include "support/XClientSetUp.h"

namespace
{
std::atomic<int> errors { 0 };

int countError (Display*, XErrorEvent*)
{
    ++errors;
    return 0;
}

struct SetUp
{
    SetUp()
    {
        XInitThreads();
        XSetErrorHandler (countError);
    }
} setUp;
} // namespace

int gribb::test::xErrorCount() { return errors.load(); }
