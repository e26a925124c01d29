// The catalogues against the English sources: every caption and text of the dialog templates
// and the menu has a finished translation in every language (a text shown without being
// marked for translation has none), and each dialog's texts fit their controls in every
// language without running into another control.
#include "config/settings_store.h"
#include "platform/qt/dialog.h"
#include "res/app_resources.h"
#include "res/dialog_ids.h"
#include "res/dialog_templates.h"
#include "res/ui_language.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QTranslator>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr int Templates[] = {IDD_ABOUTBOX, IDD_CONFIGURE, IDD_AUTHENTICATION, IDD_DIAGNOSTICS};

class Catalogues : public ::testing::TestWithParam<const char*> {
protected:
    void TearDown() override { ApplyDisplayLanguage("en"); }
};

TEST_P(Catalogues, TranslateEveryTemplateAndMenuText) {
    const std::string code = GetParam();
    if (code == "en")
        GTEST_SKIP() << "the sources themselves";
    QTranslator catalogue;
    ASSERT_TRUE(catalogue.load(QString::fromStdString(":/i18n/decimon_" + code)));
    const auto expectTranslated = [&](const char* context, const char* source) {
        if (*source != '\0') {
            EXPECT_FALSE(catalogue.translate(context, source).isEmpty()) << context << ": " << source;
        }
    };
    for (const int id : Templates) {
        const DialogTemplate* found = FindDialogTemplate(id);
        expectTranslated("Dialog", found->caption);
        for (const DialogControl& control : found->controls)
            expectTranslated("Dialog", control.text);
    }
    for (const MenuPopupResource& popup : MainMenuResource()) {
        expectTranslated("Menu", popup.text);
        for (const MenuItemResource& item : popup.items)
            expectTranslated("Menu", item.text);
    }
}

// The room a control's text needs: a button's label and frame, a box's indicator and label.
int Needed(const QWidget& widget) {
    const QFontMetrics metrics = widget.fontMetrics();
    const QStyle* style = widget.style();
    if (const auto* box = qobject_cast<const QCheckBox*>(&widget))
        return style->pixelMetric(QStyle::PM_IndicatorWidth) + style->pixelMetric(QStyle::PM_CheckBoxLabelSpacing) +
               metrics.horizontalAdvance(QString(box->text()).remove(u'&'));
    if (const auto* button = qobject_cast<const QPushButton*>(&widget))
        return 2 * style->pixelMetric(QStyle::PM_ButtonMargin) +
               metrics.horizontalAdvance(QString(button->text()).remove(u'&'));
    if (const auto* group = qobject_cast<const QGroupBox*>(&widget))
        return 2 * metrics.averageCharWidth() + metrics.horizontalAdvance(group->title());
    return 0;
}

TEST_P(Catalogues, DialogTextsFitTheirControls) {
    ApplyDisplayLanguage(GetParam());
    for (const int id : Templates) {
        QWidget parent;
        parent.resize(2000, 2000);
        CDialog dialog(FindDialogTemplate(id), &parent);
        ASSERT_TRUE(dialog.Create(&parent));
        std::vector<const QWidget*> controls;
        for (const QWidget* widget : dialog.findChildren<QWidget*>()) {
            if (widget->isVisibleTo(&dialog) && (qobject_cast<const QLabel*>(widget) ||
                                                 qobject_cast<const QAbstractButton*>(widget)))
                controls.push_back(widget);
            EXPECT_LE(Needed(*widget), widget->width()) << id << ": " << widget->metaObject()->className() << " " << Needed(*widget) << "/" << widget->width() << " "
                                                        << widget->property("text").toString().toStdString()
                                                        << widget->property("title").toString().toStdString();
        }
        // A label grows to its text's width: it must not reach another control or leave the dialog.
        for (const QWidget* label : controls) {
            if (!qobject_cast<const QLabel*>(label))
                continue;
            EXPECT_LE(label->geometry().right(), label->parentWidget()->width())
                << id << ": " << qobject_cast<const QLabel*>(label)->text().toStdString();
            for (const QWidget* other : controls) {
                if (other != label && other->parentWidget() == label->parentWidget()) {
                    EXPECT_FALSE(label->geometry().intersects(other->geometry()))
                        << id << ": " << qobject_cast<const QLabel*>(label)->text().toStdString();
                }
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Languages, Catalogues, ::testing::ValuesIn(SettingsStore::DisplayLanguages),
                         [](const auto& row) { return std::string(row.param); });

}  // namespace
