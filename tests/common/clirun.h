#pragma once
// The command line as main() runs it, in this process, with what it wrote.
#include "app/cli.h"
#include <QStringList>
#include <QTextStream>

struct Run {
    int status = -1;
    QString out, err;
};

inline Run cli(const QStringList& args)
{
    Run r;
    QTextStream out(&r.out), err(&r.err);
    r.status = Cli::run(QStringList{"vantrel"} + args, out, err);
    return r;
}
