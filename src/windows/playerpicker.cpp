#include "playerpicker.h"
#include "data/datamodule.h"
#include "data/helpcontexts.h"
#include "data/table.h"

namespace {
const int fullnameWidth = 51;
}

Tdlgplayers::Tdlgplayers(QWidget* parent)
    : CheckListPicker(parent, QStringLiteral("All Players"), HelpContext::AssignPlayers)
{
    setObjectName(QStringLiteral("dlgplayers"));
    tbplayers = std::make_unique<Table>(Tdmglobal::instance().database(), QStringLiteral("PLAYERS.db"));
    tbplayers->setReadOnly(true);
    tbplayers->setIndexName(QStringLiteral("lastname"));
    tbplayers->addCalcField(QStringLiteral("Fullname"), FieldType::String, fullnameWidth);
    tbplayers->onCalcFields = [](Table& t) {
        t.setValue(QStringLiteral("Fullname"),
                   pickerLine(t.asInt("PLAYERID"), t.asString("FNAME") + QLatin1Char(' ') + t.asString("LNAME"),
                              fullnameWidth));
    };
    tbplayers->open();
    for (tbplayers->first(); !tbplayers->eof(); tbplayers->next())
        addLine(tbplayers->asString(QStringLiteral("Fullname")));
}

Tdlgplayers::~Tdlgplayers() = default;

QList<int> Tdlgplayers::pick(QWidget* parent, bool* accepted)
{
    Tdlgplayers picker(parent);
    return run(picker, accepted);
}
