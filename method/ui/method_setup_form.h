#pragma once

#include "method/method_folder.h"
#include "method/method_settings.h"
#include "method/mode_code.h"

#include <QDialog>

#include <array>
#include <cstdint>
#include <functional>

class GroupPage;
class MessageBoxes;
class MethodError;
class QComboBox;
class QLabel;
class QLineEdit;
class QStackedWidget;
class QTreeWidget;

/// The modal dialog "Mode (Method Setup)": the twelve group pages of a method, the method memory
/// slot and name, and three buttons that leave request flags for the main window, which reads
/// them, the slot and the twelve ModeCodes after the dialog has closed. Created once; controls,
/// ModeCodes and flags keep their values between showings.
class TMethodSetupForm : public QDialog
{
  public:
    /// Reads the remembered slot's method file into the controls.
    TMethodSetupForm(const MethodFolder &folder, MessageBoxes &boxes, QWidget *parent = nullptr);

    /// The window that the Info button shows modally.
    void setInfoForm(QDialog *info);

    /// Told which method files were left unread for their size, whenever the slots are read.
    std::function<void(const QString &)> OnFolderWarning;
    /// Tells OnFolderWarning of unread method files, if there are any.
    void reportFolderWarning() const;

    void ResetTitratorSaveButtonState();
    void ResetTitratorLoadButtonState();
    void ResetTitratorUploadButtonState();
    /// The request flags: 0, or -1 when the user asked for it.
    std::int32_t TitratorUploadButtonState() const;
    std::int32_t TitratorLoadButtonState() const;
    std::int32_t TitratorSaveButtonState() const;

    /// The item index of the method memory selector, -1 for none.
    int selectedSlot() const;
    /// The method as the controls hold it.
    MethodSettings settings() const;
    /// True when the controls hold edits not yet written to a method file: they differ from the
    /// method last read from or saved to one (at first, the method read at creation).
    bool hasUnsavedEdits() const;

    ModeCode TitrationtypeModeCode() const;
    ModeCode ControlModeCode() const;
    ModeCode PredosageModeCode() const;
    ModeCode BueretteModeCode() const;
    ModeCode EndpointDosageBarrierModeCode() const;
    ModeCode AgitationTimeModeCode() const;
    ModeCode ResultCalculationModeCode() const;
    ModeCode SystemModeCode() const;
    ModeCode ConditioningTimeModeCode() const;
    ModeCode FlushingTimeModeCode() const;
    ModeCode DosageRinseModeCode() const;
    ModeCode DosageDoseModeCode() const;

    /// Writes the remembered slot and the selected slot's method file from the controls; without a
    /// slot it shows why no method file was written. Throws MethodError on a refused write.
    void IniFileSave();
    /// Reads the selected slot's method file into the controls.
    void IniFileLoadPreview();

    void MainMenuTreeViewClick();
    void TimeControlListBoxClick();
    void TitratorUploadButtonClick();
    void TitratorLoadButtonClick();
    void TitratorSaveButtonClick();
    void InfoButtonClick();

    /// The store operations: bring the group's page to the front, then compute its ModeCode.
    /// Throw MethodError at a setting that cannot be sent: a numeric text that is not a number,
    /// a list without a choice.
    void TitrationtypeSaveButtonClick();
    void ControlSaveButtonClick();
    void PredosageSaveButtonClick();
    void BueretteSaveButtonClick();
    void EndpointDosageBarrierSaveButtonClick();
    void AgitationTimeSaveButtonClick();
    void ResultCalculationSaveButtonClick();
    void SystemSaveButtonClick();
    void ConditioningTimeSaveButtonClick();
    void FlushingTimeSaveButtonClick();
    void DosageRinseSaveButtonClick();
    void DosageDoseSaveButtonClick();

  protected:
    void showEvent(QShowEvent *event) override;
    /// Escape ends an edit, never the dialog: it has no Cancel, and closing it resets the titrator.
    void keyPressEvent(QKeyEvent *event) override;

  private:
    void buildTree();
    void buildTitratorPanel();
    void buildPages();
    void refreshSlotNames();
    void showGroup(int group);
    void showSettings(const MethodSettings &method);
    void storeGroup(int group);
    /// The twelve store operations in group order; false after the error box of a failed one.
    bool storeAll();
    /// The error's text, led by the caption of the field it is about.
    QString errorText(const MethodError &error) const;
    GroupPage &pageOf(Setting setting) const;

    MethodFolder m_folder;
    MessageBoxes &m_boxes;
    QDialog *m_info = nullptr;
    std::array<ModeCode, 12> m_codes{};
    std::int32_t m_uploadFlag = 0;
    std::int32_t m_loadFlag = 0;
    std::int32_t m_saveFlag = 0;
    MethodSettings m_fileSettings;
    /// The balance to choose again when the time control stops switching it off.
    int m_balanceBeforeFixedTime = 0;

    QTreeWidget *m_tree = nullptr;
    QLabel *m_header = nullptr;
    QStackedWidget *m_pages = nullptr;
    std::array<GroupPage *, 12> m_groupPages{};
    QLineEdit *m_methodName = nullptr;
    QComboBox *m_slots = nullptr;
};
