#include "processor/PresetFile.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "engine/ParameterTable.h"
#include "processor/SavedStateText.h"

namespace gribb
{
namespace
{
const juce::Identifier paramTag ("PARAM");
const juce::Identifier idAttribute ("id");
const juce::Identifier valueAttribute ("value");
const char* const rootTag = "PARAMETERS"; // the parameter state's value-tree type

/** True when the whole text is a decimal number: an optional sign, digits with an optional
    fraction (or a fraction alone), and an optional exponent. "0x10", "1e", "12abc", "inf" and
    "nan" are not. */
bool isDecimalNumber (const juce::String& t)
{
    auto p = t.getCharPointer();
    const auto digits = [&p]
    {
        int n = 0;
        for (; juce::CharacterFunctions::isDigit (*p); ++p)
            ++n;
        return n;
    };

    if (*p == '+' || *p == '-')
        ++p;

    int mantissaDigits = digits();

    if (*p == '.')
    {
        ++p;
        mantissaDigits += digits();
    }

    if (mantissaDigits == 0)
        return false;

    if (*p == 'e' || *p == 'E')
    {
        ++p;
        if (*p == '+' || *p == '-')
            ++p;
        if (digits() == 0)
            return false;
    }

    return p.isEmpty();
}

/** A number as the saved state writes it: digits, optionally signed, optionally with a fraction
    and an exponent. Anything else ("", "abc", "nan", "0x10", "3 dB") is not taken, and the
    parameter keeps its value. */
std::optional<float> plainNumber (const juce::String& text)
{
    const auto t = text.trim();

    if (! isDecimalNumber (t))
        return std::nullopt;

    return (float) t.getDoubleValue(); // beyond the float range this is ±infinity, clamped when applied
}

} // namespace

juce::String oneLineText (const juce::String& text, int maxChars)
{
    juce::String out;
    int fitsWithEllipsis = 0; // the length of out up to the last piece that leaves room for "..."

    for (auto p = text.getCharPointer(); ! p.isEmpty(); ++p)
    {
        const auto c = *p;

        if (c == '\n')       out << "\\n";
        else if (c == '\r')  out << "\\r";
        else if (c == '\t')  out << "\\t";
        else if (c == '\\') out << "\\\\";
        else if (c < 0x20 || c == 0x7f || (c >= 0x80 && c < 0xa0) || c == 0x2028 || c == 0x2029)
            out << "\\x" << juce::String::toHexString ((int) c).paddedLeft ('0', 2);
        else
            out += juce::String::charToString (c);

        if (out.length() > maxChars)
            return out.substring (0, fitsWithEllipsis) + "...";

        if (out.length() <= maxChars - 3)
            fitsWithEllipsis = out.length();
    }

    return out;
}

juce::String presetText (juce::AudioProcessorValueTreeState& parameters, const juce::String& name)
{
    // The parameter state's own children, so that the values read exactly as in a saved state;
    // anything else that the tree may carry is not part of a sound.
    const auto state = parameters.copyState();
    juce::XmlElement xml (rootTag);
    xml.setAttribute (presetNameAttribute, name);
    xml.setAttribute (presetFormatAttribute, userPresetFormatVersion);

    for (const auto& spec : parameterTable)
    {
        const auto child = state.getChildWithProperty (idAttribute, juce::String (spec.id));

        if (child.hasType (paramTag) && child.hasProperty (valueAttribute))
        {
            auto* param = xml.createNewChildElement (paramTag.toString());
            param->setAttribute (idAttribute, spec.id);
            param->setAttribute (valueAttribute, child[valueAttribute].toString());
        }
    }

    return xml.toString();
}

PresetReadResult readPresetText (const void* data, size_t numBytes)
{
    if (data == nullptr || numBytes == 0)
        return { std::nullopt, "the file is empty" };

    if (numBytes > (size_t) maxSavedStateTextBytes)
        return { std::nullopt, "the file is too large to be a preset" };

    if (std::memchr (data, 0, numBytes) != nullptr)
        return { std::nullopt, "the file holds binary data, not a preset" };

    const auto text = checkedSavedStateText (static_cast<const char*> (data), (int) numBytes);

    if (! text.has_value())
        return { std::nullopt, "the file holds XML that a preset never contains" };

    const auto xml = juce::parseXML (*text);

    if (xml == nullptr)
        return { std::nullopt, "the file is damaged (its XML is incomplete or malformed)" };

    if (xml->getTagName() != rootTag)
        return { std::nullopt, "the file is not a Gribb Tazo preset" };

    // JUCE's parser returns what it read of a document that ends early; a preset always ends
    // with its root's closing tag.
    if (! text->trimEnd().endsWith ("</" + juce::String (rootTag) + ">"))
        return { std::nullopt, "the file is damaged (its XML is incomplete or malformed)" };

    if (! xml->hasAttribute (presetFormatAttribute))
        return { std::nullopt, "the file is not a Gribb Tazo preset" };

    const auto format = xml->getStringAttribute (presetFormatAttribute).trim();

    if (! format.containsOnly ("0123456789") || format.isEmpty() || format.length() > 9 || format.getIntValue() < 1)
        return { std::nullopt, "the file has an unknown preset format (" + oneLineText (format, 20) + ")" };

    if (format.getIntValue() > userPresetFormatVersion)
        return { std::nullopt, "the file was saved by a newer Gribb Tazo (preset format " + format + ")" };

    UserPreset preset;
    preset.name = xml->getStringAttribute (presetNameAttribute).substring (0, 256);
    std::array<bool, numParameters> seen {};

    for (auto* child : xml->getChildWithTagNameIterator (paramTag.toString()))
    {
        const auto index = parameterIndexOf (child->getStringAttribute (idAttribute).toStdString());

        if (index < 0 || seen[(size_t) index] || ! child->hasAttribute (valueAttribute))
            continue; // unknown IDs are skipped, and the first of repeated ones counts

        if (const auto value = plainNumber (child->getStringAttribute (valueAttribute)))
        {
            seen[(size_t) index] = true;
            preset.values.emplace_back (index, *value);
        }
    }

    if (preset.values.empty())
        return { std::nullopt, "the file holds no Gribb Tazo values" };

    return { std::move (preset), {} };
}

PresetReadResult readPresetFile (const juce::File& file)
{
    if (! file.existsAsFile())
        return { std::nullopt, "the file does not exist" };

    // A pipe or a device (or a link to one) would block the reading thread or never end.
    std::error_code error;
    if (! std::filesystem::is_regular_file (std::filesystem::path (file.getFullPathName().toStdString()), error))
        return { std::nullopt, "it is not a regular file" };

    // Checked before reading, so that a huge file is never loaded into memory.
    if (file.getSize() > (juce::int64) maxSavedStateTextBytes)
        return { std::nullopt, "the file is too large to be a preset" };

    juce::MemoryBlock data;

    if (! file.loadFileAsData (data))
        return { std::nullopt, "the file cannot be read" };

    return readPresetText (data.getData(), data.getSize());
}

bool renameOver (const juce::File& from, const juce::File& to)
{
    return std::rename (from.getFullPathName().toRawUTF8(), to.getFullPathName().toRawUTF8()) == 0;
}

juce::String writePresetFile (const juce::File& target, const juce::String& text, const FileReplacer& replace)
{
    const auto folder = target.getParentDirectory();

    if (folder.existsAsFile())
        return "the folder " + oneLineText (folder.getFullPathName(), 160) + " cannot be created: a file of that name is in the way";

    if (const auto created = folder.createDirectory(); created.failed())
        return "the folder " + oneLineText (folder.getFullPathName(), 160) + " cannot be created: " + created.getErrorMessage();

    if (target.isDirectory())
        return "a folder named \"" + oneLineText (target.getFileName(), 80) + "\" is in the way";

    const auto temporary = folder.getChildFile ("." + target.getFileName() + ".saving-"
                                                + juce::String::toHexString (juce::Random::getSystemRandom().nextInt()));
    juce::String problem;
    {
        juce::FileOutputStream out (temporary);

        if (! out.openedOk())
            return "the folder " + oneLineText (folder.getFullPathName(), 160) + " is not writable: " + out.getStatus().getErrorMessage();

        const auto utf8 = text.toUTF8();
        out.write (utf8.getAddress(), utf8.sizeInBytes() - 1);
        out.flush(); // also syncs the file to the disk, so that a rename after a crash finds it whole

        if (out.getStatus().failed())
            problem = "the file cannot be written: " + out.getStatus().getErrorMessage();
    }

    if (problem.isEmpty() && temporary.getSize() != (juce::int64) text.getNumBytesAsUTF8())
        problem = "the file cannot be written: the disk may be full";

    if (problem.isEmpty())
    {
        errno = 0;

        if (! replace (temporary, target))
            problem = "the file cannot be put in place: "
                      + (errno != 0 ? juce::String (std::strerror (errno)) : juce::String ("the file system refused"));
    }

    if (problem.isNotEmpty())
        temporary.deleteFile();

    return problem;
}

} // namespace gribb
