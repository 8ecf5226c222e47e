#include <gtest/gtest.h>

#include "DefaultPlugin.h"

namespace
{
// A temporary tree: an installed program <root>/usr/bin/gribb-render beside <root>/usr/lib/vst3,
// a program in its build tree <root>/build/tools/render/gribb-render, and a home folder.
struct DefaultPluginTree : ::testing::Test
{
    juce::TemporaryFile tempDir;
    juce::File root, installedProgram, installed, builtProgram, built, home, personal;
    const juce::String builtRelative { "../../GribbTazo_artefacts/Release/VST3/Gribb Tazo.vst3" };

    void SetUp() override
    {
        root = tempDir.getFile();
        installedProgram = root.getChildFile ("usr/bin/gribb-render");
        installed = root.getChildFile ("usr/lib/vst3/Gribb Tazo.vst3");
        builtProgram = root.getChildFile ("build/tools/render/gribb-render");
        built = root.getChildFile ("build/GribbTazo_artefacts/Release/VST3/Gribb Tazo.vst3");
        home = root.getChildFile ("home");
        personal = home.getChildFile (".vst3/Gribb Tazo.vst3");
        installedProgram.getParentDirectory().createDirectory();
        builtProgram.getParentDirectory().createDirectory();
    }

    void TearDown() override { root.deleteRecursively(); }
};

TEST_F (DefaultPluginTree, PrefersTheBundleInstalledWithTheProgramThenItsBuildsThenTheUsersOwn)
{
    struct Case { const char* program; bool installed, built, personal; const char* expected; };
    const Case cases[] {
        { "installed", true,  true,  true,  "installed" },
        { "installed", false, true,  true,  "personal" },  // an installed program never uses a build's
        { "built",     true,  true,  true,  "built" },
        { "built",     false, false, true,  "personal" },
    };

    for (const auto& c : cases)
    {
        for (auto* dir : { &installed, &built, &personal })
            dir->deleteRecursively();
        for (const auto& [present, dir] : { std::pair (c.installed, installed), std::pair (c.built, built), std::pair (c.personal, personal) })
            if (present)
                ASSERT_TRUE (dir.createDirectory());

        const auto& program = juce::String (c.program) == "installed" ? installedProgram : builtProgram;
        const auto found = gribb::render::findDefaultPlugin (program, builtRelative, home);
        const auto& expected = juce::String (c.expected) == "installed" ? installed
                             : juce::String (c.expected) == "personal"  ? personal : built;
        EXPECT_EQ (found, expected) << c.program << " program: expected the " << c.expected << " bundle, got "
                                    << found.getFullPathName();
    }
}

TEST_F (DefaultPluginTree, NothingFoundIsAnEmptyFileAndTheCandidatesNameNoBuildOfAnInstalledProgram)
{
    installed.getParentDirectory().createDirectory();
    installed.create(); // a file named like the bundle is no bundle
    if (juce::File ("/usr/lib/vst3/Gribb Tazo.vst3").isDirectory() || juce::File ("/usr/local/lib/vst3/Gribb Tazo.vst3").isDirectory())
        GTEST_SKIP() << "this machine has Gribb Tazo installed system-wide";

    EXPECT_EQ (gribb::render::findDefaultPlugin (installedProgram, builtRelative, home), juce::File());

    for (const auto& candidate : gribb::render::defaultPluginCandidates (installedProgram, builtRelative, home))
        EXPECT_FALSE (candidate.getFullPathName().contains ("GribbTazo_artefacts")) << candidate.getFullPathName();
}
} // namespace
