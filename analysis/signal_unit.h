#pragma once

/// The unit of a measuring table's signal column, as its header names it.
enum class SignalUnit { pH, mV };
