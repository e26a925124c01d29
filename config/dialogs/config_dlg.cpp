#include "config/dialogs/config_dlg.h"

#include "config/config_checks.h"
#include "platform/qt/message_box.h"
#include "platform/sys/fixed_text.h"
#include "res/dialog_ids.h"
#include "res/dialog_templates.h"

#include <QtGlobal>  // QT_TRANSLATE_NOOP

#include <algorithm>
#include <optional>
#include <string>

namespace {

constexpr int TextCapacity = 128;  // what a box is read with, the warning box aside
constexpr int MaxHosts = static_cast<int>(RecentCount);

// Usable in host-edit mode only.
constexpr int HostEditControls[] = {IDC_CFG_HOST, IDC_CFG_ADD, IDC_CFG_HOST_CANCEL};
// Usable in list mode only, besides the host list and its buttons.
constexpr int OptionControls[] = {
    IDC_CFG_SHIFT,    IDC_CFG_POLLING, IDC_CFG_OFFSET,          IDC_CFG_TIMEOUT, IDC_CFG_RETRIES,
    IDC_CFG_PASSWORD, IDC_CFG_CONFIRM, IDC_CFG_DISPLAY_WARNING, IDC_CFG_RESTORE, IDOK,
    IDCANCEL};

constexpr char RestoreQuestion[] = QT_TRANSLATE_NOOP(
    "MessageBox",
    "Are you sure you wish to restore the configuration to factory defaults? All current settings will be lost.");

}  // namespace

const CConfigDlg::NumericBox CConfigDlg::NumericBoxes[5] = {
    {IDC_CFG_SHIFT, IDC_CFG_SHIFT_SPIN, BoxRules::ShiftLenHours, &CConfigDlg::SavedShiftLenHours, nullptr, false},
    {IDC_CFG_POLLING, IDC_CFG_POLLING_SPIN, BoxRules::PollingInterval, nullptr, &CConfigDlg::SavedPollingInterval,
     false},
    {IDC_CFG_OFFSET, IDC_CFG_OFFSET_SPIN, BoxRules::LevelOffset, nullptr, &CConfigDlg::SavedLevelOffset, false},
    {IDC_CFG_TIMEOUT, IDC_CFG_TIMEOUT_SPIN, BoxRules::SnmpTimeout, nullptr, &CConfigDlg::SavedSnmpTimeout, true},
    {IDC_CFG_RETRIES, IDC_CFG_RETRIES_SPIN, BoxRules::SnmpRetries, nullptr, &CConfigDlg::SavedSnmpRetries, false},
};

// The copy's numbers are zero as well, so that nothing is read before the caller fills it.
CConfigDlg::CConfigDlg(QWidget* parentWnd)
    : CDialog(FindDialogTemplate(IDD_CONFIGURE), parentWnd),
      HostName(),
      Password(),
      ShiftLenHours(0.0),
      LevelOffset(0),
      PollingInterval(0),
      SnmpTimeout(0),
      SnmpRetries(0),
      Recent(),
      DisplayWarning(0),
      WarningMessage() {
    setObjectName(QStringLiteral("CConfigDlg"));
}

CConfigDlg::~CConfigDlg() = default;

void CConfigDlg::CopyIn(const Settings& settings) {
    CopyFixedText(HostName, settings.HostName);
    CopyFixedText(Password, settings.Password);
    PollingInterval = settings.PollingInterval;
    ShiftLenHours = settings.ShiftLenHours;
    LevelOffset = settings.LevelOffset;
    SnmpTimeout = settings.SnmpTimeout;
    DisplayWarning = settings.DisplayWarning;
    SnmpRetries = settings.SnmpRetries;
    CopyFixedText(WarningMessage, settings.WarningMessage);
    for (std::size_t entry = 0; entry < RecentCount; ++entry)
        CopyFixedText(Recent[entry], settings.Recent[entry]);
}

Settings CConfigDlg::CopyOut() const {
    Settings settings{};
    CopyFixedText(settings.HostName, HostName);
    CopyFixedText(settings.Password, Password);
    settings.ShiftLenHours = ShiftLenHours;
    settings.LevelOffset = LevelOffset;
    settings.SnmpTimeout = SnmpTimeout;
    settings.DisplayWarning = DisplayWarning;
    settings.SnmpRetries = SnmpRetries;
    settings.PollingInterval = PollingInterval;
    CopyFixedText(settings.WarningMessage, WarningMessage);
    for (std::size_t entry = 0; entry < RecentCount; ++entry)
        CopyFixedText(settings.Recent[entry], Recent[entry]);
    return settings;
}

