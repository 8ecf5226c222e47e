#include "ChickenPalette.h"

namespace gribb::sprites
{
ChickenPalette chickenPalette (Doneness doneness)
{
    ChickenPalette p;
    p.eyeWhite = juce::Colour (0xfffbfaf5);
    p.pupil = juce::Colour (0xff16120f);
    p.rimLight = juce::Colour (0x00ffffff);

    switch (doneness)
    {
        case Doneness::raw:
            p.skin = juce::Colour (0xfff6cdc4); p.outline = juce::Colour (0xffa8675f);
            p.comb = juce::Colour (0xffe0323a); p.beak = juce::Colour (0xfff2a33a);
            p.legs = juce::Colour (0xfff0b04a); break;
        case Doneness::golden:
            p.skin = juce::Colour (0xffecb85c); p.outline = juce::Colour (0xff9c6424);
            p.comb = juce::Colour (0xffd8342e); p.beak = juce::Colour (0xfff09a2c);
            p.legs = juce::Colour (0xffe9a640); break;
        case Doneness::amber:
            p.skin = juce::Colour (0xffdc9434); p.outline = juce::Colour (0xff7e4614);
            p.comb = juce::Colour (0xffc42c24); p.beak = juce::Colour (0xffe48a26);
            p.legs = juce::Colour (0xffd89436); break;
        case Doneness::brown:
            p.skin = juce::Colour (0xffa8622a); p.outline = juce::Colour (0xff5a2e10);
            p.comb = juce::Colour (0xffa02620); p.beak = juce::Colour (0xffc8782a);
            p.legs = juce::Colour (0xffb87a34); break;
        case Doneness::darkBrown:
            p.skin = juce::Colour (0xff73401e); p.outline = juce::Colour (0xff371a08);
            p.comb = juce::Colour (0xff7a1e18); p.beak = juce::Colour (0xff9a5a22);
            p.legs = juce::Colour (0xff8c5a2a); break;
        case Doneness::scorched:
            p.skin = juce::Colour (0xff462615); p.outline = juce::Colour (0xff1e0f06);
            p.comb = juce::Colour (0xff521612); p.beak = juce::Colour (0xff6a3c1c);
            p.legs = juce::Colour (0xff5e3c22); p.rimLight = juce::Colour (0x40ffb070); break;
        case Doneness::blackened:
            p.skin = juce::Colour (0xff2e2622); p.outline = juce::Colour (0xff0c0a09);
            p.comb = juce::Colour (0xff3a1614); p.beak = juce::Colour (0xff3c2e26);
            p.legs = juce::Colour (0xff3a302a); p.rimLight = juce::Colour (0x50c0b0a8); break;
        case Doneness::charred:
            p.skin = juce::Colour (0xff1c1918); p.outline = juce::Colour (0xff080707);
            p.comb = juce::Colour (0xff2e1614); p.beak = juce::Colour (0xff322a26);
            p.legs = juce::Colour (0xff2e2826); p.rimLight = juce::Colour (0x58b8b4b0); break;
        case Doneness::roast:
            p.skin = juce::Colour (0xffd4892e); p.outline = juce::Colour (0xff6a3410);
            p.comb = juce::Colour (0xffe02a22); p.beak = juce::Colour (0xfff5a623);
            p.legs = juce::Colour (0xfff0a83a); p.rimLight = juce::Colour (0x50fff0c0); break;
    }
    return p;
}

juce::Colour backgroundColour (const RoastFrameState& state)
{
    juce::Random random ((juce::int64) state.seed);
    const int step = random.nextInt (5) - 2;   // -2 .. +2
    return juce::Colour ((juce::uint8) (0x7a + step), (juce::uint8) (0x7c + step), (juce::uint8) (0x7d + step));
}
} // namespace gribb::sprites
