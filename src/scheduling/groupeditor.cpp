#include "groupeditor.h"
#include "data/settings.h"
#include "data/query.h"
#include "engine/grouprules.h"
#include "windows/datetyping.h"
#include "scheduleeditdialog.h"
#include "engine/engine.h"
#include "widgethost.h"
#include "windows/courtpicker.h"
#include "windows/playerpicker.h"
#include "windows/groupdaysoffdialog.h"
#include "windows/dbgrid.h"
#include "windows/teamplayersdialog.h"
#include "engine/runstate.h"
#include "engine/seasonnotifier.h"
#include "seasonwindow.h"
#include "data/database.h"
#include "data/dberror.h"
#include "data/datamodule.h"
#include "data/helpcontexts.h"
#include "data/tablemodel.h"
#include "windows/fielddefs.h"
#include "windows/guard.h"
#include "windows/savechanges.h"
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMdiSubWindow>
#include <QPointer>
#include <QMessageBox>
#include <QTimer>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QTableView>
#include <QTextEdit>
#include <QTimeEdit>
#include <QVBoxLayout>
#include <cmath>

namespace {
const char* const dayFields[7] = {"SUNDAY", "MONDAY", "TUESDAY", "WEDNESDAY", "THURSDAY", "FRIDAY", "SATURDAY"};
// Alt+W, Alt+H, Alt+F and Alt+A belong to the frame's menus, which stay
// in the same window: no control here takes them.
const char* const dayCaptions[7] = {"&Sunday",   "&Monday", "&Tuesday", "W&ednesday",
                                    "Th&ursday", "Fr&iday", "Satur&day"};

bool editing(const Table& t)
{
    return t.state() == Table::State::Edit || t.state() == Table::State::Insert;
}

// Parses "$1,250", "€25" or "25" into a currency value; empty text is no fee.
QVariant parseFee(const QString& text)
{
    QString digits = text;
    digits.remove(currencySign()).remove('$').remove(',').remove(' ');
    bool ok = false;
    const double fee = digits.toDouble(&ok);
    return ok ? QVariant(fee) : QVariant();
}

QVariant parseNumber(const QString& text)
{
    bool ok = false;
    const int n = text.toInt(&ok);
    return ok ? QVariant(n) : QVariant();
}

// Takes what the user may type into a number field, and always what it
// shows: a stored value longer or more negative than the field allows stays
// whole and can be edited down, never cut.
class NumberValidator : public QValidator {
public:
    NumberValidator(int digits, bool money, QObject* parent)
        : QValidator(parent), typedDigits(digits), money(money), room(digits)
    {
    }
    // Widens the field for the text shown, as loaded from the record.
    void fitTo(const QString& shown)
    {
        int digits = 0;
        for (QChar c : integerPart(shown))
            digits += c.isDigit() ? 1 : 0;
        room = std::max(typedDigits, digits);
        negative = shown.startsWith('-');
    }
    State validate(QString& input, int&) const override
    {
        QString t = input;
        if (money && t.startsWith('$'))
            t.remove(0, 1);
        if (negative && t.startsWith('-'))
            t.remove(0, 1);
        const int point = t.indexOf('.');
        if (point >= 0) {
            const QString cents = t.mid(point + 1);
            if (!money || cents.size() > 2 || !allDigits(cents))
                return Invalid;
            t.truncate(point);
        }
        if (money)
            t.remove(',');
        return allDigits(t) && t.size() <= room ? Acceptable : Invalid;
    }

private:
    static QString integerPart(const QString& s) { return s.section('.', 0, 0); }
    static bool allDigits(const QString& s)
    {
        return std::all_of(s.begin(), s.end(), [](QChar c) { return c.isDigit(); });
    }
    int typedDigits;
    bool money;
    int room;
    bool negative = false;
};

void showNumber(QLineEdit* edit, const QString& text)
{
    if (auto* v = dynamic_cast<NumberValidator*>(const_cast<QValidator*>(edit->validator())))
        v->fitTo(text);
    edit->setText(text);
}

// Keeps a grid from taking input while a run works on its table: a row
// typed into meanwhile would be posted with the counts it held before the
// run, over the ones the run wrote.
class InputHeld {
public:
    explicit InputHeld(QWidget* w) : widget(w), wasEnabled(w->isEnabled()) { w->setEnabled(false); }
    ~InputHeld()
    {
        if (widget)
            widget->setEnabled(wasEnabled);
    }
    InputHeld(const InputHeld&) = delete;
    InputHeld& operator=(const InputHeld&) = delete;

private:
    QPointer<QWidget> widget;
    bool wasEnabled;
};

}   // namespace

// ------------------------------------------------------------------ creation

Tfrmgroup::Tfrmgroup(RecordKind recordKind, QWidget* parent)
    : QWidget(parent), kindOfRecord(recordKind), ds(Tdmglobal::instance().database())
{
    setObjectName("frmgroup");
    setWindowTitle(recordKind == RecordKind::Group ? QStringLiteral("New Group") : QStringLiteral("New League"));
    createControls();
    orderTabs();
    wireDatasets();
    wireFieldHints();
    ds.open();
    // A season window changed this record's schedule: "Days On" follows.
    connect(&SeasonNotifier::instance(), &SeasonNotifier::scheduleChanged, this, [this](int groupId) {
        if (groupId == ds.groupId() && ds.tbplayers.state() == Table::State::Browse)
            guarded(this, [this] { ds.tbplayers.refresh(); });
    });
}

