#pragma once

class QDialog;
class QDialogButtonBox;

// The OK, Cancel and Help row of a dialog: OK accepts, Cancel rejects, Help
// opens the dialog's help topic. The buttons keep the object names the
// field-definition rows and the tests find them by.
QDialogButtonBox* okCancelHelpButtons(QDialog* dialog, int helpContext);
