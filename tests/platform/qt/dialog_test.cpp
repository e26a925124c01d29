// The dialog stand-in: templates placed by dialog units, controls by identifier, the
// item calls, Enter and Esc, focus notifications, modal and modeless windows.
#include "platform/qt/dialog.h"
#include "res/dialog_ids.h"
#include "res/dialog_templates.h"
#include "tests/support/modal_answer.h"

#include <QCheckBox>
#include <QClipboard>
#include <QFontMetrics>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTextCursor>
#include <QToolButton>

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

using namespace decimon::test;

namespace {

using namespace ControlStyle;
using K = ControlKind;

constexpr int LabelId = 200;
constexpr int NameEdit = 100;
constexpr int PasswordEdit = 101;
constexpr int NotesEdit = 102;
constexpr int ReadOnlyEdit = 103;
constexpr int Check = 104;
constexpr int Spin = 105;
constexpr int List = 106;
constexpr int Push = 107;
constexpr int HiddenEdit = 108;
constexpr int DisabledPush = 109;

constexpr DialogControl TestControls[] = {
    {LabelId, K::Static, "&Name", {5, 5, 40, 8}, 0},
    {NameEdit, K::Edit, "", {5, 15, 60, 14}, Border | TabStop | AutoHScroll},
    {Spin, K::UpDown, "", {66, 15, 11, 14}, ArrowKeys},
    {PasswordEdit, K::Edit, "", {70, 15, 60, 14}, Border | TabStop | Password},
    {NotesEdit, K::Edit, "", {5, 32, 125, 21}, MultiLine | Border | TabStop | AutoHScroll | UpperCase},
    {ReadOnlyEdit, K::Edit, "", {5, 56, 60, 14}, ReadOnly | Border},
    {Check, K::CheckBox, "Check", {70, 56, 60, 10}, TabStop},
    {List, K::ListBox, "", {5, 74, 60, 40}, Border | VScroll | TabStop},
    {Push, K::PushButton, "Push", {80, 84, 40, 14}, TabStop},
    {IDC_STATIC, K::GroupBox, "Group", {70, 72, 70, 45}, 0},
    {HiddenEdit, K::Edit, "", {150, 40, 40, 14}, Hidden | Border},
    {DisabledPush, K::PushButton, "Off", {150, 60, 40, 14}, Disabled | TabStop},
    {IDOK, K::DefPushButton, "OK", {150, 100, 40, 14}, TabStop},
    {IDCANCEL, K::PushButton, "Cancel", {150, 118, 40, 14}, TabStop},
    {IDC_STATIC, K::Icon, "", {170, 5, 0, 0}, 0},
};

constexpr DialogTemplate TestTemplate{900,
                                      "Test dialog",
                                      {0, 0, 200, 140},
                                      {"MS Shell Dlg", 8},
                                      DialogStyle::Caption | DialogStyle::SystemMenu | DialogStyle::ModalFrame,
                                      TestControls};

constexpr DialogControl ChildControls[] = {
    {NameEdit, K::Edit, "", {5, 5, 60, 14}, Border},
};
constexpr DialogTemplate ChildTemplate{901,
                                       "Child",
                                       {10, 4, 80, 30},
                                       {"MS Shell Dlg", 8},
                                       DialogStyle::Child | DialogStyle::Caption | DialogStyle::ModalFrame,
                                       ChildControls};

// Records what reaches the overridable handlers, then lets the framework act.
class RecordingDialog : public CDialog {
public:
    using CDialog::CDialog;

    std::vector<int> commands;
    std::vector<std::pair<int, bool>> editFocus;  // id, gained
    std::vector<std::pair<int, int>> deltas;
    int initCalls = 0;

protected:
    bool OnInitDialog() override {
        ++initCalls;
        SetDlgItemText(NameEdit, "initial");
        return CDialog::OnInitDialog();
    }
    void OnCommand(int id) override {
        commands.push_back(id);
        CDialog::OnCommand(id);
    }
    void OnEditSetFocus(int id) override { editFocus.emplace_back(id, true); }
    void OnEditKillFocus(int id) override { editFocus.emplace_back(id, false); }
    void OnDeltaPos(int id, int delta) override { deltas.emplace_back(id, delta); }
};

// A modeless popup from the test template, shown and active.
class DialogItems : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dialog.Create());
        dialog.ShowWindow(true);
        dialog.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    }

    std::string Text(int id, int capacity = 256) const {
        std::string buffer(static_cast<std::size_t>(capacity), 'x');
        const int length = dialog.GetDlgItemText(id, buffer.data(), capacity);
        EXPECT_EQ(buffer.find('\0'), static_cast<std::size_t>(length));
        return buffer.substr(0, static_cast<std::size_t>(length));
    }

    RecordingDialog dialog{TestTemplate};
};

}  // namespace

