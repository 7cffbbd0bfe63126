#include "method/mode_group.h"

#include <array>

namespace {

constexpr std::array<ModeGroup, ModeGroup::kCount> kGroups = {{
    {1, '1', "1. Titrationtype", "1"},
    {2, '2', "2. Control and Data logging", "2"},
    {3, '3', "3. Predosage", "3"},
    {4, '4', "4. Bürette-/Max. Volume", "4"},
    {5, '5', "5. Endpoint - Dosage - Barrier", "5"},
    {6, '6', "6. Agitation Time", "6"},
    {7, '7', "7. Result calculation and Demonstration", "7"},
    {8, '8', "8. System", "8"},
    {9, '9', "9. Serial Titration with Assaychanger", "9"},
    {10, 'A', "A. Flushing Time", "10"},
    {11, 'B', "B. Dosage RINSE", "11"},
    {12, 'C', "C. Dosage DOSE", "12"},
}};

} // namespace

const ModeGroup &ModeGroup::at(int number)
{
    return kGroups.at(static_cast<std::size_t>(number - 1));
}
