// The processor's programs: the twenty factory programs (processor/FactoryProgramTable.h), chosen
// by the host or in the window.
//
// A program chosen by the host.
//
// A VST3 host chooses a program by setting the program-change parameter on the edit controller;
// JUCE's wrapper then calls setCurrentProgram from inside that call. The format's rule for the
// values a program change sets is that the controller takes them and tells the host with
// restartComponent(kParamValuesChanged); the host then reads them back. They are not edits the
// user made. JUCE's wrapper, however, reports every parameter write it hears of as a user edit
// (performEdit). A host that keeps its own copy of each parameter (Ardour does) stores such an
// edit as the user's value and later writes it back into the plug-in. When a project is
// reopened, the host sets the program-change parameter before it hands over the saved state,
// so the program's values would come back over the restored ones and the musician's edits
// would be lost.
//
// So while a host-chosen program is written, the wrapper's controller is not listening; the
// parameters, the engine's raw values and the window's controls follow as usual. Afterwards the
// controller copies every value from the processor and tells the host: its setComponentState
// does exactly that (JUCE's wrapper ignores the stream it is given and reads the processor).
// Without this, the wrapper reports the values as edits either at once (performEdit, on the
// message thread) or as output parameter changes of the next process() call (on any other
// thread, as in a host that has not opened the window); hosts take both as the user's values.

#include "processor/GribbTazoAudioProcessor.h"

#include "processor/FactoryProgramTable.h"
#include "processor/WritePlainValue.h"

#include <algorithm>
#include <memory>

#if JucePlugin_Build_VST3
 #if defined(__GNUC__)
  #pragma GCC diagnostic push
  #pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
 #endif
 #include <pluginterfaces/vst/ivsteditcontroller.h>
 #if defined(__GNUC__)
  #pragma GCC diagnostic pop
 #endif
#endif

juce::StringArray GribbTazoAudioProcessor::getProgramNames()
{
    juce::StringArray names;

    for (const auto* name : gribb::factoryProgramNames)
        names.add (juce::String::fromUTF8 (name));

    return names;
}

std::map<juce::String, float> GribbTazoAudioProcessor::getProgramValues (int index)
{
    std::map<juce::String, float> values;

    for (int p = 0; p < gribb::numParameters; ++p)
        if (const auto value = gribb::factoryProgramValue (index, static_cast<gribb::ParamIndex> (p)))
            values.emplace (gribb::parameterTable[(size_t) p].id, *value);

    return values;
}

void GribbTazoAudioProcessor::applyProgram (int index)
{
    // The map walks its IDs in ascending order; each write goes through the host-notifying path so
    // that the host, the window's attachments and the engine all follow.
    for (const auto& [id, value] : getProgramValues (index))
        gribb::writePlainValue (parameters, id.toRawUTF8(), value);
}

// Answered from the name list itself, without building a StringArray, so that asking is cheap.
int GribbTazoAudioProcessor::getNumPrograms() { return (int) gribb::factoryProgramNames.size(); }

int GribbTazoAudioProcessor::getCurrentProgram() { return currentProgram; }

int GribbTazoAudioProcessor::clampedProgram (int index)
{
    return index < 0 ? 0 : std::min (getNumPrograms() - 1, index);
}

void GribbTazoAudioProcessor::selectProgram (int index)
{
    currentProgram = clampedProgram (index);
    forgetLoadedUserPreset();
    applyProgram (currentProgram);

    // A program chosen in the plug-in's own window must show in the host's program display too.
    updateHostDisplay (ChangeDetails().withProgramChanged (true));
}

const juce::String GribbTazoAudioProcessor::getProgramName (int index)
{
    if (index < 0 || index >= getNumPrograms())
        return {};

    return juce::String::fromUTF8 (gribb::factoryProgramNames[(size_t) index]);
}

void GribbTazoAudioProcessor::changeProgramName (int, const juce::String&)
{
    // Factory program names are fixed.
}

namespace
{
#if JucePlugin_Build_VST3
using Vst3Controller = Steinberg::Vst::IEditController;
#else
struct Vst3Controller
{
};
#endif

/** The VST3 wrapper's edit controller, when this listener is one; otherwise nullptr. */
Vst3Controller* asVst3Controller (juce::AudioProcessorListener* listener)
{
#if JucePlugin_Build_VST3
    return dynamic_cast<Vst3Controller*> (listener);
#else
    juce::ignoreUnused (listener);
    return nullptr;
#endif
}

/** Lets the controller read every value from the processor and tell the host they changed.
    Like JUCE's own restarts, this happens at once on the message thread and is otherwise posted
    to it: a host may hold its processing lock around the program change it makes from another
    thread and take that lock again to handle the restart. */
void resynchronise (Vst3Controller& controller)
{
#if JucePlugin_Build_VST3
    if (juce::MessageManager::getInstance()->isThisTheMessageThread())
    {
        controller.setComponentState (nullptr);
        return;
    }

    controller.addRef();
    const std::shared_ptr<Vst3Controller> held (&controller, [] (Vst3Controller* c) { c->release(); });
    juce::MessageManager::callAsync ([held] { held->setComponentState (nullptr); });
#else
    juce::ignoreUnused (controller);
#endif
}
} // namespace

void GribbTazoAudioProcessor::addListener (juce::AudioProcessorListener* listener)
{
    juce::AudioProcessor::addListener (listener);

    const juce::ScopedLock lock (listenersLock);
    if (std::find (listeners.begin(), listeners.end(), listener) == listeners.end())
        listeners.push_back (listener);
}

void GribbTazoAudioProcessor::removeListener (juce::AudioProcessorListener* listener)
{
    juce::AudioProcessor::removeListener (listener);

    const juce::ScopedLock lock (listenersLock);
    listeners.erase (std::remove (listeners.begin(), listeners.end(), listener), listeners.end());
}

void GribbTazoAudioProcessor::setCurrentProgram (int index)
{
    currentProgram = clampedProgram (index);
    forgetLoadedUserPreset();

    std::vector<std::pair<juce::AudioProcessorListener*, Vst3Controller*>> controllers;
    {
        const juce::ScopedLock lock (listenersLock);
        for (auto* listener : listeners)
            if (auto* controller = asVst3Controller (listener))
                controllers.emplace_back (listener, controller);
    }

    for (const auto& entry : controllers)
        juce::AudioProcessor::removeListener (entry.first);

    applyProgram (currentProgram);

    for (const auto& entry : controllers)
        juce::AudioProcessor::addListener (entry.first);

    for (const auto& entry : controllers)
        resynchronise (*entry.second);

    // Other listeners (hosts of the other formats) hear of the program as before.
    updateHostDisplay (ChangeDetails().withProgramChanged (true));
}
