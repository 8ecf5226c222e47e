#pragma once

#include <optional>

#include <juce_core/juce_core.h>

namespace gribb
{
/** Limits on the XML text of a saved block. The plug-in writes about 1.5 kB with 24 elements;
    texts far beyond that cannot be ours, and JUCE's XML parser recurses once per nesting level
    and slows down quadratically with the number of distinct attribute names, so unbounded
    input could overflow the stack or stall the message thread. */
inline constexpr int maxSavedStateTextBytes = 64 * 1024;
inline constexpr int maxSavedStateElements = 512;

/** The XML text of a block written by copyXmlToBinary, read as getXmlFromBinary reads it: the
    block must be longer than 8 bytes, start with the magic number "VC2!", and hold a length that
    is positive as a signed 32-bit number; the text is that length or the bytes after the header,
    whichever is shorter.

    The text comes back re-encoded as UTF-8, character by character, so that bytes which are not
    valid UTF-8 read the same everywhere (see the source).

    Returns nothing for any other block, and also for a text that JUCE's parser cannot be trusted
    with: longer than maxSavedStateTextBytes, opening more than maxSavedStateElements tags (the
    nesting depth can be no larger), carrying a document type declaration (whose entity
    definitions the parser expands recursively without limit), or a processing instruction other
    than the leading XML declaration (one followed by text inside an element makes the parser
    loop forever), ending inside a hexadecimal character reference (the parser reads past the
    end of the text), holding "&<", which the parser reads as markup inside an entity, or holding
    "base64:", which names an attribute that JUCE decodes into a block of whatever size the text
    states. The plug-in never writes any of these. */
std::optional<juce::String> readSavedStateText (const void* data, int sizeInBytes);

/** The checks of readSavedStateText on an XML text without the block around it (a preset file
    holds the same XML as a saved block): nothing for an empty text or one that JUCE's parser
    cannot be trusted with, otherwise the text re-encoded as UTF-8. */
std::optional<juce::String> checkedSavedStateText (const char* utf8, int numBytes);
} // namespace gribb
