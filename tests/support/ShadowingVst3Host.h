#pragma once

// A minimal VST3 host that talks to the built module through the format's own interfaces
// (IPluginFactory, IComponent, IEditController, IAudioProcessor) and keeps its own copy of every
// parameter the way Ardour 7 does (libs/ardour/vst3_plugin.cc, class VST3PI):
//
// - the copy ("shadow") holds one normalised value per listed parameter, plus a flag that the
//   plug-in's controller must be told that value;
// - performEdit from the plug-in stores the value in the copy, flags it, and hands it to the
//   session as a user edit, which the session queues for the processor: at the next cycle it is
//   written again (copy, flag, and a parameter change for process());
// - restartComponent(kParamValuesChanged) reads every value back from the controller into the
//   copy, flagging and queueing for process() whatever differs;
// - reading a parameter (for the UI, or to save it) first writes a flagged value into the
//   controller with setParamNormalized;
// - a program from the host's preset list is chosen by setting the program-change parameter on
//   the controller and in the next process() call;
// - a session stores every parameter ("Port" values, read as above), the component and
//   controller state chunks and the last chosen program; reopening it sets the program-change
//   parameter first, then writes the Port values, then loads the chunks and reads every value
//   back from the controller.
//
// Until a host shows the plug-in's window, JUCE runs the plug-in's message thread itself, so
// restartComponent may arrive from that thread; like Ardour's process lock, one lock keeps the
// copy consistent, and waitForValuesChanged() lets a test wait for such a restart.

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#if defined(__GNUC__)
 #pragma GCC diagnostic push
 #pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
#endif
#include <pluginterfaces/base/ibstream.h>
#include <pluginterfaces/base/ipluginbase.h>
#include <pluginterfaces/vst/ivstaudioprocessor.h>
#include <pluginterfaces/vst/ivstcomponent.h>
#include <pluginterfaces/vst/ivsteditcontroller.h>
#include <pluginterfaces/vst/ivstmessage.h>
#include <pluginterfaces/vst/ivstparameterchanges.h>
#include <pluginterfaces/vst/ivstunits.h>

namespace gribb::test
{
/** What a host keeps of an instance in its project file. */
struct Vst3Session
{
    std::vector<std::pair<Steinberg::Vst::ParamID, double>> ports; // normalised, as read for saving
    std::vector<char> componentState, controllerState;
    int lastProgram = -1; // the program last chosen from the host's list, -1 for none
};

/** Parameter changes handed to process(): one queue per parameter, points in the order added. */
class ParameterChangeList final : public Steinberg::Vst::IParameterChanges
{
public:
    void add (Steinberg::Vst::ParamID id, double value);
    void clear() { queues.clear(); }

    Steinberg::int32 PLUGIN_API getParameterCount() override { return (Steinberg::int32) queues.size(); }
    Steinberg::Vst::IParamValueQueue* PLUGIN_API getParameterData (Steinberg::int32 index) override;
    Steinberg::Vst::IParamValueQueue* PLUGIN_API addParameterData (const Steinberg::Vst::ParamID& id,
                                                                   Steinberg::int32& index) override;

    Steinberg::tresult PLUGIN_API queryInterface (const Steinberg::TUID, void**) override;
    Steinberg::uint32 PLUGIN_API addRef() override { return 1; }
    Steinberg::uint32 PLUGIN_API release() override { return 1; }

private:
    class Queue final : public Steinberg::Vst::IParamValueQueue
    {
    public:
        explicit Queue (Steinberg::Vst::ParamID paramId) : id (paramId) {}

        Steinberg::Vst::ParamID PLUGIN_API getParameterId() override { return id; }
        Steinberg::int32 PLUGIN_API getPointCount() override { return (Steinberg::int32) points.size(); }
        Steinberg::tresult PLUGIN_API getPoint (Steinberg::int32 index, Steinberg::int32& sampleOffset,
                                                Steinberg::Vst::ParamValue& value) override;
        Steinberg::tresult PLUGIN_API addPoint (Steinberg::int32 sampleOffset, Steinberg::Vst::ParamValue value,
                                                Steinberg::int32& index) override;

        Steinberg::tresult PLUGIN_API queryInterface (const Steinberg::TUID, void**) override;
        Steinberg::uint32 PLUGIN_API addRef() override { return 1; }
        Steinberg::uint32 PLUGIN_API release() override { return 1; }