TEST(DialogUnits, BaseUnitsAreTheRoundedAverageLetterWidthAndTheFontHeight) {
    const QFont font = MakeDialogFont({"MS Shell Dlg", 8});
    EXPECT_EQ(font.pointSize(), 8);
    const QFontMetrics metrics(font);
    const int letters =
        metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    const DialogBaseUnits units = MeasureDialogBaseUnits(font);
    EXPECT_EQ(units.cx, std::lround(letters / 52.0));  // halves round up
    EXPECT_EQ(units.cy, metrics.height());
    ::testing::Test::RecordProperty("dialog_font", qPrintable(QFontInfo(font).family()));
    ::testing::Test::RecordProperty("base_units", std::to_string(units.cx) + " x " + std::to_string(units.cy));
}

TEST(DialogUnits, ConversionTruncatesEachCoordinate) {
    const DialogBaseUnits units{7, 13};
    EXPECT_EQ(DluToPixelsX(7, units), 12);    // 12.25
    EXPECT_EQ(DluToPixelsY(3, units), 4);     // 4.875
    EXPECT_EQ(DluToPixelsX(-7, units), -12);  // toward zero
    EXPECT_EQ(DluToPixels({7, 3, 135, 14}, units), QRect(12, 4, 236, 22));
}

TEST(DialogUnits, TheDiagnosticsTemplateIsPlacedByTheMeasuredUnits) {
    QWidget parent;
    parent.resize(800, 600);
    CDialog dialog(FindDialogTemplate(IDD_DIAGNOSTICS), &parent);
    ASSERT_TRUE(dialog.Create());
    const DialogBaseUnits u = dialog.BaseUnits();
    ASSERT_GT(u.cx, 0);
    EXPECT_EQ(dialog.ClientArea()->size(), QSize(291 * u.cx / 4, 126 * u.cy / 8));
    EXPECT_EQ(dialog.GetDlgItem(1004)->geometry(), QRect(7 * u.cx / 4, 18 * u.cy / 8, 135 * u.cx / 4, 14 * u.cy / 8));
    EXPECT_EQ(dialog.GetDlgItem(1005)->geometry(), QRect(149 * u.cx / 4, 17 * u.cy / 8, 135 * u.cx / 4, 14 * u.cy / 8));
    EXPECT_EQ(dialog.GetDlgItem(1014)->geometry(), QRect(121 * u.cx / 4, 105 * u.cy / 8, 50 * u.cx / 4, 14 * u.cy / 8));
    EXPECT_EQ(dialog.GetDlgItem(1011)->geometry(), QRect(170 * u.cx / 4, 80 * u.cy / 8, 65 * u.cx / 4, 14 * u.cy / 8));
    // Every control lies inside the client area, and every static's text fits its box.
    for (QWidget* control : dialog.ClientArea()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        EXPECT_TRUE(dialog.ClientArea()->rect().contains(control->geometry())) << control->metaObject()->className();
    for (const QLabel* label : dialog.ClientArea()->findChildren<QLabel*>()) {
        EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()), label->width()) << qPrintable(label->text());
    }
}

