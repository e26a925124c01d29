// The configuration dialog, modeless and active on Qt's offscreen platform, on a copy of
// settings the test chooses; its message boxes are answered by the test.
#include "config/dialogs/config_dlg.h"

#include "platform/qt/message_box.h"
#include "platform/sys/fixed_text.h"
#include "res/dialog_ids.h"
#include "tests/support/process_locale.h"

#include <QApplication>
#include <QListWidget>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr const char* Placeholder = CConfigDlg::PasswordPlaceholder;

class ConfigDialog : public ::testing::Test {
protected:
    void SetUp() override {
        previousHandler_ = SetMessageBoxHandler([this](const MessageBoxRequest& box) {
            boxes_.push_back(box.caption + ": " + box.text);
            return answer_;
        });
    }
    void TearDown() override {
        dialog_.reset();
        SetMessageBoxHandler(previousHandler_);
    }

    // Opens the dialog on the factory defaults for host "meter" (shift 8.0, offset -3,
    // polling 5, password "secret"), changed by `adjust`.
    void Open(const std::function<void(Settings&)>& adjust = {}) {
        Settings settings;
        SetFactoryDefaults(settings);
        CopyFixedText(settings.HostName, "meter");
        CopyFixedText(settings.Password, "secret");
        settings.LevelOffset = -3;
        settings.PollingInterval = 5;
        if (adjust)
            adjust(settings);
        dialog_ = std::make_unique<CConfigDlg>(nullptr);
        dialog_->CopyIn(settings);
        ASSERT_TRUE(dialog_->Create());
        dialog_->ShowWindow(true);
        dialog_->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(dialog_.get()));
    }

    std::string Text(int id) const {
        char text[1024];
        dialog_->GetDlgItemText(id, text, sizeof text);
        return text;
    }
    // Types into a box as a paste would, then moves the focus to the host list.
    void Enter(int id, const char* text) {
        dialog_->GotoDlgCtrl(id);
        dialog_->SetDlgItemText(id, text);
        dialog_->GotoDlgCtrl(IDC_CFG_HOST_LIST);
    }
    void Click(int id) { QTest::mouseClick(dialog_->GetDlgItem(id), Qt::LeftButton); }
    void Key(Qt::Key key) { QTest::keyClick(QApplication::focusWidget(), key); }
    bool Enabled(int id) const { return dialog_->GetDlgItem(id)->isEnabled(); }
    bool Ended() const { return !dialog_->IsWindowVisible(); }

    std::vector<std::string> Hosts() const {
        std::vector<std::string> hosts;
        DialogListBox list = dialog_->ListBox(IDC_CFG_HOST_LIST);
        for (int index = 0; index < list.GetCount(); ++index) {
            char text[128];
            list.GetText(index, text, sizeof text);
            hosts.emplace_back(text);
        }
        return hosts;
    }
    int Selected() const { return dialog_->ListBox(IDC_CFG_HOST_LIST).GetCurSel(); }

    std::unique_ptr<CConfigDlg> dialog_;
    std::vector<std::string> boxes_;
    int answer_ = IDYES;
    MessageBoxHandler previousHandler_;
};

void SetRecent(Settings& settings, const std::vector<std::string>& recent) {
    for (std::size_t entry = 0; entry < recent.size(); ++entry)
        CopyFixedText(settings.Recent[entry], recent[entry]);
}

TEST_F(ConfigDialog, TheHostListShowsTheStoredHostsWithTheHostSelected) {
    const std::vector<std::string> ten = {"h0", "h1", "h2", "h3", "h4", "h5", "h6", "h7", "h8", "h9"};
    const struct {
        std::vector<std::string> recent;
        const char* host;
        std::vector<std::string> listed;
        int selected;
    } cases[] = {
        {{"a", "", "meter", "meter2"}, "meter", {"a", "meter", "meter2"}, 1},  // a prefix search would take meter2
        {{"meter2", "meter"}, "meter", {"meter2", "meter"}, 1},
        {{"a", "b"}, "c", {"a", "b", "c"}, 2},
        {{}, DefaultHostName, {DefaultHostName}, 0},  // the first start
        {ten, "h3", ten, 3},
    };
    for (const auto& c : cases) {
        Open([&](Settings& s) {
            SetRecent(s, c.recent);
            CopyFixedText(s.HostName, c.host);
        });
        EXPECT_EQ(Hosts(), c.listed) << c.host;
        EXPECT_EQ(Selected(), c.selected) << c.host;
        EXPECT_EQ(Enabled(IDC_CFG_NEW), c.listed.size() < 10) << c.host;
        EXPECT_TRUE(dialog_->GetDlgItem(IDC_CFG_HOST_LIST)->hasFocus());
        EXPECT_FALSE(Enabled(IDC_CFG_HOST));
    }
}

