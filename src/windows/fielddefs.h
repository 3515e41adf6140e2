#pragma once
// Captions, hints and help contexts of a window's controls. The field
// definition rows of a form name the controls by object name; the data
// module reads the rows, and this puts them on the window it is handed.
#include <QString>

class QWidget;

// Sets the caption of each row's label, the hint (tool tip and status tip)
// and the help context of each row's control in `window` (the window itself
// when a row names it). Rows naming no control of the window are skipped; a
// label key naming something that is not a label stops with "Invalid
// typecast", leaving the rows before it applied.
void applyFieldDefs(QWidget* window, const QString& formKey);

// The help context number of a widget (property "helpContext"), or of its
// nearest parent that has one; 0 when none has.
int helpContextOf(const QWidget* widget);
void setHelpContext(QWidget* widget, int helpContext);

// Panel 1 of the status bar shows the control's hint (empty for none).
void showControlHint(const QWidget* control);