TEST_F(DialogItems, EachKindOfControlBecomesItsWidget) {
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Test dialog"));
    EXPECT_EQ(dialog.initCalls, 1);
    EXPECT_EQ(Text(NameEdit), "initial");  // OnInitDialog ran after the controls existed
    auto* name = qobject_cast<QLineEdit*>(dialog.GetDlgItem(NameEdit));
    ASSERT_TRUE(name);
    EXPECT_EQ(name->echoMode(), QLineEdit::Normal);
    EXPECT_TRUE(name->hasFrame());
    EXPECT_EQ(name->focusPolicy(), Qt::StrongFocus);
    EXPECT_EQ(qobject_cast<QLineEdit*>(dialog.GetDlgItem(PasswordEdit))->echoMode(), QLineEdit::Password);
    auto* notes = qobject_cast<QPlainTextEdit*>(dialog.GetDlgItem(NotesEdit));
    ASSERT_TRUE(notes);
    EXPECT_EQ(notes->lineWrapMode(), QPlainTextEdit::NoWrap);
    auto* readOnly = qobject_cast<QLineEdit*>(dialog.GetDlgItem(ReadOnlyEdit));
    ASSERT_TRUE(readOnly);
    EXPECT_TRUE(readOnly->isReadOnly());
    EXPECT_EQ(readOnly->focusPolicy(), Qt::ClickFocus);  // no tab stop
    EXPECT_TRUE(qobject_cast<QCheckBox*>(dialog.GetDlgItem(Check)));
    EXPECT_TRUE(qobject_cast<UpDownControl*>(dialog.GetDlgItem(Spin)));
    EXPECT_TRUE(qobject_cast<QListWidget*>(dialog.GetDlgItem(List)));
    EXPECT_TRUE(qobject_cast<QPushButton*>(dialog.GetDlgItem(IDOK))->isDefault());
    EXPECT_FALSE(qobject_cast<QPushButton*>(dialog.GetDlgItem(IDCANCEL))->isDefault());
    EXPECT_FALSE(dialog.GetDlgItem(HiddenEdit)->isVisible());
    EXPECT_FALSE(dialog.GetDlgItem(DisabledPush)->isEnabled());
    EXPECT_EQ(dialog.GetDlgItem(999), nullptr);
    // A static shows "&N" as its mnemonic letter but keeps its text as given.
    EXPECT_EQ(qobject_cast<QLabel*>(dialog.GetDlgItem(LabelId))->text(), QStringLiteral("Name"));
    EXPECT_EQ(Text(LabelId), "&Name");
    // The icon control keeps its natural size.
    const auto icons = dialog.ClientArea()->findChildren<QLabel*>();
    const auto icon =
        std::find_if(icons.begin(), icons.end(), [](QLabel* l) { return l->text().isEmpty() && l->width() == 32; });
    EXPECT_NE(icon, icons.end());
}

TEST_F(DialogItems, AGroupBoxLetsClicksThroughToTheControlsItFrames) {
    QWidget* push = dialog.GetDlgItem(Push);
    EXPECT_EQ(dialog.ClientArea()->childAt(push->geometry().center()), push);
}

TEST_F(DialogItems, ItemTextIsCopiedWithinTheCapacity) {
    EXPECT_TRUE(dialog.SetDlgItemText(NameEdit, "hello"));
    EXPECT_EQ(Text(NameEdit), "hello");
    EXPECT_EQ(Text(NameEdit, 4), "hel");
    EXPECT_EQ(Text(NameEdit, 1), "");
    char untouched = 'x';
    EXPECT_EQ(dialog.GetDlgItemText(NameEdit, &untouched, 0), 0);
    EXPECT_EQ(untouched, 'x');
    EXPECT_FALSE(dialog.SetDlgItemText(999, "x"));
    EXPECT_EQ(Text(999), "");
    EXPECT_TRUE(dialog.SetDlgItemText(NameEdit, nullptr));
    EXPECT_EQ(Text(NameEdit), "");
    // 8-bit texts come back byte for byte.
    EXPECT_TRUE(dialog.SetDlgItemText(NameEdit, "caf\xE9 \xB5"));
    EXPECT_EQ(Text(NameEdit), "caf\xE9 \xB5");
    // Lines of a multi-line edit are joined by CR LF, as they were given.
    EXPECT_TRUE(dialog.SetDlgItemText(NotesEdit, "ONE\r\nTWO"));
    EXPECT_EQ(qobject_cast<QPlainTextEdit*>(dialog.GetDlgItem(NotesEdit))->blockCount(), 2);
    EXPECT_EQ(Text(NotesEdit), "ONE\r\nTWO");
    EXPECT_TRUE(dialog.SetDlgItemText(Push, "&Go"));
    EXPECT_EQ(Text(Push), "&Go");
}

