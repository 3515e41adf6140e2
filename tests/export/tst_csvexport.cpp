#include "exportfixture.h"
#include "export/csvexport.h"
#include "export/exports.h"
#include "export/savefile.h"
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QXmlStreamReader>
#include <QtTest>

namespace {

// The file as Python's csv module reads it, record by record.
QVector<QStringList> readWithPython(const QString& file)
{
    QProcess python;
    python.start("python3", {"-c",
                             "import csv, json, sys\n"
                             "with open(sys.argv[1], encoding='utf-8-sig', newline='') as f:\n"
                             "    json.dump(list(csv.reader(f)), sys.stdout)",
                             file});
    if (!python.waitForFinished() || python.exitCode() != 0)
        qFatal("python3 could not read %s", qPrintable(file));
    QVector<QStringList> records;
    for (const QJsonValue& r : QJsonDocument::fromJson(python.readAllStandardOutput()).array())
        records << r.toVariant().toStringList();
    return records;
}

// The file as a spreadsheet takes it: "row,column" -> the cell's kind
// ("text", "number" or "formula") and value, through Gnumeric's converter.
QMap<QString, QString> readWithGnumeric(const QString& file)
{
    const QString xml = file + ".xml";
    if (QProcess::execute("ssconvert", {"--export-type=Gnumeric_XmlIO:sax:0", file, xml}) != 0)
        qFatal("ssconvert could not read %s", qPrintable(file));
    QFile f(xml);
    f.open(QIODevice::ReadOnly);
    QMap<QString, QString> cells;
    for (QXmlStreamReader x(&f); !x.atEnd();) {
        if (x.readNext() != QXmlStreamReader::StartElement || x.name() != QLatin1String("Cell"))
            continue;
        const QXmlStreamAttributes a = x.attributes();
        const QString type = a.value("ValueType").toString();
        const QString kind = type == "60" ? "text" : type == "40" ? "number" : type.isEmpty() ? "formula" : type;
        cells[a.value("Row").toString() + ',' + a.value("Col").toString()] = kind + ' ' + x.readElementText();
    }
    return cells;
}

}   // namespace

class TestCsvExport : public QObject {
    Q_OBJECT
private slots:
    void readerFollowsTheFormat();
    void scheduleRoundTrips();
    void onePlayersLines();
    void fileIsWrittenWhole();
    void singlesAndNoPairingJoinAsPrinted();
    void formulasStayText();
};

void TestCsvExport::readerFollowsTheFormat()
{
    // Quoted and bare fields, doubled quotes, a line break inside quotes,
    // an empty last field, LF as well as CRLF.
    const QByteArray text = "\xEF\xBB\xBF"
                            "a,\"b,c\",\"say \"\"hi\"\"\"\r\n"
                            "\"two\r\nlines\",,\r\n"
                            "x,y,z\n";
    const QVector<QStringList> rows = Csv::parse(text);
    QCOMPARE(rows.size(), 3);
    QCOMPARE(rows[0], (QStringList{"a", "b,c", "say \"hi\""}));
    QCOMPARE(rows[1], (QStringList{"two\r\nlines", "", ""}));
    QCOMPARE(rows[2], (QStringList{"x", "y", "z"}));

    const QByteArray line = Csv::line({"plain", "with \"quote\"", "comma, here", "Zoë"});
    QVERIFY(line.endsWith("\r\n"));
    QCOMPARE(line, QByteArray("\"plain\",\"with \"\"quote\"\"\",\"comma, here\",\"Zo\xC3\xAB\"\r\n"));
}

void TestCsvExport::scheduleRoundTrips()
{
    HandSeason h;
    const Season s = loadSeason(h.db(), h.groupId);
    const QByteArray data = ScheduleCsv::document(s);
    QVERIFY(data.startsWith("\xEF\xBB\xBF\"Date\""));
    QVERIFY(!data.contains("\r\r") && data.count("\r\n") == data.count('\n'));   // CRLF and nothing else
    const QVector<QStringList> rows = Csv::parse(data);
    QCOMPARE(rows.first(), ScheduleCsv::header());
    QCOMPARE(rows.size(), 1 + 4 + 4);   // header, one court a date, one sit-out line a date
    for (const QStringList& r : rows)
        QCOMPARE(r.size(), 7);

    const QString ann = "1. Ann \"Jo\" O'Neil, Jr";
    QCOMPARE(rows[1], (QStringList{"2027-03-08", "Monday", "09:00", "10:30", "Court A",
                                   ann + " & 2. Bob Brown v. 3. Cy Cole & 4. Di Dunn", ann}));
    QCOMPARE(rows[2], (QStringList{"2027-03-08", "Monday", "09:00", "10:30", "Sits out", "5. Zoë Élan", ""}));
    QCOMPARE(rows[5], (QStringList{"2027-03-22", "Monday", "09:00", "10:30", "Court B",
                                   "2. Bob Brown & 5. Zoë Élan v. " + ann + " & 3. Cy Cole", "2. Bob Brown"}));
    QCOMPARE(rows[6][5], QString("4. Di Dunn"));

    // Without ball duty shown, nobody is named for it.
    h.exec("UPDATE \"group\" SET BBON = 0");
    for (const QStringList& r : Csv::parse(ScheduleCsv::document(loadSeason(h.db(), h.groupId))).mid(1))
        QCOMPARE(r[6], QString());
}

