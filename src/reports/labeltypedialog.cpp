#include "labeltypedialog.h"
#include "data/datamodule.h"
#include "data/helpcontexts.h"
#include "data/table.h"
#include <QFrame>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>
#include <algorithm>

Tdlglabels::Tdlglabels(Database& db, QWidget* parent)
    : QDialog(parent), tblabels(std::make_unique<Table>(db, "LABEL.DB"))
{
    setWindowTitle("Available Label Types");
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    QFont f("MS Sans Serif", 8);
    f.setBold(true);
    setFont(f);
    setFixedSize(438, 179);

    auto* bevel = new QFrame(this);
    bevel->setFrameShape(QFrame::Box);
    bevel->setFrameShadow(QFrame::Sunken);
    bevel->setGeometry(8, 8, 345, 161);

    labelTypesList = new QListWidget(this);
    labelTypesList->setObjectName("dblkuplabels");
    labelTypesList->setGeometry(15, 12, 332, 152);

    okButton = new QPushButton("OK", this);
    okButton->setGeometry(355, 9, 77, 27);
    okButton->setDefault(true);
    cancelButton = new QPushButton("Cancel", this);
    cancelButton->setGeometry(355, 40, 77, 27);
    helpButton = new QPushButton("&Help", this);
    helpButton->setGeometry(355, 69, 77, 27);
    helpButton->hide();
    connect(okButton, &QPushButton::clicked, this, &Tdlglabels::OKBtnClick);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(helpButton, &QPushButton::clicked, this, [] {
        if (Tdmglobal::exists())
            Tdmglobal::instance().showHelp(HelpContext::LabelSetup);
    });
    connect(labelTypesList, &QListWidget::itemDoubleClicked, this, &Tdlglabels::OKBtnClick);

    tblabels->setReadOnly(true);
    tblabels->open();
    struct Stock {
        QString code, desc;
    };
    QVector<Stock> stocks;
    for (tblabels->first(); !tblabels->eof(); tblabels->next())
        stocks.append({tblabels->asString("LBLCODE"), tblabels->asString("DESC")});
    std::stable_sort(stocks.begin(), stocks.end(),
                     [](const Stock& a, const Stock& b) { return a.desc.compare(b.desc, Qt::CaseInsensitive) < 0; });
    for (const Stock& s : stocks) {
        auto* item = new QListWidgetItem(s.desc, labelTypesList);
        item->setData(Qt::UserRole, s.code);
    }
    // The list widens (and the buttons move right) until every description,
    // "(laser)" and "(ink jet)" included, shows whole.
    int widest = 0;
    for (int i = 0; i < labelTypesList->count(); ++i)
        widest = std::max(widest, labelTypesList->fontMetrics().horizontalAdvance(labelTypesList->item(i)->text()));
    const int needed =
        widest + 2 * labelTypesList->frameWidth() + style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 12;
    const int extra = std::max(0, needed - labelTypesList->width());
    bevel->resize(bevel->width() + extra, bevel->height());
    labelTypesList->resize(labelTypesList->width() + extra, labelTypesList->height());
    for (QPushButton* b : {okButton, cancelButton, helpButton})
        b->move(b->x() + extra, b->y());
    setFixedSize(width() + extra, height());
    okButton->setFocus();
}

Tdlglabels::~Tdlglabels() = default;

void Tdlglabels::OKBtnClick()
{
    const QListWidgetItem* item = labelTypesList->currentItem();
    chosenCode = item && item->isSelected() ? item->data(Qt::UserRole).toString() : QString();
    accept();
}
