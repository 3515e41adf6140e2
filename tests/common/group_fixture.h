#pragma once
// Shared by the group editor, schedule view and group list tests: a private
// database with the data module, collected error boxes, beeps and status
// texts, an MDI area standing in for the frame, and helpers to put rows in
// and read them back.
#include "whenmodal.h"
#include "data/datamodule.h"
#include "data/query.h"
#include "windows/guard.h"
#include <QAbstractButton>
#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>
#include <memory>

struct GroupFixture {
    QTemporaryDir dir;
    std::unique_ptr<Tdmglobal> dm;
    QMdiArea area;
    QStringList errors;
    QString status[2];
    int beeps = 0;

    GroupFixture()
    {
        dm = std::make_unique<Tdmglobal>(dir.path());
        setErrorBoxHandler([this](const QString& m) { errors << m; });
        QObject::connect(dm.get(), &Tdmglobal::beepRequested, [this] { ++beeps; });
        QObject::connect(dm.get(), &Tdmglobal::statusPanelChanged,
                         [this](int panel, const QString& text) { status[panel] = text; });
        area.resize(1024, 700);
    }
    ~GroupFixture()
    {
        for (QMdiSubWindow* sub : area.subWindowList())
            delete sub;
        setErrorBoxHandler({});
        dm.reset();
    }

    // Adds the widget as a maximised child window that closes for good.
    void addToArea(QWidget* w)
    {
        QMdiSubWindow* sub = area.addSubWindow(w);
        sub->setAttribute(Qt::WA_DeleteOnClose);
        sub->showMaximized();
        area.setActiveSubWindow(sub);
    }
    std::function<void(QWidget*)> adder()
    {
        return [this](QWidget* w) { addToArea(w); };
    }

    int insert(const QString& sql, const QVariantMap& params = {})
    {
        Query q(dm->database(), sql);
        for (auto it = params.begin(); it != params.end(); ++it)
            q.setParam(it.key(), it.value());
        q.prepare();
        q.execSql();
        return q.lastInsertId().toInt();
    }
    int addPlayer(const QString& first, const QString& last)
    {
        return insert("INSERT INTO \"PLAYERS.db\" (FNAME, LNAME) VALUES (:f, :l)", {{"f", first}, {"l", last}});
    }
    int addCourt(const QString& name) { return insert("INSERT INTO \"COURTS.db\" (NAME) VALUES (:n)", {{"n", name}}); }
    int addGroup(const QString& name, int rtype, int type = 1, const QString& days = "MONDAY")
    {
        // `days`: the weekday columns to switch on, comma-separated.
        const QStringList cols = days.split(',', Qt::SkipEmptyParts);
        QStringList ones;
        for (int i = 0; i < cols.size(); ++i)
            ones << "1";
        return insert(QStringLiteral("INSERT INTO \"group.DB\" (NAME, STARTDATE, RTYPE, TYPE, DURATION, NumPerSes, %1) "
                                     "VALUES (:n, '2026-01-05', :r, :t, 10, 4, %2)")
                          .arg(cols.join(','), ones.join(',')),
                      {{"n", name}, {"r", rtype}, {"t", type}});
    }
    int addEntry(int groupId, int playerId, int seq, const QVariant& partner = {})
    {
        return insert("INSERT INTO \"GRPPLAYR.db\" (GROUPID, PLAYERID, GRPSEQNUM, SHARESLOTID) VALUES (:g, :p, :s, :x)",
                      {{"g", groupId}, {"p", playerId}, {"s", seq}, {"x", partner}});
    }
    int addSchedule(int entryId, const QString& date, int courtId, int slot = 0)
    {
        return insert(
            "INSERT INTO \"SCHEDULE.db\" (GRPPLAYRID, \"DATE\", GRPCOURTID, SLOTCODE) VALUES (:e, :d, :c, :s)",
            {{"e", entryId}, {"d", date}, {"c", courtId}, {"s", slot}});
    }

    QVariant scalar(const QString& sql)
    {
        Query q(dm->database(), sql);
        q.prepare();
        q.open();
        return q.isEmpty() ? QVariant() : q.value(0);
    }
    int count(const QString& sql) { return scalar(sql).toInt(); }
    QStringList column(const QString& sql)
    {
        Query q(dm->database(), sql);
        q.prepare();
        q.open();
        QStringList values;
        for (q.first(); !q.eof(); q.next())
            values << q.value(0).toString();
        return values;
    }
};

// Answers the next message box with `button`; `text` receives its text.
inline void answerMessageBox(QMessageBox::StandardButton button, QString* text = nullptr)
{
    whenModal<QMessageBox>([button, text](QMessageBox* box) {
        if (text)
            *text = box->text();
        if (QAbstractButton* b = box->button(button))
            b->click();
        else
            box->reject();
    });
}