TEST_F(ConfigDialog, HostsAreAddedEditedAndDeletedInPlace) {
    Open([](Settings& s) { SetRecent(s, {"a", "b", "c"}); });  // and "meter", appended
    using Hosts_ = std::vector<std::string>;
    const struct {
        std::function<void()> act;
        Hosts_ listed;
        int selected;
    } steps[] = {
        {[&] { Click(IDC_CFG_NEW), QTest::keyClicks(dialog_->GetDlgItem(IDC_CFG_HOST), "d"), Click(IDC_CFG_ADD); },
         {"a", "b", "c", "meter", "d"},
         4},
        {[&] { Click(IDC_CFG_NEW), Click(IDC_CFG_ADD); }, {"a", "b", "c", "meter", "d"}, 4},  // empty: nothing
        {[&] { Click(IDC_CFG_NEW), QTest::keyClicks(dialog_->GetDlgItem(IDC_CFG_HOST), "a"), Key(Qt::Key_Return); },
         {"a", "b", "c", "meter", "d", "a"},
         5},  // Enter commits; a name listed twice
        {[&] { dialog_->ListBox(IDC_CFG_HOST_LIST).SetCurSel(1), Click(IDC_CFG_EDIT), Key(Qt::Key_Escape); },
         {"a", "b", "c", "meter", "d", "a"},
         1},  // Esc cancels the host edit only
        {[&] {
             Click(IDC_CFG_EDIT);
             EXPECT_EQ(Text(IDC_CFG_HOST), "b");
             EXPECT_EQ(Text(IDC_CFG_ADD), "<-Update");
             dialog_->SetDlgItemText(IDC_CFG_HOST, "b2");
             Click(IDC_CFG_ADD);
         },
         {"a", "b2", "c", "meter", "d", "a"},
         1},
        {[&] { dialog_->ListBox(IDC_CFG_HOST_LIST).SetCurSel(0), Click(IDC_CFG_DELETE); },
         {"b2", "c", "meter", "d", "a"},
         0},  // the first: the new first is selected
        {[&] { dialog_->ListBox(IDC_CFG_HOST_LIST).SetCurSel(2), Click(IDC_CFG_DELETE); },
         {"b2", "c", "d", "a"},
         1},  // the third: the second is selected
        {[&] { answer_ = IDNO, Click(IDC_CFG_DELETE); }, {"b2", "c", "d", "a"}, 1},
        {[&] { dialog_->ListBox(IDC_CFG_HOST_LIST).SetCurSel(-1), Click(IDC_CFG_EDIT), Click(IDC_CFG_DELETE); },
         {"b2", "c", "d", "a"},
         -1},  // nothing selected: Edit-> and Delete... do nothing
    };
    for (std::size_t i = 0; i < std::size(steps); ++i) {
        steps[i].act();
        EXPECT_EQ(Hosts(), steps[i].listed) << "step " << i;
        EXPECT_EQ(Selected(), steps[i].selected) << "step " << i;
        EXPECT_FALSE(Ended()) << "step " << i;
        EXPECT_TRUE(Enabled(IDOK) && !Enabled(IDC_CFG_HOST)) << "back in list mode after step " << i;
    }
    EXPECT_EQ(boxes_.front(), "Confrm Delete: Delete a?  Are you sure?");
    EXPECT_EQ(boxes_.size(), 3u);
}

TEST_F(ConfigDialog, NewIsOfferedBelowTenHostsOnly) {
    Open([](Settings& s) { SetRecent(s, {"h0", "h1", "h2", "h3", "h4", "h5", "h6", "h7", "h8", "meter"}); });
    EXPECT_FALSE(Enabled(IDC_CFG_NEW));
    Click(IDC_CFG_DELETE);
    EXPECT_TRUE(Enabled(IDC_CFG_NEW));
    Click(IDC_CFG_NEW);
    EXPECT_TRUE(Enabled(IDC_CFG_HOST) && !Enabled(IDC_CFG_HOST_LIST) && !Enabled(IDC_CFG_SHIFT) && !Enabled(IDOK));
    EXPECT_TRUE(dialog_->GetDlgItem(IDC_CFG_HOST)->hasFocus());
}

