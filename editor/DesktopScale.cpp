// The X headers come with JUCE's own declarations of the display it opened and of the X library
// functions it loaded, so that the plug-in asks the same display through the same library.
#define JUCE_GUI_BASICS_INCLUDE_XHEADERS 1

#include "editor/DesktopScale.h"

#include <juce_gui_basics/juce_gui_basics.h>

namespace gribb::desktop
{
namespace
{
constexpr double referenceDpi = 96.0;

// A DPI or scale outside these is a misreading, not a setting.
bool usableDpi (double dpi) { return dpi >= 24.0 && dpi <= 960.0; }
} // namespace

juce::String resourceText (const char* bytes, size_t size)
{
    juce::String text;
    text.preallocateBytes (size * 2);

    for (size_t i = 0; i < size; ++i)
        if (const auto byte = (unsigned char) bytes[i]; byte != 0)
            text += (juce::juce_wchar) byte;

    return text;
}

std::optional<double> xftDpiIn (const juce::String& resourceDatabase)
{
    // One resource per line, "name:<white space>value"; a later line wins, as in Xlib.
    std::optional<double> found;

    for (const auto& line : juce::StringArray::fromLines (resourceDatabase))
    {
        const auto colon = line.indexOfChar (':');
        if (colon < 0 || line.substring (0, colon).trim() != "Xft.dpi")
            continue;

        const auto value = line.substring (colon + 1).trim();
        if (value.isEmpty() || ! value.containsOnly ("0123456789."))
            continue;

        if (const auto dpi = value.getDoubleValue(); usableDpi (dpi))
            found = dpi;
    }

    return found;
}

double scaleFrom (const ScaleSettings& settings)
{
    const auto gdk = settings.gdkScale.trim();
    if (gdk.isNotEmpty() && gdk.containsOnly ("0123456789") && gdk.length() <= 2)
        if (const auto scale = gdk.getIntValue(); scale >= 1)
            return (double) scale;

    if (const auto dpi = xftDpiIn (settings.resourceDatabase))
        return *dpi / referenceDpi;

    if (settings.screenDpi.has_value() && usableDpi (*settings.screenDpi))
        return *settings.screenDpi / referenceDpi;

    return 1.0;
}

ScaleSettings readScaleSettings()
{
    ScaleSettings settings;
    settings.gdkScale = juce::SystemStats::getEnvironmentVariable ("GDK_SCALE", {});

   #if JUCE_LINUX || JUCE_BSD
    auto* windowSystem = juce::XWindowSystem::getInstanceWithoutCreating();
    auto* display = windowSystem != nullptr ? windowSystem->getDisplay() : nullptr;

    if (display == nullptr)
        return settings;

    auto* x = juce::X11Symbols::getInstance();
    const juce::XWindowSystemUtilities::ScopedXLock xLock;

    const auto screen = x->xDefaultScreen (display);

    // The resource database lives in a property of the first screen's root window.
    if (const auto atom = juce::XWindowSystemUtilities::Atoms::getIfExists (display, "RESOURCE_MANAGER"); atom != None)
    {
        juce::XWindowSystemUtilities::GetXProperty property (display, x->xRootWindow (display, 0), atom, 0, 1 << 16, false, XA_STRING);

        if (property.success && property.data != nullptr && property.actualFormat == 8)
            settings.resourceDatabase = resourceText ((const char*) property.data, (size_t) property.numItems);
    }

    const auto widthMM = x->xDisplayWidthMM (display, screen);
    const auto heightMM = x->xDisplayHeightMM (display, screen);

    if (widthMM > 0 && heightMM > 0)
        settings.screenDpi = ((x->xDisplayWidth (display, screen) * 25.4) / widthMM
                              + (x->xDisplayHeight (display, screen) * 25.4) / heightMM) / 2.0;
   #endif

    return settings;
}
} // namespace gribb::desktop
