#include "dlglabel.h"
#include "data/dmuglobal.h"
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

    dblkuplabels = new QListWidget(this);
    dblkuplabels->setObjectName("dblkuplabels");
    dblkuplabels->setGeometry(15, 12, 332, 152);

    OKBtn = new QPushButton("OK", this);
    OKBtn->setGeometry(355, 9, 77, 27);
    OKBtn->setDefault(true);
    CancelBtn = new QPushButton("Cancel", this);
    CancelBtn->setGeometry(355, 40, 77, 27);
    HelpBtn = new QPushButton("&Help", this);
    HelpBtn->setGeometry(355, 69, 77, 27);
    HelpBtn->hide();
    connect(OKBtn, &QPushButton::clicked, this, &Tdlglabels::OKBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    connect(HelpBtn, &QPushButton::clicked, this, [] {
        if (Tdmglobal::exists())
            Tdmglobal::instance().showHelp(HelpContext::LabelSetup);
    });
    connect(dblkuplabels, &QListWidget::itemDoubleClicked, this, &Tdlglabels::OKBtnClick);

    tblabels->setReadOnly(true);
    tblabels->open();
    struct Stock {
        QString code, desc;
    };
    QVector<Stock> stocks;
    for (tblabels->first(); !tblabels->eof(); tblabels->next())
        stocks.append({tblabels->asString("LBLCODE"), tblabels->asString("DESC")});
    std::stable_sort(stocks.begin(), stocks.end(), [](const Stock& a, const Stock& b) {
        return a.desc.compare(b.desc, Qt::CaseInsensitive) < 0;
    });
    for (const Stock& s : stocks) {
        auto* item = new QListWidgetItem(s.desc, dblkuplabels);
        item->setData(Qt::UserRole, s.code);
    }
    // The list widens (and the buttons move right) until every description,
    // "(laser)" and "(ink jet)" included, shows whole.
    int widest = 0;
    for (int i = 0; i < dblkuplabels->count(); ++i)
        widest = std::max(widest, dblkuplabels->fontMetrics().horizontalAdvance(dblkuplabels->item(i)->text()));
    const int needed = widest + 2 * dblkuplabels->frameWidth() + style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 12;
    const int extra = std::max(0, needed - dblkuplabels->width());
    bevel->resize(bevel->width() + extra, bevel->height());
    dblkuplabels->resize(dblkuplabels->width() + extra, dblkuplabels->height());
    for (QPushButton* b : {OKBtn, CancelBtn, HelpBtn})
        b->move(b->x() + extra, b->y());
    setFixedSize(width() + extra, height());
    OKBtn->setFocus();
}

Tdlglabels::~Tdlglabels() = default;

void Tdlglabels::OKBtnClick()
{
    const QListWidgetItem* item = dblkuplabels->currentItem();
    chosenCode = item && item->isSelected() ? item->data(Qt::UserRole).toString() : QString();
    accept();
}
