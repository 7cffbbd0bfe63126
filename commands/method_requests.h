#pragma once

#include "method/mode_code.h"

#include <cstdint>

/// The method setup dialog as the method transfer uses it: the user's request, the chosen
/// memory slot and the method's digits.
class MethodRequests
{
  public:
    virtual ~MethodRequests() = default;

    virtual void ResetTitratorSaveButtonState() = 0;
    virtual void ResetTitratorLoadButtonState() = 0;
    virtual void ResetTitratorUploadButtonState() = 0;
    /// Runs the dialog until the user closes it; the outcome is in the requests.
    virtual void showModal() = 0;
    /// Each request is 0, or -1 when set.
    virtual std::int32_t TitratorUploadButtonState() const = 0;
    virtual std::int32_t TitratorLoadButtonState() const = 0;
    virtual std::int32_t TitratorSaveButtonState() const = 0;
    /// The chosen memory slot, -1 when none.
    virtual int selectedSlot() const = 0;
    /// A copy of the digits of group 1 to 12.
    virtual ModeCode modeCode(int group) const = 0;
    /// Writes the method file of the chosen slot; throws MethodError when the system refuses.
    virtual void IniFileSave() = 0;
};
