#include "processor/GribbTazoAudioProcessor.h"

// Placeholder until the saved-state format lands: nothing is saved or restored.
void GribbTazoAudioProcessor::getStateInformation (juce::MemoryBlock&) {}
void GribbTazoAudioProcessor::setStateInformation (const void*, int) {}