const CConfigDlg::NumericBox* CConfigDlg::FindNumericBox(int boxOrSpin) {
    for (const NumericBox& box : NumericBoxes) {
        if (box.box == boxOrSpin || box.spin == boxOrSpin)
            return &box;
    }
    return nullptr;
}

bool CConfigDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    LimitDlgItemText(IDC_CFG_PASSWORD, 16);
    LimitDlgItemText(IDC_CFG_CONFIRM, 16);
    LimitDlgItemText(IDC_CFG_TIMEOUT, 3);
    LimitDlgItemText(IDC_CFG_RETRIES, 1);
    LimitDlgItemText(IDC_CFG_SHIFT, 4);
    LimitDlgItemText(IDC_CFG_OFFSET, 4);
    LimitDlgItemText(IDC_CFG_WARNING, 64);
    FillHostList();
    SetDlgItemText(IDC_CFG_PASSWORD, PasswordPlaceholder);
    SetDlgItemText(IDC_CFG_CONFIRM, PasswordPlaceholder);
    SetDlgItemText(IDC_CFG_SHIFT, FormatDecimal(ShiftLenHours).c_str());
    SetDlgItemInt(IDC_CFG_OFFSET, LevelOffset);
    SetDlgItemInt(IDC_CFG_POLLING, PollingInterval);
    SetDlgItemInt(IDC_CFG_TIMEOUT, SnmpTimeout);
    SetDlgItemInt(IDC_CFG_RETRIES, SnmpRetries);
    CheckDlgButton(IDC_CFG_DISPLAY_WARNING, DisplayWarning != 0);
    SetDlgItemText(IDC_CFG_WARNING, std::string(FixedTextView(WarningMessage)).c_str());
    EndHostEdit();
    return true;
}

// The entry equal to HostName is selected: a search by prefix would pick "meter2" for
// "meter" when both are listed, and OK would then move the display to the other meter.
void CConfigDlg::FillHostList() {
    DialogListBox list = ListBox(IDC_CFG_HOST_LIST);
    list.ResetContent();
    const std::string_view host = FixedTextView(HostName);
    int selected = LB_ERR;
    for (const auto& entry : Recent) {
        const std::string text(FixedTextView(entry));
        if (text.empty())
            continue;
        const int index = list.AddString(text.c_str());
        if (selected == LB_ERR && text == host)
            selected = index;
    }
    if (selected == LB_ERR)
        selected = list.AddString(std::string(host).c_str());
    list.SetCurSel(selected);
    EnableDlgItem(IDC_CFG_NEW, list.GetCount() < MaxHosts);
}

void CConfigDlg::BeginHostEdit() {
    SetHostEditMode(true);
}

void CConfigDlg::EndHostEdit() {
    SetHostEditMode(false);
}

void CConfigDlg::SetHostEditMode(bool editing) {
    const bool listMode = !editing;
    EnableDlgItem(IDC_CFG_HOST_LIST, listMode);
    EnableDlgItem(IDC_CFG_NEW, listMode && ListBox(IDC_CFG_HOST_LIST).GetCount() < MaxHosts);
    EnableDlgItem(IDC_CFG_EDIT, listMode);
    EnableDlgItem(IDC_CFG_DELETE, listMode);
    for (int id : HostEditControls)
        EnableDlgItem(id, editing);
    for (int id : OptionControls)
        EnableDlgItem(id, listMode);
    GotoDlgCtrl(editing ? IDC_CFG_HOST : IDC_CFG_HOST_LIST);
    HostEditActive = editing ? 1 : 0;
}

void CConfigDlg::OnCommand(int id) {
    switch (id) {
    case IDC_CFG_NEW:
        return OnNewHost();
    case IDC_CFG_EDIT:
        return OnEditHost();
    case IDC_CFG_ADD:
        return OnAddHost();
    case IDC_CFG_HOST_CANCEL:
        return OnCancelHostEdit();
    case IDC_CFG_DELETE:
        return OnDeleteHost();
    case IDC_CFG_RESTORE:
        return OnRestoreDefaults();
    default:
        return CDialog::OnCommand(id);
    }
}

void CConfigDlg::OnNewHost() {
    AddMode = 1;
    SetDlgItemText(IDC_CFG_HOST, "");
    SetDlgItemText(IDC_CFG_ADD, "<-Add");
    BeginHostEdit();
}

// With no entry selected (every entry deleted) there is nothing to edit.
void CConfigDlg::OnEditHost() {
    DialogListBox list = ListBox(IDC_CFG_HOST_LIST);
    char text[TextCapacity];
    if (list.GetText(list.GetCurSel(), text, sizeof text) == LB_ERR)
        return;
    AddMode = 0;
    SetDlgItemText(IDC_CFG_ADD, "<-Update");
    SetDlgItemText(IDC_CFG_HOST, text);
    BeginHostEdit();
}

