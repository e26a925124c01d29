// Every template and menu text translated in every language (a text never marked has no entry),
// and each dialog's texts fit their controls without running into another.
#include "config/settings_store.h"
#include "platform/qt/dialog.h"
#include "res/app_resources.h"
#include "res/dialog_ids.h"
#include "res/dialog_templates.h"
#include "res/ui_language.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QTranslator>

#include <gtest/gtest.h>

#include <iterator>
#include <string>

namespace {

constexpr int Templates[] = {IDD_ABOUTBOX, IDD_CONFIGURE, IDD_AUTHENTICATION, IDD_DIAGNOSTICS};

class Catalogues : public ::testing::TestWithParam<const char*> {
    void TearDown() override { ApplyDisplayLanguage("en"); }
};
using Translations = Catalogues;

TEST_P(Translations, OfEveryTemplateAndMenuText) {
    QTranslator catalogue;
    ASSERT_TRUE(catalogue.load(QStringLiteral(":/i18n/decimon_") + GetParam()));
    const auto expectTranslated = [&](const char* context, const char* source) {
        EXPECT_TRUE(!*source || !catalogue.translate(context, source).isEmpty()) << context << ": " << source;
    };
    for (const int id : Templates) {
        expectTranslated("Dialog", FindDialogTemplate(id)->caption);
        for (const DialogControl& control : FindDialogTemplate(id)->controls)
            expectTranslated("Dialog", control.text);
    }
    for (const MenuPopupResource& popup : MainMenuResource()) {
        expectTranslated("Menu", popup.text);
        for (const MenuItemResource& item : popup.items)
            expectTranslated("Menu", item.text);
    }
}

// The room a button's text needs: its label and margins, and a box's indicator.
int Needed(const QWidget& widget) {
    const QStyle& style = *widget.style();
    const auto width = [&](QString text) { return widget.fontMetrics().horizontalAdvance(text.remove(u'&')); };
    if (const auto* box = qobject_cast<const QCheckBox*>(&widget))
        return style.pixelMetric(QStyle::PM_IndicatorWidth) + style.pixelMetric(QStyle::PM_CheckBoxLabelSpacing) +
               width(box->text());
    if (const auto* button = qobject_cast<const QPushButton*>(&widget))
        return 2 * style.pixelMetric(QStyle::PM_ButtonMargin) + width(button->text());
    return 0;
}

TEST_P(Catalogues, DialogTextsFitTheirControls) {
    ApplyDisplayLanguage(GetParam());
    for (const int id : Templates) {
        QWidget parent;
        CDialog dialog(FindDialogTemplate(id), &parent);
        ASSERT_TRUE(dialog.Create(&parent));
        const QList<QWidget*> controls = dialog.findChildren<QWidget*>();
        for (const QWidget* control : controls) {
            const std::string text = control->property("text").toString().toStdString();
            EXPECT_LE(Needed(*control), control->width()) << id << ": " << text;
            // A label grows to its text's width: it must not reach another label or button.
            for (const QWidget* other : controls) {
                if (qobject_cast<const QLabel*>(control) && other->parentWidget() == control->parentWidget() &&
                    other != control && control->isVisibleTo(&dialog) && other->isVisibleTo(&dialog) &&
                    (qobject_cast<const QLabel*>(other) || qobject_cast<const QAbstractButton*>(other))) {
                    EXPECT_FALSE(control->geometry().intersects(other->geometry())) << id << ": " << text;
                }
            }
        }
    }
}

const auto LanguageName = [](const auto& row) { return std::string(row.param); };
INSTANTIATE_TEST_SUITE_P(Languages, Catalogues, ::testing::ValuesIn(SettingsStore::DisplayLanguages), LanguageName);
// English is the sources themselves.
INSTANTIATE_TEST_SUITE_P(Languages, Translations,
                         ::testing::ValuesIn(std::begin(SettingsStore::DisplayLanguages) + 1,
                                             std::end(SettingsStore::DisplayLanguages)),
                         LanguageName);

}  // namespace