void TestCsvExport::onePlayersLines()
{
    HandSeason h;
    const Season s = loadSeason(h.db(), h.groupId);
    // Entry 4 plays d1 and sits out the other three dates.
    const QVector<QStringList> rows = ScheduleCsv::rows(s, h.players[4]);
    QCOMPARE(rows.size(), 4);
    QCOMPARE(rows[0][4], QString("Court A"));
    for (int i = 1; i < 4; ++i)
        QCOMPARE(rows[i][4], ScheduleCsv::sitsOutCaption());
}

void TestCsvExport::fileIsWrittenWhole()
{
    HandSeason h;
    const Season s = loadSeason(h.db(), h.groupId);
    const QString file = h.dir.filePath("out.csv");
    QCOMPARE(Exports::writeCsv(s, 0, file), QString());
    QFile f(file);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(Csv::parse(f.readAll()).size(), 9);
    // A folder that does not exist: the reason, and no file.
    const QString bad = h.dir.filePath("missing/out.csv");
    const QString error = Exports::writeCsv(s, 0, bad);
    QVERIFY2(error.startsWith("Could not write"), qPrintable(error));
    QVERIFY(!QFile::exists(bad));
}

void TestCsvExport::singlesAndNoPairingJoinAsPrinted()
{
    HandSeason h;
    h.exec("UPDATE \"group\" SET TYPE = 0");
    Season s = loadSeason(h.db(), h.groupId);
    QCOMPARE(ScheduleCsv::courtEntries(s, s.sessions[0]),
             QString("1. Ann \"Jo\" O'Neil, Jr, 2. Bob Brown, 3. Cy Cole, 4. Di Dunn"));
    h.exec("UPDATE \"group\" SET TYPE = 1");
    s = loadSeason(h.db(), h.groupId);
    // Singles: the first entry is one side, the others the other, as the grid's " v. " falls.
    QVERIFY(ScheduleCsv::courtEntries(s, s.sessions[0]).startsWith("1. Ann \"Jo\" O'Neil, Jr v. 2. Bob Brown"));
}

void TestCsvExport::formulasStayText()
{
    HandSeason h;
    h.exec("UPDATE COURTS SET NAME = '=1+1' WHERE COURTID = ?", {h.courtA});
    h.exec("UPDATE COURTS SET NAME = '@HYPERLINK(\"http://x\")' WHERE COURTID = ?", {h.courtB});
    const QString schedule = h.dir.filePath("schedule.csv");
    QCOMPARE(Exports::writeCsv(loadSeason(h.db(), h.groupId), 0, schedule), QString());
    const QVector<QStringList> rows = readWithPython(schedule);
    QCOMPARE(rows.size(), 9);
    QCOMPARE(rows[1][4], QString("'=1+1"));
    QCOMPARE(rows[5][4], QString("'@HYPERLINK(\"http://x\")"));
    QCOMPARE(rows[1][0], QString("2027-03-08"));
    QCOMPARE(readWithGnumeric(schedule).value("1,4"), QString("text =1+1"));

    // A figure column keeps its numbers; text in it, and every heading, is text.
    const QString figures = h.dir.filePath("figures.csv");
    QCOMPARE(SaveFile::write(figures, Csv::document({"Name", "-Difference"},
                                                    {{"-Ann", "-3"}, {"\tTab", "+1.5"}, {"+Bob", "=1+1"}}, {1})),
             QString());
    QCOMPARE(readWithPython(figures),
             (QVector<QStringList>{{"Name", "'-Difference"}, {"'-Ann", "-3"}, {"'\tTab", "+1.5"}, {"'+Bob", "'=1+1"}}));
    const QMap<QString, QString> cells = readWithGnumeric(figures);
    QCOMPARE(cells.value("0,1"), QString("text -Difference"));
    QCOMPARE(cells.value("1,0"), QString("text -Ann"));
    QCOMPARE(cells.value("1,1"), QString("number -3"));
    QCOMPARE(cells.value("3,1"), QString("text =1+1"));
}

QTEST_MAIN(TestCsvExport)
#include "tst_csvexport.moc"