Tfrmgroup::~Tfrmgroup() = default;

QWidget* Tfrmgroup::openFromList(RecordKind listKind, int groupId, const QString& caption, int helpContext,
                                 const std::function<void(QWidget*)>& addToFrame)
{
    auto* editor = new Tfrmgroup(listKind);
    editor->setWindowTitle(caption);
    if (helpContext != 0)
        setHelpContext(editor, helpContext);
    if (addToFrame)
        addToFrame(editor);
    if (groupId == 0) {
        editor->newRecord();
        return editor;
    }
    return editor->openRecord(groupId) ? editor : nullptr;
}

void Tfrmgroup::createControls()
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->setSpacing(6);
    // On a wide screen the record's fields keep the width they have at
    // 1024 pixels instead of spreading out; the grids take the whole width.
    QWidget* record = createRecordPanel();
    record->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    record->setMaximumWidth(130 * fontMetrics().averageCharWidth());
    layout->addWidget(record, 0, Qt::AlignLeft);
    layout->addWidget(createCourtsPanel(), 1);
    layout->addWidget(createEntriesPanel(), 3);
}

QWidget* Tfrmgroup::createRecordPanel()
{
    auto* panel = new QWidget(this);
    auto* grid = new QGridLayout(panel);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(8);

    auto label = [panel](const char* name, const QString& text) {
        auto* l = new QLabel(text, panel);
        l->setObjectName(QString::fromLatin1(name));
        return l;
    };
    auto edit = [panel](const char* name, int maxLength, const QString& hint, int help) {
        auto* e = new QLineEdit(panel);
        e->setObjectName(QString::fromLatin1(name));
        if (maxLength > 0)
            e->setMaxLength(maxLength);
        e->setToolTip(hint);
        setHelpContext(e, help);
        return e;
    };

    nameLabel = label("lblname", QStringLiteral("Name:"));
    nameEdit = edit("dbname", 50, QString(), HelpContext::GroupName);
    durationLabel = label("lblduration", QStringLiteral("Number of Weeks:"));
    // The number fields limit what is typed by their validators, not by a
    // length that would cut a longer stored value.
    durationEdit = edit("DBDURATION", 0, QStringLiteral("The number of weeks of play"), HelpContext::Duration);
    durationEdit->setValidator(new NumberValidator(GroupRules::DurationDigits, false, durationEdit));
    playersPerSessionLabel = label("lbldaysoff", QStringLiteral("Players per session:"));
    playersPerSessionEdit = edit("dbedplayers", 0, QStringLiteral("The number of players which play during a session"),
                                 HelpContext::PlayersPerSession);
    playersPerSessionEdit->setValidator(new NumberValidator(GroupRules::PlayersDigits, false, playersPerSessionEdit));
    feeLabel = label("Label5", QStringLiteral("Fee:"));
    feeEdit = edit("dbedfee", 0, QStringLiteral("Enter the entry fee."), HelpContext::Fee);
    feeEdit->setValidator(new NumberValidator(GroupRules::FeeDigits, true, feeEdit));

    matchTypeBox = new QGroupBox(QStringLiteral("Match Type"), panel);
    matchTypeBox->setObjectName("dbrgpairing");
    matchTypeBox->setToolTip(QStringLiteral("Select the match type."));
    auto* pairingRow = new QHBoxLayout(matchTypeBox);
    for (int i = 0; i < 3; ++i) {
        auto* b = new QRadioButton(matchTypeBox);
        b->setObjectName(QStringLiteral("dbrgpairing%1").arg(i));
        b->setAutoExclusive(false);   // a league may show no choice at all
        pairingRow->addWidget(b);
        pairingButtons << b;
        connect(b, &QRadioButton::clicked, this, [this, i] { guarded(this, [&] { matchTypeClicked(i); }); });
    }

    playDaysBox = new QGroupBox(QStringLiteral("Days to play on:"), panel);
    playDaysBox->setObjectName("gbdow");
    playDaysBox->setToolTip(QStringLiteral("Select the day(s) or week to play."));
    setHelpContext(playDaysBox, HelpContext::DaysToPlayOn);
    auto* days = new QGridLayout(playDaysBox);
    for (int d = 0; d < 7; ++d) {
        auto* box = new QCheckBox(QString::fromLatin1(dayCaptions[d]), playDaysBox);
        box->setObjectName(QStringLiteral("dbchk%1").arg(QString::fromLatin1(dayFields[d]).toLower()));
        days->addWidget(box, d % 4, d / 4);
        dayBoxes << box;
        connect(box, &QCheckBox::toggled, this, [this, d](bool on) {
            if (loading)
                return;
            guarded(this, [&] {
                setField(QString::fromLatin1(dayFields[d]), on);
                moveStartToFirstPlayDay();
            });
        });
    }

    startDateLabel = label("lblstartdate", QStringLiteral("Start On:"));
    startDatePicker = new QDateEdit(panel);
    startDatePicker->setObjectName("DPStartDate");
    startDatePicker->setCalendarPopup(true);
    setUpPicker(startDatePicker);
    startDatePicker->setToolTip(QStringLiteral("Select the start date"));
    setHelpContext(startDatePicker, HelpContext::StartDate);
    startTimeLabel = label("Label2", QStringLiteral("Start Time:"));
    startTimeEdit = new QTimeEdit(panel);
    startTimeEdit->setObjectName("dpstime");
    startTimeEdit->setDisplayFormat(QStringLiteral("h:mm AP"));
    setUpPicker(startTimeEdit);
    startTimeEdit->setToolTip(QStringLiteral("Enter the time you start play each session."));
    setHelpContext(startTimeEdit, HelpContext::StartAndEndTime);
    endTimeLabel = label("Label3", QStringLiteral("End Time:"));
    endTimeEdit = new QTimeEdit(panel);
    endTimeEdit->setObjectName("dpetime");
    endTimeEdit->setDisplayFormat(QStringLiteral("h:mm AP"));
    setUpPicker(endTimeEdit);
    endTimeEdit->setToolTip(QStringLiteral("Enter the time of day you stop play each session"));
    setHelpContext(endTimeEdit, HelpContext::StartAndEndTime);

    notesLabel = label("lblnotes", QStringLiteral("Notes:"));
    notesEdit = new QTextEdit(panel);
    notesEdit->setObjectName("dbmnotes");
    notesEdit->setAcceptRichText(false);
    notesEdit->setTabChangesFocus(true);   // Tab moves on, as in every other field
    notesEdit->setToolTip(QStringLiteral("Enter additional instructions / information"));
    notesEdit->setMaximumHeight(notesEdit->fontMetrics().height() * 4 + 12);

    // Name and match type beside the weekdays; then length and start; then
    // players, times and fee; then the notes.
    auto* nameBox = new QGridLayout;
    nameBox->addWidget(nameLabel, 0, 0);
    nameBox->addWidget(nameEdit, 0, 1);
    nameBox->addWidget(matchTypeBox, 1, 0, 1, 2);
    grid->addLayout(nameBox, 0, 0, 1, 4);
    grid->addWidget(playDaysBox, 0, 4, 2, 4);

    grid->addWidget(durationLabel, 2, 0);
    grid->addWidget(durationEdit, 2, 1);
    grid->addWidget(startDateLabel, 2, 2);
    grid->addWidget(startDatePicker, 2, 3);

    grid->addWidget(playersPerSessionLabel, 3, 0);
    grid->addWidget(playersPerSessionEdit, 3, 1);
    grid->addWidget(startTimeLabel, 3, 2);
    grid->addWidget(startTimeEdit, 3, 3);
    grid->addWidget(endTimeLabel, 3, 4);
    grid->addWidget(endTimeEdit, 3, 5);
    grid->addWidget(feeLabel, 3, 6);
    grid->addWidget(feeEdit, 3, 7);

    grid->addWidget(notesLabel, 4, 0, Qt::AlignTop);
    grid->addWidget(notesEdit, 4, 1, 1, 7);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    grid->setColumnStretch(5, 1);
    grid->setColumnStretch(7, 1);

    connect(nameEdit, &QLineEdit::textEdited, this, [this](const QString& t) {
        guarded(this, [&] { setField("NAME", t.isEmpty() ? QVariant() : QVariant(t)); });
    });
    connect(durationEdit, &QLineEdit::textEdited, this,
            [this](const QString& t) { guarded(this, [&] { setField("DURATION", parseNumber(t)); }); });
    connect(playersPerSessionEdit, &QLineEdit::textEdited, this,
            [this](const QString& t) { guarded(this, [&] { setField("NumPerSes", parseNumber(t)); }); });
    connect(feeEdit, &QLineEdit::textEdited, this,
            [this](const QString& t) { guarded(this, [&] { setField("FEE", parseFee(t)); }); });
    // The fee shows in its currency form as soon as the field is left.
    connect(feeEdit, &QLineEdit::editingFinished, this,
            [this] { showNumber(feeEdit, GroupRules::feeText(ds.tbgroup.value("FEE"))); });
    connect(notesEdit, &QTextEdit::textChanged, this, [this] {
        if (!loading) {
            const QString t = notesEdit->toPlainText();
            guarded(this, [&] { setField("NOTES", t.isEmpty() ? QVariant() : QVariant(t)); });
        }
    });
    for (QAbstractSpinBox* picker :
         {static_cast<QAbstractSpinBox*>(startDatePicker), static_cast<QAbstractSpinBox*>(startTimeEdit),
          static_cast<QAbstractSpinBox*>(endTimeEdit)})
        connect(static_cast<QDateTimeEdit*>(picker), &QDateTimeEdit::dateTimeChanged, this, [this, picker] {
            if (loading)
                return;
            if (picker == startDatePicker)
                startDateChosen = true;
            guarded(this, [this] { startEditing(); });
        });

    fieldControls = {nameEdit,      durationEdit, playersPerSessionEdit, startDatePicker, playDaysBox,
                     startTimeEdit, endTimeEdit,  matchTypeBox,          feeEdit,         notesEdit};
    return panel;
}

