// JUCE's X11 declarations (its display connection), in this one file only: X11's headers define
// names such as None, Bool and Status as macros.
#define JUCE_GUI_BASICS_INCLUDE_XHEADERS 1
#include <juce_gui_basics/juce_gui_basics.h>

#include "standalone/DetectableKeyRepeat.h"

#if JUCE_LINUX || JUCE_BSD
 #include <X11/XKBlib.h>
#endif

bool makeKeyRepeatDetectable()
{
   #if JUCE_LINUX || JUCE_BSD
    auto* display = juce::XWindowSystem::getInstance()->getDisplay();

    if (display == nullptr)
        return false;

    juce::XWindowSystemUtilities::ScopedXLock xLock;
    Bool supported = False;
    return XkbSetDetectableAutoRepeat (display, True, &supported) && supported;
   #else
    return false;
   #endif
}
