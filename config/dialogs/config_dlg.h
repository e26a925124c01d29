#pragma once
// The configuration dialog (template 130): the meter's host from a list of recent hosts that
// is edited in place, the configuration password with its confirmation, five numeric options
// with spin buttons, the warning banner, and the factory defaults. It works on its own copy of
// the settings, which the Configure command fills before DoModal and takes over after IDOK.
// Each numeric box and the warning box are checked when they lose the focus: bad input
// silently returns the box to its last good value.

#include "config/settings.h"
#include "platform/qt/dialog.h"

#include <cstdint>
#include <string>

struct BoxRule;

class CConfigDlg : public CDialog {
    Q_OBJECT

public:
    explicit CConfigDlg(QWidget* parentWnd);
    ~CConfigDlg() override;

    // The settings copy.
    char HostName[HostNameCapacity];
    char Password[PasswordCapacity];
    double ShiftLenHours;
    std::int32_t LevelOffset;
    std::int32_t PollingInterval;
    std::int32_t SnmpTimeout;
    std::int32_t SnmpRetries;
    char Recent[RecentCount][RecentCapacity];
    std::int32_t DisplayWarning;
    char WarningMessage[WarningMessageCapacity];

    // The Configure command's copies: every setting into the copy, and the copy out whole.
    void CopyIn(const Settings& settings);
    Settings CopyOut() const;

    // Shown, masked, in both password boxes when the dialog opens: while the password box
    // holds exactly this, OK keeps Password.
    static constexpr char PasswordPlaceholder[9] = "qxzjvkwp";

    // The host list from Recent and HostName, with HostName selected.
    void FillHostList();
    // Host-edit mode: only the host box and its two buttons are usable.
    void BeginHostEdit();
    // List mode: everything but the host box and its two buttons is usable.
    void EndHostEdit();

protected:
    bool OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    void OnCommand(int id) override;
    void OnEditSetFocus(int id) override;
    void OnEditKillFocus(int id) override;
    void OnDeltaPos(int id, int delta) override;

private:
    // A numeric box with its spin button, its rule and where its last good value is kept.
    struct NumericBox {
        int box;
        int spin;
        const BoxRule& rule;
        double CConfigDlg::*savedDecimal;      // for the shift box
        std::int32_t CConfigDlg::*savedWhole;  // for the others
        bool keepsTypedText;                   // an accepted text stays as typed and the last good value stays
    };
    static const NumericBox NumericBoxes[5];

    static const NumericBox* FindNumericBox(int boxOrSpin);
    void SetHostEditMode(bool editing);
    void OnNewHost();
    void OnEditHost();
    void OnAddHost();
    void OnCancelHostEdit();
    void OnDeleteHost();
    void OnRestoreDefaults();

    // The value as a spin step or a gained focus reads it: the shift with atof, the others
    // as signed whole numbers.
    double ReadBox(const NumericBox& box) const;
    void WriteBox(const NumericBox& box, double value);
    double SavedValue(const NumericBox& box) const;
    void SetSavedValue(const NumericBox& box, double value);
    void CheckNumericBox(const NumericBox& box);
    void CheckWarningBox();
    // A box's text, read with a capacity of 128 bytes.
    std::string BoxText(int id) const;

    std::int32_t HostEditActive = 0;
    std::int32_t AddMode = 0;
    double SavedShiftLenHours = 0.0;
    std::int32_t SavedLevelOffset = 0;
    std::int32_t SavedPollingInterval = 0;
    std::int32_t SavedSnmpTimeout = 0;
    std::int32_t SavedSnmpRetries = 0;
    char SavedWarningMessage[WarningMessageCapacity] = "";
};