QWidget* Tfrmgroup::createCourtsPanel()
{
    auto* panel = new QWidget(this);
    auto* row = new QHBoxLayout(panel);
    row->setContentsMargins(0, 0, 0, 0);
    courtsLabel = new QLabel(QStringLiteral("Courts:"), panel);
    courtsLabel->setObjectName("Label4");

    courtsView = new DbGrid(panel);
    courtsView->setObjectName("dbgdcourts");
    courtsView->setTable(ds.tbcourtslt, {gridColumn("Name", QStringLiteral("Name"), true)});
    courtsView->setEditable(false);
    courtsView->horizontalHeader()->setStretchLastSection(true);

    assignCourtsButton = new QPushButton(QStringLiteral("Assi&gn"), panel);
    assignCourtsButton->setObjectName("bbtnaddcourts");
    assignCourtsButton->setToolTip(QStringLiteral("Assign courts"));
    setHelpContext(assignCourtsButton, HelpContext::AssignCourts);
    removeCourtButton = new QPushButton(QStringLiteral("Remo&ve"), panel);
    removeCourtButton->setObjectName("bbtnremovecourt");
    removeCourtButton->setToolTip(QStringLiteral("Remove assigned court(s)"));
    setHelpContext(removeCourtButton, HelpContext::RemoveCourt);
    connect(assignCourtsButton, &QPushButton::clicked, this,
            [this] { guarded(this, [this] { assignCourtsClicked(); }); });
    connect(removeCourtButton, &QPushButton::clicked, this, [this] { guarded(this, [this] { removeCourt(); }); });

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(assignCourtsButton);
    buttons->addWidget(removeCourtButton);
    buttons->addStretch();
    row->addWidget(courtsLabel, 0, Qt::AlignTop);
    row->addWidget(courtsView, 1);
    row->addLayout(buttons);
    return panel;
}

