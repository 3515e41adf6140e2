#include "reconciledialog.h"
#include "data/datamodule.h"
#include "data/helpcontexts.h"
#include "windows/fielddefs.h"
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QHBoxLayout>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>
#include <QTableWidget>

namespace {
constexpr int RowHeight = 15;
const int ColumnWidths[3] = {46, 41, 177};
}   // namespace

const QString Tdlgreconcile::ReconcileText =
    QStringLiteral("The following players do not play the correct number of times. If you would like the "
                   "computer to reconcile this click the reconcile button.");
const QString Tdlgreconcile::CannotReconcileText =
    QStringLiteral("The following players do not play the correct number of times.  This situation can not "
                   "be reconciled with out changing the group settings.  Click the help button for "
                   "suggestions on adjusting your group setting to ensure your schedule reconcile.");

Tdlgreconcile::Tdlgreconcile(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Reconcile Schedule"));
    setHelpContext(this, HelpContext::EvenDates);

    warningLabel = new QLabel(this);
    warningLabel->setWordWrap(true);
    warningLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    okButton = new QPushButton(QStringLiteral("OK"), this);
    okButton->setDefault(true);
    cancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    helpButton = new QPushButton(QStringLiteral("&Help"), this);
    for (QPushButton* b : {okButton, cancelButton, helpButton})
        b->setMinimumSize(77, 27);
    connect(okButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(helpButton, &QPushButton::clicked, this, [this] { HelpBtnClick(); });

    bevel = new QFrame(this);
    bevel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    countsTable = new QTableWidget(0, 3, bevel);
    auto* inBevel = new QVBoxLayout(bevel);
    inBevel->setContentsMargins(2, 2, 2, 2);
    inBevel->addWidget(countsTable);
    countsTable->setFrameShape(QFrame::NoFrame);
    countsTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    countsTable->setSelectionMode(QAbstractItemView::NoSelection);
    countsTable->setShowGrid(false);
    countsTable->verticalHeader()->hide();
    countsTable->verticalHeader()->setMinimumSectionSize(RowHeight);
    countsTable->verticalHeader()->setDefaultSectionSize(RowHeight);
    countsTable->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    countsTable->horizontalHeader()->setMinimumSectionSize(10);
    countsTable->horizontalHeader()->setHighlightSections(false);
    countsTable->horizontalHeader()->setStyleSheet(QStringLiteral(
        "QHeaderView::section { border: none; border-bottom: 1px solid palette(mid); padding: 0 2px; }"));
    for (int c = 0; c < 3; ++c)
        countsTable->setColumnWidth(c, ColumnWidths[c]);

    // The label above the list, the buttons beside both; the sizes follow
    // the texts (FormShow), so nothing hides behind the list.
    auto* left = new QVBoxLayout;
    left->addWidget(warningLabel);
    left->addWidget(bevel, 1);
    auto* right = new QVBoxLayout;
    right->addWidget(okButton);
    right->addWidget(cancelButton);
    right->addWidget(helpButton);
    right->addStretch();
    auto* outer = new QHBoxLayout(this);
    outer->setContentsMargins(8, 8, 8, 8);
    outer->setSpacing(12);
    outer->addLayout(left, 1);
    outer->addLayout(right);
    FormCreate();
}

void Tdlgreconcile::FormCreate()
{
    countsTable->setHorizontalHeaderLabels(
        {QStringLiteral("# On"), QStringLiteral("Id"), QStringLiteral("Player Name")});
    for (int c = 0; c < 3; ++c)
        countsTable->horizontalHeaderItem(c)->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    countsTable->horizontalHeader()->setFixedHeight(RowHeight + 4);
}

void Tdlgreconcile::setLines(const QVector<ReconcileLine>& lines)
{
    countsTable->setRowCount(int(lines.size()));
    for (int i = 0; i < lines.size(); ++i) {
        const ReconcileLine& line = lines[i];
        countsTable->setItem(i, 0, new QTableWidgetItem(QString::number(line.sessionsPlayed)));
        countsTable->setItem(i, 1, new QTableWidgetItem(QString::number(line.groupPlayerId)));
        countsTable->setItem(i, 2, new QTableWidgetItem(line.playerName));
    }
    countsTable->viewport()->update();
}

void Tdlgreconcile::setExpected(double expected)
{
    setWindowTitle(windowTitle() + QStringLiteral(" Players should play: ") + QString::number(expected, 'g', 15));
}

void Tdlgreconcile::showEvent(QShowEvent* event)
{
    FormShow();
    QDialog::showEvent(event);
}

void Tdlgreconcile::FormShow()
{
    if (reconcileMode == 1) {
        warningLabel->setText(ReconcileText);
        okButton->setText(QStringLiteral("Reconcile"));
    } else {
        warningLabel->setText(CannotReconcileText);
    }
    fitToTexts();
    if (const QScreen* s = screen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(s->availableGeometry().center());
        move(frame.topLeft());
    }
}

void Tdlgreconcile::fitToTexts()
{
    // Names as long as they come; the label as wide as the list, and as
    // high as its wrapped lines.
    int widestName = 0;
    for (int row = 0; row < countsTable->rowCount(); ++row)
        widestName =
            std::max(widestName, countsTable->fontMetrics().horizontalAdvance(countsTable->item(row, 2)->text()));
    const int nameWidth = std::max(ColumnWidths[2], widestName + 12);
    countsTable->setColumnWidth(2, nameWidth);
    const int listWidth = ColumnWidths[0] + ColumnWidths[1] + nameWidth + 2 * countsTable->frameWidth() +
                          countsTable->style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 4;
    const int shownRows = std::clamp(countsTable->rowCount(), 7, 12);
    bevel->setMinimumSize(listWidth, countsTable->horizontalHeader()->height() + shownRows * RowHeight + 8);
    const int labelWidth = std::max(298, listWidth);
    warningLabel->setFixedSize(labelWidth, warningLabel->heightForWidth(labelWidth));
    layout()->activate();
    setFixedSize(sizeHint().expandedTo(QSize(407, 217)));
}

void Tdlgreconcile::HelpBtnClick()
{
    if (Tdmglobal::exists())
        Tdmglobal::instance().showHelp(HelpContext::EvenDates);
}
