#pragma once
// The dialog templates of the program's resources.

#include "platform/qt/dialog_template.h"

// The template with this identifier; null when the resources hold none.
const DialogTemplate* FindDialogTemplate(int id);