// Each box's focus-loss check: the text left in the box after typing into it and leaving.
// The boxes open with 8.0, -3, 5, 250 and 1.
const struct {
    int box;
    const char* typed;
    const char* shown;
} BoxChecks[] = {
    {IDC_CFG_SHIFT, "7.2", "7.0"},        {IDC_CFG_SHIFT, "7.25", "7.5"},    {IDC_CFG_SHIFT, "7.74", "7.5"},
    {IDC_CFG_SHIFT, "7.75", "8.0"},       {IDC_CFG_SHIFT, "24", "24.0"},     {IDC_CFG_SHIFT, "23.8", "24.0"},
    {IDC_CFG_SHIFT, "1.2.3", "1.0"},      {IDC_CFG_SHIFT, "0.5", "8.0"},     {IDC_CFG_SHIFT, "25", "8.0"},
    {IDC_CFG_SHIFT, "7,5", "8.0"},        {IDC_CFG_SHIFT, "", "8.0"},        {IDC_CFG_OFFSET, "-61", "-3"},
    {IDC_CFG_OFFSET, "61", "-3"},         {IDC_CFG_OFFSET, "-5", "-5"},      {IDC_CFG_OFFSET, "", "0"},
    {IDC_CFG_OFFSET, "5-", "5"},          {IDC_CFG_OFFSET, "+5", "-3"},      {IDC_CFG_POLLING, "0", "5"},
    {IDC_CFG_POLLING, "61", "5"},         {IDC_CFG_POLLING, "", "5"},        {IDC_CFG_POLLING, "060", "60"},
    {IDC_CFG_POLLING, "4294967297", "5"},  // beyond an int: not 1
    {IDC_CFG_TIMEOUT, "59", "250"},       {IDC_CFG_TIMEOUT, "501", "250"},   {IDC_CFG_TIMEOUT, "ab", "250"},
    {IDC_CFG_TIMEOUT, "60", "60"},        {IDC_CFG_TIMEOUT, " 500", " 500"},  // accepted as typed
    {IDC_CFG_RETRIES, "", "0"},           {IDC_CFG_RETRIES, "a", "1"},       {IDC_CFG_RETRIES, "9", "9"},
};

TEST_F(ConfigDialog, ABoxThatLosesTheFocusKeepsOnlyAcceptedValues) {
    for (const auto& check : BoxChecks) {
        Open();
        Enter(check.box, check.typed);
        EXPECT_EQ(Text(check.box), check.shown) << check.box << " '" << check.typed << "'";
    }
}

// A German desktop prints and reads "7,5"; the boxes keep to "7.5" all the same.
TEST_F(ConfigDialog, NumbersReadTheSameOnAGermanDesktop) {
    const ProcessLocale german(GermanLocale);  // put back also when a check below ends the test
    if (!german.Active())
        GTEST_SKIP() << "no " << GermanLocale << " locale here";
    Open([](Settings& s) { s.ShiftLenHours = 7.5; });
    EXPECT_EQ(Text(IDC_CFG_SHIFT), "7.5");
    Enter(IDC_CFG_SHIFT, "6.5");
    EXPECT_EQ(Text(IDC_CFG_SHIFT), "6.5");
    Enter(IDC_CFG_SHIFT, "7,5");
    EXPECT_EQ(Text(IDC_CFG_SHIFT), "6.5");
    QTest::mouseClick(qobject_cast<UpDownControl*>(dialog_->GetDlgItem(IDC_CFG_SHIFT_SPIN))->UpButton(),
                      Qt::LeftButton);
    EXPECT_EQ(Text(IDC_CFG_SHIFT), "7.0");
    Click(IDOK);
    EXPECT_EQ(dialog_->ShiftLenHours, 7.0);
}