TEST_F(DialogItems, ItemIntegersAreWholeNumbersOrZero) {
    const struct {
        const char* text;
        bool isSigned;
        int value;  // 0 with ok false when not read
        bool ok;
    } cases[] = {
        {"abc", true, 0, false},
        {"-12", true, -12, true},
        {"  42  ", true, 42, true},
        {"+7", true, 7, true},
        {"12abc", true, 0, false},
        {"", true, 0, false},
        {"-", true, 0, false},
        {"2147483647", true, INT_MAX, true},
        {"-2147483648", true, INT_MIN, true},
        {"2147483648", true, 0, false},
        {"99999999999999999999999", true, 0, false},
        {"-5", false, 0, false},
    };
    bool ok = false;
    for (const auto& c : cases) {
        dialog.SetDlgItemText(NameEdit, c.text);
        ok = !c.ok;  // so that a call that leaves it alone shows
        EXPECT_EQ(dialog.GetDlgItemInt(NameEdit, &ok, c.isSigned), c.value) << c.text;
        EXPECT_EQ(ok, c.ok) << c.text;
    }
    ok = true;
    EXPECT_EQ(dialog.GetDlgItemInt(999, &ok), 0);
    EXPECT_FALSE(ok);

    EXPECT_TRUE(dialog.SetDlgItemInt(NameEdit, -12));
    EXPECT_EQ(Text(NameEdit), "-12");
    EXPECT_TRUE(dialog.SetDlgItemInt(NameEdit, -1, false));
    EXPECT_EQ(Text(NameEdit), "4294967295");
    EXPECT_FALSE(dialog.SetDlgItemInt(999, 1));
}

TEST_F(DialogItems, CheckEnableShowAndFocusByIdentifier) {
    dialog.CheckDlgButton(Check, true);
    EXPECT_TRUE(dialog.IsDlgButtonChecked(Check));
    QTest::mouseClick(dialog.GetDlgItem(Check), Qt::LeftButton);
    EXPECT_FALSE(dialog.IsDlgButtonChecked(Check));
    EXPECT_EQ(dialog.commands, std::vector<int>{Check});

    EXPECT_TRUE(dialog.EnableDlgItem(Push, false));
    EXPECT_FALSE(dialog.GetDlgItem(Push)->isEnabled());
    EXPECT_TRUE(dialog.ShowDlgItem(HiddenEdit, true));
    EXPECT_TRUE(dialog.GetDlgItem(HiddenEdit)->isVisible());
    EXPECT_FALSE(dialog.EnableDlgItem(999, true));

    EXPECT_TRUE(dialog.GotoDlgCtrl(PasswordEdit));
    EXPECT_TRUE(dialog.GetDlgItem(PasswordEdit)->hasFocus());
    EXPECT_EQ(dialog.GetFocusDlgItem(), PasswordEdit);
}

TEST_F(DialogItems, ListBoxEntriesAreAddressedByIndex) {
    DialogListBox list = dialog.ListBox(List);
    EXPECT_EQ(list.AddString("meter"), 0);
    EXPECT_EQ(list.AddString("Meter2"), 1);
    EXPECT_EQ(list.InsertString(0, "alpha"), 0);
    EXPECT_EQ(list.InsertString(9, "x"), LB_ERR);
    ASSERT_EQ(list.GetCount(), 3);
    char text[4];
    EXPECT_EQ(list.GetText(1, text, sizeof text), 3);
    EXPECT_STREQ(text, "met");
    EXPECT_EQ(list.GetText(3, text, sizeof text), LB_ERR);
    EXPECT_EQ(list.GetCurSel(), LB_ERR);
    // The prefix search runs from the entry after the start, wraps, and ignores letter case.
    const struct {
        int start;
        const char* prefix;
        int found;
    } searches[] = {{0, "METER", 1}, {1, "meter", 2}, {2, "meter", 1}, {-1, "A", 0}, {1, "", 2}, {0, "zz", LB_ERR}};
    for (const auto& search : searches) {
        const int before = list.GetCurSel();
        EXPECT_EQ(list.SelectString(search.start, search.prefix), search.found) << search.prefix << search.start;
        EXPECT_EQ(list.GetCurSel(), search.found == LB_ERR ? before : search.found);
    }
    EXPECT_EQ(list.SetCurSel(1), 1);
    EXPECT_EQ(list.SetTopIndex(2), 0);
    EXPECT_EQ(list.DeleteString(1), 2);
    EXPECT_EQ(list.GetCurSel(), LB_ERR) << "deleting the selected entry leaves none selected";
    EXPECT_EQ(list.SetCurSel(7), LB_ERR);
    EXPECT_EQ(list.DeleteString(-1), LB_ERR);
    list.ResetContent();
    EXPECT_EQ(list.GetCount(), 0);
    EXPECT_EQ(dialog.ListBox(NameEdit).AddString("x"), LB_ERR) << "not a list box";
}

