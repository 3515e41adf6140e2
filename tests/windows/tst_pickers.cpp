#include "windowsfixture.h"
#include "windows/courtpicker.h"
#include "windows/playerpicker.h"
#include "windows/teamplayersdialog.h"
#include "windows/fielddefs.h"
#include "windows/fieldmask.h"
#include <QComboBox>
#include <QDialogButtonBox>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>

class TestPickers : public QObject {
    Q_OBJECT
private slots:
    void maskTranslationAndStoredValues();
    void pickerLineIdAndCut();
    void playerPickerOffersEveryPlayer();
    void courtPickerAndCancel();
    void teamPickerReturnsKeysUnchecked();
    void emptyTablesGiveEmptyLists();
};

void TestPickers::maskTranslationAndStoredValues()
{
    const FieldMask phone = FieldMask::fromEditMask(RosterMasks::phone);
    const FieldMask state = FieldMask::fromEditMask(RosterMasks::state);
    const FieldMask zip = FieldMask::fromEditMask(RosterMasks::zipCode);
    // Every position optional for the line edit: completeness is ours to check.
    QCOMPARE(phone.qtInputMask(), QStringLiteral("(000)000-0000;_"));
    QCOMPARE(state.qtInputMask(), QStringLiteral(">aa;_"));
    QCOMPARE(zip.qtInputMask(), QStringLiteral("00000-0000;_"));

    QCOMPARE(phone.storedValue("(555)123-4567").toString(), QStringLiteral("(555)123-4567"));
    QCOMPARE(phone.storedValue("(___)123-4567").toString(), QStringLiteral("(   )123-4567"));
    // Seven digits typed from the start are a local number, not an area code.
    QCOMPARE(phone.storedValue("(123)456-7___").toString(), QStringLiteral("(   )123-4567"));
    QVERIFY(phone.isComplete(phone.storedValue("(123)456-7___")));
    // Eight or nine digits are not moved: they stay incomplete, to be finished.
    QCOMPARE(phone.storedValue("(555)123-45__").toString(), QStringLiteral("(555)123-45"));
    QVERIFY(!phone.isComplete(phone.storedValue("(555)123-45__")));
    QCOMPARE(phone.storedValue("(555)12_-____").toString(), QStringLiteral("(555)12 -"));
    // Trailing optional positions (the zip's last four) never shift digits.
    QCOMPARE(zip.storedValue("1234_-____").toString(), QStringLiteral("1234 -"));
    QVERIFY(!zip.isComplete(zip.storedValue("1234_-____")));
    QVERIFY(phone.storedValue("(___)___-____").isNull());
    QVERIFY(zip.storedValue("_____-____").isNull());
    QCOMPARE(zip.storedValue("12345-____").toString(), QStringLiteral("12345-"));
    QCOMPARE(state.storedValue("ny").toString(), QStringLiteral("NY"));

    QVERIFY(phone.isComplete(QStringLiteral("(   )123-4567")));
    QVERIFY(!phone.isComplete(QStringLiteral("(555)123-45")));
    QVERIFY(phone.isComplete(QVariant()));
    QVERIFY(zip.isComplete(QStringLiteral("12345-")));
    QVERIFY(zip.isComplete(QStringLiteral("12345")));
    QVERIFY(!zip.isComplete(QStringLiteral("1234")));
    QVERIFY(!state.isComplete(QStringLiteral("N")));
    QCOMPARE(phone.editText(QStringLiteral("(   )123-4567")), QStringLiteral("(___)123-4567"));
    QCOMPARE(phone.example(), QStringLiteral("(555)123-4567"));
}

void TestPickers::pickerLineIdAndCut()
{
    QCOMPARE(pickerLine(12, "John Smith", 51), QStringLiteral("12-John Smith"));
    const QString longName(80, QChar('x'));
    const QString line = pickerLine(123456, longName, 51);
    QCOMPARE(line.size(), 51);
    QVERIFY(line.startsWith("123456-x"));
    QCOMPARE(pickerLineId(line), 123456);
    QCOMPARE(pickerLineId("3-Court - North"), 3);
    QCOMPARE(pickerLineId("no id"), 0);
}