TEST_F(ConfigDialog, SpinButtonsStepWithinTheirBounds) {
    const struct {
        int box;
        const char* start;
        bool up;
        const char* shown;
    } steps[] = {
        {IDC_CFG_SHIFT, "24.0", true, "24.0"}, {IDC_CFG_SHIFT, "1.0", false, "1.0"},
        {IDC_CFG_SHIFT, "7.3", true, "7.8"},   {IDC_CFG_SHIFT, "1.0", true, "1.5"},
        {IDC_CFG_POLLING, "60", true, "60"},   {IDC_CFG_POLLING, "1", false, "1"},
        {IDC_CFG_POLLING, "1", true, "2"},     {IDC_CFG_OFFSET, "60", true, "60"},
        {IDC_CFG_OFFSET, "-60", false, "-60"}, {IDC_CFG_OFFSET, "-60", true, "-59"},
        {IDC_CFG_TIMEOUT, "500", true, "500"}, {IDC_CFG_TIMEOUT, "60", false, "60"},
        {IDC_CFG_TIMEOUT, "61", false, "60"},  {IDC_CFG_RETRIES, "9", true, "9"},
        {IDC_CFG_RETRIES, "0", false, "0"},    {IDC_CFG_RETRIES, "8", true, "9"},
    };
    Open();
    for (std::size_t i = 0; i < std::size(steps); ++i) {
        const auto& step = steps[i];
        dialog_->SetDlgItemText(step.box, step.start);
        if (i % 2 == 0) {  // by mouse, or by the arrow keys in the box
            const int spinId = step.box == IDC_CFG_SHIFT     ? IDC_CFG_SHIFT_SPIN
                               : step.box == IDC_CFG_POLLING ? IDC_CFG_POLLING_SPIN
                               : step.box == IDC_CFG_OFFSET  ? IDC_CFG_OFFSET_SPIN
                               : step.box == IDC_CFG_TIMEOUT ? IDC_CFG_TIMEOUT_SPIN
                                                             : IDC_CFG_RETRIES_SPIN;
            auto* spin = qobject_cast<UpDownControl*>(dialog_->GetDlgItem(spinId));
            ASSERT_NE(spin, nullptr) << step.box;
            QTest::mouseClick(step.up ? spin->UpButton() : spin->DownButton(), Qt::LeftButton);
        } else {
            dialog_->GotoDlgCtrl(step.box);
            Key(step.up ? Qt::Key_Up : Qt::Key_Down);
        }
        EXPECT_EQ(Text(step.box), step.shown) << step.box << " from " << step.start;
    }
}

TEST_F(ConfigDialog, TheWarningBoxKeepsTwoLinesAtMost) {
    const struct {
        const char* typed;
        const char* kept;
    } cases[] = {
        {"ONE\r\nTWO\r\nTHREE", DefaultWarningMessage},  // the text the dialog opened with
        {"\r\nSECOND", "SECOND"},
        {"FIRST\r\n", "FIRST"},
        {"ONE\r\nTWO", "ONE\r\nTWO"},
        {"\r\n", DefaultWarningMessage},
        {"", ""},
    };
    for (const auto& c : cases) {
        Open();
        Enter(IDC_CFG_WARNING, c.typed);
        EXPECT_EQ(Text(IDC_CFG_WARNING), c.kept) << c.typed;
        Click(IDOK);
        EXPECT_STREQ(dialog_->WarningMessage, c.kept);
    }
}

TEST_F(ConfigDialog, OkTakesThePasswordOnlyWhenBothBoxesAgree) {
    const struct {
        const char* password;
        const char* confirm;
        const char* taken;  // null: the dialog stays open
    } cases[] = {
        {Placeholder, Placeholder, "secret"}, {"", "", ""}, {"new", "new", "new"}, {"new", "New", nullptr},
        {"", Placeholder, nullptr},
    };
    for (const auto& c : cases) {
        Open();
        boxes_.clear();
        dialog_->SetDlgItemText(IDC_CFG_PASSWORD, c.password);
        dialog_->SetDlgItemText(IDC_CFG_CONFIRM, c.confirm);
        Click(IDOK);
        EXPECT_EQ(Ended(), c.taken != nullptr) << c.password;
        EXPECT_STREQ(dialog_->Password, c.taken ? c.taken : "secret");
        EXPECT_EQ(boxes_,
                  c.taken ? std::vector<std::string>{} : std::vector<std::string>{"Error: Passwords do not match."});
    }
}

// Enter in a box reaches OK before the box has lost the focus: the box is checked first.
TEST_F(ConfigDialog, EnterInABoxSavesOnlyACheckedValue) {
    for (const auto& [box, typed] : {std::pair{IDC_CFG_POLLING, "0"}, std::pair{IDC_CFG_SHIFT, "7.3"}}) {
        Open();
        dialog_->GotoDlgCtrl(box);
        dialog_->SetDlgItemText(box, typed);
        Key(Qt::Key_Return);
        ASSERT_TRUE(Ended()) << typed;
        EXPECT_EQ(dialog_->result(), IDOK);
        EXPECT_EQ(dialog_->PollingInterval, 5) << "a polling interval of 0 would spin the timer";
        EXPECT_EQ(dialog_->ShiftLenHours, box == IDC_CFG_SHIFT ? 7.5 : 8.0);
    }
}

