#pragma once

#include <optional>

#include <juce_core/juce_core.h>

/** The desktop's scale on Linux, for a window whose host passes none. Three settings are asked,
    and the first one that is set decides:
      1. the environment variable GDK_SCALE (a whole number, as GTK takes it), which a user sets
         for one program or a session;
      2. Xft.dpi in the X server's resource database (set by desktops and `xrdb`), over 96;
      3. the X screen's own DPI (its size in pixels over its size in millimetres), over 96.
    JUCE's own rule (the desktop's XSETTINGS window scale, Ubuntu's and GNOME's settings, else the
    screen's DPI) is used by JUCE for the Standalone's window alone; a plug-in's window gets 1.0. */
namespace gribb::desktop
{
struct ScaleSettings
{
    juce::String gdkScale;            // GDK_SCALE as found in the environment (empty: unset)
    juce::String resourceDatabase;    // the X resource database's text (empty: none)
    std::optional<double> screenDpi;  // the X screen's DPI, where the server says its size
};

/** The scale the settings give (1.0 where none is set or none is usable). */
double scaleFrom (const ScaleSettings& settings);

/** The X resource database's bytes as text. The property's type is STRING, which is Latin-1, so
    each byte is one character, whatever bytes a program put there; NUL bytes are left out. */
juce::String resourceText (const char* bytes, size_t size);

/** Xft.dpi's value in the text of an X resource database, if it is there and usable. */
std::optional<double> xftDpiIn (const juce::String& resourceDatabase);

/** Reads the three settings: the environment, and the X display that JUCE has open. */
ScaleSettings readScaleSettings();
} // namespace gribb::desktop
