#include "courtpicker.h"
#include "data/datamodule.h"
#include "data/helpcontexts.h"
#include "data/table.h"

namespace {
const int listitemWidth = 53;
}

Tdlgcourts::Tdlgcourts(QWidget* parent)
    : CheckListPicker(parent, QStringLiteral("All Courts"), HelpContext::AssignCourts)
{
    setObjectName(QStringLiteral("dlgcourts"));
    tbcourts = std::make_unique<Table>(Tdmglobal::instance().database(), QStringLiteral("COURTS.db"));
    tbcourts->setReadOnly(true);
    tbcourts->addCalcField(QStringLiteral("listitem"), FieldType::String, listitemWidth);
    tbcourts->onCalcFields = [](Table& t) {
        t.setValue(QStringLiteral("listitem"), pickerLine(t.asInt("COURTID"), t.asString("NAME"), listitemWidth));
    };
    tbcourts->open();
    for (tbcourts->first(); !tbcourts->eof(); tbcourts->next())
        addLine(tbcourts->asString(QStringLiteral("listitem")));
}

Tdlgcourts::~Tdlgcourts() = default;

QList<int> Tdlgcourts::pick(QWidget* parent, bool* accepted)
{
    Tdlgcourts picker(parent);
    return run(picker, accepted);
}
