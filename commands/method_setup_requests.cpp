#include "commands/method_setup_requests.h"

#include "method/ui/method_setup_form.h"

#include <array>

namespace {

using Getter = ModeCode (TMethodSetupForm::*)() const;

// Group 1 to 12.
constexpr std::array<Getter, 12> kGetters = {
    &TMethodSetupForm::TitrationtypeModeCode,
    &TMethodSetupForm::ControlModeCode,
    &TMethodSetupForm::PredosageModeCode,
    &TMethodSetupForm::BueretteModeCode,
    &TMethodSetupForm::EndpointDosageBarrierModeCode,
    &TMethodSetupForm::AgitationTimeModeCode,
    &TMethodSetupForm::ResultCalculationModeCode,
    &TMethodSetupForm::SystemModeCode,
    &TMethodSetupForm::ConditioningTimeModeCode,
    &TMethodSetupForm::FlushingTimeModeCode,
    &TMethodSetupForm::DosageRinseModeCode,
    &TMethodSetupForm::DosageDoseModeCode,
};

} // namespace

MethodSetupRequests::MethodSetupRequests(TMethodSetupForm &form) : m_form(form) {}

void MethodSetupRequests::ResetTitratorSaveButtonState()
{
    m_form.ResetTitratorSaveButtonState();
}

void MethodSetupRequests::ResetTitratorLoadButtonState()
{
    m_form.ResetTitratorLoadButtonState();
}

void MethodSetupRequests::ResetTitratorUploadButtonState()
{
    m_form.ResetTitratorUploadButtonState();
}

void MethodSetupRequests::showModal()
{
    m_form.exec();
}

std::int32_t MethodSetupRequests::TitratorUploadButtonState() const
{
    return m_form.TitratorUploadButtonState();
}

std::int32_t MethodSetupRequests::TitratorLoadButtonState() const
{
    return m_form.TitratorLoadButtonState();
}

std::int32_t MethodSetupRequests::TitratorSaveButtonState() const
{
    return m_form.TitratorSaveButtonState();
}

int MethodSetupRequests::selectedSlot() const
{
    return m_form.selectedSlot();
}

ModeCode MethodSetupRequests::modeCode(int group) const
{
    return (m_form.*kGetters.at(group - 1))();
}

void MethodSetupRequests::IniFileSave()
{
    m_form.IniFileSave();
}
