#include "fairnesswindow.h"
#include "fairnessreport.h"
#include "data/helpcontexts.h"
#include "windows/fielddefs.h"
#include "windows/guard.h"
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {
// Lines kept on screen at most; longer texts scroll, so that they never
// squeeze the table.
constexpr int shownLines = 6;

QLabel* wrappedLabel(const QStringList& lines, QWidget* parent)
{
    auto* label = new QLabel(lines.join(QLatin1Char('\n')), parent);
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

// `label` in an area no taller than `shownLines` lines, scrolling the rest.
QScrollArea* bounded(QLabel* label, QWidget* parent)
{
    auto* area = new QScrollArea(parent);
    area->setWidget(label);
    area->setWidgetResizable(true);
    area->setFrameShape(QFrame::NoFrame);
    area->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    area->setMaximumHeight(label->fontMetrics().lineSpacing() * shownLines + 2 * area->frameWidth());
    area->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
    return area;
}
}   // namespace

TFairnessWindow::TFairnessWindow(Database& db, int groupId, QWidget* parent)
    : QDialog(parent), fairness(std::make_unique<TFairnessReport>())
{
    fairness->load(db, groupId);
    const Season& season = fairness->season();
    const FairnessFigures& f = fairness->figures();
    setWindowTitle(FairnessText::title(season));
    setObjectName(QStringLiteral("frmfairness"));
    setHelpContext(this, HelpContext::FairnessReport);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(wrappedLabel(FairnessText::summary(season, f), this));
    if (!f.warnings.isEmpty()) {
        QStringList lines;
        for (const QString& w : f.warnings)
            lines << QStringLiteral("- ") + w;
        QLabel* warnings = wrappedLabel(lines, this);
        warnings->setObjectName(QStringLiteral("lblwarnings"));
        layout->addWidget(bounded(warnings, this));
    }

    const QStringList headers = FairnessText::tableHeaders(season);
    const QVector<QStringList> rows = FairnessText::tableRows(f);
    grid = new QTableWidget(int(rows.size()), int(headers.size()), this);
    grid->setObjectName(QStringLiteral("dbgfairness"));
    grid->setHorizontalHeaderLabels(headers);
    grid->verticalHeader()->hide();
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    for (int r = 0; r < rows.size(); ++r)
        for (int c = 0; c < rows[r].size(); ++c) {
            auto* item = new QTableWidgetItem(rows[r][c]);
            item->setTextAlignment(c == 1 ? Qt::AlignLeft | Qt::AlignVCenter : Qt::AlignCenter);
            grid->setItem(r, c, item);
        }
    grid->resizeColumnsToContents();
    layout->addWidget(grid, 1);
    if (const QStringList pairs = FairnessText::pairLines(f); !pairs.isEmpty()) {
        QLabel* met = wrappedLabel(pairs, this);
        met->setObjectName(QStringLiteral("lblpairs"));
        layout->addWidget(bounded(met, this));
    }

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    QPushButton* print = buttons->addButton(QStringLiteral("&Print..."), QDialogButtonBox::ActionRole);
    print->setObjectName(QStringLiteral("btnprint"));
    connect(print, &QPushButton::clicked, this, [this] { guarded(this, [this] { printClicked(); }); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(900, 600);
}

TFairnessWindow::~TFairnessWindow() = default;

void TFairnessWindow::printClicked()
{
    fairness->print(this);
}
