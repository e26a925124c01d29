#pragma once
// Dialog units to pixels, from the dialog font, the way the dialog manager converts them.

#include "platform/qt/dialog_template.h"

#include <QFont>
#include <QRect>

// The font a template asks for. "MS Shell Dlg" stands for the system's sans-serif face.
QFont MakeDialogFont(const TemplateFont& wanted);

struct DialogBaseUnits {
    int cx = 0;  // average width of the 52 letters A-Z a-z, rounded: (width / 26 + 1) / 2
    int cy = 0;  // font height
};

DialogBaseUnits MeasureDialogBaseUnits(const QFont& font);

// x and width: dlu * cx / 4; y and height: dlu * cy / 8; each truncated.
int DluToPixelsX(int dlu, DialogBaseUnits units);
int DluToPixelsY(int dlu, DialogBaseUnits units);
QRect DluToPixels(const DluRect& rect, DialogBaseUnits units);