// A box that host-edit mode disables while it has the focus loses the focus: it is checked then.
TEST_F(ConfigDialog, ABoxDisabledWhileItHasTheFocusIsChecked) {
    Open();
    dialog_->GotoDlgCtrl(IDC_CFG_POLLING);
    dialog_->SetDlgItemText(IDC_CFG_POLLING, "0");
    dialog_->BeginHostEdit();
    EXPECT_EQ(Text(IDC_CFG_POLLING), "5");
    EXPECT_TRUE(dialog_->GetDlgItem(IDC_CFG_HOST)->hasFocus());
}

// New->, Edit-> and the way back to list mode move the focus straight to the host box or the
// host list: no box on the way is checked, so a shift of 7.3 and a banner with an empty first
// line, which a check would change, stay as they were opened.
TEST_F(ConfigDialog, ChangingModesChecksNoBoxTheUserDidNotLeave) {
    const struct {
        const char* step;
        std::function<void()> act;
        int focused;
    } steps[] = {
        {"New->", [&] { Click(IDC_CFG_NEW); }, IDC_CFG_HOST},
        {"<-Add", [&] { Click(IDC_CFG_ADD); }, IDC_CFG_HOST_LIST},
        {"Edit->", [&] { Click(IDC_CFG_EDIT); }, IDC_CFG_HOST},
        {"Cancel", [&] { Click(IDC_CFG_HOST_CANCEL); }, IDC_CFG_HOST_LIST},
        {"New->", [&] { Click(IDC_CFG_NEW); }, IDC_CFG_HOST},
        {"Esc", [&] { Key(Qt::Key_Escape); }, IDC_CFG_HOST_LIST},
        {"Edit->", [&] { Click(IDC_CFG_EDIT); }, IDC_CFG_HOST},
        {"Enter", [&] { Key(Qt::Key_Return); }, IDC_CFG_HOST_LIST},
    };
    Open([](Settings& s) {
        s.ShiftLenHours = 7.3;
        CopyFixedText(s.WarningMessage, "\r\nX");
    });
    for (const auto& step : steps) {
        step.act();
        EXPECT_EQ(dialog_->GetFocusDlgItem(), step.focused) << step.step;
        EXPECT_EQ(Text(IDC_CFG_SHIFT), "7.3") << step.step;
        EXPECT_EQ(Text(IDC_CFG_WARNING), "\r\nX") << step.step;
    }
    EXPECT_FALSE(Ended());
}

TEST_F(ConfigDialog, RestorePutsTheFactoryDefaultsIntoTheDialogButNotThePassword) {
    Open([](Settings& s) {
        SetRecent(s, {"a", "b"});
        s.DisplayWarning = 0;
        s.SnmpRetries = 4;
        CopyFixedText(s.WarningMessage, "QUIET");
    });
    Click(IDC_CFG_RESTORE);
    ASSERT_EQ(boxes_.size(), 1u);
    EXPECT_EQ(boxes_[0].rfind("Confirm Configuration Restore: Are you sure", 0), 0u) << boxes_[0];
    EXPECT_EQ(Hosts(), std::vector<std::string>{DefaultHostName});
    EXPECT_EQ(Selected(), 0);
    const std::vector<std::pair<int, std::string>> shown = {
        {IDC_CFG_SHIFT, "8.0"},         {IDC_CFG_OFFSET, "0"},  {IDC_CFG_POLLING, "1"},
        {IDC_CFG_TIMEOUT, "250"},       {IDC_CFG_RETRIES, "1"}, {IDC_CFG_WARNING, DefaultWarningMessage},
        {IDC_CFG_PASSWORD, Placeholder}};
    for (const auto& [id, text] : shown)
        EXPECT_EQ(Text(id), text) << id;
    EXPECT_TRUE(dialog_->IsDlgButtonChecked(IDC_CFG_DISPLAY_WARNING));
    Click(IDOK);
    EXPECT_STREQ(dialog_->Recent[0], DefaultHostName);
    EXPECT_STREQ(dialog_->Recent[1], "");
    EXPECT_STREQ(dialog_->Password, "secret");
}

}  // namespace
