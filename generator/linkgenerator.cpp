#include "generator/linkgenerator.h"

#include "generator/answerline.h"

namespace {

// An answer as a message quotes it: printable already, shortened.
QString Short(const QByteArray &answer) {
    QString text = QString::fromLatin1(answer.left(TAnswerLine::kExcerpt));
    if (answer.size() > TAnswerLine::kExcerpt) text += QStringLiteral("\u2026");
    return text;
}

} // namespace

TLinkGenerator::TLinkGenerator(std::unique_ptr<TLink> link, TCommandSet commands)
    : link_(std::move(link)), commands_(std::move(commands)) {}

TLinkGenerator::~TLinkGenerator() {
    Disconnect();
}

QString TLinkGenerator::Connect() {
    link_->Open();
    if (commands_.Identity.trimmed().isEmpty()) return link_->Address();
    const QByteArray query = CommandTemplate::Expand(commands_.Identity, 0, 0);
    const QByteArray identity = link_->Query(query).trimmed();
    if (identity.isEmpty())
        link_->Fail(QStringLiteral("an empty answer to \"%1\". Is %2 the instrument's address?")
                        .arg(QString::fromLatin1(query), link_->Address()));
    return QString::fromLatin1(identity);
}

void TLinkGenerator::Setting(const QByteArray &command) {
    link_->Send(command);
    if (!commands_.Completion.trimmed().isEmpty()) {
        const QByteArray query = CommandTemplate::Expand(commands_.Completion, 0, 0);
        const QByteArray done = link_->Query(query).trimmed();
        bool number = false;
        if (done.toInt(&number) != 1 || !number)
            link_->Fail(QStringLiteral("unexpected answer \"%1\" to \"%2\".")
                            .arg(Short(done), QString::fromLatin1(query)));
    }
    if (commands_.ErrorQuery.trimmed().isEmpty()) return;
    const QString error = ReadError();
    bool numeric = false;
    const int code = error.section(QLatin1Char(','), 0, 0).trimmed().toInt(&numeric);
    if (!numeric)
        link_->Fail(QStringLiteral("unexpected answer \"%1\" to \"%2\".")
                        .arg(Short(error.toLatin1()), commands_.ErrorQuery.trimmed()));
    if (code != 0)
        link_->Fail(QStringLiteral("the instrument reports %1 after \"%2\".")
                        .arg(Short(error.toLatin1()), QString::fromLatin1(command)));
}

void TLinkGenerator::SetFrequency(std::uint64_t hz) {
    Setting(CommandTemplate::Expand(commands_.Frequency, hz, 0));
}

void TLinkGenerator::SetLevel(double dbm) {
    Setting(CommandTemplate::Expand(commands_.Level, 0, dbm));
}

void TLinkGenerator::SetOutput(bool on) {
    Setting(CommandTemplate::Expand(on ? commands_.OutputOn : commands_.OutputOff, 0, 0));
}

QString TLinkGenerator::ReadError() {
    if (commands_.ErrorQuery.trimmed().isEmpty()) return QStringLiteral("0");
    return QString::fromLatin1(
        link_->Query(CommandTemplate::Expand(commands_.ErrorQuery, 0, 0)).trimmed());
}

void TLinkGenerator::Disconnect() {
    link_->Close();
}