void CConfigDlg::OnAddHost() {
    const std::string text = BoxText(IDC_CFG_HOST);
    if (!text.empty()) {
        DialogListBox list = ListBox(IDC_CFG_HOST_LIST);
        int index = LB_ERR;
        if (AddMode) {
            index = list.AddString(text.c_str());
        } else {
            const int selected = list.GetCurSel();
            list.DeleteString(selected);
            index = list.InsertString(selected, text.c_str());
        }
        list.SetCurSel(index);
        list.SetTopIndex(index);
        SetDlgItemText(IDC_CFG_HOST, "");
    }
    EndHostEdit();
}

void CConfigDlg::OnCancelHostEdit() {
    SetDlgItemText(IDC_CFG_HOST, "");
    EndHostEdit();
}

void CConfigDlg::OnDeleteHost() {
    DialogListBox list = ListBox(IDC_CFG_HOST_LIST);
    const int selected = list.GetCurSel();
    char text[TextCapacity];
    if (list.GetText(selected, text, sizeof text) == LB_ERR)
        return;
    if (MessageBox(this, QT_TRANSLATE_NOOP("MessageBox", "Delete %1?  Are you sure?"),
                   QT_TRANSLATE_NOOP("MessageBox", "Confrm Delete"), MB_YESNO | MB_ICONEXCLAMATION, {text}) != IDYES)
        return;
    list.DeleteString(selected);
    const int next = selected > 0 ? selected - 1 : 0;
    list.SetCurSel(next);
    list.SetTopIndex(next);
    EndHostEdit();
}

// In the dialog only: nothing is saved before OK. The password and the last good values stay.
void CConfigDlg::OnRestoreDefaults() {
    if (MessageBox(this, RestoreQuestion, QT_TRANSLATE_NOOP("MessageBox", "Confirm Configuration Restore"),
                   MB_YESNO | MB_ICONEXCLAMATION) != IDYES)
        return;
    CopyFixedText(HostName, DefaultHostName);
    for (auto& entry : Recent)
        entry[0] = '\0';
    CopyFixedText(Recent[0], DefaultHostName);
    FillHostList();
    ShiftLenHours = DefaultShiftLenHours;
    SetDlgItemText(IDC_CFG_SHIFT, FormatDecimal(ShiftLenHours).c_str());
    LevelOffset = DefaultLevelOffset;
    PollingInterval = DefaultPollingInterval;
    SnmpTimeout = DefaultSnmpTimeout;
    SnmpRetries = DefaultSnmpRetries;
    SetDlgItemInt(IDC_CFG_OFFSET, LevelOffset);
    SetDlgItemInt(IDC_CFG_POLLING, PollingInterval);
    SetDlgItemInt(IDC_CFG_TIMEOUT, SnmpTimeout);
    SetDlgItemInt(IDC_CFG_RETRIES, SnmpRetries);
    DisplayWarning = DefaultDisplayWarning;
    CheckDlgButton(IDC_CFG_DISPLAY_WARNING, true);
    CopyFixedText(WarningMessage, DefaultWarningMessage);
    SetDlgItemText(IDC_CFG_WARNING, DefaultWarningMessage);
}

void CConfigDlg::OnOK() {
    if (HostEditActive)
        return OnAddHost();
    // Enter in a box reaches us before the box has lost the focus: check it first, so that
    // no value outside its range is taken (a polling interval of 0 would spin the timer).
    if (const int focused = GetFocusDlgItem(); FindNumericBox(focused) || focused == IDC_CFG_WARNING)
        OnEditKillFocus(focused);

    const std::string password = BoxText(IDC_CFG_PASSWORD);
    if (password != BoxText(IDC_CFG_CONFIRM)) {
        MessageBox(this, QT_TRANSLATE_NOOP("MessageBox", "Passwords do not match."),
                   QT_TRANSLATE_NOOP("MessageBox", "Error"), MB_OK | MB_ICONERROR);
        return;
    }
    DialogListBox list = ListBox(IDC_CFG_HOST_LIST);
    for (auto& entry : Recent)
        entry[0] = '\0';
    for (int index = 0; index < std::min(list.GetCount(), MaxHosts); ++index)
        list.GetText(index, Recent[index], sizeof Recent[index]);
    list.GetText(list.GetCurSel(), HostName, sizeof HostName);  // nothing selected: HostName stays
    if (password != PasswordPlaceholder)
        CopyFixedText(Password, password);
    ShiftLenHours = ReadDecimal(BoxText(IDC_CFG_SHIFT).c_str());
    LevelOffset = GetDlgItemInt(IDC_CFG_OFFSET);
    PollingInterval = GetDlgItemInt(IDC_CFG_POLLING);
    SnmpRetries = GetDlgItemInt(IDC_CFG_RETRIES);
    SnmpTimeout = GetDlgItemInt(IDC_CFG_TIMEOUT);
    DisplayWarning = IsDlgButtonChecked(IDC_CFG_DISPLAY_WARNING) ? 1 : 0;
    GetDlgItemText(IDC_CFG_WARNING, WarningMessage, sizeof WarningMessage);
    CDialog::OnOK();
}

