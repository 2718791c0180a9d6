#include "generator/answerline.h"

#include <QRegularExpression>

namespace {

bool Printable(char c) {
    return (c >= 0x20 && c < 0x7F) || c == '\t';
}

} // namespace

TAnswerLine::TState TAnswerLine::Add(const QByteArray &piece) {
    if (state_ != TState::sIncomplete) return state_;
    const qsizetype newline = piece.indexOf('\n');
    const qsizetype take = newline < 0 ? piece.size() : newline + 1;
    // The line may hold kMaxAnswer bytes and its CR LF; nothing more is kept.
    const qsizetype from = received_.size();
    received_.append(piece.constData(), std::min(take, kMaxAnswer + 2 - received_.size()));
    for (qsizetype i = std::max<qsizetype>(from - 1, 0); i < received_.size(); ++i) {
        const char c = received_[i];
        const bool last = i + 1 == received_.size();
        if (c == '\n' && last) break;
        // A CR only before the LF (or last so far, until the next piece says).
        if (c == '\r' && (last || received_[i + 1] == '\n')) continue;
        if (!Printable(c)) return state_ = TState::sNotText;
    }
    if (received_.endsWith('\n'))
        state_ = Line().size() > kMaxAnswer ? TState::sTooLong : TState::sComplete;
    else if (received_.size() > kMaxAnswer + 1)
        state_ = TState::sTooLong;
    return state_;
}

QByteArray TAnswerLine::Line() const {
    QByteArray line = received_;
    if (line.endsWith('\n')) line.chop(1);
    if (line.endsWith('\r')) line.chop(1);
    return line;
}

QString TAnswerLine::Excerpt(const QByteArray &bytes) {
    QString text = QStringLiteral("\"");
    for (qsizetype i = 0; i < std::min(bytes.size(), kExcerpt); ++i) {
        const unsigned char c = static_cast<unsigned char>(bytes[i]);
        switch (c) {
        case '\r':
            text += QStringLiteral("\\r");
            break;
        case '\n':
            text += QStringLiteral("\\n");
            break;
        case '\t':
            text += QStringLiteral("\\t");
            break;
        case '\0':
            text += QStringLiteral("\\0");
            break;
        case '"':
        case '\\':
            text += QLatin1Char('\\');
            text += QLatin1Char(char(c));
            break;
        default:
            if (c >= 0x20 && c < 0x7F)
                text += QLatin1Char(char(c));
            else
                text += QStringLiteral("\\x%1").arg(uint(c), 2, 16, QLatin1Char('0'));
        }
    }
    text += QLatin1Char('"');
    if (bytes.size() > kExcerpt) text += QStringLiteral("\u2026");
    return text;
}

bool TAnswerLine::IsHttpStatus(const QByteArray &line) {
    static const QRegularExpression status(QStringLiteral("^HTTP/\\d(\\.\\d)? \\d{3}\\b"));
    return status.match(QString::fromLatin1(line)).hasMatch();
}