QWidget* Tfrmgroup::createEntriesPanel()
{
    auto* panel = new QWidget(this);
    auto* row = new QHBoxLayout(panel);
    row->setContentsMargins(0, 0, 0, 0);
    entriesLabel = new QLabel(QStringLiteral("Players:"), panel);
    entriesLabel->setObjectName("lblplayers");

    entriesView = new DbGrid(panel);
    entriesView->setObjectName("dbgdplayers");
    entriesView->setTable(
        ds.tbplayers,
        {gridColumn("SLOTCODE", QStringLiteral("Entry #:"), true), gridColumn("FullName", QStringLiteral("Name"), true),
         gridColumn("SESPLAYED", QStringLiteral("Days On"), true), gridColumn("LWIN", QStringLiteral("Win")),
         gridColumn("LLOSSES", QStringLiteral("Loss")), gridColumn("LRANKING", QStringLiteral("Rank"))});
    // What the user cannot edit sits on the button face.
    entriesView->setReadOnlyColumnsShaded(true);
    // Entries come from the Assign button only, never from a typed row.
    entriesView->setRowsAppendable(false);
    // The other columns fit their titles; names get room.
    entriesView->setColumnWidth(1, 40 * entriesView->fontMetrics().averageCharWidth());

    assignPlayersButton = new QPushButton(QStringLiteral("Assig&n"), panel);
    assignPlayersButton->setObjectName("bbtnPlayerAdd");
    assignPlayersButton->setToolTip(QStringLiteral("Assign player or team entries"));
    setHelpContext(assignPlayersButton, HelpContext::AssignPlayers);
    removeEntryButton = new QPushButton(QStringLiteral("Rem&ove"), panel);
    removeEntryButton->setObjectName("btnplayerremove");
    removeEntryButton->setToolTip(QStringLiteral("Remove assigned player/team entries"));
    setHelpContext(removeEntryButton, HelpContext::RemoveEntry);
    bringBallsCheck = new QCheckBox(QStringLiteral("Turn on &Bring Balls"), panel);
    bringBallsCheck->setObjectName("dbchkbxbbon");
    connect(assignPlayersButton, &QPushButton::clicked, this,
            [this] { guarded(this, [this] { assignPlayersClicked(); }); });
    connect(removeEntryButton, &QPushButton::clicked, this, [this] { guarded(this, [this] { removeEntry(); }); });
    connect(bringBallsCheck, &QCheckBox::toggled, this, [this](bool on) {
        if (!loading)
            guarded(this, [&] { setField("BBON", on); });
    });
    mixPairsCheck = new QCheckBox(QStringLiteral("Mi&x partners and opponents"), panel);
    mixPairsCheck->setObjectName("dbchkbxmix");
    mixPairsCheck->setToolTip(QStringLiteral("Seat the players of each date so that those who have shared a "
                                             "court least come together"));
    connect(mixPairsCheck, &QCheckBox::toggled, this, [this](bool on) {
        if (!loading)
            guarded(this, [&] { setField("MIXPAIRS", on); });
    });

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(assignPlayersButton);
    buttons->addWidget(removeEntryButton);
    buttons->addStretch();
    buttons->addWidget(bringBallsCheck);
    buttons->addWidget(mixPairsCheck);
    row->addWidget(entriesLabel, 0, Qt::AlignTop);
    row->addWidget(entriesView, 1);
    row->addLayout(buttons);
    return panel;
}

// Tab walks the window as it reads: name, match type, days, then the rows
// of fields left to right, the notes, the courts and the entries.
void Tfrmgroup::orderTabs()
{
    QVector<QWidget*> chain{nameEdit};
    for (QRadioButton* b : pairingButtons)
        chain << b;
    for (QCheckBox* box : dayBoxes)
        chain << box;
    chain << durationEdit << startDatePicker << playersPerSessionEdit << startTimeEdit << endTimeEdit << feeEdit
          << notesEdit << courtsView << assignCourtsButton << removeCourtButton << entriesView << assignPlayersButton
          << removeEntryButton << bringBallsCheck << mixPairsCheck;
    for (int i = 1; i < chain.size(); ++i)
        QWidget::setTabOrder(chain[i - 1], chain[i]);
}

