#include "daysoffdialog.h"
#include "datetyping.h"
#include "dbgrid.h"
#include "fielddefs.h"
#include "guard.h"
#include "data/dberror.h"
#include "data/dmuglobal.h"
#include "data/table.h"
#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QVBoxLayout>

DaysOffDialog::DaysOffDialog(QWidget* parent, const Setup& s) : QDialog(parent), setup(s)
{
    setWindowTitle(setup.caption);
    setHelpContext(this, setup.helpContext);
    Database& db = Tdmglobal::instance().database();
    tblist = std::make_unique<Table>(db, setup.listTable);
    tblist->setObjectName(QStringLiteral("tblist"));
    tblist->setReadOnly(true);
    if (!setup.listIndex.isEmpty())
        tblist->setIndexName(setup.listIndex);
    buildControls();
    tbdaysoff = new Table(db, setup.daysOffTable, dbgtimeoff);
    tbdaysoff->setObjectName(QStringLiteral("tbdaysoff"));
    tbdaysoff->setIndexName(setup.daysOffIndex);
    tbdaysoff->setMasterSource(tblist.get(), setup.keyField, setup.keyField);
}

DaysOffDialog::~DaysOffDialog()
{
    if (finished || !Tdmglobal::exists())
        return;
    // Never shown, or left by an error: what was written stays written.
    // Nothing may leave a destructor, so a failure goes to the error box;
    // the transaction is ended either way.
    guarded(parentWidget(), [this] {
        try {
            finish();
        } catch (...) {
            Tdmglobal::instance().rollback();
            throw;
        }
    });
}

void DaysOffDialog::buildControls()
{
    dblkup = new QComboBox(this);
    dblkup->setObjectName(setup.chooserName);
    dtpdate = new QDateEdit(QDate::currentDate(), this);
    dtpdate->setObjectName(QStringLiteral("dtpdate"));
    dtpdate->setCalendarPopup(true);
    setUpPicker(dtpdate);
    btnadd = new QPushButton(QStringLiteral("&Add"), this);
    btnadd->setObjectName(QStringLiteral("btnadd"));
    btnadd->setAutoDefault(false);
    dbgtimeoff = new DbGrid(this);
    dbgtimeoff->setObjectName(QStringLiteral("dbgtimeoff"));
    dbgtimeoff->setEditable(false);
    dbgtimeoff->horizontalHeader()->hide();
    dbgtimeoff->verticalHeader()->hide();
    dbgtimeoff->horizontalHeader()->setStretchLastSection(true);
    btnremove = new QPushButton(QStringLiteral("&Remove"), this);
    btnremove->setObjectName(QStringLiteral("btnremove"));
    btnremove->setAutoDefault(false);
    OKBtn = new QPushButton(QStringLiteral("&Done"), this);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    OKBtn->setDefault(true);
    HelpBtn = new QPushButton(QStringLiteral("&Help"), this);
    HelpBtn->setObjectName(QStringLiteral("HelpBtn"));
    HelpBtn->setAutoDefault(false);
    setHelpContext(HelpBtn, setup.helpContext);
    CancelBtn = new QPushButton(setup.cancelCaption, this);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    CancelBtn->setAutoDefault(false);
    CancelBtn->setVisible(false);

    auto* grid = new QGridLayout;
    grid->addWidget(dblkup, 0, 0, 1, 2);
    grid->addWidget(dtpdate, 1, 0);
    grid->addWidget(btnadd, 1, 1);
    grid->addWidget(dbgtimeoff, 2, 0);
    grid->addWidget(btnremove, 2, 1, Qt::AlignTop);
    grid->setColumnStretch(0, 1);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(OKBtn);
    buttons->addWidget(HelpBtn);
    buttons->addWidget(CancelBtn);
    buttons->addStretch();
    auto* outer = new QHBoxLayout(this);
    outer->addLayout(grid, 1);
    outer->addLayout(buttons);
    // Wide enough for a long name in the chooser and the whole date.
    dblkup->setMinimumContentsLength(30);
    dblkup->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    resize(sizeHint().expandedTo(QSize(420, 300)));

    connect(dblkup, &QComboBox::currentIndexChanged, this, &DaysOffDialog::chooserChange);
    connect(btnadd, &QPushButton::clicked, this, &DaysOffDialog::btnaddClick);
    connect(btnremove, &QPushButton::clicked, this, &DaysOffDialog::btnremoveClick);
    connect(OKBtn, &QPushButton::clicked, this, &DaysOffDialog::OKBtnClick);
    connect(HelpBtn, &QPushButton::clicked, this, [this] { Tdmglobal::instance().showHelp(setup.helpContext); });
    connect(CancelBtn, &QPushButton::clicked, this, &DaysOffDialog::CancelBtnClick);
    OKBtn->setFocus();
}

void DaysOffDialog::load(int id)
{
    tblist->open();
    tbdaysoff->open();
    dbgtimeoff->setTable(*tbdaysoff, {gridColumn("DATE", "Date")});
    if (id == 0 || !tblist->locate(setup.keyField, id))
        tblist->first();
    fillChooser();
    Tdmglobal::instance().beginTransaction();
}

void DaysOffDialog::fillChooser()
{
    filling = true;
    dblkup->clear();
    for (int row = 0; row < tblist->recordCount(); ++row)
        dblkup->addItem(tblist->valueAt(row, setup.nameField).toString(), tblist->valueAt(row, setup.keyField));
    dblkup->setCurrentIndex(tblist->recNo() - 1);
    filling = false;
}

int DaysOffDialog::chosenId() const
{
    return tblist->isEmpty() ? 0 : tblist->asInt(setup.keyField);
}

void DaysOffDialog::chooserChange(int index)
{
    if (filling || index < 0)
        return;
    guarded(this, [&] {
        // The list follows the chooser, and the days off follow the list.
        if (!tblist->locate(setup.keyField, dblkup->itemData(index)))
            throw DbError(QStringLiteral("The chosen entry is no longer in the list."));
    });
}

void DaysOffDialog::btnaddClick()
{
    guarded(this, [&] {
        if (tblist->isEmpty())
            throw DbError(setup.noneToChoose);
        tbdaysoff->append();
        tbdaysoff->setValue(QStringLiteral("DATE"), dtpdate->date());
        tbdaysoff->post();
    });
}

void DaysOffDialog::btnremoveClick()
{
    guarded(this, [&] { tbdaysoff->remove(); });
}

void DaysOffDialog::finish()
{
    tbdaysoff->checkBrowseMode();
    Tdmglobal::instance().commit();
    finished = true;
}

void DaysOffDialog::OKBtnClick()
{
    if (guarded(this, [&] { finish(); }))
        QDialog::done(QDialog::Accepted);
}

void DaysOffDialog::reject()
{
    // The adds and removes were shown as done; leaving the transaction open
    // would hold every later write of the program in it.
    if (!guarded(this, [&] { finish(); }))
        guarded(this, [&] {
            finished = true;
            Tdmglobal::instance().rollback();
        });
    QDialog::done(QDialog::Rejected);
}

void DaysOffDialog::CancelBtnClick()
{
    guarded(this, [&] {
        finished = true;
        tbdaysoff->cancel();
        Tdmglobal::instance().rollback();
    });
    QDialog::done(QDialog::Rejected);
}
