#include "platform/qt/dialog_units.h"

#include <QFontMetrics>

#include <cstring>

QFont MakeDialogFont(const TemplateFont& wanted) {
    QFont font;
    if (std::strcmp(wanted.face, "MS Shell Dlg") == 0) {
        font.setFamily(QStringLiteral("Sans Serif"));
        font.setStyleHint(QFont::SansSerif);
    } else {
        font.setFamily(QString::fromLatin1(wanted.face));
    }
    font.setPointSize(wanted.pointSize);
    return font;
}

DialogBaseUnits MeasureDialogBaseUnits(const QFont& font) {
    const QFontMetrics metrics(font);
    const int width = metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return {(width / 26 + 1) / 2, metrics.height()};
}

int DluToPixelsX(int dlu, DialogBaseUnits units) {
    return dlu * units.cx / 4;
}

int DluToPixelsY(int dlu, DialogBaseUnits units) {
    return dlu * units.cy / 8;
}

QRect DluToPixels(const DluRect& rect, DialogBaseUnits units) {
    return {DluToPixelsX(rect.x, units), DluToPixelsY(rect.y, units), DluToPixelsX(rect.cx, units),
            DluToPixelsY(rect.cy, units)};
}
