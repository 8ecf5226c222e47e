#pragma once

#include <cstdint>

namespace gribb::sprites
{
/** How far the chicken is cooked: picks the colours of its skin, comb, beak and legs. */
enum class Doneness
{
    raw,        // pale pink, plucked
    golden,
    amber,
    brown,
    darkBrown,
    scorched,   // dark brown going black
    blackened,
    charred,
    roast       // the glossy golden-brown chicken that comes out of the sparks
};

/** The expression drawn on the head. */
enum class Face
{
    worried,    // brows raised in the middle, small pupils, sweat
    pained,     // eyes squeezed shut, beak open
    dazed,      // half-closed eyes, drooping brows
    sooty,      // blank white eyes staring out of a black face
    stunned,    // eyes wide open at the flash
    startled,   // wide eyes, raised brows, beak open
    lookingUp,  // startled eyes turned to the sunglasses above
    cool,       // behind sunglasses, a smirk
    grinning    // behind sunglasses, a wide open grin
};

enum class Sunglasses { none, hovering, worn };

/** Everything that decides what one frame shows. A frame is drawn as a stack of layers
    chosen from these fields, so the frames share their drawing code. */
struct RoastFrameState
{
    int index = 0;
    Doneness doneness = Doneness::raw;
    Face face = Face::worried;
    int sweatDrops = 0;         // drops beside the head
    bool shivering = false;     // tremble marks beside the body (the raw chicken is cold)
    int cracks = 0;             // glowing cracks in the skin, the first n of a fixed set
    float crackGlow = 0.0f;     // 0..1
    int embers = 0;             // glowing embers on and above the body, first n of a fixed set
    float emberGlow = 0.0f;     // 0..1
    float smokeWisps = 0.0f;    // thin smoke rising from the body, 0..1
    bool smokeCloud = false;    // a dense cloud of dark smoke around the whole chicken
    float flash = 0.0f;         // the cyan-white flash at the chest, 0..1
    float burst = 0.0f;         // a burst of cyan sparks from the chest, 0..1 (its reach)
    bool charFlakes = false;    // black flakes of the charred crust flying off in the burst
    int sparkles = 0;           // small four-pointed cyan sparkles left around the chicken
    bool gloss = false;         // specular highlights of the glazed roast
    float flames = 0.0f;        // height of the flames at its feet, 0..1
    Sunglasses sunglasses = Sunglasses::none;
    bool pointing = false;      // one wing raised, pointing at the viewer
    bool glint = false;         // a glint on the sunglasses
    uint32_t seed = 0;          // seeds the small per-frame variations (background, flicker)
};

constexpr int numRoastFrames = 30;

/** The state of frame `index` (0 .. numRoastFrames - 1) of the roasting sequence. */
RoastFrameState roastFrameState (int index);
} // namespace gribb::sprites
