#include "ShadowingVst3Host.h"

#include <algorithm>
#include <chrono>
#include <thread>
#include <cstring>
#include <dlfcn.h>

#include <juce_core/juce_core.h>

#if defined(__GNUC__)
 #pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
 #pragma GCC diagnostic ignored "-Wfloat-equal" // the host's copy is compared exactly, as Ardour does
#endif

using namespace Steinberg;

namespace gribb::test
{
namespace
{
bool sameIid (const TUID a, const TUID b) { return std::memcmp (a, b, sizeof (TUID)) == 0; }

std::string toUtf8 (const Vst::String128 text)
{
    juce::String s;
    for (int i = 0; i < 128 && text[i] != 0; ++i)
        s += juce::juce_wchar (text[i]);
    return s.toStdString();
}

/** A seekable stream over a byte vector, for the state chunks. */
class MemoryStream final : public IBStream
{
public:
    MemoryStream() = default;
    explicit MemoryStream (std::vector<char> content) : bytes (std::move (content)) {}

    tresult PLUGIN_API read (void* buffer, int32 numBytes, int32* numBytesRead) override
    {
        const auto available = (int64) bytes.size() - position;
        const auto n = (int32) std::max<int64> (0, std::min<int64> (numBytes, available));
        if (n > 0)
            std::memcpy (buffer, bytes.data() + position, (size_t) n);
        position += n;
        if (numBytesRead != nullptr)
            *numBytesRead = n;
        return kResultOk;
    }

    tresult PLUGIN_API write (void* buffer, int32 numBytes, int32* numBytesWritten) override
    {
        if (position + numBytes > (int64) bytes.size())
            bytes.resize ((size_t) (position + numBytes));
        std::memcpy (bytes.data() + position, buffer, (size_t) numBytes);
        position += numBytes;
        if (numBytesWritten != nullptr)
            *numBytesWritten = numBytes;
        return kResultOk;
    }

    tresult PLUGIN_API seek (int64 pos, int32 mode, int64* result) override
    {
        const auto base = mode == kIBSeekSet ? 0 : mode == kIBSeekCur ? position : (int64) bytes.size();
        position = std::clamp<int64> (base + pos, 0, (int64) bytes.size());
        if (result != nullptr)
            *result = position;
        return kResultOk;
    }

    tresult PLUGIN_API tell (int64* pos) override
    {
        if (pos != nullptr)
            *pos = position;
        return kResultOk;
    }

    tresult PLUGIN_API queryInterface (const TUID interfaceId, void** obj) override
    {
        if (sameIid (interfaceId, FUnknown_iid) || sameIid (interfaceId, IBStream_iid))
        {
            *obj = this;
            return kResultOk;
        }
        *obj = nullptr;
        return kNoInterface;
    }
    uint32 PLUGIN_API addRef() override { return 1; }
    uint32 PLUGIN_API release() override { return 1; }

