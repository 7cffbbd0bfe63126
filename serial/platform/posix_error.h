#pragma once

#include <cstdint>

/// The system error code (comm_types.h) that stands for a POSIX errno value.
uint32_t commErrorFromErrno(int error);