TEST_F(DialogItems, EditLimitsHoldBackWhatIsTypedButNotWhatIsSet) {
    QWidget* notes = dialog.GetDlgItem(NotesEdit);
    ASSERT_TRUE(dialog.LimitDlgItemText(NotesEdit, 6));
    dialog.GotoDlgCtrl(NotesEdit);
    QTest::keyClicks(notes, "ab");
    QTest::keyClick(notes, Qt::Key_Return, Qt::ControlModifier);  // a line break: CR and LF
    QTest::keyClicks(notes, "cde");
    EXPECT_EQ(Text(NotesEdit), "AB\r\nCD") << "capitals, and the line break counted two";
    EXPECT_EQ(dialog.GetDlgItemLineCount(NotesEdit), 2);
    char line[3];
    EXPECT_EQ(dialog.GetDlgItemLine(NotesEdit, 1, line, sizeof line), 2);
    EXPECT_STREQ(line, "CD");
    EXPECT_EQ(dialog.GetDlgItemLine(NotesEdit, 2, line, sizeof line), 0);
    EXPECT_STREQ(line, "");
    dialog.SetDlgItemText(NotesEdit, "set by the program");
    EXPECT_EQ(Text(NotesEdit), "SET BY THE PROGRAM");

    ASSERT_TRUE(dialog.LimitDlgItemText(NameEdit, 3));
    dialog.SetDlgItemText(NameEdit, "12345");
    EXPECT_EQ(Text(NameEdit), "12345");
    dialog.SetDlgItemText(NameEdit, "");
    dialog.GotoDlgCtrl(NameEdit);
    QTest::keyClicks(dialog.GetDlgItem(NameEdit), "abcd");
    EXPECT_EQ(Text(NameEdit), "abc");
    EXPECT_EQ(dialog.GetDlgItemLineCount(NameEdit), 1);
    EXPECT_EQ(dialog.GetDlgItemLineCount(Check), 0);
    EXPECT_FALSE(dialog.LimitDlgItemText(Check, 3));
}

// A paste keeps what the limit leaves room for, a line break counting two; the selection it
// replaces makes room. Upper case in the multi-line box.
TEST_F(DialogItems, APasteLongerThanTheRoomLeftKeepsThePartThatFits) {
    const struct {
        int box;
        int limit;
        const char* before;
        int at;        // where the cursor stands
        int selected;  // characters selected from there
        const char* pasted;
        const char* after;
    } cases[] = {
        {NameEdit, 5, "ab", 2, 0, "cdefg", "abcde"},        {NameEdit, 5, "abcde", 0, 5, "1234567", "12345"},
        {NameEdit, 5, "abcd", 1, 2, "WXYZ", "aWXYd"},       {NameEdit, 5, "abcde", 5, 0, "f", "abcde"},
        {NotesEdit, 6, "", 0, 0, "ab\r\ncdef", "AB\r\nCD"}, {NotesEdit, 7, "ab", 2, 0, "\r\n\r\nxyz", "AB\r\n\r\nX"},
        {NotesEdit, 6, "ab\r\ncd", 1, 3, "xyz", "AXYZD"},  // the selection holds the line break
    };
    for (const auto& c : cases) {
        QWidget* edit = dialog.GetDlgItem(c.box);
        ASSERT_TRUE(dialog.LimitDlgItemText(c.box, c.limit));
        dialog.SetDlgItemText(c.box, c.before);
        dialog.GotoDlgCtrl(c.box);
        if (auto* line = qobject_cast<QLineEdit*>(edit)) {
            line->setSelection(c.at, c.selected);
        } else {
            auto* lines = qobject_cast<QPlainTextEdit*>(edit);
            QTextCursor cursor = lines->textCursor();
            cursor.setPosition(c.at);
            cursor.setPosition(c.at + c.selected, QTextCursor::KeepAnchor);
            lines->setTextCursor(cursor);
        }
        QApplication::clipboard()->setText(QString::fromLatin1(c.pasted));
        QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
        EXPECT_EQ(Text(c.box), c.after) << c.box << " '" << c.before << "' + '" << c.pasted << "'";
    }
}

