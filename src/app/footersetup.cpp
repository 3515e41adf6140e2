#include "footersetup.h"
#include "data/datamodule.h"
#include "data/helpcontexts.h"
#include "data/settings.h"
#include <QInputDialog>
#include <QLineEdit>

bool runFooterSetup(QWidget* parent)
{
    QInputDialog box(parent);
    box.setObjectName(QStringLiteral("FooterSetup"));
    box.setInputMode(QInputDialog::TextInput);
    box.setWindowTitle(QStringLiteral("Footer Setup"));
    box.setLabelText(QStringLiteral("Enter the text of the footer:"));
    box.setTextValue(footerText());
    setHelpContext(&box, HelpContext::FooterSetup);
    // The edit exists once the text mode is set; limiting it cuts pasted text too.
    if (auto* edit = box.findChild<QLineEdit*>()) {
        edit->setMaxLength(FooterTextLimit);
        // A footer of the full length shows whole, capitals included.
        const int text = edit->fontMetrics().horizontalAdvance(QString(FooterTextLimit, QLatin1Char('X')));
        edit->setMinimumWidth(text + 4 * edit->fontMetrics().averageCharWidth());
    }
    if (box.exec() != QDialog::Accepted)
        return false;
    setFooterText(box.textValue());
    return true;
}
