#include "processor/PresetLibrary.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "processor/PresetFile.h"

namespace gribb
{
namespace
{
// A name part longer than this would, with the extension and the temporary file's suffix, come
// close to the 255 bytes that Linux file systems allow for one name.
constexpr int maxNamePartBytes = 200;
/** The bytes as UTF-8 text, each byte that does not belong to a valid UTF-8 sequence (overlong
    forms and surrogates included) read as U+FFFD, the replacement character. */
juce::String readableUtf8 (const std::string& bytes)
{
    std::u32string text;
    const auto byte = [&bytes] (size_t i) { return (juce::uint32) (unsigned char) bytes[i]; };

    for (size_t i = 0; i < bytes.size();)
    {
        const auto lead = byte (i);
        const size_t length = lead < 0x80 ? 1 : lead >= 0xc2 && lead <= 0xdf ? 2 : lead >= 0xe0 && lead <= 0xef ? 3
                            : lead >= 0xf0 && lead <= 0xf4 ? 4 : 0;
        bool valid = length > 0 && i + length <= bytes.size();
        juce::uint32 code = length == 1 ? lead : lead & (0xffu >> (length + 1));

        for (size_t k = 1; valid && k < length; ++k)
        {
            valid = (byte (i + k) & 0xc0) == 0x80;
            code = (code << 6) | (byte (i + k) & 0x3f);
        }

        valid = valid && ! (length == 3 && (code < 0x800 || (code >= 0xd800 && code <= 0xdfff)))
                && ! (length == 4 && (code < 0x10000 || code > 0x10ffff));

        text.push_back (valid ? (char32_t) code : U'\ufffd');
        i += valid ? length : 1;
    }

    return juce::String (juce::CharPointer_UTF32 (reinterpret_cast<const juce::juce_wchar*> (text.c_str())));
}
} // namespace

juce::File userPresetFolder()
{
    const auto dataHome = juce::SystemStats::getEnvironmentVariable ("XDG_DATA_HOME", {});
    const auto base = juce::File::isAbsolutePath (dataHome)
                          ? juce::File (dataHome)
                          : juce::File::getSpecialLocation (juce::File::userHomeDirectory).getChildFile (".local/share");
    return base.getChildFile ("Gribb Tazo").getChildFile ("Presets");
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
    // Worked out on the name's bytes: a file name may be any bytes, which JUCE keeps as they are,
    // and where they are not valid UTF-8 its character counts disagree with each other, so that
    // cutting off the extension by characters would cut in the wrong place.
    const auto path = file.getFullPathName().toStdString();
    const auto base = folder.getFullPathName().toStdString() + "/";
    auto name = path.size() > base.size() && path.compare (0, base.size(), base) == 0 ? path.substr (base.size())
                                                                                       : path.substr (path.rfind ('/') + 1);
    const std::string extension (userPresetExtension);

    if (name.size() >= extension.size()
        && juce::String (name.substr (name.size() - extension.size())).equalsIgnoreCase (userPresetExtension))
        name.erase (name.size() - extension.size());

    return readableUtf8 (name);
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
            if (depth >= maxPresetFolderDepth)
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

} // namespace gribb