    std::vector<char> bytes;

private:
    int64 position = 0;
};
} // namespace

//==============================================================================
void ParameterChangeList::add (Vst::ParamID id, double value)
{
    int32 index = 0;
    if (auto* queue = addParameterData (id, index))
        queue->addPoint (0, value, index);
}

Vst::IParamValueQueue* PLUGIN_API ParameterChangeList::getParameterData (int32 index)
{
    return index >= 0 && index < (int32) queues.size() ? queues[(size_t) index].get() : nullptr;
}

Vst::IParamValueQueue* PLUGIN_API ParameterChangeList::addParameterData (const Vst::ParamID& id, int32& index)
{
    for (size_t i = 0; i < queues.size(); ++i)
    {
        if (queues[i]->getParameterId() == id)
        {
            index = (int32) i;
            return queues[i].get();
        }
    }

    queues.push_back (std::make_unique<Queue> (id));
    index = (int32) queues.size() - 1;
    return queues.back().get();
}

tresult PLUGIN_API ParameterChangeList::queryInterface (const TUID interfaceId, void** obj)
{
    if (sameIid (interfaceId, FUnknown_iid) || sameIid (interfaceId, Vst::IParameterChanges_iid))
    {
        *obj = this;
        return kResultOk;
    }
    *obj = nullptr;
    return kNoInterface;
}

tresult PLUGIN_API ParameterChangeList::Queue::getPoint (int32 index, int32& sampleOffset, Vst::ParamValue& value)
{
    if (index < 0 || index >= (int32) points.size())
        return kResultFalse;
    sampleOffset = points[(size_t) index].first;
    value = points[(size_t) index].second;
    return kResultTrue;
}

tresult PLUGIN_API ParameterChangeList::Queue::addPoint (int32 sampleOffset, Vst::ParamValue value, int32& index)
{
    points.emplace_back (sampleOffset, value);
    index = (int32) points.size() - 1;
    return kResultTrue;
}

tresult PLUGIN_API ParameterChangeList::Queue::queryInterface (const TUID interfaceId, void** obj)
{
    if (sameIid (interfaceId, FUnknown_iid) || sameIid (interfaceId, Vst::IParamValueQueue_iid))
    {
        *obj = this;
        return kResultOk;
    }
    *obj = nullptr;
    return kNoInterface;
}

//==============================================================================
ShadowingVst3Host::ShadowingVst3Host (const std::string& bundlePath)
{
    const auto name = juce::File (bundlePath).getFileNameWithoutExtension();
    const auto binary = juce::File (bundlePath).getChildFile ("Contents/x86_64-linux").getChildFile (name + ".so");

    library = dlopen (binary.getFullPathName().toRawUTF8(), RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr)
    {
        error = "cannot open " + binary.getFullPathName().toStdString();
        return;
    }

    using ModuleEntry = bool (*) (void*);
    using GetFactory = IPluginFactory* (*) ();

    if (auto entry = (ModuleEntry) dlsym (library, "ModuleEntry"); entry == nullptr || ! entry (library))
    {
        error = "ModuleEntry failed";
        return;
    }

    auto getFactory = (GetFactory) dlsym (library, "GetPluginFactory");
    factory = getFactory != nullptr ? getFactory() : nullptr;
    if (factory == nullptr)
    {
        error = "no plug-in factory";
        return;
    }

    for (int32 i = 0; i < factory->countClasses() && component == nullptr; ++i)
    {
        PClassInfo info;
        if (factory->getClassInfo (i, &info) == kResultOk && std::strcmp (info.category, kVstAudioEffectClass) == 0)
            factory->createInstance (info.cid, Vst::IComponent_iid, (void**) &component);
    }

    if (component == nullptr || component->initialize (nullptr) != kResultOk)
    {
        error = "no audio module class";
        return;
    }

    // The controller is either the component's other face or an object of its own class.
    if (component->queryInterface (Vst::IEditController_iid, (void**) &controller) != kResultOk)
    {
        controller = nullptr;
        TUID controllerClass {};
        if (component->getControllerClassId (controllerClass) == kResultOk
            && factory->createInstance (controllerClass, Vst::IEditController_iid, (void**) &controller) == kResultOk
            && controller != nullptr)
        {
            separateController = true;
            controller->initialize (nullptr);
        }
    }

    if (controller == nullptr)
    {
        error = "no edit controller";
        return;
    }

    component->queryInterface (Vst::IAudioProcessor_iid, (void**) &processor);
    controller->setComponentHandler (this);

    // The two halves talk to each other directly.
    if (separateController)
    {
        component->queryInterface (Vst::IConnectionPoint_iid, (void**) &componentPoint);
        controller->queryInterface (Vst::IConnectionPoint_iid, (void**) &controllerPoint);
        if (componentPoint != nullptr && controllerPoint != nullptr)
        {
            componentPoint->connect (controllerPoint);
            controllerPoint->connect (componentPoint);
        }
    }

    for (int32 i = 0; i < controller->getParameterCount(); ++i)
    {
        Vst::ParameterInfo info {};
        if (controller->getParameterInfo (i, info) != kResultOk)
            continue;

        if ((info.flags & Vst::ParameterInfo::kIsProgramChange) != 0)
        {
            programParameter = info.id;
            continue;
        }

        const auto title = toUtf8 (info.title);
        const bool listedByFlags = (info.flags & (Vst::ParameterInfo::kCanAutomate | Vst::ParameterInfo::kIsReadOnly)) != 0;
        if (! listedByFlags || title.find ("MIDI CC ") != std::string::npos)
            continue;

        listed.push_back ({ info.id, title });
        shadow.push_back ((float) info.defaultNormalizedValue);
        updateController.push_back (false);
    }

    // The preset list: the program list of the unit the program-change parameter belongs to.
    Vst::IUnitInfo* units = nullptr;
    if (controller->queryInterface (Vst::IUnitInfo_iid, (void**) &units) == kResultOk && units != nullptr)
    {
        Vst::ProgramListInfo list {};
        if (units->getProgramListCount() > 0 && units->getProgramListInfo (0, list) == kResultOk)
            numPrograms = list.programCount;
        units->release();
    }

    // The controller starts from the component's state, then processing starts.
    MemoryStream state;
    if (component->getState (&state) == kResultOk)
    {
        state.seek (0, IBStream::kIBSeekSet, nullptr);
        controller->setComponentState (&state);
    }

    if (processor != nullptr)
    {
        Vst::ProcessSetup setup { Vst::kRealtime, Vst::kSample32, 512, 48000.0 };
        processor->setupProcessing (setup);
        component->setActive (true);
        processor->setProcessing (true);
    }
}

ShadowingVst3Host::~ShadowingVst3Host()
{
    if (processor != nullptr)
    {
        processor->setProcessing (false);
        component->setActive (false);
        processor->release();
    }

    if (componentPoint != nullptr && controllerPoint != nullptr)
    {
        componentPoint->disconnect (controllerPoint);
        controllerPoint->disconnect (componentPoint);
    }
    if (componentPoint != nullptr)
        componentPoint->release();
    if (controllerPoint != nullptr)
        controllerPoint->release();

    if (controller != nullptr)
    {
        controller->setComponentHandler (nullptr);
        if (separateController)
            controller->terminate();
        controller->release();
    }

    if (component != nullptr)
    {
        component->terminate();
        component->release();
    }

    if (factory != nullptr)
        factory->release();

    if (library != nullptr)
    {
        using ModuleExit = bool (*)();
        if (auto exit = (ModuleExit) dlsym (library, "ModuleExit"))
            exit();
        dlclose (library);
    }
}

int ShadowingVst3Host::indexOf (const std::string& title) const
{
    for (size_t i = 0; i < listed.size(); ++i)
        if (listed[i].title == title)
            return (int) i;
    return -1;
}

//==============================================================================
tresult PLUGIN_API ShadowingVst3Host::performEdit (Vst::ParamID id, Vst::ParamValue value)
{
    const std::lock_guard<std::recursive_mutex> guard (lock);
    for (size_t i = 0; i < listed.size(); ++i)
    {
        if (listed[i].id != id)
            continue;

        ++performEditCount;
        shadow[i] = (float) value;
        updateController[i] = true;
        // The session takes it as the user's edit and passes it on to the processor.
        sessionQueue.emplace_back ((int) i, value);
    }
    return kResultOk;
}

tresult PLUGIN_API ShadowingVst3Host::restartComponent (int32 flags)
{
    const std::lock_guard<std::recursive_mutex> guard (lock);
    if ((flags & Vst::kParamValuesChanged) != 0)
    {
        ++valuesChangedCount;
        updateShadowData();
    }
    return kResultOk;
}

tresult PLUGIN_API ShadowingVst3Host::queryInterface (const TUID interfaceId, void** obj)
{
    if (sameIid (interfaceId, FUnknown_iid) || sameIid (interfaceId, Vst::IComponentHandler_iid))
    {
        *obj = this;
        return kResultOk;
    }
    *obj = nullptr;
    return kNoInterface;
}

void ShadowingVst3Host::updateShadowData()
{
    for (size_t i = 0; i < listed.size(); ++i)
    {
        const auto value = controller->getParamNormalized (listed[i].id);
        if (shadow[i] != value)
        {
            inputChanges.add (listed[i].id, value);
            shadow[i] = (float) value;
            updateController[i] = true;
        }
    }
}

void ShadowingVst3Host::setParameter (int index, double normalised, bool force)
{
    const auto i = (size_t) index;
    if (shadow[i] == (float) normalised && ! force)
        return;

    inputChanges.add (listed[i].id, normalised);
    shadow[i] = (float) normalised;
    updateController[i] = true;
}

void ShadowingVst3Host::chooseProgram (int program)
{
    const std::lock_guard<std::recursive_mutex> guard (lock);
    lastProgram = program;
    const auto value = numPrograms > 1 ? program / (numPrograms - 1.0) : 0.0;
    inputChanges.add (programParameter, value);
    controller->setParamNormalized (programParameter, value);
}

void ShadowingVst3Host::setProgramParameter (int program)
{
    const std::lock_guard<std::recursive_mutex> guard (lock);
    controller->setParamNormalized (programParameter, numPrograms > 1 ? program / (numPrograms - 1.0) : 0.0);
}

void ShadowingVst3Host::setFromHost (int index, double normalised)
{
    const std::lock_guard<std::recursive_mutex> guard (lock);
    sessionQueue.emplace_back (index, normalised);
}

double ShadowingVst3Host::read (int index)
{
    const std::lock_guard<std::recursive_mutex> guard (lock);
    const auto i = (size_t) index;
    if (updateController[i])
    {
        updateController[i] = false;
        controller->setParamNormalized (listed[i].id, shadow[i]);
    }
    return shadow[i];
}

void ShadowingVst3Host::runCycle()
{
    const std::lock_guard<std::recursive_mutex> guard (lock);
    auto queued = std::move (sessionQueue);
    sessionQueue.clear();
    for (const auto& [index, value] : queued)
        setParameter (index, value, true);

    if (processor != nullptr)
    {
        // No audio buses: the plug-in takes the parameter changes without rendering.
        Vst::ProcessData data {};
        data.processMode = Vst::kRealtime;
        data.symbolicSampleSize = Vst::kSample32;
        data.inputParameterChanges = &inputChanges;
        data.outputParameterChanges = &outputChanges;
        processor->process (data);
    }

    for (int32 q = 0; q < outputChanges.getParameterCount(); ++q)
    {
        auto* queue = outputChanges.getParameterData (q);
        int32 offset = 0;
        Vst::ParamValue value = 0;
        if (queue == nullptr || queue->getPoint (queue->getPointCount() - 1, offset, value) != kResultTrue)
            continue;

        for (size_t i = 0; i < listed.size(); ++i)
        {
            if (listed[i].id == queue->getParameterId() && shadow[i] != value)
            {
                ++outputChangeCount;
                updateController[i] = true;
                shadow[i] = (float) value;
            }
        }
    }

    inputChanges.clear();
    outputChanges.clear();
}

//==============================================================================
Vst3Session ShadowingVst3Host::save()
{
    const std::lock_guard<std::recursive_mutex> guard (lock);
    Vst3Session session;

    for (size_t i = 0; i < listed.size(); ++i)
        session.ports.emplace_back (listed[i].id, read ((int) i));

    MemoryStream componentState, controllerState;
    if (component->getState (&componentState) == kResultOk)
        session.componentState = componentState.bytes;
    if (controller->getState (&controllerState) == kResultOk)
        session.controllerState = controllerState.bytes;

    session.lastProgram = lastProgram;
    return session;
}

void ShadowingVst3Host::loadChunks (const Vst3Session& session)
{
    const std::lock_guard<std::recursive_mutex> guard (lock);
    if (! session.componentState.empty())
    {
        MemoryStream forComponent (session.componentState), forController (session.componentState);
        component->setState (&forComponent);
        controller->setComponentState (&forController);
    }

    if (! session.controllerState.empty())
    {
        MemoryStream forController (session.controllerState);
        controller->setState (&forController);
    }

    updateShadowData();
}

void ShadowingVst3Host::reopen (const Vst3Session& session)
{
    const std::lock_guard<std::recursive_mutex> guard (lock);
    if (session.lastProgram >= 0 && programParameter != Vst::kNoParamId)
        setProgramParameter (session.lastProgram);

    lastProgram = session.lastProgram;

    for (const auto& [id, value] : session.ports)
        for (size_t i = 0; i < listed.size(); ++i)
            if (listed[i].id == id)
                setParameter ((int) i, value, false);

    loadChunks (session);
}

//==============================================================================
ShadowingVst3Host::PluginState ShadowingVst3Host::pluginState()
{
    const std::lock_guard<std::recursive_mutex> guard (lock);
    PluginState result;
    MemoryStream stream;
    if (component->getState (&stream) != kResultOk || stream.bytes.size() < 9)
        return result;

    // The plug-in's block: 4 magic bytes, the text length (little-endian), then the XML text.
    uint32_t length = 0;
    std::memcpy (&length, stream.bytes.data() + 4, 4);
    const auto text = juce::String::fromUTF8 (stream.bytes.data() + 8,
                                              (int) std::min<size_t> (length, stream.bytes.size() - 8));

    if (auto xml = juce::parseXML (text))
    {
        result.currentProgram = xml->getIntAttribute ("currentProgram", -1);
        for (auto* param : xml->getChildIterator())
            result.values.emplace_back (param->getStringAttribute ("id").toStdString(),
                                        param->getDoubleAttribute ("value"));
    }
    return result;
}

bool ShadowingVst3Host::waitForValuesChanged (int count)
{
    for (int i = 0; i < 500 && valuesChangedCount.load() <= count; ++i)
        std::this_thread::sleep_for (std::chrono::milliseconds (10));
    return valuesChangedCount.load() > count;
}

void ShadowingVst3Host::settle()
{
    std::this_thread::sleep_for (std::chrono::milliseconds (200));
}

double ShadowingVst3Host::controllerValue (int index) const
{
    return controller->getParamNormalized (listed[(size_t) index].id);
}

double ShadowingVst3Host::programParameterValue() const
{
    return controller->getParamNormalized (programParameter);
}
} // namespace gribb::test
