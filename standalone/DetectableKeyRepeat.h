#pragma once

/** Asks the X server to send the repeats of a held key as key presses only. By default X11 sends
    each repeat as the key coming up and going down again at once, which an app can tell from a
    real release only by the events' time, which JUCE does not pass on; a computer keyboard that
    plays notes would then end and restart its notes, or wait a moment before ending any. With
    this set, a key comes up once, when it is released. The setting belongs to the app's own
    connection to the display. Returns whether the server does it; without an X11 display it does
    nothing and returns false. Call it on the message thread once the desktop is up. */
bool makeKeyRepeatDetectable();