void Tfrmgroup::wireDatasets()
{
    Table& g = ds.tbgroup;
    g.beforePost = [this](Table&) {
        storePickers();
        requireName();
    };
    connect(&g, &Table::afterScroll, this, [this] { loadControls(); });
    connect(&g, &Table::afterCancel, this, [this] { loadControls(); });
    // Whatever posted the record (the user, or generation adjusting the
    // players per session) the fields show what is now stored.
    connect(&g, &Table::afterPost, this, [this] {
        touched = false;
        loadControls();
        showStoredTitle();
    });
    // Deleted in another Vantrel: once the refusal has been shown, the editor goes.
    connect(&g, &Table::rowVanished, this, [this] { QTimer::singleShot(0, this, [this] { closeWindow(); }); });
    // A detail row needs the record's GROUPID: a new record is stored first.
    ds.tbplayers.beforeInsert = [this](Table&) { storeNewRecordFirst(); };
    ds.tbcourtslt.beforeInsert = [this](Table&) { storeNewRecordFirst(); };
    for (Table* t : {&ds.tbgroup, &ds.tbplayers, &ds.tbcourtslt})
        connect(t, &Table::stateChanged, this, [t] { Tdmglobal::instance().datasetStateNames(*t); });
}

void Tfrmgroup::wireFieldHints()
{
    for (QWidget* control : fieldControls) {
        control->installEventFilter(this);
        for (QWidget* child : control->findChildren<QWidget*>())
            child->installEventFilter(this);
    }
}