    private:
        Steinberg::Vst::ParamID id;
        std::vector<std::pair<Steinberg::int32, double>> points;
    };

    std::vector<std::unique_ptr<Queue>> queues;
};

class ShadowingVst3Host final : public Steinberg::Vst::IComponentHandler
{
public:
    /** Loads the bundle's module and creates, initialises and activates one instance. */
    explicit ShadowingVst3Host (const std::string& bundlePath);
    ~ShadowingVst3Host();

    bool isLoaded() const noexcept { return controller != nullptr; }
    std::string error;

    /** The parameters the host lists (automatable ones and meters; not the program change and
        not the wrapper's MIDI controller stand-ins), in the controller's order. */
    struct Listed
    {
        Steinberg::Vst::ParamID id;
        std::string title;
    };
    std::vector<Listed> listed;
    int indexOf (const std::string& title) const;

    /** Chooses a factory program from the host's preset list (Ardour's set_program). */
    void chooseProgram (int program);
    /** A parameter set from the host's own controls or a script: applied at the next cycle. */
    void setFromHost (int index, double normalised);
    /** Reads a parameter as the host's UI or save code does; writes a flagged value back first. */
    double read (int index);
    /** One processing cycle: queued session edits, then process() with the collected changes. */
    void runCycle();

    Vst3Session save();
    /** Reopens a session the way Ardour 7's VST3Plugin::set_state does. */
    void reopen (const Vst3Session& session);
    /** Loads the state chunks only (component, then controller), as a host restoring a preset. */
    void loadChunks (const Vst3Session& session);
    /** Sets the program-change parameter on the controller only, as a host does after a restore. */
    void setProgramParameter (int program);

    /** The plug-in's own values: plain values by parameter ID and the program index, read from a
        fresh component state. */
    struct PluginState
    {
        std::vector<std::pair<std::string, double>> values;
        int currentProgram = -1;
    };
    PluginState pluginState();

    double shadowOf (int index) const { return shadow[(size_t) index]; }
    double controllerValue (int index) const;
    double programParameterValue() const;
    int numFactoryPrograms() const noexcept { return numPrograms; }

    /** Waits (up to a few seconds) until kParamValuesChanged has arrived more than `count` times. */
    bool waitForValuesChanged (int count);
    /** Gives the plug-in's message thread time to deliver anything it has posted. */
    static void settle();

    int performEditCount = 0;              // performEdit calls for listed parameters
    int outputChangeCount = 0;             // listed parameters changed by process() output
    std::atomic<int> valuesChangedCount { 0 }; // restartComponent calls that carried kParamValuesChanged

    // IComponentHandler
    Steinberg::tresult PLUGIN_API beginEdit (Steinberg::Vst::ParamID) override { return Steinberg::kResultOk; }
    Steinberg::tresult PLUGIN_API performEdit (Steinberg::Vst::ParamID id, Steinberg::Vst::ParamValue value) override;
    Steinberg::tresult PLUGIN_API endEdit (Steinberg::Vst::ParamID) override { return Steinberg::kResultOk; }
    Steinberg::tresult PLUGIN_API restartComponent (Steinberg::int32 flags) override;

    Steinberg::tresult PLUGIN_API queryInterface (const Steinberg::TUID, void**) override;
    Steinberg::uint32 PLUGIN_API addRef() override { return 1; }
    Steinberg::uint32 PLUGIN_API release() override { return 1; }

private:
    void setParameter (int index, double normalised, bool force);
    void updateShadowData();

    void* library = nullptr;
    Steinberg::IPluginFactory* factory = nullptr;
    Steinberg::Vst::IComponent* component = nullptr;
    Steinberg::Vst::IEditController* controller = nullptr;
    Steinberg::Vst::IAudioProcessor* processor = nullptr;
    Steinberg::Vst::IConnectionPoint* componentPoint = nullptr;
    Steinberg::Vst::IConnectionPoint* controllerPoint = nullptr;
    bool separateController = false;

    Steinberg::Vst::ParamID programParameter = Steinberg::Vst::kNoParamId;
    int numPrograms = 0;

    std::vector<float> shadow;
    std::vector<bool> updateController;
    std::vector<std::pair<int, double>> sessionQueue; // user edits waiting for the next cycle
    ParameterChangeList inputChanges, outputChanges;
    int lastProgram = -1;
    mutable std::recursive_mutex lock;
};
} // namespace gribb::test

#if defined(__GNUC__)
 #pragma GCC diagnostic pop
#endif
