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