void TestPickers::playerPickerOffersEveryPlayer()
{
    WindowsFixture f;
    f.insert("INSERT INTO PLAYERS (FNAME, LNAME) VALUES ('John', 'Smith')");
    f.insert("INSERT INTO PLAYERS (FNAME, LNAME) VALUES ('Ann', 'Adams')");
    f.insert(QString("INSERT INTO PLAYERS (FNAME, LNAME) VALUES ('%1', '%2')").arg(QString(25, 'F'), QString(25, 'Z')));
    f.insert("INSERT INTO GRPPLAYR (GROUPID, PLAYERID) VALUES (1, 1)");   // already assigned
    {
        Tdlgplayers d;
        QCOMPARE(d.windowTitle(), QStringLiteral("All Players"));
        QCOMPARE(helpContextOf(&d), 52);
        QCOMPARE(d.list()->objectName(), QStringLiteral("SrcList"));
        const auto lines = d.lines();
        QCOMPARE(lines.size(), 3);
        QCOMPARE(lines[0].text, QStringLiteral("2-Ann Adams"));
        QCOMPARE(lines[1].text, QStringLiteral("1-John Smith"));
        QCOMPARE(lines[2].text.size(), 51);
        QVERIFY(lines[2].text.startsWith("3-FFF"));
        for (const auto& l : lines)
            QVERIFY(!l.checked);
        d.findChild<QPushButton*>("HelpBtn")->click();
        QCOMPARE(f.helpShown, QList<int>{52});
    }
    whenModal<Tdlgplayers>([](Tdlgplayers* d) {
        d->list()->item(0)->setCheckState(Qt::Checked);
        d->list()->item(2)->setCheckState(Qt::Checked);
        d->accept();
    });
    bool ok = false;
    QCOMPARE(Tdlgplayers::pick(nullptr, &ok), (QList<int>{2, 3}));
    QVERIFY(ok);
}

void TestPickers::courtPickerAndCancel()
{
    WindowsFixture f;
    f.insert("INSERT INTO COURTS (NAME) VALUES ('Centre Court')");
    f.insert("INSERT INTO COURTS (NAME) VALUES ('Annex')");
    f.insert("INSERT INTO COURTSLT (COURTID, GROUPID) VALUES (1, 1)");
    whenModal<Tdlgcourts>([](Tdlgcourts* d) {
        QCOMPARE(d->windowTitle(), QStringLiteral("All Courts"));
        QCOMPARE(helpContextOf(d), 50);
        QCOMPARE(d->list()->item(0)->text(), QStringLiteral("1-Centre Court"));   // key order
        QCOMPARE(d->list()->item(1)->text(), QStringLiteral("2-Annex"));
        QVERIFY(d->setChecked(1, true));
        d->reject();
    });
    bool ok = true;
    QVERIFY(Tdlgcourts::pick(nullptr, &ok).isEmpty());
    QVERIFY(!ok);
    whenModal<Tdlgcourts>([](Tdlgcourts* d) { d->accept(); });   // OK with nothing checked
    QVERIFY(Tdlgcourts::pick(nullptr, &ok).isEmpty());
    QVERIFY(ok);
}

void TestPickers::teamPickerReturnsKeysUnchecked()
{
    WindowsFixture f;
    f.insert("INSERT INTO PLAYERS (FNAME, LNAME) VALUES ('John', 'Smith')");
    f.insert("INSERT INTO PLAYERS (FNAME, LNAME) VALUES ('Ann', 'Adams')");
    {
        Tdlgteam d;
        QCOMPARE(d.windowTitle(), QStringLiteral("Team Players"));
        QCOMPARE(helpContextOf(&d), 48);
        QCOMPARE(d.playerOne()->objectName(), QStringLiteral("dblkplayer1"));
        QCOMPARE(d.playerOne()->currentIndex(), -1);
        QCOMPARE(d.playerTwo()->currentIndex(), -1);
        QCOMPARE(d.playerOne()->itemText(0), QStringLiteral("Ann Adams"));
        QVERIFY(d.player1Key().isNull());
    }
    whenModal<Tdlgteam>([](Tdlgteam* d) {
        d->playerOne()->setCurrentIndex(1);   // John Smith
        d->playerTwo()->setCurrentIndex(1);   // the same player is not refused
        d->accept();
    });
    auto team = Tdlgteam::pick(nullptr);
    QVERIFY(team.has_value());
    QCOMPARE(team->player1.toInt(), 1);
    QCOMPARE(team->player2.toInt(), 1);

    whenModal<Tdlgteam>([](Tdlgteam* d) {
        d->playerTwo()->setCurrentIndex(0);
        d->accept();
    });
    team = Tdlgteam::pick(nullptr);
    QVERIFY(team.has_value());
    QVERIFY(team->player1.isNull());
    QCOMPARE(team->player2.toInt(), 2);

    whenModal<Tdlgteam>([](Tdlgteam* d) { d->reject(); });
    QVERIFY(!Tdlgteam::pick(nullptr).has_value());
}

void TestPickers::emptyTablesGiveEmptyLists()
{
    WindowsFixture f;
    Tdlgplayers players;
    Tdlgcourts courts;
    Tdlgteam team;
    QCOMPARE(players.list()->count(), 0);
    QCOMPARE(courts.list()->count(), 0);
    QCOMPARE(team.playerOne()->count(), 0);
    QVERIFY(players.checkedIds().isEmpty());
}

QTEST_MAIN(TestPickers)
#include "tst_pickers.moc"