// Disabling the control that has the focus leaves the focus with the dialog until the handler
// moves it: Qt would pass it along the tab chain, into boxes the user never entered.
TEST_F(DialogItems, DisablingTheFocusedControlMovesTheFocusIntoNoOtherBox) {
    const struct {
        int focused;
        int disabled;
        std::vector<std::pair<int, bool>> reported;  // before the focus is moved on
    } cases[] = {
        {IDCANCEL, IDCANCEL, {}},                   // the tab chain wraps to the name box
        {NameEdit, NameEdit, {{NameEdit, false}}},  // the password box is next
        {PasswordEdit, Push, {}},                   // another control: the focus stays
    };
    for (const auto& c : cases) {
        dialog.GotoDlgCtrl(c.focused);
        dialog.editFocus.clear();
        ASSERT_TRUE(dialog.EnableDlgItem(c.disabled, false));
        EXPECT_EQ(dialog.editFocus, c.reported) << c.disabled;
        EXPECT_EQ(dialog.GetFocusDlgItem(), c.focused == c.disabled ? 0 : c.focused) << c.disabled;
        dialog.GotoDlgCtrl(List);
        EXPECT_EQ(dialog.GetFocusDlgItem(), List) << c.disabled;
        dialog.EnableDlgItem(c.disabled, true);
    }
    // Esc still reaches the dialog while it holds the focus.
    dialog.GotoDlgCtrl(Push);
    dialog.EnableDlgItem(Push, false);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_EQ(dialog.commands, std::vector<int>{IDCANCEL});
}

TEST_F(DialogItems, EditsReportGainingAndLosingTheFocus) {
    dialog.GotoDlgCtrl(Push);
    dialog.editFocus.clear();
    dialog.GotoDlgCtrl(NameEdit);
    dialog.GotoDlgCtrl(NotesEdit);
    dialog.GotoDlgCtrl(Push);
    const std::vector<std::pair<int, bool>> expected{
        {NameEdit, true}, {NameEdit, false}, {NotesEdit, true}, {NotesEdit, false}};
    EXPECT_EQ(dialog.editFocus, expected);
}

TEST_F(DialogItems, EnterGivesTheDefaultCommandOrTheFocusedButtons) {
    dialog.GotoDlgCtrl(Push);
    QTest::keyClick(dialog.GetDlgItem(Push), Qt::Key_Return);
    EXPECT_EQ(dialog.commands, std::vector<int>{Push});
    EXPECT_TRUE(dialog.IsWindowVisible());

    dialog.GotoDlgCtrl(NotesEdit);
    QTest::keyClick(dialog.GetDlgItem(NotesEdit), Qt::Key_Return);  // no new line: the dialog's Enter
    EXPECT_EQ(dialog.commands, (std::vector<int>{Push, IDOK}));
    EXPECT_EQ(qobject_cast<QPlainTextEdit*>(dialog.GetDlgItem(NotesEdit))->blockCount(), 1);
    EXPECT_FALSE(dialog.IsWindowVisible());  // the framework's OnOK ended it
    EXPECT_EQ(dialog.result(), IDOK);
}

TEST_F(DialogItems, EscAndTheCloseBoxGiveIdCancel) {
    dialog.GotoDlgCtrl(NameEdit);
    QTest::keyClick(dialog.GetDlgItem(NameEdit), Qt::Key_Escape);
    EXPECT_EQ(dialog.commands, std::vector<int>{IDCANCEL});
    EXPECT_FALSE(dialog.IsWindowVisible());
    EXPECT_EQ(dialog.result(), IDCANCEL);

    dialog.ShowWindow(true);
    dialog.close();
    EXPECT_EQ(dialog.commands, (std::vector<int>{IDCANCEL, IDCANCEL}));
    EXPECT_FALSE(dialog.IsWindowVisible());
}

