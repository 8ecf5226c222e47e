// The processor's window is made here, on the window's side, so that the processor's own code
// needs none of the window's headers.
#include "editor/GribbTazoAudioProcessorEditor.h"
#include "processor/GribbTazoAudioProcessor.h"

juce::AudioProcessorEditor* GribbTazoAudioProcessor::createEditor()
{
    return new GribbTazoAudioProcessorEditor (*this);
}
