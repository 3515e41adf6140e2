// What every window leans on: the field definitions put on a window's
// controls, help contexts found through the parents, and the error guard.
#include "data/dberror.h"
#include "data/datamodule.h"
#include "windows/fielddefs.h"
#include "windows/guard.h"
#include "windows/palettecolours.h"
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QRandomGenerator>
#include <QtTest>

class TestWindowSupport : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    std::unique_ptr<Tdmglobal> dm;
    QStringList errors;

private slots:
    void init()
    {
        dm = std::make_unique<Tdmglobal>(dir.path());
        errors.clear();
        setErrorBoxHandler([this](const QString& m) { errors << m; });
    }
    void cleanup()
    {
        setErrorBoxHandler({});
        dm.reset();
        QFile::remove(Database::fileName(dir.path()));
    }

    void fieldDefinitionsReachTheWindowHandedIn()
    {
        QWidget window;
        window.setObjectName("frmgroup");
        auto* label = new QLabel("Number of Weeks:", &window);
        label->setObjectName("lblduration");
        auto* edit = new QLineEdit(&window);
        edit->setObjectName("DBDURATION");
        QWidget other;   // another window: untouched
        auto* otherLabel = new QLabel("Number of Weeks:", &other);
        otherLabel->setObjectName("lblduration");

        applyFieldDefs(&window, "leagues");
        QCOMPARE(label->text(), QString("Number of Rounds:"));
        QVERIFY(edit->toolTip().contains("rounds"));
        QCOMPARE(edit->statusTip(), edit->toolTip());
        QCOMPARE(helpContextOf(edit), 23);
        QCOMPARE(otherLabel->text(), QString("Number of Weeks:"));
        applyFieldDefs(&window, "no such form");   // nothing changes
        QCOMPARE(label->text(), QString("Number of Rounds:"));

        // A row may name the window itself.
        dm->database().exec("INSERT INTO FIELDDEF (FormKey, Fieldkey, LabelKey, Label, Hint, HelpContext) "
                            "VALUES ('w', 'frmgroup', NULL, NULL, 'the editor', 44)");
        applyFieldDefs(&window, "w");
        QCOMPARE(window.toolTip(), QString("the editor"));
        QCOMPARE(helpContextOf(label), 44);   // found through the parent
        QVERIFY(errors.isEmpty());
    }

    // A label key naming something that is not a label stops the walk with
    // "Invalid typecast"; rows before it stay applied, rows after it are not.
    void aLabelKeyOnANonLabelStops()
    {
        QWidget window;
        auto* label = new QLabel("Number of Weeks:", &window);
        label->setObjectName("lblduration");
        auto* duration = new QLineEdit(&window);
        duration->setObjectName("DBDURATION");
        dm->database().exec("INSERT INTO FIELDDEF (FormKey, Fieldkey, LabelKey, Label, Hint, HelpContext) "
                            "VALUES ('t', 'a1', 'lblduration', 'A', 'first', 1), "
                            "('t', 'b2', 'DBDURATION', 'B', 'second', 2), ('t', 'c3', NULL, NULL, 'third', 3)");
        QLineEdit* fields[3];
        for (int i = 0; i < 3; ++i) {
            fields[i] = new QLineEdit(&window);
            fields[i]->setObjectName(QStringList{"a1", "b2", "c3"}[i]);
        }
        QVERIFY(!guarded(nullptr, [&] { applyFieldDefs(&window, "t"); }));
        QCOMPARE(errors, QStringList{"Invalid typecast"});
        QCOMPARE(fields[0]->toolTip(), QString("first"));
        QCOMPARE(label->text(), QString("A"));
        QVERIFY(fields[1]->toolTip().isEmpty());
        QVERIFY(fields[2]->toolTip().isEmpty());
    }

    void controlHintGoesToTheMessagePanel()
    {
        QSignalSpy status(dm.get(), &Tdmglobal::statusPanelChanged);
        QLineEdit edit;
        edit.setToolTip("Enter the entry fee.");
        showControlHint(&edit);
        showControlHint(nullptr);
        QCOMPARE(status.count(), 2);
        QCOMPARE(status[0], (QVariantList{1, QString("Enter the entry fee.")}));
        QCOMPARE(status[1], (QVariantList{1, QString()}));
    }

    void guardShowsErrorAndRestoresCursor()
    {
        QVERIFY(!guarded(nullptr, [] {
            BusyCursor busy;
            QApplication::setOverrideCursor(Qt::WaitCursor);   // a stray one too
            throw DbError("disk full");
        }));
        QCOMPARE(errors, QStringList{"disk full"});
        QVERIFY(!QApplication::overrideCursor());
        QVERIFY(guarded(nullptr, [] {}));
        QCOMPARE(errors.size(), 1);
    }

    // Text stays readable on the colours the windows use, on the desktop's
    // light palette and on the dark one alike.
    void coloursReadOnLightAndDarkPalettes()
    {
        const QPalette light = QApplication::palette();
        const QPalette dark = darkPalette();
        QVERIFY(!isDark(light) && isDark(dark));
        for (const QPalette& p : {light, dark}) {
            QVERIFY(contrastRatio(p.color(QPalette::Text), playedRowShade(p)) >= 4.5);
            // Greyed text (those sitting out) still reads.
            QVERIFY(contrastRatio(p.color(QPalette::PlaceholderText), p.color(QPalette::Base)) >= 3);
        }
        const QList<QPair<QPalette::ColorRole, QPalette::ColorRole>> pairs{
            {QPalette::Text, QPalette::Base},
            {QPalette::Text, QPalette::AlternateBase},
            {QPalette::WindowText, QPalette::Window},
            {QPalette::ButtonText, QPalette::Button},
            {QPalette::HighlightedText, QPalette::Highlight},
            {QPalette::ToolTipText, QPalette::ToolTipBase}};
        for (const auto& [text, background] : pairs)   // the dark palette is ours to keep readable
            QVERIFY2(contrastRatio(dark.color(text), dark.color(background)) >= 4.5, qPrintable(QString::number(text)));
        // Tinted titles read on any header face.
        QRandomGenerator random(31);
        for (int i = 0; i < 500; ++i) {
            const QColor tint = QColor::fromRgb(random.generate()), face = QColor::fromRgb(random.generate());
            QVERIFY(contrastRatio(readableTint(tint, face), face) >= 4.5);
        }
        QCOMPARE(readableTint(QColor(0, 0, 128), light.color(QPalette::Button)), QColor(0, 0, 128));
    }
};

QTEST_MAIN(TestWindowSupport)
#include "tst_windowsupport.moc"
