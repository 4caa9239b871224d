#pragma once

// The program's version, set once in the top-level CMakeLists.txt.
namespace ravenmoor {
inline constexpr const char* version = RAVENMOOR_VERSION;
}
