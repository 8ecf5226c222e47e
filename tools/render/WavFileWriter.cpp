#include "WavFileWriter.h"

#include <juce_audio_formats/juce_audio_formats.h>

namespace gribb::render
{
bool writeWavFile (const juce::File& file, const juce::AudioBuffer<float>& audio, double sampleRate,
                   juce::String& error)
{
    if (! file.getParentDirectory().createDirectory())
    {
        error = "cannot create the folder " + file.getParentDirectory().getFullPathName();
        return false;
    }

    const auto temp = file.getSiblingFile ("." + file.getFileName() + ".partial");
    temp.deleteFile();

    {
        auto stream = std::make_unique<juce::FileOutputStream> (temp);
        if (! stream->openedOk())
        {
            error = "cannot write " + file.getFullPathName();
            return false;
        }

        juce::WavAudioFormat wav;
        std::unique_ptr<juce::AudioFormatWriter> writer (
            wav.createWriterFor (stream.get(), sampleRate, (unsigned int) audio.getNumChannels(), 32, {}, 0));

        if (writer == nullptr)
        {
            stream.reset();
            temp.deleteFile();
            error = "cannot create a WAV writer for " + file.getFullPathName();
            return false;
        }

        stream.release(); // the writer owns the stream now
        const bool ok = writer->writeFromAudioSampleBuffer (audio, 0, audio.getNumSamples()) && writer->flush();
        writer.reset();

        if (! ok)
        {
            temp.deleteFile();
            error = "writing " + file.getFullPathName() + " failed";
            return false;
        }
    }

    if (! temp.moveFileTo (file))
    {
        temp.deleteFile();
        error = "cannot move the rendered file into place at " + file.getFullPathName();
        return false;
    }

    return true;
}
} // namespace gribb::render
