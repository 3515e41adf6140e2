#include "daysoffdialog.h"
#include "datetyping.h"
#include "dbgrid.h"
#include "fielddefs.h"
#include "guard.h"
#include "data/dberror.h"
#include "data/datamodule.h"
#include "data/table.h"
#include "data/tablemodel.h"
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
    tbdaysoff = new Table(db, setup.daysOffTable, daysOffView);
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
    chooserBox = new QComboBox(this);
    chooserBox->setObjectName(setup.chooserName);
    chooserBox->setAccessibleName(setup.groups ? QStringLiteral("Group") : QStringLiteral("Player"));
    dateEdit = new QDateEdit(QDate::currentDate(), this);
    dateEdit->setObjectName(QStringLiteral("dtpdate"));
    dateEdit->setAccessibleName(QStringLiteral("Date"));
    dateEdit->setCalendarPopup(true);
    setUpPicker(dateEdit);
    addDateButton = new QPushButton(QStringLiteral("&Add"), this);
    addDateButton->setObjectName(QStringLiteral("btnadd"));
    addDateButton->setAutoDefault(false);
    daysOffView = new DbGrid(this);
    daysOffView->setObjectName(QStringLiteral("dbgtimeoff"));
    daysOffView->setAccessibleName(QStringLiteral("Days off"));
    daysOffView->setEditable(false);
    daysOffView->horizontalHeader()->hide();
    daysOffView->verticalHeader()->hide();
    daysOffView->horizontalHeader()->setStretchLastSection(true);
    removeDateButton = new QPushButton(QStringLiteral("&Remove"), this);
    removeDateButton->setObjectName(QStringLiteral("btnremove"));
    removeDateButton->setAutoDefault(false);
    okButton = new QPushButton(QStringLiteral("&Done"), this);
    okButton->setObjectName(QStringLiteral("OKBtn"));
    okButton->setDefault(true);
    helpButton = new QPushButton(QStringLiteral("&Help"), this);
    helpButton->setObjectName(QStringLiteral("HelpBtn"));
    helpButton->setAutoDefault(false);
    setHelpContext(helpButton, setup.helpContext);
    cancelButton = new QPushButton(setup.cancelCaption, this);
    cancelButton->setObjectName(QStringLiteral("CancelBtn"));
    cancelButton->setAutoDefault(false);
    cancelButton->setVisible(false);

    auto* grid = new QGridLayout;
    grid->addWidget(chooserBox, 0, 0, 1, 2);
    grid->addWidget(dateEdit, 1, 0);
    grid->addWidget(addDateButton, 1, 1);
    grid->addWidget(daysOffView, 2, 0);
    grid->addWidget(removeDateButton, 2, 1, Qt::AlignTop);
    grid->setColumnStretch(0, 1);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(okButton);
    buttons->addWidget(helpButton);
    buttons->addWidget(cancelButton);
    buttons->addStretch();
    auto* outer = new QHBoxLayout(this);
    outer->addLayout(grid, 1);
    outer->addLayout(buttons);
    // Wide enough for a long name in the chooser and the whole date.
    chooserBox->setMinimumContentsLength(30);
    chooserBox->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    resize(sizeHint().expandedTo(QSize(420, 300)));

    connect(chooserBox, &QComboBox::currentIndexChanged, this, &DaysOffDialog::chooserChange);
    connect(addDateButton, &QPushButton::clicked, this, &DaysOffDialog::btnaddClick);
    connect(removeDateButton, &QPushButton::clicked, this, &DaysOffDialog::btnremoveClick);
    connect(okButton, &QPushButton::clicked, this, &DaysOffDialog::OKBtnClick);
    connect(helpButton, &QPushButton::clicked, this, [this] { Tdmglobal::instance().showHelp(setup.helpContext); });
    connect(cancelButton, &QPushButton::clicked, this, &DaysOffDialog::CancelBtnClick);
    okButton->setFocus();
}

void DaysOffDialog::load(int id)
{
    tblist->open();
    tbdaysoff->open();
    daysOffView->setTable(*tbdaysoff, {gridColumn("DATE", "Date")});
    if (id == 0 || !tblist->locate(setup.keyField, id))
        tblist->first();
    fillChooser();
    Tdmglobal::instance().beginTransaction();
}

void DaysOffDialog::fillChooser()
{
    filling = true;
    chooserBox->clear();
    for (int row = 0; row < tblist->recordCount(); ++row)
        chooserBox->addItem(tblist->valueAt(row, setup.nameField).toString(), tblist->valueAt(row, setup.keyField));
    chooserBox->setCurrentIndex(tblist->recNo() - 1);
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
        if (!tblist->locate(setup.keyField, chooserBox->itemData(index)))
            throw DbError(QStringLiteral("The chosen entry is no longer in the list."));
    });
}

void DaysOffDialog::btnaddClick()
{
    guarded(this, [&] {
        if (tblist->isEmpty())
            throw DbError(setup.noneToChoose);
        // A second row for the same date would change nothing but the list,
        // and removing one of the two would leave the date off after all.
        const QDate date = dateEdit->date();
        for (int row = 0; row < tbdaysoff->recordCount(); ++row)
            if (tbdaysoff->valueAt(row, QStringLiteral("DATE")).toDate() == date) {
                tbdaysoff->setRecNo(row + 1);
                throw DbError(QStringLiteral("%1 already has %2 off.")
                                  .arg(chooserBox->currentText(), formatValue(date, QString())));
            }
        tbdaysoff->append();
        tbdaysoff->setValue(QStringLiteral("DATE"), dateEdit->date());
        tbdaysoff->post();
        if (!addedFor.contains(chosenId()))
            addedFor.append(chosenId());
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
    kept = true;
}

void DaysOffDialog::reviewAddedDaysOff()
{
    if (kept)
        Tdmglobal::instance().reviewDaysOff(setup.groups, addedFor, parentWidget());
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
