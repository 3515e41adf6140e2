#include "teamplayersdialog.h"
#include "dialogbuttons.h"
#include "fielddefs.h"
#include "data/datamodule.h"
#include "data/helpcontexts.h"
#include "data/table.h"
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const int fullnameWidth = 51;

QVariant keyOf(const QComboBox* box)
{
    return box->currentIndex() < 0 ? QVariant() : box->currentData();
}

}   // namespace

Tdlgteam::Tdlgteam(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("dlgteam"));
    setWindowTitle(QStringLiteral("Team Players"));
    setHelpContext(this, HelpContext::TeamPlayers);
    tbplayers = std::make_unique<Table>(Tdmglobal::instance().database(), QStringLiteral("PLAYERS.db"));
    tbplayers->setReadOnly(true);
    tbplayers->setIndexName(QStringLiteral("lastname"));
    tbplayers->addCalcField(QStringLiteral("Fullname"), FieldType::String, fullnameWidth);
    tbplayers->onCalcFields = [](Table& t) {
        t.setValue(QStringLiteral("Fullname"), t.asString("FNAME") + QLatin1Char(' ') + t.asString("LNAME"));
    };
    tbplayers->open();

    firstPlayerBox = new QComboBox(this);
    firstPlayerBox->setObjectName(QStringLiteral("dblkplayer1"));
    secondPlayerBox = new QComboBox(this);
    secondPlayerBox->setObjectName(QStringLiteral("dblkplayer2"));
    fill(firstPlayerBox);
    fill(secondPlayerBox);

    auto* form = new QFormLayout;
    form->addRow(new QLabel(QStringLiteral("Player One:"), this), firstPlayerBox);
    form->addRow(new QLabel(QStringLiteral("Player Two:"), this), secondPlayerBox);
    QDialogButtonBox* buttons = okCancelHelpButtons(this, HelpContext::TeamPlayers);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    setFixedSize(340, 140);
}

Tdlgteam::~Tdlgteam() = default;

void Tdlgteam::fill(QComboBox* box)
{
    for (int row = 0; row < tbplayers->recordCount(); ++row)
        box->addItem(tbplayers->valueAt(row, QStringLiteral("Fullname")).toString(),
                     tbplayers->valueAt(row, QStringLiteral("PLAYERID")));
    box->setCurrentIndex(-1);   // nothing chosen at first
}

QVariant Tdlgteam::player1Key() const
{
    return keyOf(firstPlayerBox);
}

QVariant Tdlgteam::player2Key() const
{
    return keyOf(secondPlayerBox);
}

std::optional<Tdlgteam::Team> Tdlgteam::pick(QWidget* parent)
{
    Tdlgteam dialog(parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return Team{dialog.player1Key(), dialog.player2Key()};
}
