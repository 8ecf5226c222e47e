#include "processor/UserPresets.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "processor/GribbTazoAudioProcessor.h"
#include "processor/ParameterTable.h"
#include "processor/SavedStateText.h"

namespace gribb
{
namespace
{
const juce::Identifier paramTag ("PARAM");
const juce::Identifier idAttribute ("id");
const juce::Identifier valueAttribute ("value");
const char* const rootTag = "PARAMETERS"; // the parameter state's value-tree type

// A name part longer than this would, with the extension and the temporary file's suffix, come
// close to the 255 bytes that Linux file systems allow for one name.
constexpr int maxNamePartBytes = 200;
constexpr int maxFolderDepth = 6;
constexpr int maxListedPresets = 2000;

/** A number as the saved state writes it: digits, optionally signed, optionally with a fraction
    and an exponent. Anything else ("", "abc", "nan") is not taken. */
std::optional<float> plainNumber (const juce::String& text)
{
    const auto t = text.trim();
    const auto first = t[0];

    if (t.isEmpty() || ! (juce::CharacterFunctions::isDigit (first) || first == '-' || first == '+' || first == '.'))
        return std::nullopt;

    const auto value = t.getDoubleValue();

    if (std::isnan (value))
        return std::nullopt;

    return (float) value; // beyond the float range this is ±infinity, clamped when applied
}

juce::String quoted (const juce::File& file) { return "\"" + file.getFileName() + "\""; }
} // namespace

juce::File userPresetFolder()
{
    const auto dataHome = juce::SystemStats::getEnvironmentVariable ("XDG_DATA_HOME", {});
    const auto base = juce::File::isAbsolutePath (dataHome)
                          ? juce::File (dataHome)
                          : juce::File::getSpecialLocation (juce::File::userHomeDirectory).getChildFile (".local/share");
    return base.getChildFile ("Gribb Tazo").getChildFile ("Presets");
}

juce::String presetText (GribbTazoAudioProcessor& processor, const juce::String& name)
{
    // The parameter state's own children, so that the values read exactly as in a saved state;
    // anything else that the tree may carry is not part of a sound.
    const auto state = processor.parameters.copyState();
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
        return { std::nullopt, "the file has an unknown preset format (" + format.substring (0, 20) + ")" };

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
        return "the folder " + folder.getFullPathName() + " cannot be created: a file of that name is in the way";

    if (const auto created = folder.createDirectory(); created.failed())
        return "the folder " + folder.getFullPathName() + " cannot be created: " + created.getErrorMessage();

    if (target.isDirectory())
        return "a folder named " + quoted (target) + " is in the way";

    const auto temporary = folder.getChildFile ("." + target.getFileName() + ".saving-"
                                                + juce::String::toHexString (juce::Random::getSystemRandom().nextInt()));
    juce::String problem;
    {
        juce::FileOutputStream out (temporary);

        if (! out.openedOk())
            return "the folder " + folder.getFullPathName() + " is not writable: " + out.getStatus().getErrorMessage();

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

juce::String presetNameProblem (const juce::String& name)
{
    const auto parts = juce::StringArray::fromTokens (name, "/", {});

    if (name.trim().isEmpty())
        return "Please give the preset a name.";

    for (auto part : parts)
    {
        part = part.trim();

        if (part.isEmpty())
            return "A preset name cannot have an empty folder part (\"//\" or a slash at either end).";

        if (part == "." || part == "..")
            return "A preset name cannot contain \"" + part + "\" as a folder.";

        if (part.startsWithChar ('.'))
            return "A preset name cannot start with a dot: the file would be hidden.";

        for (auto p = part.getCharPointer(); ! p.isEmpty(); ++p)
            if (*p < 0x20 || *p == 0x7f || juce::String ("\\:*?\"<>|").containsChar (*p))
                return "A preset name cannot contain \\ : * ? \" < > | or control characters.";

        if ((int) part.getNumBytesAsUTF8() > maxNamePartBytes)
            return "The preset name is too long for a file name.";
    }

    return {};
}

juce::File presetFileFor (const juce::File& folder, const juce::String& name)
{
    auto parts = juce::StringArray::fromTokens (name, "/", {});
    parts.trim();
    auto file = folder;

    for (int i = 0; i < parts.size() - 1; ++i)
        file = file.getChildFile (parts[i]);

    return file.getChildFile (parts[parts.size() - 1] + userPresetExtension);
}

juce::String presetNameOf (const juce::File& folder, const juce::File& file)
{
    const auto path = file.isAChildOf (folder) ? file.getRelativePathFrom (folder) : file.getFileName();
    return path.endsWithIgnoreCase (userPresetExtension) ? path.dropLastCharacters ((int) std::strlen (userPresetExtension))
                                                          : path;
}

namespace
{
void scanInto (PresetFolder& list, const juce::File& folder, int depth, int& listed)
{
    auto children = folder.findChildFiles (juce::File::findFilesAndDirectories | juce::File::ignoreHiddenFiles, false);

    std::sort (children.begin(), children.end(), [] (const juce::File& a, const juce::File& b)
    {
        return a.getFileName().compareNatural (b.getFileName()) < 0;
    });

    for (const auto& child : children)
    {
        if (listed >= maxListedPresets || child.getFileName().startsWithChar ('.'))
            continue;

        if (child.isDirectory())
        {
            if (depth >= maxFolderDepth)
                continue;

            PresetFolder sub;
            sub.name = child.getFileName();
            scanInto (sub, child, depth + 1, listed);

            if (! sub.presets.empty() || ! sub.subfolders.empty())
                list.subfolders.push_back (std::move (sub));
        }
        else if (child.getFileName().endsWithIgnoreCase (userPresetExtension) && readPresetFile (child).preset.has_value())
        {
            list.presets.push_back (child);
            ++listed;
        }
    }
}
} // namespace

PresetFolder scanPresetFolder (const juce::File& folder)
{
    PresetFolder list;
    list.name = folder.getFileName();
    int listed = 0;

    if (folder.isDirectory())
        scanInto (list, folder, 0, listed);

    return list;
}

void applyUserPreset (GribbTazoAudioProcessor& processor, const UserPreset& preset)
{
    for (const auto& [index, value] : preset.values)
    {
        const auto* id = parameterTable[(size_t) index].id;

        if (auto* parameter = processor.parameters.getParameter (id))
            parameter->setValueNotifyingHost (processor.parameters.getParameterRange (id).convertTo0to1 (value));
    }
}

juce::String loadUserPresetFile (GribbTazoAudioProcessor& processor, const juce::File& file)
{
    const auto result = readPresetFile (file);

    if (! result.preset.has_value())
        return "Could not open " + quoted (file) + ": " + result.problem + ".";

    applyUserPreset (processor, *result.preset);
    processor.setLoadedUserPreset (file);
    return {};
}

juce::String saveUserPreset (GribbTazoAudioProcessor& processor, const juce::File& folder, const juce::String& name,
                             const FileReplacer& replace)
{
    if (const auto problem = presetNameProblem (name); problem.isNotEmpty())
        return problem;

    const auto file = presetFileFor (folder, name);
    const auto shownName = file.getFileNameWithoutExtension();

    if (const auto problem = writePresetFile (file, presetText (processor, shownName), replace); problem.isNotEmpty())
        return "Could not save " + quoted (file) + ": " + problem + ".";

    processor.setLoadedUserPreset (file);
    return {};
}
} // namespace gribb
