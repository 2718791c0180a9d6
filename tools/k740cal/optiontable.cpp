#include "optiontable.h"

#include <QCommandLineParser>

namespace K740cal {

TOptionTable::TOptionTable(std::initializer_list<TOptionRow> rows) : rows_(rows) {
    for (const TOptionRow &row : rows_) {
        const QStringList names = QString::fromLatin1(row.Names).split(QLatin1Char(','));
        const QString help = QString::fromLatin1(row.Help);
        options_.push_back(row.Value ? QCommandLineOption(names, help, QLatin1String(row.Value))
                                     : QCommandLineOption(names, help));
    }
}

void TOptionTable::AddTo(QCommandLineParser &parser) const {
    for (const QCommandLineOption &option : options_)
        parser.addOption(option);
}

QString TOptionTable::Misplaced(const QCommandLineParser &parser, const QString &command) const {
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        const char *owner = rows_[i].Command;
        if (owner && command != QLatin1String(owner) && parser.isSet(options_[i]))
            return QStringLiteral("%1: option --%2 belongs to %3")
                .arg(command, options_[i].names().constLast(), QLatin1String(owner));
    }
    return QString();
}

QString TOptionTable::FirstSet(const QCommandLineParser &parser) const {
    for (const QCommandLineOption &option : options_)
        if (parser.isSet(option)) return option.names().constLast();
    return QString();
}

} // namespace K740cal
