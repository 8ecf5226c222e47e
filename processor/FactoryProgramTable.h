#pragma once

#include <array>
#include <optional>

#include "engine/ParameterTable.h"

namespace gribb
{
inline constexpr int numFactoryPrograms = 20;

/** The built-in program names, in program order. */
extern const std::array<const char*, numFactoryPrograms> factoryProgramNames;

/** A factory program's value for a parameter: a plain value (a choice's index), or nothing when
    the program leaves that parameter where it is. */
std::optional<float> factoryProgramValue (int program, ParamIndex parameter) noexcept;
} // namespace gribb