TEST_F(DialogItems, UpDownArrowsProposeMinusOneUpAndPlusOneDown) {
    auto* spin = qobject_cast<UpDownControl*>(dialog.GetDlgItem(Spin));
    ASSERT_TRUE(spin);
    QTest::mouseClick(spin->UpButton(), Qt::LeftButton);
    QTest::mouseClick(spin->DownButton(), Qt::LeftButton);
    // With the arrow-keys style the box before it takes Up and Down; another box does not.
    dialog.GotoDlgCtrl(NameEdit);
    QTest::keyClick(dialog.GetDlgItem(NameEdit), Qt::Key_Up);
    QTest::keyClick(dialog.GetDlgItem(NameEdit), Qt::Key_Down);
    dialog.GotoDlgCtrl(PasswordEdit);
    QTest::keyClick(dialog.GetDlgItem(PasswordEdit), Qt::Key_Up);
    const std::vector<std::pair<int, int>> expected{{Spin, -1}, {Spin, +1}, {Spin, -1}, {Spin, +1}};
    EXPECT_EQ(dialog.deltas, expected);
}

TEST(DialogWindow, DoModalAnswersTheEndingCommandAndDestroysTheWindow) {
    RecordingDialog dialog(TestTemplate);
    bool answered = false;
    ModalAnswer byEsc([&](QWidget* modal) {
        answered = modal == &dialog && dialog.GetDlgItem(NameEdit)->hasFocus();  // the first tab stop
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_TRUE(answered);
    EXPECT_EQ(dialog.GetDlgItem(NameEdit), nullptr);

    ModalAnswer byOk([&](QWidget*) { QTest::mouseClick(dialog.GetDlgItem(IDOK), Qt::LeftButton); });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.initCalls, 2);  // a new window each run
}

TEST(DialogWindow, AChildTemplateBecomesAHiddenChildInTheParentsClientArea) {
    QFrame parent;
    parent.setFrameStyle(QFrame::Panel | QFrame::Sunken);
    parent.setLineWidth(3);
    parent.resize(400, 300);
    parent.show();
    CDialog dialog(ChildTemplate);
    EXPECT_FALSE(dialog.Create(nullptr));  // a child needs its parent
    ASSERT_TRUE(dialog.Create(&parent));
    EXPECT_FALSE(dialog.Create(&parent));  // once
    EXPECT_FALSE(dialog.isWindow());
    EXPECT_EQ(dialog.parentWidget(), &parent);
    EXPECT_FALSE(dialog.IsWindowVisible());
    const DialogBaseUnits u = dialog.BaseUnits();
    EXPECT_EQ(dialog.pos(), parent.contentsRect().topLeft() + QPoint(10 * u.cx / 4, 4 * u.cy / 8));
    const QWidget* caption = dialog.findChild<QWidget*>(QStringLiteral("DialogCaption"));
    ASSERT_TRUE(caption);
    EXPECT_EQ(dialog.ClientArea()->y(), caption->geometry().bottom() + 1);
    dialog.ShowWindow(true);
    EXPECT_TRUE(dialog.IsWindowVisible());
    EXPECT_EQ(dialog.DoModal(), -1);  // a child window does not run modally

    dialog.DestroyWindow();
    EXPECT_FALSE(dialog.IsWindowVisible());
    EXPECT_EQ(dialog.GetDlgItem(NameEdit), nullptr);
    EXPECT_TRUE(dialog.Create(&parent));
}

TEST(DialogWindow, AChildMadeBeforeItsParentIsShownStaysHidden) {
    QWidget parent;
    CDialog dialog(ChildTemplate);
    ASSERT_TRUE(dialog.Create(&parent));
    parent.show();
    EXPECT_FALSE(dialog.IsWindowVisible());
}

TEST(DialogWindow, AnUnknownTemplateMakesNoWindow) {
    CDialog dialog(FindDialogTemplate(12345));
    EXPECT_FALSE(dialog.Create());
    EXPECT_EQ(dialog.DoModal(), -1);
    EXPECT_EQ(dialog.TemplateId(), 0);
}