void CConfigDlg::OnCancel() {
    if (HostEditActive)
        return OnCancelHostEdit();
    CDialog::OnCancel();
}

// The spin buttons have no buddy: the handler edits the box's text, one step while the
// value lies inside the bound, without rounding.
void CConfigDlg::OnDeltaPos(int id, int delta) {
    const NumericBox* box = FindNumericBox(id);
    if (!box || box->spin != id || delta == 0)
        return;
    double value = ReadBox(*box);
    if (delta < 0 && value < box->rule.high)
        value += box->rule.step;
    else if (delta > 0 && value > box->rule.low)
        value -= box->rule.step;
    else
        return;
    WriteBox(*box, value);
    GotoDlgCtrl(box->box);
}

void CConfigDlg::OnEditSetFocus(int id) {
    if (id == IDC_CFG_WARNING)
        CopyFixedText(SavedWarningMessage, WarningMessage);
    else if (const NumericBox* box = FindNumericBox(id); box && box->box == id)
        SetSavedValue(*box, ReadBox(*box));
}

// Also runs when the focus leaves because the box was disabled or the dialog closes; the
// checks only set the box's text and its last good value, so running again changes nothing.
void CConfigDlg::OnEditKillFocus(int id) {
    if (id == IDC_CFG_WARNING)
        CheckWarningBox();
    else if (const NumericBox* box = FindNumericBox(id); box && box->box == id)
        CheckNumericBox(*box);
}

double CConfigDlg::ReadBox(const NumericBox& box) const {
    if (box.rule.reading == BoxReading::Decimal)
        return ReadDecimal(BoxText(box.box).c_str());
    return GetDlgItemInt(box.box);
}

void CConfigDlg::WriteBox(const NumericBox& box, double value) {
    if (box.rule.reading == BoxReading::Decimal)
        SetDlgItemText(box.box, FormatDecimal(value).c_str());
    else
        SetDlgItemInt(box.box, static_cast<int>(value));
}

double CConfigDlg::SavedValue(const NumericBox& box) const {
    return box.savedDecimal ? this->*box.savedDecimal : this->*box.savedWhole;
}

void CConfigDlg::SetSavedValue(const NumericBox& box, double value) {
    if (box.savedDecimal)
        this->*box.savedDecimal = value;
    else
        this->*box.savedWhole = static_cast<std::int32_t>(value);
}

void CConfigDlg::CheckNumericBox(const NumericBox& box) {
    const std::string text = BoxText(box.box);
    const BoxRule& rule = box.rule;
    bool good = HasOnlyAllowedCharacters(text, rule.allowed);
    double value = 0.0;
    if (good) {
        switch (rule.reading) {
        case BoxReading::Decimal:
            value = ReadDecimal(text.c_str());
            break;
        case BoxReading::Integer:
            value = ReadInteger(text.c_str());
            break;
        case BoxReading::WholeNumber:
            value = GetDlgItemInt(box.box);
            break;
        }
        good = InRange(rule, value);
    }
    if (!good)
        return WriteBox(box, SavedValue(box));
    if (box.keepsTypedText)
        return;
    if (rule.reading == BoxReading::Decimal)
        value = RoundToHalfHours(value);
    WriteBox(box, value);
    SetSavedValue(box, value);
}

void CConfigDlg::CheckWarningBox() {
    const int lines = GetDlgItemLineCount(IDC_CFG_WARNING);
    char first[TextCapacity] = {};
    char second[TextCapacity] = {};
    if (lines <= 2) {
        GetDlgItemLine(IDC_CFG_WARNING, 0, first, sizeof first);
        GetDlgItemLine(IDC_CFG_WARNING, 1, second, sizeof second);
    }
    if (const std::optional<std::string> text = ComposeWarningMessage(lines, first, second))
        CopyFixedText(SavedWarningMessage, *text);
    SetDlgItemText(IDC_CFG_WARNING, std::string(FixedTextView(SavedWarningMessage)).c_str());
}

std::string CConfigDlg::BoxText(int id) const {
    char text[TextCapacity];
    GetDlgItemText(id, text, sizeof text);
    return text;
}
