#include <gtest/gtest.h>

#include "DefaultPlugin.h"

namespace
{
// A temporary tree: <root>/usr/bin/gribb-render, <root>/usr/lib/vst3, <root>/build, <root>/home.
struct DefaultPluginTree : ::testing::Test
{
    juce::TemporaryFile tempDir;
    juce::File root, program, installed, built, home, personal;

    void SetUp() override
    {
        root = tempDir.getFile();
        program = root.getChildFile ("usr/bin/gribb-render");
        installed = root.getChildFile ("usr/lib/vst3/Gribb Tazo.vst3");
        built = root.getChildFile ("build/GribbTazo_artefacts/Release/VST3/Gribb Tazo.vst3");
        home = root.getChildFile ("home");
        personal = home.getChildFile (".vst3/Gribb Tazo.vst3");
        program.getParentDirectory().createDirectory();
    }

    void TearDown() override { root.deleteRecursively(); }
};

TEST_F (DefaultPluginTree, PrefersTheInstalledBundleThenTheBuiltOneThenTheUsersOwn)
{
    struct Case { bool installed, built, personal; const char* expected; };
    const Case cases[] {
        { true,  true,  true,  "installed" },
        { false, true,  true,  "built" },
        { false, false, true,  "personal" },
        { false, false, false, "built" }, // nothing there: the error names the build's bundle
    };

    for (const auto& c : cases)
    {
        for (auto* dir : { &installed, &built, &personal })
            dir->deleteRecursively();
        for (const auto& [present, dir] : { std::pair (c.installed, installed), std::pair (c.built, built), std::pair (c.personal, personal) })
        {
            if (present)
            {
                ASSERT_TRUE (dir.createDirectory());
            }
        }

        const auto found = gribb::render::findDefaultPlugin (program, built, home);
        const auto& expected = juce::String (c.expected) == "installed" ? installed
                             : juce::String (c.expected) == "personal"  ? personal : built;
        EXPECT_EQ (found, expected) << "expected the " << c.expected << " bundle, got " << found.getFullPathName();
    }
}

TEST_F (DefaultPluginTree, AFileNamedLikeTheBundleIsNoBundle)
{
    installed.create();
    EXPECT_EQ (gribb::render::findDefaultPlugin (program, built, home), built);
}
} // namespace
