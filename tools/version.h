// The version the tools print, the project's own (CMake's project VERSION).
#pragma once

constexpr char kTaveloVersion[] = TAVELO_VERSION;