bool Tfrmgroup::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) {
        // A dialog or menu taking the focus for a while is no move between
        // fields: the message shown ("Schedule completed.") stays.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason)
            return QWidget::eventFilter(watched, event);
        for (QWidget* control : fieldControls) {
            auto* w = qobject_cast<QWidget*>(watched);
            if (w && (w == control || control->isAncestorOf(w))) {
                if (event->type() == QEvent::FocusIn)
                    showControlHint(control);
                else
                    Tdmglobal::instance().statusMessage(QString());
                break;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

// ------------------------------------------------------------ record/kind

// The table being edited, else the record's: what the user is working on.
QString Tfrmgroup::datasetStateName() const
{
    for (const Table* t : {&ds.tbgroup, &ds.tbplayers, &ds.tbcourtslt})
        if (editing(*t))
            return stateName(t->state());
    return stateName(ds.tbgroup.state());
}

void Tfrmgroup::newRecord()
{
    ds.tbgroup.append();
    ds.tbgroup.setValue("RTYPE", storedValue(kindOfRecord));
    if (kindOfRecord == RecordKind::Group) {
        ds.tbgroup.setValue("TYPE", storedValue(MatchType::None));   // a new group shows "None"
        ds.tbgroup.setValue("MIXPAIRS", true);
    }
    touched = false;
    startDateChosen = false;
    loadControls();
    setUpForKind();
}

// A new record starts on the first day of play from today on, until the
// user picks a start date.
void Tfrmgroup::moveStartToFirstPlayDay()
{
    if (ds.tbgroup.state() != Table::State::Insert || startDateChosen)
        return;
    bool days[7];
    for (int d = 0; d < 7; ++d)
        days[d] = dayBoxes[d]->isChecked();
    const bool keep = loading;
    loading = true;
    startDatePicker->setDate(GroupRules::firstPlayDay(QDate::currentDate(), days));
    loading = keep;
}

bool Tfrmgroup::openRecord(int groupId)
{
    if (groupId <= 0 || !ds.tbgroup.findKey({groupId})) {
        QMessageBox::information(this, QStringLiteral("Vantrel"),
                                 QStringLiteral("This group or league no longer exists."));
        closeWindow();
        return false;
    }
    touched = false;
    loadControls();
    setUpForKind();
    // Shown in full but not usable as it is: the user hears of it now, not
    // from a schedule of 32,768 weeks.
    if (const QString problem = GroupRules::storedValueProblem(ds.tbgroup); !problem.isEmpty())
        QMessageBox::warning(this, QStringLiteral("Vantrel"), problem);
    return true;
}

void Tfrmgroup::setUpForKind()
{
    static const QStringList groupChoices = {QStringLiteral("None"), QStringLiteral("Singles"),
                                             QStringLiteral("Doubles")};
    static const QStringList leagueChoices = {QStringLiteral("Singles"), QStringLiteral("Doubles")};
    const bool group = ds.recordKind() == RecordKind::Group;
    durationLabel->setText(group ? QStringLiteral("Number of Weeks:") : QStringLiteral("Number of Rounds:"));
    mixPairsCheck->setVisible(group);   // a league's pairings come from its rounds
    matchTypeBox->setTitle(QStringLiteral("Match Type"));
    const QStringList& choices = group ? groupChoices : leagueChoices;
    pairingValues = group ? QVector<int>{0, 1, 2} : QVector<int>{1, 2};
    for (int i = 0; i < pairingButtons.size(); ++i) {
        pairingButtons[i]->setVisible(i < choices.size());
        pairingButtons[i]->setText(i < choices.size() ? choices[i] : QString());
    }
    selectMatchType();

    applyFieldDefs(this, group ? QStringLiteral("groups") : QStringLiteral("leagues"));
    showControlHint(nameEdit);
}

void Tfrmgroup::selectMatchType()
{
    const QVariant type = ds.tbgroup.value("TYPE");
    const int selected = type.isNull() ? -1 : int(pairingValues.indexOf(type.toInt()));
    for (int i = 0; i < pairingButtons.size(); ++i)
        pairingButtons[i]->setChecked(i == selected);
}

void Tfrmgroup::matchTypeClicked(int index)
{
    if (index < 0 || index >= pairingValues.size())
        return;
    setField("TYPE", pairingValues[index]);
    selectMatchType();
    // Team names follow the match type.
    ds.tbplayers.refresh();
}

void Tfrmgroup::loadControls()
{
    const Table& g = ds.tbgroup;
    const bool keep = loading;
    loading = true;
    nameEdit->setText(g.asString("NAME"));
    showNumber(durationEdit, g.isNull("DURATION") ? QString() : QString::number(g.asInt("DURATION")));
    showNumber(playersPerSessionEdit, g.isNull("NumPerSes") ? QString() : QString::number(g.asInt("NumPerSes")));
    showNumber(feeEdit, GroupRules::feeText(g.value("FEE")));
    for (int d = 0; d < 7; ++d)
        dayBoxes[d]->setChecked(g.asBool(QString::fromLatin1(dayFields[d])));
    if (notesEdit->toPlainText() != g.asString("NOTES"))
        notesEdit->setPlainText(g.asString("NOTES"));
    bringBallsCheck->setChecked(g.asBool("BBON"));
    mixPairsCheck->setChecked(g.asBool("MIXPAIRS"));
    // A record without a start date (a new one) starts today.
    startDatePicker->setDate(g.isNull("STARTDATE") ? QDate::currentDate() : g.asDate("STARTDATE"));
    startTimeEdit->setTime(g.isNull("STIME") ? QTime(0, 0) : g.asTime("STIME"));
    endTimeEdit->setTime(g.isNull("ETIME") ? QTime(0, 0) : g.asTime("ETIME"));
    if (!pairingValues.isEmpty())
        selectMatchType();
    loading = keep;
}

// The engine's "Field 'NAME' must have a value" in the window's own words.
void Tfrmgroup::requireName()
{
    if (!ds.tbgroup.asString("NAME").trimmed().isEmpty())
        return;
    QString field = nameLabel->text();
    field.remove(QLatin1Char('&'));
    if (field.endsWith(QLatin1Char(':')))
        field.chop(1);
    nameEdit->setFocus();
    throw DbError(QStringLiteral("Enter the %1's %2.").arg(kindWord(), field.trimmed()));
}

QString Tfrmgroup::kindWord() const
{
    return kindOfRecord == RecordKind::Group ? QStringLiteral("group") : QStringLiteral("league");
}

// Once stored, the record is named in the title bar and the Window menu as
// the lists name it.
void Tfrmgroup::showStoredTitle()
{
    if (ds.groupId() <= 0)
        return;
    setWindowTitle((kindOfRecord == RecordKind::Group ? QStringLiteral("Group: ") : QStringLiteral("League: ")) +
                   ds.tbgroup.asString("NAME"));
}

void Tfrmgroup::storePickers()
{
    Table& g = ds.tbgroup;
    g.setValue("STARTDATE", startDatePicker->date());
    g.setValue("STIME", startTimeEdit->time());
    g.setValue("ETIME", endTimeEdit->time());
}

void Tfrmgroup::startEditing()
{
    if (!editing(ds.tbgroup))
        ds.tbgroup.edit();
    touched = true;
}

void Tfrmgroup::setField(const QString& field, const QVariant& value)
{
    if (loading)
        return;
    startEditing();
    ds.tbgroup.setValue(field, value);
}

// ----------------------------------------------------------------- commands

void Tfrmgroup::save()
{
    // A Win, Loss or Rank still being typed is part of what is saved.
    entriesView->commitEditor();
    ds.savePending();
}

void Tfrmgroup::commandSave()
{
    if (busyWithRun())
        return;
    save();
}

void Tfrmgroup::commandAddNew()
{
    if (busyWithRun())
        return;
    if (ds.tbgroup.state() == Table::State::Insert && !touched)
        ds.tbgroup.cancel();
    else
        save();
    setWindowTitle(kindOfRecord == RecordKind::Group ? QStringLiteral("New Group") : QStringLiteral("New League"));
    setHelpContext(this, kindOfRecord == RecordKind::Group ? HelpContext::SettingUpAGroup : HelpContext::NewLeague);
    newRecord();
}

void Tfrmgroup::commandCancel()
{
    const bool wasNew = ds.tbgroup.state() == Table::State::Insert;
    entriesView->discardEditor();
    ds.tbgroup.cancel();
    ds.tbplayers.cancel();
    runState().stopRequest = true;
    // A discarded new record would leave the window on some other group's
    // row; it starts over on a blank one instead.
    if (wasNew)
        newRecord();
}

void Tfrmgroup::commandDelete()
{
    if (busyWithRun())
        return;
    if (!confirmDelete())
        return;
    if (focusWidget() == entriesView || entriesView->isAncestorOf(focusWidget())) {
        entriesView->discardEditor();
        allOrNothing([this] { deleteCurrentEntry(); });
        return;
    }
    deleteWholeRecord();
}

bool Tfrmgroup::confirmDelete()
{
    return QMessageBox::question(this, QStringLiteral("Confirm"),
                                 QStringLiteral("Deletions can not be reversed.  Are you sure you want to continue?"),
                                 QMessageBox::Yes | QMessageBox::No, QMessageBox::No) == QMessageBox::Yes;
}

// While a generation yields to the event loop only Cancel may act on it.
bool Tfrmgroup::busyWithRun()
{
    if (!runState().running)
        return false;
    Tdmglobal::instance().beep();
    return true;
}

void Tfrmgroup::commandSchedule()
{
    if (busyWithRun())
        return;
    entriesView->commitEditor();
    bool printWanted = false;
    {
        // The grids repaint once, with the new "Days On", when the run ends.
        UpdatesSuspended entriesHeld(entriesView);
        UpdatesSuspended courtsHeld(courtsView);
        InputHeld entriesLocked(entriesView);
        InputHeld courtsLocked(courtsView);
        // The run reads the group from the file: what is typed goes there first.
        ds.savePending();
        WidgetScheduleHost host(this);
        ScheduleEngine engine(ds.tbgroup.database(), ds.groupId(), host, Tdmglobal::instance().random());
        engine.GenerateSchedule();
        printWanted = engine.printRequested();
    }
    // Players per session, Days On and the weights as the run left them.
    if (ds.tbgroup.isActive())
        ds.tbgroup.refresh();
    loadControls();
    emit SeasonNotifier::instance().scheduleChanged(ds.groupId());
    // The printed schedule starts after the run, once the grids show the
    // new counts behind the report's dialogs.
    if (printWanted)
        Tdmglobal::instance().printSchedule(ds.groupId());
}

void Tfrmgroup::commandPrint()
{
    if (busyWithRun())
        return;
    Tdmglobal::instance().printSchedule(ds.groupId());
}

void Tfrmgroup::commandTimeOff()
{
    if (busyWithRun() || !ensureStored())
        return;
    Tdlggroupoff::execFor(this, ds.groupId());
}

void Tfrmgroup::commandSeason()
{
    if (busyWithRun() || !ensureStored())
        return;
    save();
    Tfrmseason::open(ds.groupId());
}

void Tfrmgroup::commandEditSchedule()
{
    if (busyWithRun() || !ensureStored())
        return;
    Tdlgschedule dialog(this);
    dialog.setGroup(ds.groupId(), ds.matchType());
    dialog.exec();
}

// A new record has no GROUPID until it is stored; the dialogs need one.
bool Tfrmgroup::ensureStored()
{
    if (ds.tbgroup.state() == Table::State::Insert)
        ds.tbgroup.post();
    return ds.groupId() > 0;
}

void Tfrmgroup::storeNewRecordFirst()
{
    if (ds.tbgroup.state() == Table::State::Insert)
        ds.tbgroup.post();
}

// -------------------------------------------------------------- assignments

void Tfrmgroup::assignPlayersClicked()
{
    if (busyWithRun())
        return;
    if (isDoublesLeague(ds.recordKind(), ds.matchType()))
        chooseTeam();
    else
        choosePlayers();
}

void Tfrmgroup::chooseTeam()
{
    if (const auto team = Tdlgteam::pick(this))
        addTeamEntry(team->player1.isNull() ? 0 : team->player1.toInt(),
                     team->player2.isNull() ? 0 : team->player2.toInt());
}

void Tfrmgroup::choosePlayers()
{
    bool accepted = false;
    const QList<int> ids = Tdlgplayers::pick(this, &accepted);
    if (accepted)
        addPlayerEntries(ids);
}

void Tfrmgroup::assignCourtsClicked()
{
    if (busyWithRun())
        return;
    bool accepted = false;
    const QList<int> ids = Tdlgcourts::pick(this, &accepted);
    if (accepted)
        addCourts(ids);
}

void Tfrmgroup::appendEntry(const QVariant& playerId, const QVariant& partnerId)
{
    Table& e = ds.tbplayers;
    e.append();
    e.setValue("PLAYERID", playerId);
    if (partnerId.isValid())
        e.setValue("SHARESLOTID", partnerId);
    e.post();
    e.edit();
    e.setValue("GRPSEQNUM", e.recNo());
    e.post();
}

void Tfrmgroup::addPlayerEntries(const QList<int>& playerIds)
{
    for (int id : playerIds)
        appendEntry(id, QVariant());
}

void Tfrmgroup::addTeamEntry(int playerOne, int playerTwo)
{
    // A team needs two players; one missing or twice could never be placed.
    if (playerOne <= 0 || playerTwo <= 0 || playerOne == playerTwo) {
        QMessageBox::warning(this, QStringLiteral("Vantrel"),
                             QStringLiteral("Choose two different players for the team."));
        return;
    }
    appendEntry(playerOne, playerTwo);
}

void Tfrmgroup::addCourts(const QList<int>& courtIds)
{
    Table& c = ds.tbcourtslt;
    for (int id : courtIds) {
        c.append();
        c.setValue("COURTID", id);
        c.post();
    }
}

void Tfrmgroup::removeEntry()
{
    if (busyWithRun())
        return;
    entriesView->discardEditor();
    allOrNothing([this] {
        deleteCurrentEntry();
        renumberEntries();
    });
}

void Tfrmgroup::removeCourt()
{
    if (busyWithRun())
        return;
    ds.tbcourtslt.remove();
}

void Tfrmgroup::deleteCurrentEntry()
{
    Table& e = ds.tbplayers;
    if (e.state() == Table::State::Insert)
        e.cancel();
    if (e.isEmpty()) {
        // The list is empty because the group itself went with another
        // Vantrel's delete: say that, not that the list is empty.
        Query q(ds.tbgroup.database(), "SELECT COUNT(*) FROM \"group.DB\" WHERE GROUPID = :id");
        q.setInteger("id", ds.groupId());
        q.open();
        throw DbError(q.value(0).toInt() == 0
                          ? QStringLiteral("This group or league no longer exists. It was deleted in another "
                                           "Vantrel window; your change was not saved.")
                          : QStringLiteral("Cannot perform this operation on an empty dataset"));
    }
    Tdmglobal& dm = Tdmglobal::instance();
    {
        BusyCursor busy;
        dm.statusMessage(QStringLiteral("Deleting players schedule records."));
        dm.deleteEntrySchedule(e.asInt("GROUPPLAYERID"));
        e.remove();
    }
    dm.statusMessage(QStringLiteral("Player has been deleted."));
}

void Tfrmgroup::renumberEntries()
{
    Table& e = ds.tbplayers;
    e.first();
    const int count = e.recordCount();
    for (int i = 0; i < count; ++i) {
        e.edit();
        e.setValue("GRPSEQNUM", e.recNo());
        e.post();
        e.next();
    }
}

void Tfrmgroup::deleteWholeRecord()
{
    Table& g = ds.tbgroup;
    if (g.state() == Table::State::Insert) {
        // Never stored: nothing of it exists in any table.
        g.cancel();
        touched = false;
        closeWindow();
        return;
    }
    if (g.state() == Table::State::Edit)
        g.cancel();
    const int groupId = ds.groupId();
    const QString name = g.asString("NAME");
    if (ds.tbplayers.state() == Table::State::Insert)
        ds.tbplayers.cancel();
    allOrNothing([&] {
        ds.tbplayers.first();
        while (!ds.tbplayers.isEmpty())
            deleteCurrentEntry();
        Tdmglobal::instance().deleteGroupDaysOff(groupId);
        ds.tbcourtslt.first();
        while (!ds.tbcourtslt.isEmpty())
            ds.tbcourtslt.remove();
        g.remove();
    });
    // The record is gone; leaving the window on a neighbouring row would put
    // the user's next edits on a record of someone else's choosing.
    touched = false;
    closeWindow();
    // Said once the window is gone, so that its fields losing the focus do
    // not clear it.
    Tdmglobal::instance().statusMessage(
        QStringLiteral("%1 \"%2\" has been deleted.")
            .arg(kindOfRecord == RecordKind::Group ? QStringLiteral("Group") : QStringLiteral("League"), name));
}

void Tfrmgroup::allOrNothing(const std::function<void()>& work)
{
    try {
        Tdmglobal::instance().database().runInTransaction(work);
    } catch (...) {
        // The rows were rolled back: read them again so the grids show what
        // is stored, not what was removed before the failure.
        for (Table* t : {&ds.tbplayers, &ds.tbcourtslt, &ds.tbgroup}) {
            if (t != &ds.tbgroup && editing(*t))
                t->cancel();
            if (t->isActive() && !editing(*t))
                t->refresh();
        }
        throw;
    }
}

// ---------------------------------------------------------------- closing

void Tfrmgroup::closeWindow()
{
    auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget());
    if (sub)
        sub->close();
    else
        close();
}

void Tfrmgroup::closeEvent(QCloseEvent* event)
{
    // A run still uses the datasets: the window closes once it has ended.
    if (!requestCloseDuringRun([self = QPointer<Tfrmgroup>(this)] {
            if (self)
                self->closeWindow();
        })) {
        event->ignore();
        return;
    }
    // An untouched new record was never the user's: it is dropped, not stored.
    if (ds.tbgroup.state() == Table::State::Insert && !touched)
        ds.tbgroup.cancel();
    if (hasUnsavedChanges()) {
        switch (askToSave(this, recordName())) {
        case UnsavedChoice::Cancel: event->ignore(); return;
        case UnsavedChoice::Discard: guarded(this, [this] { discardChanges(); }); break;
        case UnsavedChoice::Save:
            if (!guarded(this, [this] { save(); })) {
                event->ignore();   // what could not be stored stays on screen, and the user was told why
                return;
            }
            break;
        }
    }
    event->accept();
}

bool Tfrmgroup::hasUnsavedChanges() const
{
    if (ds.tbgroup.state() == Table::State::Insert)
        return touched;
    return editing(ds.tbgroup) || editing(ds.tbplayers) || editing(ds.tbcourtslt) || entriesView->hasUnsavedRow();
}

void Tfrmgroup::discardChanges()
{
    entriesView->discardEditor();
    for (Table* t : {&ds.tbplayers, &ds.tbcourtslt, &ds.tbgroup})
        if (editing(*t))
            t->cancel();
    touched = false;
}

// "Tue/Thu Doubles", or "the new group" before it has a name.
QString Tfrmgroup::recordName() const
{
    const QString name = nameEdit->text().trimmed();
    if (!name.isEmpty())
        return name;
    return (ds.tbgroup.state() == Table::State::Insert ? QStringLiteral("the new ") : QStringLiteral("this ")) +
           kindWord();
}
