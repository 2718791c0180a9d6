// A command's options as a table: each row names the option, its value (a
// flag has none), its help and the command it belongs to, so that adding
// the options to the parser, reading them and refusing one given to the
// wrong command all come from the one list.
#pragma once

#include <QCommandLineOption>
#include <QString>

#include <cstddef>
#include <initializer_list>
#include <vector>

class QCommandLineParser;

namespace K740cal {

struct TOptionRow {
    const char *Names; // "o,output": a short and a long name
    const char *Value; // nullptr: a flag
    const char *Help;
    const char *Command; // nullptr: every command of the table
};

class TOptionTable {
public:
    explicit TOptionTable(std::initializer_list<TOptionRow> rows);

    void AddTo(QCommandLineParser &parser) const;
    // Row i as the parser knows it.
    const QCommandLineOption &operator[](std::size_t i) const { return options_[i]; }
    // "COMMAND: option --NAME belongs to OWNER" for the first option set
    // that belongs to another command than `command`; empty when none does.
    QString Misplaced(const QCommandLineParser &parser, const QString &command) const;
    // The long name of the first option set, or an empty text.
    QString FirstSet(const QCommandLineParser &parser) const;

private:
    std::vector<TOptionRow> rows_;
    std::vector<QCommandLineOption> options_;
};

} // namespace K740cal
