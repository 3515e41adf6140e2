#include "fairnesswindow.h"
#include "fairnessreport.h"
#include "data/helpcontexts.h"
#include "windows/fielddefs.h"
#include "windows/guard.h"
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {
QLabel* wrappedLabel(const QStringList& lines, QWidget* parent)
{
    auto* label = new QLabel(lines.join(QLatin1Char('\n')), parent);
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
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
        layout->addWidget(warnings);
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
    if (const QStringList pairs = FairnessText::pairLines(f); !pairs.isEmpty())
        layout->addWidget(wrappedLabel(pairs, this));

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
