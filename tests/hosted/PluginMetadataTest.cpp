// The metadata that hosts read without loading the plug-in: the LV2 bundle's Turtle files and
// the VST3 bundle's moduleinfo.json. Every URI in them must be usable as it stands: absolute,
// not a file: URI, never empty; the only relative references allowed name files of the bundle.
#include <gtest/gtest.h>

#include <juce_core/juce_core.h>

#include <functional>
#include <vector>

#include "support/PluginBundles.h"

namespace
{
struct Iri
{
    juce::String predicate; // the token before the IRI, e.g. "foaf:homepage"
    juce::String text;
};

/** The IRIs (<...>) of a Turtle document, outside string literals and comments, each with the
    token written just before it. */
std::vector<Iri> iris (const juce::String& turtle)
{
    std::vector<Iri> found;
    juce::String previousToken, token;
    const auto text = turtle.toStdString();

    for (size_t i = 0; i < text.size(); ++i)
    {
        const char c = text[i];
        if (c == '"')
        {
            const bool longString = text.compare (i, 3, "\"\"\"") == 0;
            const std::string close = longString ? "\"\"\"" : "\"";
            size_t j = i + close.size();
            while (j < text.size() && text.compare (j, close.size(), close) != 0)
                j += text[j] == '\\' ? 2u : 1u;
            i = j + close.size() - 1;
            previousToken = {};
            token = {};
        }
        else if (c == '#')
        {
            while (i < text.size() && text[i] != '\n')
                ++i;
        }
        else if (c == '<')
        {
            const auto end = text.find ('>', i);
            if (end == std::string::npos)
                break;
            found.push_back ({ token.isNotEmpty() ? token : previousToken, juce::String (text.substr (i + 1, end - i - 1)) });
            i = end;
            previousToken = {};
            token = {};
        }
        else if (juce::CharacterFunctions::isWhitespace (c) || c == ';' || c == ',' || c == '[' || c == ']' || c == '.')
        {
            if (token.isNotEmpty())
                previousToken = token;
            token = {};
        }
        else
        {
            token += c;
        }
    }
    return found;
}

bool hasScheme (const juce::String& uri)
{
    const auto colon = uri.indexOfChar (':');
    return colon > 0 && uri.substring (0, colon).containsOnly ("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789+-.")
           && juce::CharacterFunctions::isLetter (uri[0]);
}

TEST (PluginMetadata, Lv2TurtleHoldsOnlyAbsoluteUrisOrFilesOfTheBundle)
{
    const auto bundle = gribb::test::lv2Bundle();
    const auto turtles = bundle.findChildFiles (juce::File::findFiles, false, "*.ttl");
    ASSERT_GE (turtles.size(), 2) << "no manifest.ttl and dsp.ttl in " << bundle.getFullPathName();

    bool sawMaintainer = false;
    for (const auto& turtle : turtles)
    {
        const auto text = turtle.loadFileAsString();
        sawMaintainer = sawMaintainer || text.contains ("doap:maintainer");
        const auto found = iris (text);
        EXPECT_FALSE (found.empty()) << turtle.getFileName();

        for (const auto& iri : found)
        {
            const auto where = turtle.getFileName() + ": " + iri.predicate + " <" + iri.text + ">";
            EXPECT_TRUE (iri.text.isNotEmpty()) << where << " is empty: it resolves to the Turtle file itself";
            EXPECT_FALSE (iri.text.startsWithIgnoreCase ("file:")) << where;

            if (iri.predicate == "foaf:homepage")
            {
                EXPECT_TRUE (iri.text.startsWith ("https://") || iri.text.startsWith ("http://")) << where;
            }
            else if (iri.predicate == "foaf:mbox")
            {
                EXPECT_TRUE (iri.text.startsWith ("mailto:") && iri.text.contains ("@")) << where;
            }
            else if (iri.text.isNotEmpty() && ! hasScheme (iri.text))
            {
                EXPECT_TRUE (bundle.getChildFile (juce::URL::removeEscapeChars (iri.text)).existsAsFile())
                    << where << " is relative but names no file of the bundle";
            }
        }
    }
    EXPECT_TRUE (sawMaintainer) << "the vendor is named in the metadata";
}

TEST (PluginMetadata, Vst3ModuleInfoHoldsNoRelativeOrFileUris)
{
    const auto info = gribb::test::vst3Bundle().getChildFile ("Contents/Resources/moduleinfo.json");
    ASSERT_TRUE (info.existsAsFile()) << info.getFullPathName();

    const auto json = juce::JSON::parse (info);
    ASSERT_TRUE (json.isObject());
    EXPECT_EQ (json["Version"].toString(), GRIBB_VERSION);

    // The format requires the factory's URL and E-Mail keys; an empty value means "not given".
    const auto factory = json["Factory Info"];
    ASSERT_TRUE (factory.isObject());
    EXPECT_EQ (factory["Vendor"].toString(), "Vorlen Pakkt");
    const auto url = factory["URL"].toString();
    const auto email = factory["E-Mail"].toString();
    EXPECT_TRUE (url.isEmpty() || url.startsWith ("https://") || url.startsWith ("http://")) << url;
    EXPECT_TRUE (email.isEmpty() || (email.contains ("@") && ! hasScheme (email))) << email;

    // No string of the file may be a file: URI.
    std::function<void (const juce::var&, const juce::String&)> visit = [&] (const juce::var& v, const juce::String& path)
    {
        if (auto* object = v.getDynamicObject())
        {
            for (const auto& property : object->getProperties())
                visit (property.value, path + "/" + property.name.toString());
        }
        else if (auto* array = v.getArray())
        {
            for (int i = 0; i < array->size(); ++i)
                visit (array->getReference (i), path + "[" + juce::String (i) + "]");
        }
        else if (v.isString())
        {
            EXPECT_FALSE (v.toString().startsWithIgnoreCase ("file:")) << path << " = " << v.toString();
        }
    };
    visit (json, {});
}

TEST (PluginMetadata, BothFormatsCarryTheProjectVersion)
{
    const auto dsp = gribb::test::lv2Bundle().getChildFile ("dsp.ttl").loadFileAsString();
    EXPECT_TRUE (dsp.contains ("doap:revision \"" GRIBB_VERSION "\"")) << dsp;

    const auto json = juce::JSON::parse (gribb::test::vst3Bundle().getChildFile ("Contents/Resources/moduleinfo.json"));
    auto* classes = json["Classes"].getArray();
    ASSERT_NE (classes, nullptr);
    for (const auto& c : *classes)
        EXPECT_EQ (c["Version"].toString(), GRIBB_VERSION) << c["Name"].toString();
}
} // namespace
