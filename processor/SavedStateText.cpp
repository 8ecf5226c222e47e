#include "processor/SavedStateText.h"

namespace gribb
{
namespace
{
constexpr juce::uint32 xmlBlockMagic = 0x21324356; // "VC2!" little-endian, as copyXmlToBinary writes it
constexpr int headerBytes = 8;

/** The text with every character decoded and encoded again. JUCE reads a character from UTF-8
    in two ways: its parser decodes, while number parsing and copying look at the raw bytes, and
    the two disagree about bytes that are not valid UTF-8 (a lone 0xb9 decodes as '9' but is no
    digit to the number reader). Re-encoding first gives every reader the same text, and the
    same text that the plug-in will write when it saves again. */
juce::String reencoded (const juce::String& raw)
{
    juce::String text;
    text.preallocateBytes (raw.getNumBytesAsUTF8());

    for (auto p = raw.getCharPointer(); ! p.isEmpty();)
        text += p.getAndAdvance();

    return text;
}

/** Whether the text ends inside a hexadecimal character reference ("&#x" and hex digits): JUCE's
    parser then steps over the text's terminating zero and reads on beyond the string. */
bool endsInsideHexReference (const juce::String& text)
{
    const auto tail = text.substring (text.lastIndexOfChar ('&'));
    return tail.startsWithIgnoreCase ("&#x") && tail.substring (3).containsOnly ("0123456789abcdefABCDEF");
}

bool isDocumentTypeDeclaration (juce::String::CharPointerType p)
{
    return p.compareIgnoreCaseUpTo (juce::CharPointer_ASCII ("<!DOCTYPE"), 9) == 0;
}
} // namespace

std::optional<juce::String> readSavedStateText (const void* data, int sizeInBytes)
{
    if (data == nullptr || sizeInBytes <= headerBytes)
        return std::nullopt;

    if (juce::ByteOrder::littleEndianInt (data) != xmlBlockMagic)
        return std::nullopt;

    const auto storedLength = (int) juce::ByteOrder::littleEndianInt (juce::addBytesToPointer (data, 4));

    if (storedLength <= 0)
        return std::nullopt;

    return checkedSavedStateText (static_cast<const char*> (data) + headerBytes, std::min (sizeInBytes - headerBytes, storedLength));
}

std::optional<juce::String> checkedSavedStateText (const char* utf8, int numBytes)
{
    if (utf8 == nullptr || numBytes <= 0 || numBytes > maxSavedStateTextBytes)
        return std::nullopt;

    // The copy ends in a zero byte, so decoding never reads past the caller's data.
    const auto text = reencoded (juce::String::fromUTF8 (utf8, numBytes));
    const auto declaration = text.getCharPointer().findEndOfWhitespace();
    int openingTags = 0;

    for (auto p = text.getCharPointer(); ! p.isEmpty(); ++p)
    {
        // The parser reads an unknown entity that starts with '<' ("&<...;") as markup, in a
        // nested parse of its own that the checks below and at the end do not see into.
        if (*p == '&' && p[1] == '<')
            return std::nullopt;

        if (*p != '<' || p[1] == '/')
            continue;

        if (++openingTags > maxSavedStateElements || isDocumentTypeDeclaration (p))
            return std::nullopt;

        // Only the XML declaration at the start may be a processing instruction: inside an
        // element, one followed by text sends JUCE's parser into an endless loop.
        if (p[1] == '?' && p != declaration)
            return std::nullopt;
    }

    // An attribute named "base64:..." is decoded into a memory block whose size the text states
    // ("2000000000.abc" asks for 2 GB; a negative size throws): a few bytes could exhaust memory.
    if (endsInsideHexReference (text) || text.contains ("base64:"))
        return std::nullopt;

    return text;
}
} // namespace gribb
