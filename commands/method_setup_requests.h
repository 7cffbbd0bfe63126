#pragma once

#include "commands/method_requests.h"

class TMethodSetupForm;

/// The method setup dialog behind the interface the method transfer uses.
class MethodSetupRequests : public MethodRequests
{
  public:
    explicit MethodSetupRequests(TMethodSetupForm &form);

    void ResetTitratorSaveButtonState() override;
    void ResetTitratorLoadButtonState() override;
    void ResetTitratorUploadButtonState() override;
    void showModal() override;
    std::int32_t TitratorUploadButtonState() const override;
    std::int32_t TitratorLoadButtonState() const override;
    std::int32_t TitratorSaveButtonState() const override;
    int selectedSlot() const override;
    ModeCode modeCode(int group) const override;
    void IniFileSave() override;

  private:
    TMethodSetupForm &m_form;
};
